#pragma once
// Where a recorded run's results go on the inspection page: the tower's verdict, the verdict
// text, the counter texts and the result list. The texts are kept here for the operator screen
// that shows them.

#include "storage/DayCounters.h"
#include "storage/InspectionResultHost.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>
#include <mutex>

class CSignalTower;

struct VerdictText {
    QString text;
    int fontHeight = 48;
    QColor colour{5, 0, 0};
};

class CInspectionOutputs : public QObject, public InspectionResultHost, public CounterDisplay {
    Q_OBJECT
  public:
    // clearTopResult: sets the Top sensor's NG time and peak level to 0 on a PASS verdict.
    CInspectionOutputs(CSignalTower& tower, std::function<void()> clearTopResult,
                       QObject* parent = nullptr);

    void SetVerdictText(const VerdictText& verdict);
    VerdictText Verdict() const;
    CounterTexts Counters() const;
    QList<QStringList> ResultRows() const;

    // InspectionResultHost
    void giveVerdictOutputs(bool ng) override;
    int resultRowCount() override;
    void clearResultList() override;
    void appendResultRow(const QStringList& texts) override;
    void selectLastResultRow() override;
    // The control link reports completions; until it is attached these are not sent.
    void sendInspectionComplete(int inspectionId, int result) override;
    void clearMissionId() override;

    // CounterDisplay
    void showCounters(const CounterTexts& texts) override;

  signals:
    void changed();

  private:
    CSignalTower& m_tower;
    std::function<void()> m_clearTopResult;
    mutable std::mutex m_mutex;  // a run may be recorded on the remote-start worker
    VerdictText m_verdict;
    CounterTexts m_counters;
    QList<QStringList> m_rows;
};
