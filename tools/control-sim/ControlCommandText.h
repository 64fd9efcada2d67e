#pragma once
// The texts the control server sends, written the way the station writes its own messages: one
// child a line after a two-space indent, lines ending in CR LF, nothing after the closing tag.
// Values are escaped for XML; numbers the person typed go out as typed.

#include <QString>

namespace ControlCommandText {

QString InspectionStart(int inspectionId, const QString& engineId, int sensorIndex,
                        const QString& missionId);
QString InspectionStop(const QString& missionId);
QString TiltUp();
QString TiltDown();
QString PanLeft();
QString PanRight();
QString PanTiltStop(const QString& missionId);
QString SetPan(const QString& pan, const QString& missionId);
QString SetTilt(const QString& tilt, const QString& missionId);
QString SetPanTilt(const QString& pan, const QString& tilt, const QString& missionId);
QString GetPan(const QString& missionId);
QString GetTilt(const QString& missionId);
QString GetPanTilt(const QString& missionId);
QString InitPanTilt();
QString UgvInforResponse(const QString& code, const QString& name);
QString EngineDbSyncResponse();

// The CMD_ID of a message, wherever it sits in the document; empty when there is none.
QString CommandIdOf(const QString& text);
// The message's other leaf elements as "NAME=value" words on one line, for the periodic status.
QString CompactFields(const QString& text);

}  // namespace ControlCommandText
