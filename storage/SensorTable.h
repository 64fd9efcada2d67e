#pragma once
// Statements on t_sensor: the sensor row load of the inspection and of the product page, the
// row creation, the sensor settings save, the inspection-area save and the copy between
// products; and the rules that fill SensorSettings from a row.

#include "sensor/SensorSettings.h"
#include "storage/DbAccess.h"
#include "storage/DbProfile.h"

#include <QString>

#include <array>
#include <optional>

inline constexpr const char* kSensorTop = "Top";
inline constexpr const char* kSensorBottom = "Bottom";

// "SELECT * FROM t_sensor where product_name = '%s' and sensor_type = '%s'; ". The row when
// there is exactly one; nullopt otherwise (failures are reported with the caption given: "Web
// DB Server" for the inspection's bridge load, "제품설정" for the product page's web load).
std::optional<DbRow> LoadSensorRow(const DbProfile& profile, const QString& productName,
                                   const QString& sensorType, const QString& connectCaption);

// The row's measuring and evaluation settings, with the area mirrored for a rotation of 180.
// Address, sensor index and brightness are not taken from the row; the caller sets them.
void FillSensorSettings(const DbRow& row, SensorSettings& settings);

// Product page, new product: "Top" row with the focus time, focus option 2 and the address.
DualWriteOutcome CreateSensorRow(const DbProfile& web, const DbProfile& bridge,
                                 const QString& productName, const QString& sensorType,
                                 int focusTimeTenths, const QString& cameraAddress);

// The values the product page's sensor settings save writes.
struct SensorSettingsUpdate {
    QString product_name;
    QString sensor_type;
    int reserved_int_01 = 0;  // focus time, tenths
    int reserved_int_02 = 0;  // focus option
    int reserved_int_03 = 0;  // frequency range
    int reserved_int_04 = 0;  // initial exception time, tenths
    int reserved_int_06 = 0;  // block gain
    int reserved_int_07 = 0;
    int reserved_int_08 = 0;  // beamforming filter
    int reserved_int_09 = 0;  // beamforming count - 3
    int inspection_mode = 1;
    QString ip_addr;
    int freq_max = 0;
    int freq_min = 0;
    int distance = 0;
    int acoustic_level = 0;
    struct Filter {
        int freq_max = 0;
        int freq_min = 0;
        int level = 0;
        int inspection_level = 0;
    };
    std::array<Filter, kFilterCount> filters{};
};
DualWriteOutcome SaveSensorSettings(const DbProfile& web, const DbProfile& bridge,
                                    const SensorSettingsUpdate& update);
QByteArray SensorSettingsStatement(const CDbConnection& connection,
                                   const SensorSettingsUpdate& update);

// The values the inspection-area page's save writes (the area as the sliders show it).
struct InspectionAreaUpdate {
    QString product_name;
    QString sensor_type = QString::fromLatin1(kSensorTop);
    int gain_index = 0;
    int inspection_filter_index = 0;
    int inspection_filter_num = 0;
    QString title;
    int area_mode = 0;
    int area_line_1 = 0;
    int area_line_2 = 0;
    int area_rect_x1 = 0;
    int area_rect_y1 = 0;
    int area_rect_x2 = 0;
    int area_rect_y2 = 0;
    std::array<int, kFilterCount> inspection_levels{};
    int reserved_int_05 = 0;  // picture save time, tenths
    int reserved_int_10 = 0;  // rotation
};
DualWriteOutcome SaveInspectionArea(const DbProfile& web, const DbProfile& bridge,
                                    const InspectionAreaUpdate& update);

// Web database only: every settings column of each of the source's rows onto the target's row
// of the same sensor type. True when the statement was accepted.
bool CopySensorSettings(const DbProfile& web, const QString& source, const QString& target);
QByteArray CopySensorSettingsStatement(const CDbConnection& connection, const QString& source,
                                       const QString& target);
