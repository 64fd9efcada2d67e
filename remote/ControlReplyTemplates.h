#pragma once
// Every text the station sends to the control server, in one place. The texts are exact: lines end
// in CR LF, children are indented by two spaces (one in the database synchronisation request), and
// a message ends right after its closing tag. Mission ids are inserted as they were received.

#include <QString>

namespace ControlReplyTemplates {

QString InspectionStartAck(const QString& missionId);
QString InspectionStopAck(const QString& missionId);
QString TiltUpAck();
QString TiltDownAck();
QString PanLeftAck();
QString PanRightAck();
QString PanTiltStopAck(const QString& missionId);
QString SetPanComplete(const QString& missionId);
QString SetPanNg(const QString& missionId);
QString SetTiltComplete(const QString& missionId);
QString SetTiltNg(const QString& missionId);
QString SetPanTiltComplete(const QString& missionId);
QString SetPanTiltNg(const QString& missionId);
// Positions in degrees, written with two decimals.
QString GetPanAck(double panDegrees, const QString& missionId);
QString GetTiltAck(double tiltDegrees, const QString& missionId);
QString GetPanTiltAck(double panDegrees, double tiltDegrees, const QString& missionId);
QString InitPanTiltAck();
QString InitPanTiltComplete();
// result: 1 = NG, 0 = OK.
QString InspectionComplete(int inspectionId, int result, const QString& missionId);
QString EquipmentStatus(int phonolux, int panTilt, int beaconLight, double cpuPercent,
                        double temperature, double panDegrees, double tiltDegrees);
QString UgvInforRequest();
QString EquipmentEngineDbSyncRequest();

}  // namespace ControlReplyTemplates
