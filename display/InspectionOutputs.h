#pragma once
// What the operator screen shows of runs and results: the state or verdict text, the counter
// texts, the result list, the inspection id, the mission rows and the progress. The run
// controller, the recording and the product selection write them (the selection possibly on the
// start worker); the page draws them.

#include "inspection/RunDisplay.h"
#include "storage/DayCounters.h"
#include "storage/InspectionResultHost.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QStringList>

#include <mutex>

struct VerdictText {
    QString text;
    int fontHeight = 48;
    QColor colour{5, 0, 0};
};

// The result list as one consistent copy; `generation` changes whenever the list was cleared.
struct ResultListState {
    QList<QStringList> rows;
    int selected = -1;
    quint64 generation = 0;
};

struct ProgressText {
    int rangeMax = 0;
    int position = 0;
    QString text;
};

class CInspectionOutputs : public QObject,
                           public InspectionResultHost,
                           public CounterDisplay,
                           public RunDisplay {
    Q_OBJECT
  public:
    explicit CInspectionOutputs(QObject* parent = nullptr);

    void SetVerdictText(const VerdictText& verdict);
    VerdictText Verdict() const;
    CounterTexts Counters() const;
    QList<QStringList> ResultRows() const;
    ResultListState ResultList() const;
    ProgressText Progress() const;
    QString InspectionId() const;
    MissionInfo Mission() const;
    // False until the first run start wrote the mission rows.
    bool MissionShown() const;
    // The engine row: "  %s (%d Sec)".
    QString Engine() const;
    void ShowEngine(const QString& productName, int inspectionTime_s);
    // The vehicle row, written when the control server sends the vehicle information.
    void ShowVehicleCode(const QString& code);
    QString VehicleCode() const;

    // InspectionResultHost
    int resultRowCount() override;
    void clearResultList() override;
    void appendResultRow(const QStringList& texts) override;
    void selectLastResultRow() override;

    // CounterDisplay
    void showCounters(const CounterTexts& texts) override;

    // RunDisplay
    void showResultText(const QString& text, int fontHeight, const QColor& colour) override;
    void showProgress(int rangeMax, int position, const QString& text) override;
    void showInspectionId(const QString& code) override;
    void showMissionInfo(const MissionInfo& info) override;
    void clearSpectrogram() override;
    void resetGraph() override;

  signals:
    void changed();
    // Emitted where the run controller calls (the UI thread), so the graph acts at once.
    void spectrogramCleared();
    void graphReset();

  private:
    mutable std::mutex m_mutex;
    VerdictText m_verdict;
    CounterTexts m_counters;
    QList<QStringList> m_rows;
    int m_selectedRow = -1;
    quint64 m_resultGeneration = 0;
    QString m_vehicleCode;
    ProgressText m_progress;
    QString m_inspectionId;
    QString m_engine;
    MissionInfo m_mission;
    bool m_missionShown = false;
};
