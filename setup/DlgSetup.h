#pragma once
// The setup container of the Setup tab: the engine list / inspection-area page and the system
// settings page.

#include "app/TimerTable.h"

#include <QWidget>

class CDlgSetup : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kTimerContainerRefresh = 10024;
    static constexpr int kTimerSensorPageRefresh = 6024;
    static constexpr int kRefreshDelay_ms = 10;

    enum Page { kSensorPage = 0, kSystemPage = 1 };

    explicit CDlgSetup(QWidget* parent = nullptr);

    int CurrentPage() const { return m_currentPage; }
    void SetCurrentPage(int page) { m_currentPage = page; }

    // The two one-shot refreshes that run each time the container is shown.
    void StartRefreshTimers();
    TimerTable& Timers() { return m_timers; }

  signals:
    void containerRefreshRequested();
    void sensorPageRefreshRequested();

  private:
    void OnTimer(int id);

    int m_currentPage = kSensorPage;
    TimerTable m_timers;
};
