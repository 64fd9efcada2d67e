#include "storage/StationDbProfiles.h"

StationDbProfiles::StationDbProfiles()
    : m_local(LocalDbProfile()),
      m_web(WebDbProfile(QString::fromLatin1(kDefaultServerAddress),
                         QString::fromLatin1(kDefaultDatabasePassword))),
      m_bridge(BridgeDbProfile(QString::fromLatin1(kDefaultServerAddress),
                               QString::fromLatin1(kDefaultDatabasePassword))) {}

void StationDbProfiles::applyConfig(const StationConfig& config) {
    setWebServer(config.Vorn_db_server, config.Vorn_db_server_pw);
    setBridgeServer(config.Bridge_db_server, config.Bridge_db_server_pw);
}

void StationDbProfiles::setWebServer(const QString& host, const QString& password) {
    std::lock_guard lock(m_mutex);
    m_web.host = host;
    m_web.password = password;
}

void StationDbProfiles::setBridgeServer(const QString& host, const QString& password) {
    std::lock_guard lock(m_mutex);
    m_bridge.host = host;
    m_bridge.password = password;
}

void StationDbProfiles::setBridge(const DbProfile& profile) {
    std::lock_guard lock(m_mutex);
    m_bridge = profile;
}

void StationDbProfiles::setLocal(const DbProfile& profile) {
    std::lock_guard lock(m_mutex);
    m_local = profile;
}

DbProfile StationDbProfiles::local() const {
    std::lock_guard lock(m_mutex);
    return m_local;
}

DbProfile StationDbProfiles::web() const {
    std::lock_guard lock(m_mutex);
    return m_web;
}

DbProfile StationDbProfiles::bridge() const {
    std::lock_guard lock(m_mutex);
    return m_bridge;
}
