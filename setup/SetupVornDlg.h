#pragma once
// The " System " page of the setup container: the inspector title, the result folder, the
// database, control and streaming servers with their checks, the head's port, the alarm option,
// the picture brightness and colour, the head's settings and manual control, the database
// synchronisation request and the save that takes the page's values over.

#include "app/TimerTable.h"
#include "setup/SetupStation.h"

#include <QWidget>

#include <thread>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CSetupVornDlg : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kTimerRefresh = 7024;
    static constexpr int kRefreshDelay_ms = 10;
    static constexpr int kComPortCount = 254;

    CSetupVornDlg(SetupStation station, QWidget* parent = nullptr);
    ~CSetupVornDlg() override;

    // The page's own refresh 10 ms after it is shown.
    void StartRefreshTimer();
    void RefreshPortState();

    void CheckWebServer();
    void CheckBridgeServer();
    void CheckControlServer();
    void CheckStreamingServer();
    void ConnectPort();
    void DisconnectPort();
    void ChooseBrightness(int index);
    void ChooseColour(int mode);
    void SavePanTiltSettings();
    void SetPan();
    void SetTilt();
    void SetPanTilt();
    void Save();
    // Waits for the database connection tests still running (tests; the page's end).
    void FinishConnectionTests();

    // The controls, for tests and screenshots.
    QLineEdit* TitleEdit() const { return m_title; }
    QLabel* FolderLabel() const { return m_folder; }
    QLineEdit* WebIp() const { return m_webIp; }
    QLineEdit* WebPassword() const { return m_webPassword; }
    QLineEdit* BridgeIp() const { return m_bridgeIp; }
    QLineEdit* BridgePassword() const { return m_bridgePassword; }
    QLineEdit* ControlIp() const { return m_controlIp; }
    QLineEdit* StreamingIp() const { return m_streamingIp; }
    QComboBox* PortList() const { return m_ports; }
    QLabel* PortState() const { return m_portState; }
    QPushButton* ConnectButton() const { return m_connect; }
    QPushButton* DisconnectButton() const { return m_disconnect; }
    QRadioButton* AlarmOn() const { return m_alarmOn; }
    QRadioButton* AlarmOff() const { return m_alarmOff; }
    QComboBox* BrightnessList() const { return m_brightness; }
    QRadioButton* Gray() const { return m_gray; }
    QRadioButton* Colour() const { return m_colour; }
    QLineEdit* AddressEdit() const { return m_address; }
    QLineEdit* PanSpeedEdit() const { return m_panSpeed; }
    QLineEdit* TiltSpeedEdit() const { return m_tiltSpeed; }
    QLineEdit* PanSetEdit() const { return m_panSet; }
    QLineEdit* TiltSetEdit() const { return m_tiltSet; }
    QLabel* PanPosition() const { return m_panPosition; }
    QLabel* TiltPosition() const { return m_tiltPosition; }
    // A button of the page by its caption (the first one for "저장" is the head's settings).
    QPushButton* Button(const QString& caption, int occurrence = 0) const;

  signals:
    // After "저장" took the values over: the main screen and the container refresh.
    void saved();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void LoadFromStation();
    void ShowPortState(bool open);
    void StartConnectionTest(std::thread test);
    QPushButton* AddButton(QWidget* parent, const QString& caption, const QRect& where);

    SetupStation m_station;
    TimerTable m_timers;
    std::vector<std::thread> m_connectionTests;
    QLineEdit* m_title = nullptr;
    QLabel* m_folder = nullptr;
    QLineEdit* m_webIp = nullptr;
    QLineEdit* m_webPassword = nullptr;
    QLineEdit* m_bridgeIp = nullptr;
    QLineEdit* m_bridgePassword = nullptr;
    QLineEdit* m_controlIp = nullptr;
    QLineEdit* m_streamingIp = nullptr;
    QComboBox* m_ports = nullptr;
    QLabel* m_portState = nullptr;
    QPushButton* m_connect = nullptr;
    QPushButton* m_disconnect = nullptr;
    QRadioButton* m_alarmOn = nullptr;
    QRadioButton* m_alarmOff = nullptr;
    QComboBox* m_brightness = nullptr;
    QRadioButton* m_gray = nullptr;
    QRadioButton* m_colour = nullptr;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_panSpeed = nullptr;
    QLineEdit* m_tiltSpeed = nullptr;
    QLineEdit* m_panSet = nullptr;
    QLineEdit* m_tiltSet = nullptr;
    QLabel* m_panPosition = nullptr;
    QLabel* m_tiltPosition = nullptr;
    std::vector<QPushButton*> m_buttons;
};
