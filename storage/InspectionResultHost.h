#pragma once
// The result list of the operator screen as recording a run fills it. Called on the thread that
// records the run.

#include <QString>
#include <QStringList>

class InspectionResultHost {
  public:
    virtual ~InspectionResultHost() = default;
    // The result list: number, date-time, barcode, "OK"/"NG", sensor name, product name.
    virtual int resultRowCount() = 0;
    virtual void clearResultList() = 0;
    virtual void appendResultRow(const QStringList& texts) = 0;
    // Selects the last row and scrolls it into view.
    virtual void selectLastResultRow() = 0;
};
