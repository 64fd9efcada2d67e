#pragma once
// The system settings page's checks, without the page: the database server fields, the head's
// setting information (three independent values), the position commands and the bottom save.

#include "setup/SensorSettingsRules.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// An edit box read as a decimal number the way the page reads it: leading blanks, an optional
// sign and the digits that follow (0 when there are none), as a C runtime's atoi does; the
// position edits then keep the low 16 bits, unsigned.
int DecimalFromEdit(const QString& text);
uint16_t PositionFromEdit(const QString& text);

enum class DatabaseServer { Web, Bridge };
// "서버 체크" before the ping: the IP (empty or "0.0.0.0" is none) and the password, trimmed.
std::optional<RuleFailure> CheckServerFields(DatabaseServer server, const QString& ip,
                                             const QString& password);

// "저장" of "1) Setting Information": each value is checked on its own; an accepted one is taken
// over even when another is refused.
struct PanTiltSettingValues {
    int address = 1;
    int panSpeed = 10;
    int tiltSpeed = 10;
};
struct PanTiltSettingChecks {
    bool addressAccepted = false;
    bool panSpeedAccepted = false;
    bool tiltSpeedAccepted = false;
    std::vector<RuleFailure> failures;  // in the order address, pan speed, tilt speed
};
PanTiltSettingChecks CheckPanTiltSettings(const PanTiltSettingValues& values);

// "Set Pan", "Set Tilt" and "Set Pan/Tilt": nullopt when the head may move.
std::optional<RuleFailure> CheckSetPan(int pan);
std::optional<RuleFailure> CheckSetTilt(int tilt);
std::optional<RuleFailure> CheckSetPanTilt(int pan, int tilt);

// The bottom "저장": a title and a save folder that are not only white space.
std::optional<RuleFailure> CheckSystemSave(const QString& title, const QString& folder);
