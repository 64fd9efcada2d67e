#pragma once
// The folders and picture files of inspection runs: the dated result trees, the network-folder
// pictures a viewer picks up, and the paths the result row records.

#include "app/StationConfig.h"

#include <QDate>
#include <QImage>
#include <QString>

#include <functional>
#include <mutex>

// The texts that name a run's pictures.
struct RunPictureNames {
    QString runStamp;  // "%04d-%02d-%02d %02d-%02d-%02d" at the run start
    QString barcode;   // "[Vorn]" + the stamp of the start request
};

class CResultPictures {
  public:
    static constexpr int kTopSensor = 0;
    static constexpr int kBottomSensor = 1;
    // CreateResultFolders: every tree (initialisation) or only the picture trees (a day folder
    // was missing).
    static constexpr int kAllFolders = 1;
    static constexpr int kPictureFolders = 3;

    // Pixels of the sensor's picture pane (0 Top, 1 Bottom) exactly as the screen shows them; a
    // null image for another index. Runs on the thread that calls the picture operations; the
    // owner makes sure that is the UI thread.
    using GrabPane = std::function<QImage(int sensorIndex)>;

    static QString DefaultTempFolder();  // the executable's folder + "/Temp"

    // `config` is read at each operation, so a settings change applies to the next one. `today`
    // gives the local date of every dated folder.
    CResultPictures(const StationConfig& config, std::function<QDate()> today, GrabPane grab,
                    QString tempFolder = DefaultTempFolder());

    // Creates the temp folder when missing. When it can neither be found nor created, shows the
    // folder error message and returns false.
    bool CreateTempFolder();
    // Mode 1: all dated trees of today; mode 3: the PASS and NG picture trees; others: nothing.
    // A level that cannot be created skips the rest of its tree only.
    void CreateResultFolders(int mode);
    // Grabs the pane and writes it as a JPEG (default quality), replacing a file of that name.
    // Failures are not reported.
    void CapturePicture(const QString& path, int sensorIndex);

    // During a run: the network-folder picture of the sensor and, when AI pictures of passed runs
    // are not saved separately (AI2_OK_Save_Option 0), its copy in today's PASS folder. Nothing
    // when the network folder is missing and cannot be created.
    void SavePassPictures(int sensorIndex, const RunPictureNames& run);
    // At the run's end: for an NG Top sensor in inspection mode 1, the network-folder Top picture
    // (again) and its copy in today's NG folder.
    void SaveNgPictures(bool topNgLatched, int topInspectionMode, const RunPictureNames& run);
    // Before the Top picture path is read for the run's result: when nothing captured the Top
    // pane in this run, captures it now, so the path never names an earlier run's picture.
    void EnsureRunTopPicture(const RunPictureNames& run);

    // A run's recording: written in the temp folder while the run lasts, then kept in today's Wave
    // folder of its verdict under the pictures' name. Empty without a result folder.
    QString TempRecordingPath(const RunPictureNames& run) const;
    QString RecordingPath(bool ng, const RunPictureNames& run) const;

    // At a run's start: clears the Top and Bottom image paths; the other paths stay.
    void ClearRunImagePaths();

    // Copies; safe from any thread.
    QString TopPicturePath() const;
    QString BottomPicturePath() const;
    QString TopImagePath() const;
    QString BottomImagePath() const;
    QString TempTopPath() const;
    QString TempBottomPath() const;

  private:
    // Creates the network folder (one level) when missing; false when it is still missing.
    bool EnsureNetworkFolder(const QString& networkFolder) const;
    void CreateResultFoldersOn(int mode, const QDate& day, const StationConfig& config) const;
    void MarkTopCaptured(const QString& path);

    const StationConfig& m_config;
    std::function<QDate()> m_today;
    GrabPane m_grab;
    const QString m_tempFolder;

    mutable std::mutex m_mutex;  // guards the fields below
    QString m_topPicturePath;
    QString m_bottomPicturePath;
    QString m_topImagePath;
    QString m_bottomImagePath;
    QString m_tempTopPath;
    QString m_tempBottomPath;
    bool m_topCapturedThisRun = false;
};
