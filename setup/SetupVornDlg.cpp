#include "setup/SetupVornDlg.h"

#include "app/StationConfig.h"
#include "app/StationDialogs.h"
#include "app/Utilities.h"
#include "display/DlgMain.h"
#include "pantilt/PanTiltControl.h"
#include "pantilt/PelcoFrames.h"
#include "remote/ControlLink.h"
#include "sensor/PhonoluxDevice.h"
#include "setup/PageControls.h"
#include "setup/SystemSettingsRules.h"
#include "storage/ConnectionTest.h"
#include "storage/StationStorage.h"
#include "streaming/StreamingPush.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

void Show(const RuleFailure& failure) {
    ShowMessage(failure.caption, failure.text);
}

// Pelco-D direction bits of the manual control buttons.
struct DirectionButton {
    const char* caption;
    uint8_t direction;
    QRect where;
};

}  // namespace

CSetupVornDlg::CSetupVornDlg(SetupStation station, QWidget* parent)
    : QWidget(parent), m_station(std::move(station)) {
    setObjectName(QStringLiteral("CSetupVornDlg"));
    setAutoFillBackground(true);
    connect(&m_timers, &TimerTable::fired, this, [this](int id) {
        m_timers.stop(id);
        if (id == kTimerRefresh) {
            RefreshPortState();
        }
    });

    // Left column.
    QGroupBox* title =
        page_controls::Group(QStringLiteral("1.  음향검사기 타이틀"), {20, 10, 600, 70}, this);
    m_title = page_controls::Edit(title, {15, 30, 570, 28});
    QGroupBox* folder =
        page_controls::Group(QStringLiteral("2. 저장폴더 설정"), {20, 90, 600, 70}, this);
    m_folder = page_controls::Label(QString(), folder, {15, 30, 470, 28});
    m_folder->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QPushButton* choose = AddButton(folder, QStringLiteral("등록"), {495, 28, 90, 32});
    connect(choose, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getExistingDirectory(
            this, QStringLiteral("저장폴더 설정"),
            m_folder->text().isEmpty() ? QStringLiteral("/") : m_folder->text());
        if (!chosen.isEmpty()) {
            m_folder->setText(chosen);
        }
    });

    auto serverGroup = [this](const QString& caption, int y, QLineEdit** ip, QLineEdit** pw) {
        QGroupBox* group = page_controls::Group(caption, {20, y, 600, 70}, this);
        page_controls::Label(QStringLiteral("IP"), group, {15, 30, 30, 28});
        *ip = page_controls::Edit(group, {45, 30, 200, 28});
        if (pw != nullptr) {
            page_controls::Label(QStringLiteral("PW"), group, {265, 30, 30, 28});
            *pw = page_controls::Edit(group, {295, 30, 180, 28});
            (*pw)->setEchoMode(QLineEdit::Password);
        }
        return AddButton(group, QStringLiteral("서버 체크"), {495, 28, 90, 32});
    };
    connect(serverGroup(QStringLiteral("３. Vorn Server"), 170, &m_webIp, &m_webPassword),
            &QPushButton::clicked, this, &CSetupVornDlg::CheckWebServer);
    connect(
        serverGroup(QStringLiteral("４. Bridge DB Server"), 250, &m_bridgeIp, &m_bridgePassword),
        &QPushButton::clicked, this, &CSetupVornDlg::CheckBridgeServer);
    connect(
        serverGroup(QStringLiteral("5. Vorn Control Server(13307)"), 330, &m_controlIp, nullptr),
        &QPushButton::clicked, this, &CSetupVornDlg::CheckControlServer);
    connect(serverGroup(QStringLiteral("6.Streaming Server"), 410, &m_streamingIp, nullptr),
            &QPushButton::clicked, this, &CSetupVornDlg::CheckStreamingServer);

    QGroupBox* port =
        page_controls::Group(QStringLiteral("7. Pan/Tilt 연결"), {20, 490, 600, 110}, this);
    page_controls::Label(QStringLiteral("* Com Port"), port, {15, 30, 90, 28});
    m_ports = new QComboBox(port);
    m_ports->setGeometry(105, 30, 140, 28);
    for (int i = 1; i <= kComPortCount; ++i) {
        m_ports->addItem(QStringLiteral("COM%1").arg(i));
    }
    m_portState = page_controls::Label(QString(), port, {15, 70, 300, 28});
    m_connect = AddButton(port, QStringLiteral("연결"), {395, 28, 90, 32});
    m_disconnect = AddButton(port, QStringLiteral("해제"), {495, 28, 90, 32});
    connect(m_connect, &QPushButton::clicked, this, &CSetupVornDlg::ConnectPort);
    connect(m_disconnect, &QPushButton::clicked, this, &CSetupVornDlg::DisconnectPort);

    QGroupBox* alarm =
        page_controls::Group(QStringLiteral("8. Alram Option"), {20, 610, 600, 70}, this);
    m_alarmOn = new QRadioButton(QStringLiteral("On"), alarm);
    m_alarmOn->setGeometry(15, 30, 100, 28);
    m_alarmOff = new QRadioButton(QStringLiteral("Off"), alarm);
    m_alarmOff->setGeometry(125, 30, 100, 28);

    QGroupBox* camera =
        page_controls::Group(QStringLiteral("8. 다채널 마이크로폰"), {20, 690, 600, 110}, this);
    page_controls::Label(QStringLiteral(" - 화면 밝기 :"), camera, {15, 30, 110, 28});
    m_brightness = new QComboBox(camera);
    m_brightness->setGeometry(125, 30, 120, 28);
    for (int i = 0; i <= 100; ++i) {
        m_brightness->addItem(QString::number(i));
    }
    page_controls::Label(QStringLiteral(" - Color : "), camera, {15, 70, 110, 28});
    m_gray = new QRadioButton(QStringLiteral("Gray"), camera);
    m_gray->setGeometry(125, 70, 100, 28);
    m_colour = new QRadioButton(QStringLiteral("Color"), camera);
    m_colour->setGeometry(235, 70, 100, 28);
    connect(m_gray, &QRadioButton::clicked, this, [this] { ChooseColour(0); });
    connect(m_colour, &QRadioButton::clicked, this, [this] { ChooseColour(1); });

    // Right column: the head.
    QGroupBox* head =
        page_controls::Group(QStringLiteral("11. Pan/Tilt 제어"), {640, 10, 620, 790}, this);
    QGroupBox* settings =
        page_controls::Group(QStringLiteral("1) Setting Information"), {15, 30, 590, 170}, head);
    page_controls::Label(QStringLiteral("* Address : "), settings, {15, 30, 110, 28});
    m_address = page_controls::Edit(settings, {125, 30, 120, 28});
    page_controls::Label(QStringLiteral("* Pan Speed :"), settings, {15, 70, 110, 28});
    m_panSpeed = page_controls::Edit(settings, {125, 70, 120, 28});
    page_controls::Label(QStringLiteral("* Tilt Speed :"), settings, {15, 110, 110, 28});
    m_tiltSpeed = page_controls::Edit(settings, {125, 110, 120, 28});
    connect(AddButton(settings, QStringLiteral("저장"), {480, 108, 90, 32}), &QPushButton::clicked,
            this, &CSetupVornDlg::SavePanTiltSettings);

    QGroupBox* manual =
        page_controls::Group(QStringLiteral("2) Manual Control"), {15, 210, 590, 200}, head);
    const DirectionButton directions[] = {
        {"Left Up", Pelco::kLeftUp, {15, 30, 100, 40}},
        {"Up", Pelco::kUp, {125, 30, 100, 40}},
        {"Right Up", Pelco::kRightUp, {235, 30, 100, 40}},
        {"Left", Pelco::kLeft, {15, 80, 100, 40}},
        {"Stop", 0x00, {125, 80, 100, 40}},
        {"Right", Pelco::kRight, {235, 80, 100, 40}},
        {"Left Down", Pelco::kLeftDown, {15, 130, 100, 40}},
        {"Down", Pelco::kDown, {125, 130, 100, 40}},
        {"Right Down", Pelco::kRightDown, {235, 130, 100, 40}},
    };
    for (const DirectionButton& d : directions) {
        const uint8_t direction = d.direction;
        connect(AddButton(manual, QString::fromLatin1(d.caption), d.where), &QPushButton::clicked,
                this, [this, direction] { m_station.panTilt.PanTiltMove(direction); });
    }
    connect(AddButton(manual, QStringLiteral("Init"), {370, 80, 100, 40}), &QPushButton::clicked,
            this, [this] { m_station.panTilt.WriteInitialiseFrame(); });

    QGroupBox* position =
        page_controls::Group(QStringLiteral("3) Pan/Tilt Control"), {15, 420, 590, 250}, head);
    QGroupBox* pan = page_controls::Group(QStringLiteral("Pan"), {15, 30, 275, 150}, position);
    m_panPosition = page_controls::Label(QStringLiteral("* Position : "), pan, {15, 30, 245, 28});
    page_controls::Label(QStringLiteral("* Set Position : "), pan, {15, 65, 120, 28});
    m_panSet = page_controls::Edit(pan, {135, 65, 120, 28});
    connect(AddButton(pan, QStringLiteral("Get Pan"), {15, 105, 115, 32}), &QPushButton::clicked,
            this, [this] { m_station.panTilt.PanTiltQuery(Pelco::kQueryPan); });
    connect(AddButton(pan, QStringLiteral("Set Pan"), {140, 105, 115, 32}), &QPushButton::clicked,
            this, &CSetupVornDlg::SetPan);
    QGroupBox* tilt = page_controls::Group(QStringLiteral("Tilt"), {300, 30, 275, 150}, position);
    m_tiltPosition = page_controls::Label(QStringLiteral("* Position : "), tilt, {15, 30, 245, 28});
    page_controls::Label(QStringLiteral("* Set Position : "), tilt, {15, 65, 120, 28});
    m_tiltSet = page_controls::Edit(tilt, {135, 65, 120, 28});
    connect(AddButton(tilt, QStringLiteral("Get Tilt"), {15, 105, 115, 32}), &QPushButton::clicked,
            this, [this] { m_station.panTilt.PanTiltQuery(Pelco::kQueryTilt); });
    connect(AddButton(tilt, QStringLiteral("Set Tilt"), {140, 105, 115, 32}), &QPushButton::clicked,
            this, &CSetupVornDlg::SetTilt);
    // "Get Pan/Tilt" has no action on this page.
    AddButton(position, QStringLiteral("Get Pan/Tilt"), {15, 195, 275, 36});
    connect(AddButton(position, QStringLiteral("Set Pan/Tilt"), {300, 195, 275, 36}),
            &QPushButton::clicked, this, &CSetupVornDlg::SetPanTilt);
    connect(&m_station.panTilt, &CPanTiltControl::panPositionText, m_panPosition, &QLabel::setText);
    connect(&m_station.panTilt, &CPanTiltControl::tiltPositionText, m_tiltPosition,
            &QLabel::setText);
    connect(&m_station.panTilt, &CPanTiltControl::connectionChanged, this,
            &CSetupVornDlg::ShowPortState);

    QGroupBox* moving =
        page_controls::Group(QStringLiteral("4) Moving Test"), {15, 680, 590, 90}, head);
    AddButton(moving, QStringLiteral("Start"), {15, 35, 115, 36});
    AddButton(moving, QStringLiteral("Stop"), {140, 35, 115, 36});
    moving->hide();

    connect(AddButton(this, QStringLiteral("DB 동기화"), {20, 830, 200, 50}), &QPushButton::clicked,
            this, [this] { m_station.main.ControlLink().SendDbSyncRequest(); });
    connect(AddButton(this, QStringLiteral("저장"), {1060, 830, 200, 50}), &QPushButton::clicked,
            this, &CSetupVornDlg::Save);
    connect(m_brightness, &QComboBox::currentIndexChanged, this, &CSetupVornDlg::ChooseBrightness);

    LoadFromStation();
}

CSetupVornDlg::~CSetupVornDlg() {
    FinishConnectionTests();
}

QPushButton* CSetupVornDlg::AddButton(QWidget* parent, const QString& caption, const QRect& where) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(where);
    m_buttons.push_back(button);
    return button;
}

QPushButton* CSetupVornDlg::Button(const QString& caption, int occurrence) const {
    for (QPushButton* button : m_buttons) {
        if (button->text() == caption && occurrence-- == 0) {
            return button;
        }
    }
    return nullptr;
}

void CSetupVornDlg::LoadFromStation() {
    const StationConfig& config = m_station.main.Config();
    m_panSet->setText(QStringLiteral("0"));
    m_tiltSet->setText(QStringLiteral("0"));
    m_title->setText(config.SW_Title);
    m_folder->setText(config.FolderName_Result);
    (config.Buzzer_Enable == 1 ? m_alarmOn : m_alarmOff)->setChecked(true);
    m_ports->setCurrentIndex(m_station.panTilt.portNumber() - 1);
    m_webIp->setText(config.Vorn_db_server);
    m_webPassword->setText(config.Vorn_db_server_pw);
    m_bridgeIp->setText(config.Bridge_db_server);
    m_bridgePassword->setText(config.Bridge_db_server_pw);
    m_controlIp->setText(config.Vorn_control_server);
    m_streamingIp->setText(config.Vorn_Streming_server_0_ip);
    m_address->setText(QString::number(m_station.motor.Motor_address));
    m_panSpeed->setText(QString::number(m_station.motor.Motor_pan_speed));
    m_tiltSpeed->setText(QString::number(m_station.motor.Motor_tilt_speed));
    (config.Phonolux_Video_Color == 1 ? m_colour : m_gray)->setChecked(true);
    RefreshPortState();
}

void CSetupVornDlg::StartRefreshTimer() {
    m_timers.start(kTimerRefresh, kRefreshDelay_ms, true);
}

void CSetupVornDlg::ShowPortState(bool open) {
    m_connect->setEnabled(!open);
    m_disconnect->setEnabled(open);
    m_portState->setText(open ? QStringLiteral("- 연결상태 : 연결")
                              : QStringLiteral("- 연결상태 : 연결해제"));
}

void CSetupVornDlg::RefreshPortState() {
    ShowPortState(m_station.panTilt.isConnected());
    const QSignalBlocker quiet(m_brightness);
    m_brightness->setCurrentIndex(m_station.main.Config().Camera_Brightness);
}

void CSetupVornDlg::StartConnectionTest(std::thread test) {
    m_connectionTests.push_back(std::move(test));
}

void CSetupVornDlg::FinishConnectionTests() {
    // Each test connects with the profile's time limits, so the wait is bounded.
    for (std::thread& test : m_connectionTests) {
        if (test.joinable()) {
            test.join();
        }
    }
    m_connectionTests.clear();
}

void CSetupVornDlg::CheckWebServer() {
    const QString ip = m_webIp->text().trimmed();
    const QString password = m_webPassword->text().trimmed();
    if (const auto failure = CheckServerFields(DatabaseServer::Web, ip, password)) {
        Show(*failure);
        return;
    }
    if (!PingHost(ip)) {
        ShowMessage(QStringLiteral("Web DB Server"),
                    QStringLiteral("[Web DB Server 연결 체크 필요] Web DB Server Ping NG...!"));
        return;
    }
    ShowMessage(QStringLiteral("Web DB Server"), QStringLiteral("'%1' Ping OK").arg(ip));
    StationConfig& config = m_station.main.Config();
    config.Vorn_db_server = ip;
    config.Vorn_db_server_pw = password;
    m_station.main.Storage().profiles().setWebServer(ip, password);
    StartConnectionTest(StartWebConnectionTest(m_station.main.Storage().profiles().web()));
}

void CSetupVornDlg::CheckBridgeServer() {
    const QString ip = m_bridgeIp->text().trimmed();
    const QString password = m_bridgePassword->text().trimmed();
    if (const auto failure = CheckServerFields(DatabaseServer::Bridge, ip, password)) {
        Show(*failure);
        return;
    }
    if (!PingHost(ip)) {
        ShowMessage(QStringLiteral("Bridge DB Server"),
                    QStringLiteral("[Bridge DB Server 연결 체크 필요] Web DB Server Ping NG...!"));
        return;
    }
    ShowMessage(QStringLiteral("Bridge DB Server"), QStringLiteral("'%1' Ping OK").arg(ip));
    StationConfig& config = m_station.main.Config();
    config.Bridge_db_server = ip;
    config.Bridge_db_server_pw = password;
    m_station.main.Storage().profiles().setBridgeServer(ip, password);
    StartConnectionTest(StartBridgeConnectionTest(m_station.main.Storage().profiles().bridge()));
}

void CSetupVornDlg::CheckControlServer() {
    const QString ip = m_controlIp->text().trimmed();
    if (!PingHost(ip)) {
        ShowMessage(
            QStringLiteral("Web Control Server"),
            QStringLiteral("[Web Control Server 연결 체크 필요] Web Control Server Ping NG...!"));
        return;
    }
    ShowMessage(QStringLiteral("Web Control Server"), QStringLiteral("'%1' Ping OK").arg(ip));
    m_station.main.Config().Vorn_control_server = ip;
    m_station.main.ControlLink().Socket().SetServerAddress(ip);
}

void CSetupVornDlg::CheckStreamingServer() {
    const QString ip = m_streamingIp->text().trimmed();
    if (!PingHost(ip)) {
        ShowMessage(QStringLiteral("Vorn Streming Server"),
                    QStringLiteral("[WebVorn Streming Server 연결 체크 필요] Vorn StremingServer "
                                   "Ping NG...!"));
        return;
    }
    ShowMessage(QStringLiteral("WebVorn Streming Server"), QStringLiteral("'%1' Ping OK").arg(ip));
    StationConfig& config = m_station.main.Config();
    config.Vorn_Streming_server_0_ip = ip;
    config.Vorn_Streming_server_1_ip = ip;
    m_station.main.Streaming().Link(0).SetServerAddress(ip);
    m_station.main.Streaming().Link(1).SetServerAddress(ip);
}

void CSetupVornDlg::ConnectPort() {
    const bool opened = m_station.panTilt.OpenPanTiltPort(m_ports->currentIndex() + 1);
    ShowPortState(opened);
}

void CSetupVornDlg::DisconnectPort() {
    m_station.panTilt.ClosePanTiltPort();
    ShowPortState(false);
}

void CSetupVornDlg::ChooseBrightness(int index) {
    if (index < 0) {
        return;
    }
    m_station.main.Config().Camera_Brightness = index;
    if (CPhonoluxDevice* device = m_station.main.Device()) {
        device->SendBrightness(index);
    }
}

void CSetupVornDlg::ChooseColour(int mode) {
    (mode == 1 ? m_colour : m_gray)->setChecked(true);
    m_station.main.Config().Phonolux_Video_Color = mode;
    m_station.main.ApplyConfig();
}

void CSetupVornDlg::SavePanTiltSettings() {
    const PanTiltSettingValues values{DecimalFromEdit(m_address->text()),
                                      DecimalFromEdit(m_panSpeed->text()),
                                      DecimalFromEdit(m_tiltSpeed->text())};
    const PanTiltSettingChecks checks = CheckPanTiltSettings(values);
    if (checks.addressAccepted) {
        m_station.motor.Motor_address = static_cast<uint8_t>(values.address);
    }
    if (checks.panSpeedAccepted) {
        m_station.motor.Motor_pan_speed = static_cast<uint8_t>(values.panSpeed);
    }
    if (checks.tiltSpeedAccepted) {
        m_station.motor.Motor_tilt_speed = static_cast<uint8_t>(values.tiltSpeed);
    }
    for (const RuleFailure& failure : checks.failures) {
        Show(failure);
    }
}

void CSetupVornDlg::SetPan() {
    const uint16_t pan = PositionFromEdit(m_panSet->text());
    if (const auto failure = CheckSetPan(pan)) {
        Show(*failure);
        return;
    }
    m_station.panTilt.MovePanTiltTo('K', pan, 0);
}

void CSetupVornDlg::SetTilt() {
    const uint16_t tilt = PositionFromEdit(m_tiltSet->text());
    if (const auto failure = CheckSetTilt(tilt)) {
        Show(*failure);
        return;
    }
    m_station.panTilt.MovePanTiltTo('M', 0, tilt);
}

void CSetupVornDlg::SetPanTilt() {
    const uint16_t pan = PositionFromEdit(m_panSet->text());
    const uint16_t tilt = PositionFromEdit(m_tiltSet->text());
    if (const auto failure = CheckSetPanTilt(pan, tilt)) {
        Show(*failure);
        return;
    }
    m_station.panTilt.MovePanTiltTo('N', pan, tilt);
}

void CSetupVornDlg::Save() {
    if (const auto failure = CheckSystemSave(m_title->text(), m_folder->text())) {
        Show(*failure);
        return;
    }
    StationConfig& config = m_station.main.Config();
    config.SW_Title = m_title->text();
    config.FolderName_Result = m_folder->text();
    config.FolderName_Network = m_folder->text();
    config.Buzzer_Enable = m_alarmOn->isChecked() ? 1 : 0;
    const int port = m_ports->currentIndex() + 1;
    config.Motor_Port = port;
    m_station.panTilt.setPortNumber(port);
    config.Vorn_db_server = m_webIp->text().trimmed();
    config.Vorn_db_server_pw = m_webPassword->text().trimmed();
    config.Bridge_db_server = m_bridgeIp->text().trimmed();
    config.Bridge_db_server_pw = m_bridgePassword->text().trimmed();
    m_station.main.Storage().profiles().setWebServer(config.Vorn_db_server,
                                                     config.Vorn_db_server_pw);
    m_station.main.Storage().profiles().setBridgeServer(config.Bridge_db_server,
                                                        config.Bridge_db_server_pw);
    const QString control = m_controlIp->text().trimmed();
    config.Vorn_control_server = control;
    m_station.main.ControlLink().Socket().SetServerAddress(control);
    const QString streaming = m_streamingIp->text().trimmed();
    config.Vorn_Streming_server_0_ip = streaming;
    config.Vorn_Streming_server_1_ip = streaming;
    m_station.main.Streaming().Link(0).SetServerAddress(streaming);
    m_station.main.Streaming().Link(1).SetServerAddress(streaming);
    if (m_station.refreshTitle) {
        m_station.refreshTitle();
    }
    emit saved();
}

void CSetupVornDlg::keyPressEvent(QKeyEvent* event) {
    if (page_controls::SwallowPageKey(event)) {
        return;
    }
    QWidget::keyPressEvent(event);
}
