#include "remote/ControlLink.h"

#include "inspection/RunClock.h"
#include "inspection/RunController.h"
#include "pantilt/PanTiltControl.h"
#include "streaming/StreamingPush.h"

CControlLink::CControlLink(Parts parts, QObject* parent)
    : QObject(parent),
      m_runs(parts.runs),
      m_streaming(parts.streaming),
      m_clock(parts.clock),
      m_showVehicleCode(std::move(parts.showVehicleCode)),
      m_handler(
          *this, [this](const QString& text) { m_socket.SendControlMessage(text); },
          [this](const QString& text) { m_socket.SendStatusMessage(text); }),
      m_replies(m_handler) {
    connect(&m_socket, &CWebServerSocket::commandReceived, this,
            [this](const QString& text) { m_handler.HandleControlCommand(text); });
    connect(&m_runs, &CRunController::runRecorded, this,
            [this](const RecordedRun& run) { m_handler.OnRunRecorded(run); });
    connect(&m_runs, &CRunController::equipmentStatusReady, this,
            [this](const EquipmentStatus& status) { m_handler.OnEquipmentStatus(status); });
    connect(&m_runs, &CRunController::panTiltInitComplete, this,
            [this] { m_handler.OnPanTiltInitComplete(); });
}

CControlLink::~CControlLink() {
    Stop();
    SetPanTilt(nullptr);
}

void CControlLink::SetPanTilt(CPanTiltControl* head) {
    if (m_head != nullptr) {
        m_head->setReplySink(nullptr);
    }
    m_head = head;
    if (m_head != nullptr) {
        m_head->setReplySink(&m_replies);
    }
}

void CControlLink::Start(const QString& serverAddress, const QString& ugvCode) {
    m_handler.setUgvCode(ugvCode);
    m_socket.SetServerAddress(serverAddress);
    // The request goes from the link thread, before any other message of the new connection.
    m_socket.Start([this] { m_handler.SendUgvInforRequest(); });
}

void CControlLink::Stop() {
    m_socket.Stop();
}

void CControlLink::remoteStart(const QString& engineId, std::optional<int> topInspectionId) {
    if (topInspectionId) {
        m_runs.SetRemoteSensorName(QStringLiteral("Top"));
        m_runs.SetInspectionId(*topInspectionId);
    }
    m_runs.SetProductName(engineId);
    m_runs.SetRunStartTime(m_clock.localNow().toSecsSinceEpoch());
    m_runs.RequestRemoteStart();
}

void CControlLink::stopInspection() {
    m_runs.StopInspection();
}

void CControlLink::panTiltMove(uint8_t direction) {
    if (m_head != nullptr) {
        m_head->PanTiltMove(direction);
    }
}

void CControlLink::movePanTiltTo(char kind, uint16_t panDegrees, uint16_t tiltDegrees) {
    if (m_head != nullptr) {
        m_head->MovePanTiltTo(kind, panDegrees, tiltDegrees);
    }
}

void CControlLink::setPanTiltInitFlag(bool set) {
    if (m_head != nullptr) {
        m_head->setInitFlag(set);
    }
}

void CControlLink::requestPanPosition() {
    if (m_head != nullptr) {
        m_head->RequestPanPosition();
    }
}

void CControlLink::requestTiltPosition() {
    if (m_head != nullptr) {
        m_head->RequestTiltPosition();
    }
}

void CControlLink::requestPanTiltPosition() {
    if (m_head != nullptr) {
        m_head->RequestPanTiltPosition();
    }
}

void CControlLink::writePanTiltInitialiseFrame() {
    if (m_head != nullptr) {
        m_head->WriteInitialiseFrame();
    }
}

void CControlLink::startPanTiltInit() {
    m_runs.StartPanTiltInit();
}

void CControlLink::vehicleCodeReceived(const QString& code) {
    if (m_showVehicleCode) {
        m_showVehicleCode(code);
    }
    if (!code.isEmpty()) {
        m_streaming.StartPicturePush(code);
    }
}
