#include "remote/ControlCommandHandler.h"

#include "app/DebugLog.h"
#include "inspection/EquipmentStatus.h"
#include "inspection/RunController.h"
#include "remote/ControlCommand.h"
#include "remote/ControlCommandTarget.h"
#include "remote/ControlReplyTemplates.h"

namespace T = ControlReplyTemplates;

CControlCommandHandler::CControlCommandHandler(ControlCommandTarget& target, Send sendControl,
                                               Send sendStatus)
    : m_target(target),
      m_sendControl(std::move(sendControl)),
      m_sendStatus(std::move(sendStatus)) {}

void CControlCommandHandler::keepMission(const ControlCommand& command) {
    if (command.missionId) {
        m_missionId = *command.missionId;
    }
}

void CControlCommandHandler::HandleControlCommand(const QString& text) {
    ControlCommand command;
    switch (ParseControlCommand(text, command)) {
        case ControlParseResult::MalformedXml:
            DebugLog(QStringLiteral("[XML Load ERROR]"));
            return;
        case ControlParseResult::NoElement:
            return;
        case ControlParseResult::Command:
            break;
    }
    const QString& id = command.cmdId;
    if (id == u"INSPECTION_START") {
        if (command.engineId) {
            m_engineId = *command.engineId;
        }
        keepMission(command);
        m_sendControl(T::InspectionStartAck(m_missionId));
        m_target.remoteStart(m_engineId, command.sensorIndexZero
                                             ? std::optional<int>(command.inspectionId)
                                             : std::nullopt);
    } else if (id == u"INSPECTION_STOP") {
        keepMission(command);
        m_target.stopInspection();
        m_sendControl(T::InspectionStopAck(m_missionId));
        clearMissionId();
    } else if (id == u"TILT_UP") {
        m_target.panTiltMove(kTiltUp);
        m_sendControl(T::TiltUpAck());
    } else if (id == u"TILT_DOWN") {
        m_target.panTiltMove(kTiltDown);
        m_sendControl(T::TiltDownAck());
    } else if (id == u"PAN_LEFT") {
        m_target.panTiltMove(kPanLeft);
        m_sendControl(T::PanLeftAck());
    } else if (id == u"PAN_RIGHT") {
        m_target.panTiltMove(kPanRight);
        m_sendControl(T::PanRightAck());
    } else if (id == u"PAN_TILT_STOP") {
        keepMission(command);
        m_target.panTiltMove(kStop);
        m_sendControl(T::PanTiltStopAck(m_missionId));
        clearMissionId();
    } else if (id == u"SET_PAN_TILT") {
        DebugLog(QStringLiteral("SET_PAN_TILT"));
        keepMission(command);
        if (command.pan <= kPanMax && command.tilt <= kTiltLowMax) {
            m_target.setPanTiltInitFlag(false);
            m_target.movePanTiltTo('N', command.pan, command.tilt);
        } else {
            DebugLog(QStringLiteral("[Skip] Pan(%1) or Tilt(%2) 모터 범위 NG")
                         .arg(command.pan)
                         .arg(command.tilt));
            m_sendControl(T::SetPanTiltNg(m_missionId));
            clearMissionId();
        }
    } else if (id == u"GET_PAN_TILT") {
        DebugLog(QStringLiteral("GET_PAN_TILT"));
        keepMission(command);
        m_target.requestPanTiltPosition();
    } else if (id == u"SET_PAN") {
        keepMission(command);
        if (command.pan <= kPanMax) {
            m_target.movePanTiltTo('K', command.pan, 0);
        } else {
            DebugLog(QStringLiteral("[CWebServerSocket::OnReceive] Skip : Pan 모터 범위는 %1° ~ "
                                    "%2°입니다.")
                         .arg(0)
                         .arg(kPanMax));
            m_sendControl(T::SetPanNg(m_missionId));
            clearMissionId();
        }
    } else if (id == u"GET_PAN") {
        keepMission(command);
        m_target.requestPanPosition();
    } else if (id == u"SET_TILT") {
        keepMission(command);
        const uint16_t tilt = command.tilt;
        if (tilt <= kTiltLowMax || (tilt >= kTiltHighMin && tilt <= kTiltHighMax)) {
            m_target.movePanTiltTo('M', 0, tilt);
        } else {
            DebugLog(QStringLiteral("Tilt 모터 범위는 %1° ~ %2°, %3° ~ %4°입니다.")
                         .arg(0)
                         .arg(kTiltLowMax)
                         .arg(kTiltHighMin)
                         .arg(kTiltHighMax));
            m_sendControl(T::SetTiltNg(m_missionId));
            clearMissionId();
        }
    } else if (id == u"GET_TILT") {
        keepMission(command);
        m_target.requestTiltPosition();
    } else if (id == u"UGV_INFOR_RESPONSE") {
        DebugLog(QStringLiteral("UGV_INFOR_RESPONSE"));
        if (command.ugvCode) {
            m_ugvCode = *command.ugvCode;
            m_target.vehicleCodeReceived(m_ugvCode);
        }
        if (command.ugvName) {
            m_ugvName = *command.ugvName;
        }
    } else if (id == u"EQUIPMENT_ENGINE_DB_SYNC_RESPONSE") {
        DebugLog(QStringLiteral("Get : EQUIPMENT_ENGINE_DB_SYNC_RESPONSE"));
    } else if (id == u"INIT_PAN_TILT") {
        m_target.setPanTiltInitFlag(true);
        m_target.writePanTiltInitialiseFrame();
        m_sendControl(T::InitPanTiltAck());
        m_target.startPanTiltInit();
    }
}

void CControlCommandHandler::OnRunRecorded(const RecordedRun& run) {
    if (run.sensorName != QLatin1String("Top")) {
        // Nothing is settled for another sensor; the server has always seen an empty message.
        m_sendControl(QString());
        return;
    }
    m_sendControl(T::InspectionComplete(run.inspectionId, run.result, m_missionId));
    clearMissionId();
}

void CControlCommandHandler::OnPanTiltInitComplete() {
    m_sendControl(T::InitPanTiltComplete());
}

void CControlCommandHandler::OnEquipmentStatus(const EquipmentStatus& status) {
    m_sendStatus(T::EquipmentStatus(status.camera, status.panTilt, status.beacon, status.cpu,
                                    status.temperature, status.pan_deg, status.tilt_deg));
}

void CControlCommandHandler::SendUgvInforRequest() {
    m_sendControl(T::UgvInforRequest());
}

void CControlCommandHandler::SendDbSyncRequest() {
    m_sendControl(T::EquipmentEngineDbSyncRequest());
}
