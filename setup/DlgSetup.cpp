#include "setup/DlgSetup.h"

#include "display/DlgMain.h"
#include "display/EnTabCtrl.h"
#include "display/Label.h"
#include "display/PicturePane.h"
#include "display/ScreenImages.h"
#include "display/TitleBar.h"
#include "sensor/PhonoluxDevice.h"
#include "setup/SetupPositionDlg.h"
#include "setup/SetupVornDlg.h"

#include <QPalette>

namespace {

constexpr QRect kTabRect{640, 0, 1280, 1041};
constexpr QRect kPageRect{0, 21, 1920, 1020};

}  // namespace

CDlgSetup::CDlgSetup(SetupStation station, QWidget* parent)
    : QWidget(parent), m_station(std::move(station)) {
    setObjectName(QStringLiteral("CDlgSetup"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
    connect(&m_timers, &TimerTable::fired, this, &CDlgSetup::OnTimer);

    const QImage grey = screen_images::LampImage(screen_images::kDotGrey);
    QImage dark(640, 480, QImage::Format_RGB32);
    dark.fill(QColor(26, 26, 26));
    for (int i = 0; i < 2; ++i) {
        m_lamps[i] = new CPicturePane(this, screen_images::kCrimson);
        m_lamps[i]->setGeometry(0, 510 * i, 30, 30);
        m_lamps[i]->SetImage(grey);
        m_pictures[i] = new CPicturePane(this);
        m_pictures[i]->setGeometry(0, 30 + 510 * i, 640, 480);
        m_pictures[i]->SetImage(dark);
    }
    m_pictures[0]->setObjectName(QStringLiteral("SetupPicturePane"));
    m_pictures[1]->setObjectName(QStringLiteral("SetupThermalPane"));
    m_titles[0] = MakeTitleBar(this, QStringLiteral("Acoustic"), QRect(30, 0, 610, 30));
    m_titles[1] = MakeTitleBar(this, QStringLiteral("Infrared"), QRect(30, 510, 610, 30));

    m_tab = new CEnTabCtrl(this);
    m_tab->setGeometry(kTabRect);
    m_tab->AddItem(QStringLiteral(" Sensor "));
    m_tab->AddItem(QStringLiteral(" System "));
    m_position = new CSetupPositionDlg(m_station, m_tab);
    m_position->setGeometry(kPageRect);
    m_system = new CSetupVornDlg(m_station, m_tab);
    m_system->setGeometry(kPageRect);
    connect(m_tab, &CEnTabCtrl::selectionChanged, this, &CDlgSetup::SelectTab);
    connect(m_position, &CSetupPositionDlg::saved, this, &CDlgSetup::RefreshContainer);
    connect(m_system, &CSetupVornDlg::saved, this, [this] {
        RefreshContainer();
        m_station.main.Timers().start(CDlgMain::kTimerRefreshScreen,
                                      CDlgMain::kRefreshScreenDelay_ms, true);
    });
    connect(this, &CDlgSetup::containerRefreshRequested, this, &CDlgSetup::RefreshContainer);
    connect(this, &CDlgSetup::sensorPageRefreshRequested, m_position, &CSetupPositionDlg::Refresh);

    // The live pictures are drawn here too while the Setup tab is shown.
    CDlgMain& main = m_station.main;
    connect(&main, &CDlgMain::pictureShown, this, [this] {
        if (isVisible()) {
            m_station.main.ShowPictureIn(*m_pictures[0]);
        }
    });
    connect(&main, &CDlgMain::thermalShown, this, [this] {
        if (isVisible()) {
            m_pictures[1]->SetImage(m_station.main.LastThermal());
        }
    });
    connect(&main, &CDlgMain::connectionStateChanged, this, &CDlgSetup::ShowLamps);

    SelectTab(kSensorPage);
    m_timers.start(kTimerContainerRefresh, kRefreshDelay_ms, true);
}

CDlgSetup::~CDlgSetup() = default;

void CDlgSetup::SelectTab(int index) {
    if (index != kSensorPage && index != kSystemPage) {
        return;
    }
    m_position->hide();
    m_system->hide();
    m_tab->SetCurSel(index);
    m_currentPage = index;
    if (index == kSystemPage) {
        m_system->show();
        m_system->StartRefreshTimer();
    } else {
        m_position->show();
    }
}

void CDlgSetup::StartRefreshTimers() {
    m_timers.start(kTimerContainerRefresh, kRefreshDelay_ms, true);
    m_timers.start(kTimerSensorPageRefresh, kRefreshDelay_ms, true);
}

void CDlgSetup::ShowLamps(int connectionState) {
    const QImage lamp = screen_images::LampImage(screen_images::LampDotColour(connectionState));
    for (CPicturePane* pane : m_lamps) {
        pane->SetImage(lamp);
    }
}

void CDlgSetup::RefreshContainer() {
    CPhonoluxDevice* device = m_station.main.Device();
    ShowLamps(device != nullptr ? device->connectionState() : 0);
    m_titles[0]->setText(QStringLiteral("Acoustic"));
    m_titles[1]->setText(QStringLiteral("Infrared"));
    m_titles[0]->update();
    m_titles[1]->update();
    if (!m_station.main.LastPicture().isNull()) {
        m_station.main.ShowPictureIn(*m_pictures[0]);
    }
    if (!m_station.main.LastThermal().isNull()) {
        m_pictures[1]->SetImage(m_station.main.LastThermal());
    }
}

void CDlgSetup::OnTimer(int id) {
    m_timers.stop(id);
    if (id == kTimerContainerRefresh) {
        emit containerRefreshRequested();
    } else if (id == kTimerSensorPageRefresh) {
        emit sensorPageRefreshRequested();
    }
}
