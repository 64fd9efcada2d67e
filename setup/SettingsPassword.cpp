#include "setup/SettingsPassword.h"

QString SettingsPassword(const QDate& localDate) {
    return QString::fromLatin1(kSettingsPasswordWord) + localDate.toString(QStringLiteral("MMdd"));
}

bool SettingsPasswordAccepted(const QString& entered, const QDate& localDate) {
    return localDate.isValid() && entered == SettingsPassword(localDate);
}
