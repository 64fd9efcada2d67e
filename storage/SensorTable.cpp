#include "storage/SensorTable.h"

#include "app/Cp949.h"
#include "app/DebugLog.h"
#include "app/StationConfig.h"
#include "app/StationDialogs.h"
#include "storage/SensorColumns.h"

namespace {

constexpr int kPictureColumnMax = 319;
constexpr int kPictureRowMax = 239;

int FilterPosition(int k, int offset) {
    return SensorColumn::first_filter + SensorColumn::filter_stride * k + offset;
}

void FillArea(const DbRow& row, InspectionArea& area, int rotation) {
    const int line1 = DbInt(row, SensorColumn::area_line_1);
    const int line2 = DbInt(row, SensorColumn::area_line_2);
    if (rotation != 0 && rotation != 180) {
        return;
    }
    const bool mirrored = rotation == 180;
    if (area.area_mode == 2) {
        area.area_x_line = mirrored
                               ? std::array{kPictureColumnMax - line2, kPictureColumnMax - line1}
                               : std::array{line1, line2};
    } else if (area.area_mode == 1) {
        area.area_y_line = mirrored ? std::array{kPictureRowMax - line2, kPictureRowMax - line1}
                                    : std::array{line1, line2};
    }
    const int x1 = DbInt(row, SensorColumn::area_rect_x1);
    const int y1 = DbInt(row, SensorColumn::area_rect_y1);
    const int x2 = DbInt(row, SensorColumn::area_rect_x2);
    const int y2 = DbInt(row, SensorColumn::area_rect_y2);
    if (mirrored) {
        area.area_rect_y1 = kPictureRowMax - y2;
        area.area_rect_y2 = kPictureRowMax - y1;
        area.area_rect_x1 = kPictureColumnMax - x2;
        area.area_rect_x2 = kPictureColumnMax - x1;
    } else {
        area.area_rect_y1 = y1;
        area.area_rect_y2 = y2;
        area.area_rect_x1 = x1;
        area.area_rect_x2 = x2;
    }
}

const DbDialogText kSensorPageBridgeFailure{
    QStringLiteral("제품설정"), QStringLiteral("Bridge 데이터베이스 연결에 실패했습니다.")};

}  // namespace

std::optional<DbRow> LoadSensorRow(const DbProfile& profile, const QString& productName,
                                   const QString& sensorType, const QString& connectCaption) {
    auto connection = ConnectOrReport(profile, {connectCaption, ConnectionFailedText()});
    if (!connection) {
        return std::nullopt;
    }
    std::vector<DbRow> rows;
    const QByteArray statement = SqlFormat(
        "SELECT * FROM t_sensor where product_name = '%s' and sensor_type = '%s'; ",
        connection->escape(productName).constData(), connection->escape(sensorType).constData());
    if (!SelectOrReport(
            *connection, statement, rows,
            QStringLiteral("%1, 센서설정 데이터베이스 조회를 실패했습니다.").arg(productName))) {
        return std::nullopt;
    }
    if (rows.size() != 1) {
        return std::nullopt;
    }
    return rows.front();
}

void FillSensorSettings(const DbRow& row, SensorSettings& settings) {
    settings.port = DbInt(row, SensorColumn::port);
    settings.freq_max = DbInt(row, SensorColumn::freq_max);
    settings.freq_min = DbInt(row, SensorColumn::freq_min);
    settings.distance = DbInt(row, SensorColumn::distance);
    settings.acoustic_level = DbInt(row, SensorColumn::acoustic_level);
    settings.inspection_mode = DbInt(row, SensorColumn::inspection_mode);
    for (int k = 0; k < kFilterCount; ++k) {
        SensorFilter& filter = settings.filters[static_cast<std::size_t>(k)];
        filter.enable = DbInt(row, FilterPosition(k, SensorColumn::filter_enable));
        filter.freq_max = DbInt(row, FilterPosition(k, SensorColumn::filter_freq_max));
        filter.freq_min = DbInt(row, FilterPosition(k, SensorColumn::filter_freq_min));
        filter.level = DbInt(row, FilterPosition(k, SensorColumn::filter_level));
        filter.inspection_level =
            DbInt(row, FilterPosition(k, SensorColumn::filter_inspection_level));
    }
    settings.filter_step_count = 3;
    if (settings.inspection_mode == 1) {
        settings.required_filter_count = kFilterCount - settings.filter_step_count;
    }
    settings.picture_rotation = DbInt(row, SensorColumn::reserved_int_10);
    settings.area.area_mode = DbInt(row, SensorColumn::area_mode);
    FillArea(row, settings.area, settings.picture_rotation);

    settings.focus_time = static_cast<float>(DbInt(row, SensorColumn::reservedInt(1))) / 10.0f;
    settings.focus_option = DbInt(row, SensorColumn::reservedInt(2));
    settings.focus_option_copy = settings.focus_option;
    settings.lpass_limit = settings.focus_option + 1;
    const int range = DbInt(row, SensorColumn::reservedInt(3));
    if (range == 0 || range == 1) {
        settings.freq_range = range;
    }
    settings.initial_exception_time =
        static_cast<float>(DbInt(row, SensorColumn::reservedInt(4))) / 10.0f;
    settings.picture_save_time = DbInt(row, SensorColumn::reservedInt(5));
    settings.block_gain = DbInt(row, SensorColumn::reservedInt(6));
    settings.option7 = DbInt(row, SensorColumn::reservedInt(7));
    settings.option7_copy = settings.option7;
    settings.beamforming_filter = DbInt(row, SensorColumn::reservedInt(8));
    settings.beamforming_count = DbInt(row, SensorColumn::reservedInt(9)) + 3;
}

DualWriteOutcome CreateSensorRow(const DbProfile& web, const DbProfile& bridge,
                                 const QString& productName, const QString& sensorType,
                                 int focusTimeTenths, const QString& cameraAddress) {
    bool logged = false;
    return WriteBridgeThenWeb(
        web, bridge,
        [&](const CDbConnection& c) {
            QByteArray statement = SqlFormat(
                "INSERT INTO t_sensor(product_name,sensor_type, reserved_int_01, "
                "reserved_int_02, ip_addr) VALUES ( '%s','%s', %d, %d, '%s');",
                c.escape(productName).constData(), c.escape(sensorType).constData(),
                focusTimeTenths, 2, c.escape(cameraAddress).constData());
            if (!logged) {
                DebugLog(FromCp949(statement));
                logged = true;
            }
            return statement;
        },
        {{QStringLiteral("센서설정"), ConnectionFailedText()},
         kSensorPageBridgeFailure,
         QStringLiteral("[ERROR]Bridge 센서 데이터베이스 입력 실패"),
         QStringLiteral("[ERROR]센서 데이터베이스 입력 실패")});
}

QByteArray SensorSettingsStatement(const CDbConnection& c, const SensorSettingsUpdate& u) {
    QByteArray statement = SqlFormat(
        "UPDATE  t_sensor  SET  reserved_int_01 = %d, reserved_int_02 = %d, reserved_int_03 = %d, "
        "reserved_int_04 = %d, reserved_int_06 = %d, reserved_int_07 = %d, reserved_int_08 = %d, "
        "reserved_int_09 = %d, inspection_mode = %d, ip_addr = '%s', freq_max = %d, "
        "freq_min = %d, distance = %d, acoustic_level = %d",
        u.reserved_int_01, u.reserved_int_02, u.reserved_int_03, u.reserved_int_04,
        u.reserved_int_06, u.reserved_int_07, u.reserved_int_08, u.reserved_int_09,
        u.inspection_mode, c.escape(u.ip_addr).constData(), u.freq_max, u.freq_min, u.distance,
        u.acoustic_level);
    for (int n = 1; n <= kFilterCount; ++n) {
        const auto& f = u.filters[static_cast<std::size_t>(n - 1)];
        statement += SqlFormat(
            ", filter_%02d_freq_max = %d, filter_%02d_freq_min = %d, "
            "filter_%02d_level = %d",
            n, f.freq_max, n, f.freq_min, n, f.level);
    }
    for (int n = 1; n <= kFilterCount; ++n) {
        statement += SqlFormat(", filter_%02d_inspection_level = %d", n,
                               u.filters[static_cast<std::size_t>(n - 1)].inspection_level);
    }
    statement +=
        SqlFormat("  WHERE product_name = '%s' and sensor_type = '%s'; ",
                  c.escape(u.product_name).constData(), c.escape(u.sensor_type).constData());
    return statement;
}

DualWriteOutcome SaveSensorSettings(const DbProfile& web, const DbProfile& bridge,
                                    const SensorSettingsUpdate& update) {
    return WriteBridgeThenWeb(
        web, bridge, [&](const CDbConnection& c) { return SensorSettingsStatement(c, update); },
        {{QStringLiteral("제품설정"), ConnectionFailedText()},
         kSensorPageBridgeFailure,
         QStringLiteral("[ERROR]Bridge 데이터베이스 입력 실패"),
         QStringLiteral("[ERROR]센서정보 데이터베이스 업데이트 실패")});
}

DualWriteOutcome SaveInspectionArea(const DbProfile& web, const DbProfile& bridge,
                                    const InspectionAreaUpdate& u) {
    return WriteBridgeThenWeb(
        web, bridge,
        [&](const CDbConnection& c) {
            return SqlFormat(
                "UPDATE  t_sensor  SET  gain_index = %d, inspection_filter_index = %d, "
                "inspection_filter_num = %d, title = '%s', area_mode = '%d' , area_line_1 = %d, "
                "area_line_2 = %d, area_rect_x1 = %d, area_rect_y1 = %d, area_rect_x2 = %d, "
                "area_rect_y2 = %d, filter_01_inspection_level = %d, filter_02_inspection_level "
                "= %d, filter_03_inspection_level = %d, filter_04_inspection_level = %d, "
                "filter_05_inspection_level = %d, reserved_int_05 = %d, reserved_int_10 = %d  "
                "WHERE product_name = '%s' and sensor_type = '%s'; ",
                u.gain_index, u.inspection_filter_index, u.inspection_filter_num,
                c.escape(u.title).constData(), u.area_mode, u.area_line_1, u.area_line_2,
                u.area_rect_x1, u.area_rect_y1, u.area_rect_x2, u.area_rect_y2,
                u.inspection_levels[0], u.inspection_levels[1], u.inspection_levels[2],
                u.inspection_levels[3], u.inspection_levels[4], u.reserved_int_05,
                u.reserved_int_10, c.escape(u.product_name).constData(),
                c.escape(u.sensor_type).constData());
        },
        {{QStringLiteral("센서설정"), ConnectionFailedText()},
         {QStringLiteral("센서설정"), QStringLiteral("Bridge 데이터베이스 연결에 실패했습니다.")},
         QStringLiteral("[ERROR]센서정보 데이터베이스 업데이트 실패"),
         QStringLiteral("[ERROR]센서정보 데이터베이스 업데이트 실패")});
}

QByteArray CopySensorSettingsStatement(const CDbConnection& c, const QString& source,
                                       const QString& target) {
    QByteArray statement = SqlFormat(
        "UPDATE `t_sensor` AS t1 JOIN `t_sensor` AS t2 ON t1.sensor_type = "
        "t2.sensor_type AND t2.product_name = '%s' SET",
        c.escape(source).constData());
    for (int i = SensorColumn::title; i < kSensorColumnCount; ++i) {
        statement += SqlFormat("%s t1.%s = t2.%s", i == SensorColumn::title ? "" : ",",
                               kSensorColumns[static_cast<std::size_t>(i)],
                               kSensorColumns[static_cast<std::size_t>(i)]);
    }
    statement += SqlFormat(" WHERE t1.product_name = '%s';", c.escape(target).constData());
    return statement;
}

bool CopySensorSettings(const DbProfile& web, const QString& source, const QString& target) {
    auto connection = CDbConnection::Open(web);
    if (!connection) {
        ShowSystemMessage(QString::fromUtf8(kDefaultSoftwareTitle), ConnectionFailedText());
        return false;
    }
    if (!ExecuteOrReport(*connection, CopySensorSettingsStatement(*connection, source, target),
                         QStringLiteral("[ERROR]제품정보 데이터베이스 입력 실패"),
                         kCopyStatementBufferSize)) {
        return false;
    }
    DebugLog(QStringLiteral("'[%1 / %2]' Update : OK").arg(source, target));
    return true;
}
