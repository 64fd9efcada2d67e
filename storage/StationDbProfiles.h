#pragma once
// The three profiles the inspection page owns. Only the hosts and passwords of the web and the
// bridge profile change: from the configuration at start and from the system settings page.

#include "app/StationConfig.h"
#include "storage/DbProfile.h"

#include <mutex>

class StationDbProfiles {
  public:
    // Built-in defaults until the configuration is applied.
    StationDbProfiles();

    void applyConfig(const StationConfig& config);
    void setWebServer(const QString& host, const QString& password);
    void setBridgeServer(const QString& host, const QString& password);
    // The station never changes the local profile nor the bridge port; tests point them
    // elsewhere.
    void setLocal(const DbProfile& profile);
    void setBridge(const DbProfile& profile);

    // Copies, so an operation keeps the profile it started with while a page changes it.
    DbProfile local() const;
    DbProfile web() const;
    DbProfile bridge() const;

  private:
    mutable std::mutex m_mutex;
    DbProfile m_local;
    DbProfile m_web;
    DbProfile m_bridge;
};
