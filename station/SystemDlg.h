#pragma once
// The station's main window: a frameless 1920 x 1080 window with a header row and the
// Inspection / Setup tabs. It owns both pages, the motor parameters and the start-up check, and
// shuts the station down in its fixed order.

#include "app/ConfigStore.h"
#include "app/StationConfig.h"
#include "app/TimerTable.h"

#include <QDate>
#include <QWidget>

#include <functional>

#include <memory>

class CDlgMain;
class CDlgSetup;
class CEnTabCtrl;
class CLabel;
class CPanTiltControl;
class HeaderIcon;

class CSystemDlg : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kTimerOpenSensorSettings = 2024;
    static constexpr int kTimerStartupCheck = 2025;
    static constexpr int kOpenSensorSettingsDelay_ms = 50;
    static constexpr int kStartupCheckDelay_ms = 100;
    static constexpr int kStartupProgressSteps = 20;
    // While a dialog loop is still on the stack, the shutdown looks again this often.
    static constexpr int kShutdownRetry_ms = 10;
    // How long the shutdown waits for result picture workers before it leaves them.
    static constexpr int kPictureWorkerWait_ms = 4000;

    static constexpr int kWidth = 1920;
    static constexpr int kHeight = 1080;
    static constexpr int kHeaderHeight = 39;

    explicit CSystemDlg(QWidget* parent = nullptr);
    ~CSystemDlg() override;

    // Builds the header, the tabs and the pages and selects the inspection page.
    void OnInitDialog();
    // The tab control's selection change (and index 0 at start-up).
    void SelectPage(int requested);
    // The exit icon and a service stop: closes the open dialogs, then (back in the main loop, so
    // nothing is destroyed under a dialog) saves, stops the camera, switches the tower off,
    // destroys the pages and emits shutdownFinished.
    void Shutdown();
    // The start-up check run by timer 2025.
    void RunStartupCheck();

    static QString FormatTitle(const QString& softwareTitle, int debugFlag);
    void UpdateTitle();

    int ShownPage() const { return m_shownPage; }
    bool IsShutdownRequested() const { return m_shutdownRequested; }
    bool IsShutDown() const { return m_shutDown; }
    CDlgMain* DlgMain() const { return m_dlgMain; }
    CDlgSetup* DlgSetup() const { return m_dlgSetup; }
    CEnTabCtrl* TabCtrl() const { return m_tab; }
    CLabel* TitleLabel() const { return m_title; }
    HeaderIcon* ExitIcon() const { return m_exitIcon; }
    HeaderIcon* MinimiseIcon() const { return m_minimiseIcon; }
    TimerTable& Timers() { return m_timers; }
    MotorConfig& Motor() { return m_motor; }
    ConfigStore& Store() { return m_store; }
    CPanTiltControl& PanTilt() { return *m_panTilt; }

    // Alt+F12's settings gate: the password, then the product and sensor settings dialog.
    void OpenSensorSettings();
    // The local date the gate builds the password from (tests set their own day).
    void SetSettingsDateSource(std::function<QDate()> today) { m_settingsToday = std::move(today); }

    // Brings the window back in front (a second start asked for it).
    void RaiseWindow();

  signals:
    void shutdownFinished();
    // Alt+F12 on the inspection page, 50 ms later: the password gate of the sensor settings.
    void sensorSettingsRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void OnTimer(int id);
    void FinishShutdown();
    void RunShutdownOrder();
    bool IsInOwnWindow(QObject* object) const;

    ConfigStore m_store;
    MotorConfig m_motor;
    TimerTable m_timers;
    std::unique_ptr<CPanTiltControl> m_panTilt;
    int m_shownPage = 0;
    // The only logo shown is the square one; 1 would pick the wide second logo.
    int m_logoChoice = 2;
    std::function<QDate()> m_settingsToday;
    bool m_shutdownRequested = false;
    bool m_shutDown = false;

    CEnTabCtrl* m_tab = nullptr;
    CLabel* m_title = nullptr;
    HeaderIcon* m_logo = nullptr;
    HeaderIcon* m_minimiseIcon = nullptr;
    HeaderIcon* m_exitIcon = nullptr;
    CDlgMain* m_dlgMain = nullptr;
    CDlgSetup* m_dlgSetup = nullptr;
};
