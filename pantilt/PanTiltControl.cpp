#include "pantilt/PanTiltControl.h"

#include "app/DebugLog.h"
#include "app/StationConfig.h"
#include "app/StationDialogs.h"
#include "app/TimerTable.h"
#include "app/Utilities.h"
#include "pantilt/PanTiltReplySink.h"
#include "pantilt/SerialException.h"

namespace {
constexpr const char kWhere[] = "CSystemDlg::PanTilt_Control_Pos";
constexpr int kReadChunk = 128;

bool WithinTolerance(uint16_t target, uint16_t current) {
    const int difference = static_cast<int>(current) - static_cast<int>(target);
    return difference >= -CPanTiltControl::kPositionTolerance &&
           difference <= CPanTiltControl::kPositionTolerance;
}

QString PositionText(uint16_t hundredths) {
    return QString::asprintf("* Position : %.2f", hundredths / 100.0);
}
}  // namespace

CPanTiltControl::CPanTiltControl(MotorConfig& motor, TimerTable& timers, QObject* parent)
    : QObject(parent), m_motor(motor), m_timers(timers) {
    connect(&m_timers, &TimerTable::fired, this, &CPanTiltControl::onTimer);
}

CPanTiltControl::~CPanTiltControl() = default;

bool CPanTiltControl::isPortPresent() const {
    return m_portNumber >= 1 && CSerialPort::IsPortPresent(static_cast<unsigned>(m_portNumber));
}

bool CPanTiltControl::isSetOperationWaiting() const {
    return m_panTilt.state != 0 || m_panOnly.state != 0 || m_tiltOnly.state != 0;
}

bool CPanTiltControl::OpenPanTiltPort(int port) {
    return openPort(port, true);
}

bool CPanTiltControl::openPort(int port, bool alwaysReport) {
    if (port < 1) {
        return false;
    }
    m_port.SetWriteMode(CSerialPort::HexMode);
    if (m_port.Open(port)) {
        m_portNumber = port;
        m_openFailureReported = false;
        m_replies.clear();
        m_timers.start(kReceiveTimerId, kReceiveIntervalMs, false);
        m_timers.start(kPresenceTimerId, kPresenceIntervalMs, false);
        emit connectionChanged(true);
        return true;
    }
    if (alwaysReport || !m_openFailureReported) {
        m_openFailureReported = true;
        ShowMessage(QStringLiteral("[ERROR]Pan/Tilt 모터 연결실패"),
                    QStringLiteral("'Com%1' Pan/Tilt 모터 연결 실패, Pan/Tilt 모터 디바이스 확인해 "
                                   "주세요.")
                        .arg(port));
    }
    return false;
}

void CPanTiltControl::ClosePanTiltPort() {
    m_timers.stop(kReceiveTimerId);
    m_timers.stop(kPresenceTimerId);
    m_port.Close();
    m_replies.clear();
    emit connectionChanged(false);
}

bool CPanTiltControl::StartUp() {
    if (!OpenPanTiltPort(m_portNumber)) {
        return false;
    }
    m_initFlag = true;
    MovePanTiltTo('N', kStartUpPan, kStartUpTilt);
    return true;
}

bool CPanTiltControl::write(const QByteArray& text) {
    bool written = false;
    try {
        written = m_port.WriteCommand(text);
    } catch (const CSerialException& error) {
        DebugLogf("[PanTilt] Com%d write failed : %s", m_portNumber,
                  error.errorMessage().toUtf8().constData());
    }
    // The write purged the port's unread input, so the rest of a started reply is gone and the
    // next bytes begin a new one. Also after a failed write: the purge comes first, and losing
    // one reply to the next poll is cheaper than reading a stitched one.
    m_replies.clear();
    return written;
}

void CPanTiltControl::PanTiltMove(uint8_t direction) {
    write(PelcoFrameText(PelcoMoveFrame(m_motor.Motor_address, direction, m_motor.Motor_pan_speed,
                                        m_motor.Motor_tilt_speed)));
}

void CPanTiltControl::start(SetOperation& operation, int state) {
    operation.state = state;
    operation.confirm = 0;
    operation.lastAnswerMs = TickCountMs();
}

void CPanTiltControl::MovePanTiltTo(char kind, uint16_t panDegrees, uint16_t tiltDegrees) {
    switch (kind) {
        case 'K':
            start(m_panOnly, 1);
            m_targetPan = static_cast<uint16_t>(panDegrees * 100);
            PanTilt_Control_Pos(Pelco::kSetPanPosition, panDegrees);
            break;
        case 'M':
            start(m_tiltOnly, 1);
            m_targetTilt = static_cast<uint16_t>(tiltDegrees * 100);
            PanTilt_Control_Pos(Pelco::kSetTiltPosition, tiltDegrees);
            break;
        case 'N':
            start(m_panTilt, 1);
            m_targetPan = static_cast<uint16_t>(panDegrees * 100);
            m_targetTilt = static_cast<uint16_t>(tiltDegrees * 100);
            // The tilt follows once the pan has arrived.
            PanTilt_Control_Pos(Pelco::kSetPanPosition, panDegrees);
            break;
        default:
            return;
    }
    m_timers.start(kPositionPollTimerId, kPositionPollIntervalMs, false);
}

bool CPanTiltControl::PanTilt_Control_Pos(uint8_t command, uint16_t degrees) {
    if (command == Pelco::kSetPanPosition) {
        if (degrees > 360) {
            DebugLogf("[%s] Skip : Pan 모터 범위는 %d° ~ %d°입니다.", kWhere, 0, 360);
            return false;
        }
        m_panReadings = 0;
    } else if (command == Pelco::kSetTiltPosition) {
        if (degrees > 90 && !(degrees >= 320 && degrees <= 360)) {
            DebugLogf("[%s] Skip : Tilt 모터 범위는 %d° ~ %d°, %d° ~ %d° 입니다.", kWhere, 0, 90,
                      320, 360);
            return false;
        }
        m_tiltReadings = 0;
    }
    const auto value = static_cast<uint16_t>(degrees * 100);
    const QByteArray text =
        PelcoFrameText(PelcoSetPositionFrame(m_motor.Motor_address, command, value));
    const bool written = write(text);
    DebugLog(QString::fromLatin1(text));
    return written;
}

bool CPanTiltControl::PanTiltQuery(uint8_t command) {
    return write(PelcoFrameText(PelcoQueryFrame(m_motor.Motor_address, command)));
}

bool CPanTiltControl::WriteFrameText(const QByteArray& hexText) {
    return write(hexText);
}

bool CPanTiltControl::WriteInitialiseFrame() {
    return write(Pelco::kInitialiseText);
}

void CPanTiltControl::RequestPanPosition() {
    m_positionReply = true;
    PanTiltQuery(Pelco::kQueryPan);
}

void CPanTiltControl::RequestTiltPosition() {
    m_positionReply = true;
    PanTiltQuery(Pelco::kQueryTilt);
}

void CPanTiltControl::RequestPanTiltPosition() {
    m_combinedQuery = 1;
    PanTiltQuery(Pelco::kQueryPan);
}

bool CPanTiltControl::PollStatus() {
    const bool present = isPortPresent();
    if (!present) {
        // A port that comes back is a new state: its open failure is worth a message again.
        m_openFailureReported = false;
    }
    if (present && !m_port.IsOpen()) {
        openPort(m_portNumber, false);
        return present;
    }
    m_statusPoll = 1;
    PanTiltQuery(Pelco::kQueryPan);
    return present;
}

void CPanTiltControl::onTimer(int id) {
    switch (id) {
        case kReceiveTimerId:
            receive();
            break;
        case kPresenceTimerId:
            checkPresence();
            break;
        case kPositionPollTimerId:
            pollPosition();
            break;
        default:
            break;
    }
}

void CPanTiltControl::receive() {
    if (!isPortPresent()) {
        return;
    }
    char bytes[kReadChunk];
    int count = 0;
    try {
        count = m_port.Read(bytes, kReadChunk);
    } catch (const CSerialException& error) {
        // The line is gone under an open handle; let the status poll open it afresh.
        DebugLogf("[PanTilt] Com%d read failed : %s", m_portNumber,
                  error.errorMessage().toUtf8().constData());
        ClosePanTiltPort();
        return;
    }
    if (count <= 0) {
        return;
    }
    m_replies.append(bytes, count);
    for (const PelcoFrame& frame : m_replies.takeFrames()) {
        handleFrame(frame);
    }
}

void CPanTiltControl::handleFrame(const PelcoFrame& frame) {
    if (frame[0] != Pelco::kSync || frame[1] != m_motor.Motor_address) {
        return;
    }
    if (frame[3] == Pelco::kPanReply) {
        m_currentPan = PelcoReplyValue(frame);
        handlePanReply();
    } else if (frame[3] == Pelco::kTiltReply) {
        m_currentTilt = PelcoReplyValue(frame);
        handleTiltReply();
    }
}

void CPanTiltControl::sendReply(PanTiltReply reply, double panDegrees, double tiltDegrees) {
    if (!m_sink) {
        DebugLogf("[PanTilt] %s (pan %.2f, tilt %.2f) : no control link", PanTiltReplyName(reply),
                  panDegrees, tiltDegrees);
        return;
    }
    m_sink->sendPanTiltReply(reply, panDegrees, tiltDegrees);
}

void CPanTiltControl::endOperation(SetOperation& operation) {
    operation.state = 0;
    operation.confirm = 0;
    // The poll timer is shared: it runs on while another operation still waits.
    if (!isSetOperationWaiting()) {
        m_timers.stop(kPositionPollTimerId);
    }
}

void CPanTiltControl::handlePanReply() {
    emit panPositionText(PositionText(m_currentPan));
    if (m_positionReply) {
        m_positionReply = false;
        sendReply(PanTiltReply::GetPanAck, currentPanDegrees(), 0);
    }
    if (m_panTilt.state == 1) {
        ++m_panReadings;
        m_panTilt.lastAnswerMs = TickCountMs();
        if (!WithinTolerance(m_targetPan, m_currentPan)) {
            DebugLogf("** Wait Pan/Tilt Setup #1(Pan) = %d (%d/%d)", m_panReadings, m_targetPan,
                      m_currentPan);
            if (m_panReadings > kMaxReadings) {
                endOperation(m_panTilt);
                sendReply(PanTiltReply::SetPanTiltNg);
            }
        } else if (m_panTilt.confirm) {
            DebugLogf("**SET_PAN_TILT_COMPLETE / END : Pan(%d/%d)", m_targetPan, m_currentPan);
            start(m_panTilt, 2);
            PanTilt_Control_Pos(Pelco::kSetTiltPosition, m_targetTilt / 100);
        } else {
            m_panTilt.confirm = 1;
        }
    }
    if (m_panOnly.state == 1) {
        ++m_panReadings;
        m_panOnly.lastAnswerMs = TickCountMs();
        if (!WithinTolerance(m_targetPan, m_currentPan)) {
            DebugLogf("** Wait Pan Setup #1 = %d (%d/%d)", m_panReadings, m_targetPan,
                      m_currentPan);
            if (m_panReadings > kMaxReadings) {
                endOperation(m_panOnly);
                sendReply(PanTiltReply::SetPanNg);
            }
        } else if (m_panOnly.confirm) {
            endOperation(m_panOnly);
            DebugLogf("**SET_PAN_TILT_COMPLETE / END : Pan(%d/%d)", m_targetPan, m_currentPan);
            sendReply(PanTiltReply::SetPanComplete);
        } else {
            m_panOnly.confirm = 1;
        }
    }
    if (m_combinedQuery == 1) {
        m_combinedQuery = 2;
        PanTiltQuery(Pelco::kQueryTilt);
    }
    if (m_statusPoll == 1) {
        m_statusPoll = 2;
        PanTiltQuery(Pelco::kQueryTilt);
    }
}

void CPanTiltControl::handleTiltReply() {
    emit tiltPositionText(PositionText(m_currentTilt));
    if (m_positionReply) {
        m_positionReply = false;
        sendReply(PanTiltReply::GetTiltAck, 0, currentTiltDegrees());
    }
    if (m_panTilt.state == 2) {
        ++m_tiltReadings;
        m_panTilt.lastAnswerMs = TickCountMs();
        if (!WithinTolerance(m_targetTilt, m_currentTilt)) {
            DebugLogf("** Wait Tilt Setup #1 = %d (%d/%d)", m_tiltReadings, m_targetTilt,
                      m_currentTilt);
            if (m_tiltReadings > kMaxReadings) {
                endOperation(m_panTilt);
                sendReply(PanTiltReply::SetPanTiltNg);
            }
        } else if (m_panTilt.confirm) {
            endOperation(m_panTilt);
            DebugLogf("**SET_PAN_TILT_COMPLETE / END : Tilt(%d/%d)", m_targetTilt, m_currentTilt);
            if (m_initFlag) {
                m_initFlag = false;
                DebugLog(QStringLiteral("[Init] PAN TILT COMPLETE"));
                DebugLog(QStringLiteral("[Skip] SET_PAN_TILT_COMPLETE"));
            } else {
                sendReply(PanTiltReply::SetPanTiltComplete);
            }
        } else {
            m_panTilt.confirm = 1;
        }
    }
    if (m_tiltOnly.state == 1) {
        ++m_tiltReadings;
        m_tiltOnly.lastAnswerMs = TickCountMs();
        if (!WithinTolerance(m_targetTilt, m_currentTilt)) {
            DebugLogf("** Wait Tilt Setup #2 = %d (%d/%d)", m_tiltReadings, m_targetTilt,
                      m_currentTilt);
            if (m_tiltReadings > kMaxReadings) {
                endOperation(m_tiltOnly);
                sendReply(PanTiltReply::SetTiltNg);
            }
        } else if (m_tiltOnly.confirm) {
            endOperation(m_tiltOnly);
            DebugLogf("**SET_PAN_TILT_COMPLETE / END : Tilt(%d/%d)", m_targetTilt, m_currentTilt);
            sendReply(PanTiltReply::SetTiltComplete);
        } else {
            m_tiltOnly.confirm = 1;
        }
    }
    if (m_combinedQuery == 2) {
        m_combinedQuery = 0;
        sendReply(PanTiltReply::GetPanTiltAck, currentPanDegrees(), currentTiltDegrees());
    }
    if (m_statusPoll == 2) {
        m_statusPoll = 0;
    }
}

void CPanTiltControl::failUnanswered(SetOperation& operation, const char* what,
                                     PanTiltReply reply) {
    if (operation.state == 0 || TickCountMs() - operation.lastAnswerMs < kUnansweredLimitMs) {
        return;
    }
    DebugLogf("[PanTilt] %s : no position reply for %d ms, giving up", what, kUnansweredLimitMs);
    endOperation(operation);
    sendReply(reply);
}

void CPanTiltControl::pollPosition() {
    failUnanswered(m_panTilt, "SET_PAN_TILT", PanTiltReply::SetPanTiltNg);
    failUnanswered(m_panOnly, "SET_PAN", PanTiltReply::SetPanNg);
    failUnanswered(m_tiltOnly, "SET_TILT", PanTiltReply::SetTiltNg);
    if (!isSetOperationWaiting()) {
        m_timers.stop(kPositionPollTimerId);
        return;
    }
    if (m_panTilt.state == 1 || m_panOnly.state == 1) {
        PanTiltQuery(Pelco::kQueryPan);
    } else if (m_panTilt.state == 2 || m_tiltOnly.state == 1) {
        PanTiltQuery(Pelco::kQueryTilt);
    }
}

void CPanTiltControl::checkPresence() {
    if (isPortPresent()) {
        return;
    }
    ClosePanTiltPort();
    ShowMessage(QStringLiteral("[ERROR]Pan/Tilt 모터 연결해제"),
                QStringLiteral("'Com%1' Pan/Tilt 모터 연결 해제").arg(m_portNumber));
}
