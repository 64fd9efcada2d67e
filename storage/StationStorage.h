#pragma once
// Everything the inspection page keeps of the databases: the three profiles, the product
// record, the day counters, product selection and result recording. The page owns one and
// implements the two host interfaces.

#include "app/StationConfig.h"
#include "app/TimerTable.h"
#include "storage/DayCounterStore.h"
#include "storage/InspectionResultHost.h"
#include "storage/ProductSelectionHost.h"
#include "storage/ProductSelector.h"
#include "storage/ResultRecorder.h"
#include "storage/StationDbProfiles.h"

#include <QMetaObject>

#include <functional>

// The inspection page's one-shot timer that selects the configured product after set-up.
inline constexpr int kSelectProductTimerId = 3024;
inline constexpr int kSelectProductDelayMs = 50;

class CStationStorage {
  public:
    struct Clocks {
        std::function<QString()> today;                // TodayText when empty
        std::function<bool(const QString&)> pingHost;  // PingHost when empty
    };

    // Applies the configuration's servers to the profiles.
    CStationStorage(const StationConfig& config, ProductSelectionHost& selectionHost,
                    InspectionResultHost& resultHost, CounterDisplay& counterDisplay,
                    Clocks clocks = {});

    // Copies the configured hosts and passwords into the web and bridge profiles; until a
    // product has been selected, the product record names the configured product.
    void applyConfig();

    StationDbProfiles& profiles() { return m_profiles; }
    ProductRecord& productRecord() { return m_selector.record(); }
    DayCounters& counters() { return m_counters.counters(); }
    CDayCounterStore& counterStore() { return m_counters; }
    CProductSelector& selector() { return m_selector; }
    CResultRecorder& recorder() { return m_recorder; }

    bool SelectProduct(const QString& productName, bool force) {
        return m_selector.SelectProduct(productName, force);
    }
    bool RecordInspectionResult(const RunOutcome& run) {
        return m_recorder.RecordInspectionResult(run);
    }
    void LoadTodayResults() { m_recorder.LoadTodayResults(); }

    // Timer 3024: after the page's set-up, SelectProduct with the configured product. Starts
    // the timer and connects it; the connection lives as long as the timer table.
    QMetaObject::Connection scheduleStartupSelection(TimerTable& timers);

  private:
    const StationConfig& m_config;
    StationDbProfiles m_profiles;
    CDayCounterStore m_counters;
    CProductSelector m_selector;
    CResultRecorder m_recorder;
};
