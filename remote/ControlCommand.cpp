#include "remote/ControlCommand.h"

#include <QDomDocument>
#include <QDomNodeList>

#include <algorithm>
#include <limits>

namespace {

std::optional<QString> Single(const QDomDocument& document, const char* name) {
    const QDomNodeList nodes = document.elementsByTagName(QString::fromLatin1(name));
    if (nodes.count() != 1) {
        return std::nullopt;
    }
    return nodes.at(0).toElement().text();
}

}  // namespace

int LeadingInteger(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = std::min(kLimit, value * 10 + (text[i].unicode() - u'0'));
    }
    if (negative) {
        return static_cast<int>(-value);
    }
    return static_cast<int>(std::min<long long>(value, std::numeric_limits<int>::max()));
}

ControlParseResult ParseControlCommand(const QString& text, ControlCommand& command) {
    QDomDocument document;
    if (!document.setContent(text)) {
        return ControlParseResult::MalformedXml;
    }
    if (document.elementsByTagName(QStringLiteral("ELEMENT")).isEmpty()) {
        return ControlParseResult::NoElement;
    }
    command = ControlCommand{};
    command.cmdId = Single(document, "CMD_ID").value_or(QString());
    command.missionId = Single(document, "MISSION_ID");
    command.engineId = Single(document, "ENGINE_ID");
    command.ugvCode = Single(document, "UGV_CODE");
    command.ugvName = Single(document, "UGV_NAME");
    if (const auto id = Single(document, "INSPECTION_ID")) {
        command.inspectionId = LeadingInteger(*id);
    }
    if (const auto index = Single(document, "SENSOR_INDEX")) {
        command.sensorIndexZero = LeadingInteger(*index) == 0;
    }
    if (const auto pan = Single(document, "PAN")) {
        command.pan = static_cast<uint16_t>(LeadingInteger(*pan));
    }
    if (const auto tilt = Single(document, "TILT")) {
        command.tilt = static_cast<uint16_t>(LeadingInteger(*tilt));
    }
    return ControlParseResult::Command;
}
