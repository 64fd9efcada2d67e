#include "storage/StationStorage.h"

CStationStorage::CStationStorage(const StationConfig& config, ProductSelectionHost& selectionHost,
                                 InspectionResultHost& resultHost, CounterDisplay& counterDisplay,
                                 Clocks clocks)
    : m_config(config),
      m_counters(m_profiles, counterDisplay, std::move(clocks.today)),
      m_selector(m_profiles, config, m_counters, selectionHost, std::move(clocks.pingHost)),
      m_recorder(m_profiles, config, m_selector.record(), m_counters, resultHost) {
    m_profiles.applyConfig(config);
}

void CStationStorage::applyConfig() {
    m_profiles.applyConfig(m_config);
    ProductRecord& record = m_selector.record();
    if (record.last_product_name.isEmpty()) {
        record.product_name = m_config.Product_Name;
    }
}

QMetaObject::Connection CStationStorage::scheduleStartupSelection(TimerTable& timers) {
    auto connection = QObject::connect(&timers, &TimerTable::fired, &timers, [this](int id) {
        if (id == kSelectProductTimerId) {
            SelectProduct(m_config.Product_Name, false);
        }
    });
    timers.start(kSelectProductTimerId, kSelectProductDelayMs, true);
    return connection;
}
