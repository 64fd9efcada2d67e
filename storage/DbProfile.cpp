#include "storage/DbProfile.h"

DbProfile LocalDbProfile() {
    return {QStringLiteral("127.0.0.1"), QStringLiteral("root"),
            QString::fromLatin1(kLocalDatabasePassword), QString::fromLatin1(kLocalDatabaseName),
            kDatabasePort};
}

DbProfile WebDbProfile(const QString& host, const QString& password) {
    return {host, QStringLiteral("root"), password, QString::fromLatin1(kWebDatabaseName),
            kDatabasePort};
}

DbProfile BridgeDbProfile(const QString& host, const QString& password) {
    return {host, QStringLiteral("inspection"), password, QString::fromLatin1(kBridgeDatabaseName),
            kDatabasePort};
}
