#include "station/SystemDlg.h"

#include "app/DebugLog.h"
#include "app/ModalLoop.h"
#include "app/StationDialogs.h"
#include "app/Utilities.h"
#include "display/DlgMain.h"
#include "display/EnTabCtrl.h"
#include "display/Label.h"
#include "inspection/RunController.h"
#include "pantilt/PanTiltControl.h"
#include "remote/ControlLink.h"
#include "setup/AboutDlg.h"
#include "setup/DlgSetup.h"
#include "setup/StationSettingsGate.h"
#include "station/HeaderIcon.h"
#include "station/MainKeyFilter.h"
#include "station/PageSwitch.h"
#include "storage/StationStorage.h"
#include "tower/SignalTower.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QTimer>

namespace {
constexpr int kTabRowHeight = 21;
}

CSystemDlg::CSystemDlg(QWidget* parent)
    : QWidget(parent), m_panTilt(std::make_unique<CPanTiltControl>(m_motor, m_timers)) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QString());  // the header's title label carries the title
    setObjectName(QStringLiteral("CSystemDlg"));
    // A new station may show dialogs again, even after an earlier one in this process shut down.
    ModalLoop::Reopen();
    connect(&m_timers, &TimerTable::fired, this, &CSystemDlg::OnTimer);
}

CSystemDlg::~CSystemDlg() {
    qApp->removeEventFilter(this);
    delete m_dlgMain;
    delete m_dlgSetup;
}

QString CSystemDlg::FormatTitle(const QString& softwareTitle, int debugFlag) {
    const QString version = QString::fromUtf8(kVersionText);
    return debugFlag == 1 ? QStringLiteral(" %1 (%2/D)").arg(softwareTitle, version)
                          : QStringLiteral(" %1 (%2)").arg(softwareTitle, version);
}

void CSystemDlg::UpdateTitle() {
    if (m_dlgMain == nullptr) {
        return;
    }
    const StationConfig& config = m_dlgMain->Config();
    m_title->setText(FormatTitle(config.SW_Title, config.Inspection_Debug_Flag_Sensor));
}

void CSystemDlg::OnInitDialog() {
    m_store.loadMotor(m_motor);

    // Header row.
    m_logo = new HeaderIcon(HeaderIcon::Logo, this);
    m_title = new CLabel(this);
    m_minimiseIcon = new HeaderIcon(HeaderIcon::Minimise, this);
    m_exitIcon = new HeaderIcon(HeaderIcon::Exit, this);
    m_title->setObjectName(QStringLiteral("TitleLabel"));
    m_title->SetFontName(QStringLiteral("맑은 고딕"));
    m_title->SetFontSize(20);
    m_title->SetFontWeight(700);
    m_title->SetTextColor(QColor(255, 255, 255));
    m_title->SetBkColor(QColor(96, 96, 96));
    m_title->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(m_logo, &HeaderIcon::clicked, this, [this] {
        CAboutDlg about(this);
        ModalLoop::Exec(about);
    });
    connect(m_minimiseIcon, &HeaderIcon::clicked, this, &QWidget::showMinimized);
    connect(m_exitIcon, &HeaderIcon::clicked, this, &CSystemDlg::Shutdown);

    // Layout.
    setGeometry(0, 0, kWidth, kHeight);
    setFixedSize(kWidth, kHeight);
    m_tab = new CEnTabCtrl(this);
    m_tab->setGeometry(0, kHeaderHeight, kWidth, kHeight - kHeaderHeight);
    m_tab->AddItem(QStringLiteral("Insepection"));
    m_tab->AddItem(QStringLiteral("Setup"));
    connect(m_tab, &CEnTabCtrl::selectionChanged, this, &CSystemDlg::SelectPage);

    m_dlgMain = new CDlgMain(m_store, m_tab);
    m_dlgMain->setGeometry(0, kTabRowHeight, kWidth, kHeight - kHeaderHeight - kTabRowHeight);
    m_dlgMain->show();
    m_dlgMain->Initialize();
    // The system settings page shows the configured head port from the start.
    m_panTilt->setPortNumber(m_dlgMain->Config().Motor_Port);
    m_timers.start(kTimerStartupCheck, kStartupCheckDelay_ms, true);

    m_dlgSetup = new CDlgSetup(
        SetupStation{*m_dlgMain, *m_panTilt, m_motor, [this] { UpdateTitle(); }}, m_tab);
    m_dlgSetup->setGeometry(0, kTabRowHeight, kWidth, kHeight - kHeaderHeight - kTabRowHeight);
    m_dlgSetup->hide();

    if (m_logoChoice == 1) {
        m_logo->setGeometry(0, 0, 80, kHeaderHeight);
        m_title->setGeometry(80, 0, 1762, kHeaderHeight);
    } else {
        m_logo->setGeometry(0, 0, kHeaderHeight, kHeaderHeight);
        m_title->setGeometry(kHeaderHeight, 0, 1803, kHeaderHeight);
    }
    m_minimiseIcon->setGeometry(1842, 0, kHeaderHeight, kHeaderHeight);
    m_exitIcon->setGeometry(1881, 0, kHeaderHeight, kHeaderHeight);

    SelectPage(kInspectionPage);
    // Opens the head's port and, when it opens, moves the head to its start position.
    m_panTilt->StartUp();
    // The status timer polls the head and reports its position; the head initialisation moves it.
    m_dlgMain->Runs().SetHeadLink({[this] { return m_panTilt->PollStatus(); },
                                   [this] { return m_panTilt->currentPanDegrees(); },
                                   [this] { return m_panTilt->currentTiltDegrees(); },
                                   [this](char kind, uint16_t pan, uint16_t tilt) {
                                       m_panTilt->MovePanTiltTo(kind, pan, tilt);
                                   }});
    // The control server's head commands and their replies.
    m_dlgMain->ControlLink().SetPanTilt(m_panTilt.get());
    UpdateTitle();
    connect(this, &CSystemDlg::sensorSettingsRequested, this, &CSystemDlg::OpenSensorSettings);
    qApp->installEventFilter(this);
}

void CSystemDlg::OpenSensorSettings() {
    if (m_shutdownRequested || m_dlgMain == nullptr) {
        return;
    }
    CStationSettingsGate gate(
        SetupStation{*m_dlgMain, *m_panTilt, m_motor, [this] { UpdateTitle(); }}, this,
        m_settingsToday);
    gate.Run();
}

void CSystemDlg::SelectPage(int requested) {
    if (m_shutdownRequested) {
        return;
    }
    const PageSwitchPlan plan = PlanPageSwitch(requested, m_shownPage, m_dlgMain->InspectionState(),
                                               m_dlgSetup->CurrentPage());
    if (plan.refused) {
        m_tab->SetCurSel(m_shownPage);
        ShowMessage(QStringLiteral("[검사중]"),
                    QStringLiteral("제품검사중에는 설정을 할 수 없습니다."));
        return;
    }
    if (plan.newInspectionState >= 0) {
        m_dlgMain->SetInspectionState(plan.newInspectionState);
    }
    if (plan.saveLiveArea) {
        m_dlgMain->SavedArea() = m_dlgMain->Sensor()->area;
    }
    if (plan.restoreLiveArea) {
        const InspectionArea saved = m_dlgMain->SavedArea();
        m_dlgMain->UpdateSensor([&saved](SensorSettings& settings) { settings.area = saved; });
    }
    if (plan.startScreenRefresh) {
        m_dlgMain->Timers().start(CDlgMain::kTimerRefreshScreen, CDlgMain::kRefreshScreenDelay_ms,
                                  true);
    }
    m_shownPage = plan.shownPage;
    m_tab->SetCurSel(m_shownPage);
    m_dlgMain->hide();
    m_dlgSetup->hide();
    if (m_shownPage == kSetupPage) {
        m_dlgSetup->show();
        m_dlgSetup->StartRefreshTimers();
    } else {
        m_dlgMain->show();
    }
}

void CSystemDlg::OnTimer(int id) {
    switch (id) {
        case kTimerOpenSensorSettings:
            m_timers.stop(id);
            emit sensorSettingsRequested();
            break;
        case kTimerStartupCheck:
            m_timers.stop(id);
            RunStartupCheck();
            break;
        default:
            break;
    }
}

void CSystemDlg::RunStartupCheck() {
    // Copied first: a modal dialog runs the event loop, and the pages may be gone after it.
    const StationConfig config = m_dlgMain->Config();
    ShowProgress(config.SW_Title + QStringLiteral(" 초기화"), kStartupProgressSteps);
    if (m_shutdownRequested) {
        return;
    }
    if (config.FolderName_Result.isEmpty()) {
        ShowMessage(QStringLiteral("저장폴더 설정"),
                    QStringLiteral("'시스템'설정에서 '저장폴더'를 설정을 해주세요."));
    }
    if (m_shutdownRequested) {
        return;
    }
    if (!PingHost(config.Vorn_db_server)) {
        ShowMessage(
            QStringLiteral("Vorn DB Server 설정"),
            QStringLiteral("Vorn DB Server(%1) 연결을 확인해 주세요.").arg(config.Vorn_db_server));
    }
    if (m_shutdownRequested) {
        return;
    }
    if (!PingHost(config.Bridge_db_server)) {
        ShowMessage(QStringLiteral("Bridge DB Server 설정"),
                    QStringLiteral("Bridge DB Server(%1) 연결을 확인해 주세요.")
                        .arg(config.Bridge_db_server));
    }
}

void CSystemDlg::Shutdown() {
    if (m_shutdownRequested) {
        return;
    }
    m_shutdownRequested = true;
    m_timers.stop(kTimerOpenSensorSettings);
    m_timers.stop(kTimerStartupCheck);
    // A dialog may be open with code below it that still uses the pages: close the dialogs,
    // answer the threads waiting for one, and destroy nothing before their loops have returned.
    CloseAllStationDialogs();
    ModalLoop::CloseAll();
    FinishShutdown();
}

void CSystemDlg::FinishShutdown() {
    if (ModalLoop::Depth() > 0) {
        QTimer::singleShot(kShutdownRetry_ms, this, &CSystemDlg::FinishShutdown);
        return;
    }
    RunShutdownOrder();
}

void CSystemDlg::RunShutdownOrder() {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    // No start request may still be on its way while the pages go.
    m_dlgMain->Runs().Shutdown();
    m_dlgMain->StopLinks();
    m_store.saveMotor(m_motor);
    m_store.save(m_dlgMain->Config());
    if (!m_dlgMain->StopSensor()) {
        DebugLog(QStringLiteral("App.Exit #1-NG"));
    }
    // A verdict shown just before the exit would otherwise stay lit (and sounding).
    m_dlgMain->Tower().SwitchOff();
    m_dlgMain->Storage().recorder().finishPictureWorkers(kPictureWorkerWait_ms);
    m_dlgMain->DestroyDevice();
    delete m_dlgMain;
    m_dlgMain = nullptr;
    delete m_dlgSetup;
    m_dlgSetup = nullptr;
    qApp->removeEventFilter(this);
    hide();
    emit shutdownFinished();
}

void CSystemDlg::RaiseWindow() {
    showNormal();
    raise();
    activateWindow();
}

bool CSystemDlg::IsInOwnWindow(QObject* object) const {
    // Message boxes and dialogs are windows of their own: their keys are theirs.
    return object->isWidgetType() && static_cast<QWidget*>(object)->window() == this;
}

bool CSystemDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
        return false;
    }
    if (m_shutdownRequested || !IsInOwnWindow(watched)) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    switch (ClassifyMainKey(key->key(), key->modifiers(), m_shownPage)) {
        case MainKeyAction::Pass:
            return false;
        case MainKeyAction::Swallow:
            return true;
        case MainKeyAction::SetupCaution:
            if (event->type() == QEvent::KeyPress) {
                ShowMessage(QStringLiteral("[주의]"),
                            QStringLiteral("센서 세부 설정은 검사모드에서만 가능합니다."));
            }
            return true;
        case MainKeyAction::OpenSensorSettings:
            if (event->type() == QEvent::KeyPress) {
                m_timers.start(kTimerOpenSensorSettings, kOpenSensorSettingsDelay_ms, true);
            }
            return true;
    }
    return false;
}

void CSystemDlg::closeEvent(QCloseEvent* event) {
    // Only the exit icon (or a service stop) ends the station; a window-manager close does not.
    if (m_shutDown) {
        event->accept();
    } else {
        event->ignore();
    }
}
