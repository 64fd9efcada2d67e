#pragma once
// The setup container of the Setup tab: the two sensor pictures with their lamps and titles on
// the left, and on the right the engine list / inspection-area page and the system settings page
// in a tab control.

#include "app/TimerTable.h"
#include "setup/SetupStation.h"

#include <QWidget>

class CEnTabCtrl;
class CLabel;
class CPicturePane;
class CSetupPositionDlg;
class CSetupVornDlg;

class CDlgSetup : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kTimerContainerRefresh = 10024;
    static constexpr int kTimerSensorPageRefresh = 6024;
    static constexpr int kRefreshDelay_ms = 10;

    enum Page { kSensorPage = 0, kSystemPage = 1 };

    explicit CDlgSetup(SetupStation station, QWidget* parent = nullptr);
    ~CDlgSetup() override;

    int CurrentPage() const { return m_currentPage; }
    void SetCurrentPage(int page) { m_currentPage = page; }
    // The tab control's selection change: exactly the chosen page is shown.
    void SelectTab(int index);

    // The two one-shot refreshes that run each time the container is shown.
    void StartRefreshTimers();
    // Lamps after the connection state, and the titles.
    void RefreshContainer();
    TimerTable& Timers() { return m_timers; }

    CSetupPositionDlg& PositionPage() { return *m_position; }
    CSetupVornDlg& SystemPage() { return *m_system; }
    CEnTabCtrl* TabCtrl() const { return m_tab; }
    CPicturePane& Lamp(int index) { return *m_lamps[index]; }
    CLabel& Title(int index) { return *m_titles[index]; }
    CPicturePane& Picture(int index) { return *m_pictures[index]; }

  signals:
    void containerRefreshRequested();
    void sensorPageRefreshRequested();

  private:
    void OnTimer(int id);
    void ShowLamps(int connectionState);

    SetupStation m_station;
    int m_currentPage = kSensorPage;
    TimerTable m_timers;
    CPicturePane* m_lamps[2] = {};
    CLabel* m_titles[2] = {};
    CPicturePane* m_pictures[2] = {};
    CEnTabCtrl* m_tab = nullptr;
    CSetupPositionDlg* m_position = nullptr;
    CSetupVornDlg* m_system = nullptr;
};
