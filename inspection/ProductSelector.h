#pragma once
// SelectProduct and the two loads behind it: the product record and the "Top" sensor settings
// from the bridge database, the day counters from the local database, and the camera.

#include "app/StationConfig.h"
#include "inspection/ProductSelectionHost.h"
#include "storage/DayCounterStore.h"
#include "storage/ProductRecord.h"
#include "storage/StationDbProfiles.h"

#include <QString>

#include <functional>

class CProductSelector {
  public:
    // The configuration gives the camera address and brightness; `record` is the storage's
    // product record, which the selection fills; `pingHost` is PingHost unless a test replaces it.
    CProductSelector(const StationDbProfiles& profiles, const StationConfig& config,
                     CDayCounterStore& counters, ProductRecord& record, ProductSelectionHost& host,
                     std::function<bool(const QString&)> pingHost = {});

    // True when the product was found. Without `force`, selecting the product that is already
    // selected reloads only the product record.
    bool SelectProduct(const QString& productName, bool force);
    bool LoadProductRecord(const QString& productName);
    void LoadSensorSettings(const QString& productName, const QString& sensorType);

    ProductRecord& record() { return m_record; }
    const ProductRecord& record() const { return m_record; }

  private:
    void applyToCamera(const SensorSettings& settings);

    const StationDbProfiles& m_profiles;
    const StationConfig& m_config;
    CDayCounterStore& m_counters;
    ProductRecord& m_record;
    ProductSelectionHost& m_host;
    std::function<bool(const QString&)> m_ping;
};
