#pragma once
// What the run controller shows on the operator screen. Called on the UI thread.

#include <QColor>
#include <QString>

struct MissionInfo {
    QString plantId;
    QString locationId;
    QString courseId;
    QString targetId;
    QString sensorName;
};

class RunDisplay {
  public:
    virtual ~RunDisplay() = default;
    // The state or verdict row ("검사진행 중", "NG", ...).
    virtual void showResultText(const QString& text, int fontHeight, const QColor& colour) = 0;
    // The inspection-time bar: range 0 .. rangeMax tenths, the position and its text.
    virtual void showProgress(int rangeMax, int position, const QString& text) = 0;
    virtual void showInspectionId(const QString& code) = 0;
    virtual void showMissionInfo(const MissionInfo& info) = 0;
    // Run start: the spectrogram goes black.
    virtual void clearSpectrogram() = 0;
    // End of a run without NG: the graph area is redrawn and its axis labels laid out again,
    // which also clears the curves.
    virtual void resetGraph() = 0;
};
