#include "inspection/ResultPictures.h"

#include "app/DebugLog.h"
#include "app/StationDialogs.h"
#include "app/Utilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <utility>

namespace {

// One level: the parent must exist already.
bool EnsureFolderLevel(const QString& path) {
    return QFileInfo(path).isDir() || QDir().mkdir(path);
}

// Creates the levels in order and stops at the first one that is neither there nor creatable.
void CreateTree(const QString& root, const QStringList& levels) {
    QString path = root;
    if (!EnsureFolderLevel(path)) {
        return;
    }
    for (const QString& level : levels) {
        path += QLatin1Char('/') + level;
        if (!EnsureFolderLevel(path)) {
            return;
        }
    }
}

QStringList DateLevels(const QDate& day) {
    return {QString::asprintf("%04d", day.year()), QString::asprintf("%02d", day.month()),
            QString::asprintf("%02d", day.day())};
}

QString DayFolder(const QString& root, const char* verdict, const char* kind, const QDate& day) {
    return root + QLatin1Char('/') + QLatin1String(verdict) + QLatin1Char('/') +
           QLatin1String(kind) + QLatin1Char('/') + DateLevels(day).join(QLatin1Char('/'));
}

QString PictureName(const RunPictureNames& run, const char* suffix) {
    return run.runStamp + QLatin1Char('_') + run.barcode + QLatin1String(suffix);
}

QString NetworkPicturePath(const QString& networkFolder, const RunPictureNames& run,
                           int sensorIndex) {
    return networkFolder + QLatin1Char('/') +
           PictureName(run,
                       sensorIndex == CResultPictures::kTopSensor ? "_TOP.jpg" : "_BOTTOM.jpg");
}

// The dated copy must be the picture just written to the network folder, not an older one.
void ReplaceWithCopy(const QString& source, const QString& target) {
    QFile::remove(target);
    QFile::copy(source, target);
}

}  // namespace

QString CResultPictures::DefaultTempFolder() {
    return ModuleFolder() + QStringLiteral("/Temp");
}

CResultPictures::CResultPictures(const StationConfig& config, std::function<QDate()> today,
                                 GrabPane grab, QString tempFolder)
    : m_config(config),
      m_today(std::move(today)),
      m_grab(std::move(grab)),
      m_tempFolder(std::move(tempFolder)) {}

bool CResultPictures::CreateTempFolder() {
    if (EnsureFolderLevel(m_tempFolder)) {
        return true;
    }
    ShowMessage(QStringLiteral("[ERROR-Folder]"), QStringLiteral("Temp 폴더"));
    return false;
}

void CResultPictures::CreateResultFolders(int mode) {
    CreateResultFoldersOn(mode, m_today(), m_config);
}

void CResultPictures::CreateResultFoldersOn(int mode, const QDate& day,
                                            const StationConfig& config) const {
    if (mode != kAllFolders && mode != kPictureFolders) {
        return;
    }
    const QString& root = config.FolderName_Result;
    const QStringList date = DateLevels(day);
    const auto tree = [&](const char* verdict, const char* kind) {
        CreateTree(root, QStringList{QLatin1String(verdict), QLatin1String(kind)} + date);
    };
    if (config.AI2_OK_Save_Option == 0) {
        tree("PASS", "Image");
    }
    tree("NG", "Image");
    if (mode == kAllFolders) {
        tree("NG", "AI2");
        tree("PASS", "AI2");
        tree("NG", "Wave");
        tree("PASS", "Wave");
    }
}

void CResultPictures::CapturePicture(const QString& path, int sensorIndex) {
    const QImage picture = m_grab ? m_grab(sensorIndex) : QImage();
    if (picture.isNull()) {
        return;
    }
    picture.save(path, "JPG");
}

bool CResultPictures::EnsureNetworkFolder(const QString& networkFolder) const {
    return !networkFolder.isEmpty() && EnsureFolderLevel(networkFolder);
}

void CResultPictures::MarkTopCaptured(const QString& path) {
    std::lock_guard lock(m_mutex);
    m_topPicturePath = path;
    m_topCapturedThisRun = true;
}

void CResultPictures::SavePassPictures(int sensorIndex, const RunPictureNames& run) {
    if (sensorIndex != kTopSensor && sensorIndex != kBottomSensor) {
        return;
    }
    const StationConfig config = m_config;
    if (!EnsureNetworkFolder(config.FolderName_Network)) {
        return;
    }
    const QString networkPath = NetworkPicturePath(config.FolderName_Network, run, sensorIndex);
    CapturePicture(networkPath, sensorIndex);
    if (sensorIndex == kTopSensor) {
        MarkTopCaptured(networkPath);
    } else {
        std::lock_guard lock(m_mutex);
        m_bottomPicturePath = networkPath;
    }
    if (config.AI2_OK_Save_Option != 0) {
        return;
    }

    const QDate day = m_today();
    const QString dayFolder = DayFolder(config.FolderName_Result, "PASS", "Image", day);
    if (!QFileInfo(dayFolder).isDir()) {
        CreateResultFoldersOn(kPictureFolders, day, config);
    }
    const QString name = PictureName(run, sensorIndex == kTopSensor ? "_TOP.jpg" : "_BOTTOM.jpg");
    const QString imagePath = dayFolder + QLatin1Char('/') + name;
    ReplaceWithCopy(networkPath, imagePath);

    std::lock_guard lock(m_mutex);
    if (sensorIndex == kTopSensor) {
        m_topImagePath = imagePath;
        m_tempTopPath = m_tempFolder + QLatin1Char('/') + name;
    } else {
        m_bottomImagePath = imagePath;
        m_tempBottomPath = m_tempFolder + QLatin1Char('/') + name;
    }
}

void CResultPictures::SaveNgPictures(bool topNgLatched, int topInspectionMode,
                                     const RunPictureNames& run) {
    if (topNgLatched) {
        const QString tempTop = TempTopPath();
        if (!tempTop.isEmpty() && FileExists(tempTop)) {
            QFile::remove(tempTop);
        }
    }
    if (topInspectionMode != 1 || !topNgLatched) {
        return;
    }

    const StationConfig config = m_config;
    QString networkPath;
    if (EnsureNetworkFolder(config.FolderName_Network)) {
        networkPath = NetworkPicturePath(config.FolderName_Network, run, kTopSensor);
        CapturePicture(networkPath, kTopSensor);
        MarkTopCaptured(networkPath);
    } else {
        DebugLog(QStringLiteral("[NG Viewer 폴더 : NG]") + config.FolderName_Network);
    }

    const QDate day = m_today();
    const QString dayFolder = DayFolder(config.FolderName_Result, "NG", "Image", day);
    if (!QFileInfo(dayFolder).isDir()) {
        CreateResultFoldersOn(kPictureFolders, day, config);
    }
    const QString name = PictureName(run, "_TOP_NG.jpg");
    const QString imagePath = dayFolder + QLatin1Char('/') + name;
    if (networkPath.isEmpty()) {
        CapturePicture(imagePath, kTopSensor);
    } else {
        ReplaceWithCopy(networkPath, imagePath);
    }

    std::lock_guard lock(m_mutex);
    m_topImagePath = imagePath;
    m_tempTopPath = m_tempFolder + QLatin1Char('/') + name;
}

void CResultPictures::EnsureRunTopPicture(const RunPictureNames& run) {
    {
        std::lock_guard lock(m_mutex);
        if (m_topCapturedThisRun) {
            return;
        }
    }
    const QString networkFolder = m_config.FolderName_Network;
    const QString path = EnsureNetworkFolder(networkFolder)
                             ? NetworkPicturePath(networkFolder, run, kTopSensor)
                             : m_tempFolder + QLatin1Char('/') + PictureName(run, "_TOP.jpg");
    CapturePicture(path, kTopSensor);
    MarkTopCaptured(path);
}

void CResultPictures::ClearRunImagePaths() {
    std::lock_guard lock(m_mutex);
    m_topImagePath.clear();
    m_bottomImagePath.clear();
    m_topCapturedThisRun = false;
}

QString CResultPictures::TopPicturePath() const {
    std::lock_guard lock(m_mutex);
    return m_topPicturePath;
}

QString CResultPictures::BottomPicturePath() const {
    std::lock_guard lock(m_mutex);
    return m_bottomPicturePath;
}

QString CResultPictures::TopImagePath() const {
    std::lock_guard lock(m_mutex);
    return m_topImagePath;
}

QString CResultPictures::BottomImagePath() const {
    std::lock_guard lock(m_mutex);
    return m_bottomImagePath;
}

QString CResultPictures::TempRecordingPath(const RunPictureNames& run) const {
    return m_tempFolder + QLatin1Char('/') + PictureName(run, "_TOP.rec.part");
}

QString CResultPictures::RecordingPath(bool ng, const RunPictureNames& run) const {
    const QString root = m_config.FolderName_Result;
    if (root.isEmpty()) {
        return {};
    }
    return DayFolder(root, ng ? "NG" : "PASS", "Wave", m_today()) + QLatin1Char('/') +
           PictureName(run, "_TOP.rec");
}

QString CResultPictures::TempTopPath() const {
    std::lock_guard lock(m_mutex);
    return m_tempTopPath;
}

QString CResultPictures::TempBottomPath() const {
    std::lock_guard lock(m_mutex);
    return m_tempBottomPath;
}
