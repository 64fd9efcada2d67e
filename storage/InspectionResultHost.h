#pragma once
// What recording a finished run does outside the database: the verdict outputs (tower and
// screen), the result list, the counter labels and the control link. Called on the thread
// that records the run.

#include <QString>
#include <QStringList>

class InspectionResultHost {
  public:
    virtual ~InspectionResultHost() = default;
    // NG: the tower's NG output (buzzer when enabled), the 2000 ms tower-off timer and the
    // verdict "NG" (height 90, colour (225, 75, 75)). OK: the OK output, the same timer, the Top
    // sensor's NG time and peak level set to 0 and the verdict "OK" (height 70, (75, 225, 75)).
    virtual void giveVerdictOutputs(bool ng) = 0;

    // The result list: number, date-time, barcode, "OK"/"NG", sensor name, product name.
    virtual int resultRowCount() = 0;
    virtual void clearResultList() = 0;
    virtual void appendResultRow(const QStringList& texts) = 0;
    // Selects the last row and scrolls it into view.
    virtual void selectLastResultRow() = 0;

    // INSPECTION_COMPLETE with the run's inspection id, RESULT (1 NG, 0 OK) and the current
    // mission id, handed to the control link. Only for runs whose sensor name is "Top".
    virtual void sendInspectionComplete(int inspectionId, int result) = 0;
    virtual void clearMissionId() = 0;
};
