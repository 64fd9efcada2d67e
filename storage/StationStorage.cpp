#include "storage/StationStorage.h"

CStationStorage::CStationStorage(const StationConfig& config, InspectionResultHost& resultHost,
                                 CounterDisplay& counterDisplay, Clocks clocks)
    : m_config(config),
      m_counters(m_profiles, counterDisplay, std::move(clocks.today)),
      m_recorder(m_profiles, config, m_record, m_counters, resultHost) {
    m_profiles.applyConfig(config);
    m_record.product_name = config.Product_Name;
}

void CStationStorage::applyConfig() {
    m_profiles.applyConfig(m_config);
    if (m_record.last_product_name.isEmpty()) {
        m_record.product_name = m_config.Product_Name;
    }
}
