#include "inspection/ProductSelector.h"

#include "app/StationDialogs.h"
#include "app/Utilities.h"
#include "storage/ProductTable.h"
#include "storage/SensorTable.h"

CProductSelector::CProductSelector(const StationDbProfiles& profiles, const StationConfig& config,
                                   CDayCounterStore& counters, ProductRecord& record,
                                   ProductSelectionHost& host,
                                   std::function<bool(const QString&)> pingHost)
    : m_profiles(profiles),
      m_config(config),
      m_counters(counters),
      m_record(record),
      m_host(host),
      m_ping(std::move(pingHost)) {
    if (!m_ping) {
        m_ping = [](const QString& address) { return PingHost(address); };
    }
}

bool CProductSelector::LoadProductRecord(const QString& productName) {
    return ::LoadProductRecord(m_profiles.bridge(), productName, m_record);
}

bool CProductSelector::SelectProduct(const QString& productName, bool force) {
    m_record.product_name = productName;
    if (!LoadProductRecord(productName)) {
        ShowMessage(QStringLiteral("시스템설정"),
                    productName.isEmpty()
                        ? QStringLiteral("'검사엔진'을 선택해 주세요.")
                        : QStringLiteral("'%1' Tool 데이터베이스 조회 실패").arg(productName));
        return false;
    }
    m_host.productLoaded(m_record.product_name, m_record.time);
    if (m_record.product_name != m_record.last_product_name || force) {
        m_host.showResultText(QString(), 48, QColor(5, 0, 0));
        const QString today = m_counters.today();
        m_counters.loadProductSummary(m_record.product_name, today);
        m_counters.loadTodaySummary(today);
        LoadSensorSettings(m_record.product_name, QString::fromLatin1(kSensorTop));
        m_host.startScreenRefresh();
        m_host.setInspectionState(1);
    }
    m_record.last_product_name = m_record.product_name;
    m_record.last_sensor_type = m_record.sensor_type;
    return true;
}

void CProductSelector::LoadSensorSettings(const QString& productName, const QString& sensorType) {
    const auto row = LoadSensorRow(m_profiles.bridge(), productName, sensorType,
                                   QStringLiteral("Web DB Server"));
    if (!row) {
        return;
    }
    const int index = sensorType == QLatin1String(kSensorBottom) ? 1 : 0;
    // The worker may be decoding: the settings change as a whole, never field by field.
    const std::shared_ptr<const SensorSettings> settings =
        m_host.updateSensorSettings(index, [&](SensorSettings& next) {
            next.sensor_index = index;
            next.ip_addr = m_config.Sensor_Default_Ip;
            FillSensorSettings(*row, next);
            next.brightness = m_config.Camera_Brightness;
        });
    if (!settings) {
        return;
    }
    m_host.resetSpotTracker(settings->beamforming_count > 0 ? settings->beamforming_count : 0);
    applyToCamera(*settings);
}

void CProductSelector::applyToCamera(const SensorSettings& settings) {
    if (m_host.isSensorWorkerAlive()) {
        m_host.sendMeasuringParameters(settings.distance, settings.freq_min, settings.freq_max);
        return;
    }
    if (m_ping(settings.ip_addr)) {
        m_host.setConnectionState(1);
        m_host.startSensorLink();
    } else {
        m_host.setConnectionState(-1);
    }
}
