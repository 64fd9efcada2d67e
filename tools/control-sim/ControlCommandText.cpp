#include "tools/control-sim/ControlCommandText.h"

#include <QRegularExpression>
#include <QStringList>
#include <QXmlStreamReader>

#include <initializer_list>
#include <utility>

namespace ControlCommandText {
namespace {

using Field = std::pair<const char*, QString>;

QString Escaped(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (c == u'&') {
            out += QStringLiteral("&amp;");
        } else if (c == u'<') {
            out += QStringLiteral("&lt;");
        } else if (c == u'>') {
            out += QStringLiteral("&gt;");
        } else {
            out += c;
        }
    }
    return out;
}

QString Message(const char* command, std::initializer_list<Field> fields = {}) {
    QString text = QStringLiteral("<ELEMENT>\r\n  <CMD_ID>") + QString::fromLatin1(command) +
                   QStringLiteral("</CMD_ID>\r\n");
    for (const Field& field : fields) {
        const QString tag = QString::fromLatin1(field.first);
        text += QStringLiteral("  <") + tag + u'>' + Escaped(field.second) + QStringLiteral("</") +
                tag + QStringLiteral(">\r\n");
    }
    return text + QStringLiteral("</ELEMENT>");
}

}  // namespace

QString InspectionStart(int inspectionId, const QString& engineId, int sensorIndex,
                        const QString& missionId) {
    return Message("INSPECTION_START", {{"INSPECTION_ID", QString::number(inspectionId)},
                                        {"ENGINE_ID", engineId},
                                        {"SENSOR_INDEX", QString::number(sensorIndex)},
                                        {"MISSION_ID", missionId}});
}
QString InspectionStop(const QString& missionId) {
    return Message("INSPECTION_STOP", {{"MISSION_ID", missionId}});
}
QString TiltUp() {
    return Message("TILT_UP");
}
QString TiltDown() {
    return Message("TILT_DOWN");
}
QString PanLeft() {
    return Message("PAN_LEFT");
}
QString PanRight() {
    return Message("PAN_RIGHT");
}
QString PanTiltStop(const QString& missionId) {
    return Message("PAN_TILT_STOP", {{"MISSION_ID", missionId}});
}
QString SetPan(const QString& pan, const QString& missionId) {
    return Message("SET_PAN", {{"PAN", pan}, {"MISSION_ID", missionId}});
}
QString SetTilt(const QString& tilt, const QString& missionId) {
    return Message("SET_TILT", {{"TILT", tilt}, {"MISSION_ID", missionId}});
}
QString SetPanTilt(const QString& pan, const QString& tilt, const QString& missionId) {
    return Message("SET_PAN_TILT", {{"PAN", pan}, {"TILT", tilt}, {"MISSION_ID", missionId}});
}
QString GetPan(const QString& missionId) {
    return Message("GET_PAN", {{"MISSION_ID", missionId}});
}
QString GetTilt(const QString& missionId) {
    return Message("GET_TILT", {{"MISSION_ID", missionId}});
}
QString GetPanTilt(const QString& missionId) {
    return Message("GET_PAN_TILT", {{"MISSION_ID", missionId}});
}
QString InitPanTilt() {
    return Message("INIT_PAN_TILT");
}
QString UgvInforResponse(const QString& code, const QString& name) {
    return Message("UGV_INFOR_RESPONSE", {{"UGV_CODE", code}, {"UGV_NAME", name}});
}
QString EngineDbSyncResponse() {
    return Message("EQUIPMENT_ENGINE_DB_SYNC_RESPONSE");
}

QString CommandIdOf(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("<CMD_ID>([^<]*)</CMD_ID>"));
    const QRegularExpressionMatch match = pattern.match(text);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

QString CompactFields(const QString& text) {
    QXmlStreamReader reader(text);
    QStringList words;
    QString name;
    QString value;
    bool leaf = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            name = reader.name().toString();
            value.clear();
            leaf = true;
        } else if (reader.isCharacters() && leaf) {
            value += reader.text();
        } else if (reader.isEndElement()) {
            if (leaf && name != QLatin1String("CMD_ID")) {
                words << name + u'=' + value.trimmed();
            }
            leaf = false;
        }
    }
    // A document the station should not have sent still shows, squeezed onto the line.
    if (reader.hasError()) {
        return text.simplified();
    }
    return words.join(u' ');
}

}  // namespace ControlCommandText
