#pragma once
// The pan/tilt head as the main window drives it: continuous moves, moves to a position that are
// confirmed by polling the head's position, position queries for the control server, the
// presence watch of the port and the once-a-second status poll. Runs on the UI thread only; the
// main window's timers 2030-2032 come from its timer table.

#include "pantilt/PanTiltReplySink.h"
#include "pantilt/PelcoReplyAssembler.h"
#include "pantilt/SerialPort.h"

#include <QObject>
#include <QString>

#include <cstdint>

class TimerTable;
struct MotorConfig;

class CPanTiltControl : public QObject {
    Q_OBJECT
  public:
    static constexpr int kReceiveTimerId = 2030;
    static constexpr int kPresenceTimerId = 2031;
    static constexpr int kPositionPollTimerId = 2032;
    static constexpr int kReceiveIntervalMs = 10;
    static constexpr int kPresenceIntervalMs = 1000;
    static constexpr int kPositionPollIntervalMs = 500;
    // A reply within this many hundredths of the target counts as arrived.
    static constexpr int kPositionTolerance = 100;
    // After this many counted replies the next one still off target fails the operation.
    static constexpr int kMaxReadings = 15;
    // A set operation whose axis has not answered for this long fails.
    static constexpr int kUnansweredLimitMs = 10000;
    static constexpr int kStartUpPan = 0;
    static constexpr int kStartUpTilt = 45;

    CPanTiltControl(MotorConfig& motor, TimerTable& timers, QObject* parent = nullptr);
    ~CPanTiltControl() override;

    void setReplySink(PanTiltReplySink* sink) { m_sink = sink; }
    // The configured COM number (Motor_Port); replaced by every port opened successfully.
    void setPortNumber(int port) { m_portNumber = port; }
    int portNumber() const { return m_portNumber; }

    bool OpenPanTiltPort(int port);
    // The settings page's disconnect: timers off, port closed.
    void ClosePanTiltPort();
    // Main window start-up: open the configured port and move to pan 0, tilt 45 unreported.
    bool StartUp();

    void PanTiltMove(uint8_t direction);
    // kind 'K' pan only, 'M' tilt only, 'N' pan then tilt; whole degrees.
    void MovePanTiltTo(char kind, uint16_t panDegrees, uint16_t tiltDegrees);
    bool PanTilt_Control_Pos(uint8_t command, uint16_t degrees);
    bool PanTiltQuery(uint8_t command);
    // Fourteen hex digits of a whole frame, as written for the control server's raw frames.
    bool WriteFrameText(const QByteArray& hexText);
    bool WriteInitialiseFrame();

    // GET_PAN / GET_TILT: the next reply of that axis goes to the server.
    void RequestPanPosition();
    void RequestTiltPosition();
    // GET_PAN_TILT: pan then tilt, answered together.
    void RequestPanTiltPosition();
    // Once a second from the status timer; returns whether the port exists (PANTILT).
    bool PollStatus();

    bool initFlag() const { return m_initFlag; }
    void setInitFlag(bool set) { m_initFlag = set; }
    uint16_t currentPan() const { return m_currentPan; }
    uint16_t currentTilt() const { return m_currentTilt; }
    double currentPanDegrees() const { return m_currentPan / 100.0; }
    double currentTiltDegrees() const { return m_currentTilt / 100.0; }
    bool isConnected() const { return m_port.IsOpen(); }
    bool isPortPresent() const;
    bool isSetOperationWaiting() const;
    CSerialPort& serialPort() { return m_port; }

  signals:
    // "* Position : %.2f" for the settings page's labels.
    void panPositionText(const QString& text);
    void tiltPositionText(const QString& text);
    // Port opened or closed (settings page buttons and state text).
    void connectionChanged(bool connected);

  private:
    enum class Axis { Pan, Tilt };
    struct SetOperation {
        int state = 0;
        int confirm = 0;
        uint32_t lastAnswerMs = 0;
    };

    void onTimer(int id);
    void receive();
    void checkPresence();
    void pollPosition();
    void handleFrame(const PelcoFrame& frame);
    void handlePanReply();
    void handleTiltReply();
    bool openPort(int port, bool alwaysReport);
    bool write(const QByteArray& text);
    // Set operations carry no position.
    void sendReply(PanTiltReply reply, double panDegrees = 0, double tiltDegrees = 0);
    void start(SetOperation& operation, int state);
    void endOperation(SetOperation& operation);
    void failUnanswered(SetOperation& operation, const char* what, PanTiltReply reply);

    MotorConfig& m_motor;
    TimerTable& m_timers;
    PanTiltReplySink* m_sink = nullptr;
    CSerialPort m_port;
    CPelcoReplyAssembler m_replies;
    int m_portNumber = -1;
    uint16_t m_currentPan = 0;
    uint16_t m_currentTilt = 0;
    bool m_positionReply = false;
    SetOperation m_panTilt;
    SetOperation m_panOnly;
    SetOperation m_tiltOnly;
    bool m_initFlag = false;
    uint16_t m_targetPan = 0;
    uint16_t m_targetTilt = 0;
    int m_panReadings = 0;
    int m_tiltReadings = 0;
    int m_combinedQuery = 0;
    int m_statusPoll = 0;
    // The open failure of a present port is reported once until the port state changes.
    bool m_openFailureReported = false;
};
