#pragma once
// One database connection profile: where a database operation connects and as whom.

#include <QString>

inline constexpr int kDatabasePort = 3306;
// The local profile's fixed password (eight lower-case letters).
inline constexpr const char* kLocalDatabasePassword = "acoustic";

inline constexpr const char* kLocalDatabaseName = "vorn_alpha_v1_ch2";
inline constexpr const char* kWebDatabaseName = "vorn_web_db_v1";
inline constexpr const char* kBridgeDatabaseName = "vorn_local_db";

struct DbProfile {
    QString host;
    QString user;
    QString password;
    QString database;
    int port = kDatabasePort;
};

// The local database on the station PC: results and day counters.
DbProfile LocalDbProfile();
// The web database (master copy of products and sensor settings).
DbProfile WebDbProfile(const QString& host, const QString& password);
// The bridge database (the copy the inspection reads; receives the result pictures).
DbProfile BridgeDbProfile(const QString& host, const QString& password);
