#pragma once
// Everything the inspection page keeps of the databases: the three profiles, the product
// record, the day counters and result recording. The page owns one and implements the result
// host; product selection (inspection/) fills the record.

#include "app/StationConfig.h"
#include "storage/DayCounterStore.h"
#include "storage/InspectionResultHost.h"
#include "storage/ProductRecord.h"
#include "storage/ResultRecorder.h"
#include "storage/StationDbProfiles.h"

#include <functional>

class CStationStorage {
  public:
    struct Clocks {
        std::function<QString()> today;  // TodayText when empty
    };

    // Applies the configuration's servers to the profiles.
    CStationStorage(const StationConfig& config, InspectionResultHost& resultHost,
                    CounterDisplay& counterDisplay, Clocks clocks = {});

    // Copies the configured hosts and passwords into the web and bridge profiles; until a
    // product has been selected, the product record names the configured product.
    void applyConfig();

    StationDbProfiles& profiles() { return m_profiles; }
    ProductRecord& productRecord() { return m_record; }
    DayCounters& counters() { return m_counters.counters(); }
    CDayCounterStore& counterStore() { return m_counters; }
    CResultRecorder& recorder() { return m_recorder; }

    bool RecordInspectionResult(const RunOutcome& run) {
        return m_recorder.RecordInspectionResult(run);
    }
    void LoadTodayResults() { m_recorder.LoadTodayResults(); }

  private:
    const StationConfig& m_config;
    StationDbProfiles m_profiles;
    CDayCounterStore m_counters;
    ProductRecord m_record;
    CResultRecorder m_recorder;
};
