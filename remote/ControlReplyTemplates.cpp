#include "remote/ControlReplyTemplates.h"

namespace ControlReplyTemplates {
namespace {

const QString kOpen = QStringLiteral("<ELEMENT>\r\n");
const QString kClose = QStringLiteral("</ELEMENT>");

QString Child(const char* name, const QString& value, const char* indent = "  ") {
    const QString tag = QString::fromLatin1(name);
    return QString::fromLatin1(indent) + u'<' + tag + u'>' + value + QStringLiteral("</") + tag +
           QStringLiteral(">\r\n");
}

QString CommandOnly(const char* command) {
    return kOpen + Child("CMD_ID", QString::fromLatin1(command)) + kClose;
}

QString WithMission(const char* command, const QString& missionId) {
    return kOpen + Child("CMD_ID", QString::fromLatin1(command)) + Child("MISSION_ID", missionId) +
           kClose;
}

QString Fixed(double value, int decimals) {
    return QString::asprintf(decimals == 1 ? "%.1f" : "%.2f", value);
}

}  // namespace

QString InspectionStartAck(const QString& missionId) {
    return WithMission("INSPECTION_START_ACK", missionId);
}
QString InspectionStopAck(const QString& missionId) {
    return WithMission("INSPECTION_STOP_ACK", missionId);
}
QString TiltUpAck() {
    return CommandOnly("TILT_UP_ACK");
}
QString TiltDownAck() {
    return CommandOnly("TILT_DOWN_ACK");
}
QString PanLeftAck() {
    return CommandOnly("PAN_LEFT_ACK");
}
QString PanRightAck() {
    return CommandOnly("PAN_RIGHT_ACK");
}
QString PanTiltStopAck(const QString& missionId) {
    return WithMission("PAN_TILT_STOP_ACK", missionId);
}
QString SetPanComplete(const QString& missionId) {
    return WithMission("SET_PAN_COMPLETE", missionId);
}
QString SetPanNg(const QString& missionId) {
    return WithMission("SET_PAN_NG", missionId);
}
QString SetTiltComplete(const QString& missionId) {
    return WithMission("SET_TILT_COMPLETE", missionId);
}
QString SetTiltNg(const QString& missionId) {
    return WithMission("SET_TILT_NG", missionId);
}
QString SetPanTiltComplete(const QString& missionId) {
    return WithMission("SET_PAN_TILT_COMPLETE", missionId);
}
QString SetPanTiltNg(const QString& missionId) {
    return WithMission("SET_PAN_TILT_NG", missionId);
}

QString GetPanAck(double panDegrees, const QString& missionId) {
    return kOpen + Child("CMD_ID", QStringLiteral("GET_PAN_ACK")) +
           Child("PAN", Fixed(panDegrees, 2)) + Child("MISSION_ID", missionId) + kClose;
}

QString GetTiltAck(double tiltDegrees, const QString& missionId) {
    return kOpen + Child("CMD_ID", QStringLiteral("GET_TILT_ACK")) +
           Child("TILT", Fixed(tiltDegrees, 2)) + Child("MISSION_ID", missionId) + kClose;
}

QString GetPanTiltAck(double panDegrees, double tiltDegrees, const QString& missionId) {
    return kOpen + Child("CMD_ID", QStringLiteral("GET_PAN_TILT_ACK")) +
           Child("PAN", Fixed(panDegrees, 2)) + Child("TILT", Fixed(tiltDegrees, 2)) +
           Child("MISSION_ID", missionId) + kClose;
}

QString InitPanTiltAck() {
    return CommandOnly("INIT_PAN_TILT_ACK");
}
QString InitPanTiltComplete() {
    return CommandOnly("INIT_PAN_TILT_COMPLETE");
}

QString InspectionComplete(int inspectionId, int result, const QString& missionId) {
    return kOpen + Child("CMD_ID", QStringLiteral("INSPECTION_COMPLETE")) +
           Child("INSPECTION_ID", QString::number(inspectionId)) +
           Child("RESULT", QString::number(result)) + Child("MISSION_ID", missionId) + kClose;
}

QString EquipmentStatus(int phonolux, int panTilt, int beaconLight, double cpuPercent,
                        double temperature, double panDegrees, double tiltDegrees) {
    return kOpen + Child("CMD_ID", QStringLiteral("EQUIPMENT_STATUS")) +
           Child("PHONOLUX_1", QString::number(phonolux)) +
           Child("PANTILT", QString::number(panTilt)) +
           Child("BEACON_LIGHT", QString::number(beaconLight)) +
           Child("CPU", Fixed(cpuPercent, 1)) + Child("TEMPERATURE", Fixed(temperature, 1)) +
           Child("PAN", Fixed(panDegrees, 2)) + Child("TILT", Fixed(tiltDegrees, 2)) + kClose;
}

QString UgvInforRequest() {
    return CommandOnly("UGV_INFOR_REQUEST");
}

QString EquipmentEngineDbSyncRequest() {
    return kOpen + Child("CMD_ID", QStringLiteral("EQUIPMENT_ENGINE_DB_SYNC_REQUEST"), " ") +
           kClose;
}

}  // namespace ControlReplyTemplates
