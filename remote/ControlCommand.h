#pragma once
// A command of the control server, read from its XML text. A field counts only when exactly one
// element of its name is present anywhere in the document; numbers are read from the start of
// the element's text.

#include <QString>

#include <cstdint>
#include <optional>

struct ControlCommand {
    // Empty when CMD_ID does not count: the command is then ignored.
    QString cmdId;
    // Texts that keep their previous values when they do not count.
    std::optional<QString> missionId;
    std::optional<QString> engineId;
    std::optional<QString> ugvCode;
    std::optional<QString> ugvName;
    // 0 when the field does not count.
    int inspectionId = 0;
    // A SENSOR_INDEX that does not count is not 0.
    bool sensorIndexZero = false;
    // Whole degrees as unsigned 16-bit values, so a negative one is large.
    uint16_t pan = 0;
    uint16_t tilt = 0;
};

enum class ControlParseResult { Command, MalformedXml, NoElement };

ControlParseResult ParseControlCommand(const QString& text, ControlCommand& command);

// Leading white space, a sign and decimal digits; anything after is ignored, no digits give 0,
// and values beyond the int range stop at its ends.
int LeadingInteger(const QString& text);
