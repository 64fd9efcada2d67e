#pragma once
// The password of the sensor detail settings: never stored, built each time the gate asks for it
// from a fixed word and the local date's month and day.

#include <QDate>
#include <QString>

// Eight lower-case letters; the supervisor hands the whole password out day by day.
inline constexpr const char* kSettingsPasswordWord = "tonewise";

// The word, then the month (01-12) and the day of the month (01-31) of `localDate`.
QString SettingsPassword(const QDate& localDate);
// Exact and case-sensitive.
bool SettingsPasswordAccepted(const QString& entered, const QDate& localDate);
