// The rules that fill SensorSettings from a t_sensor row.
#include "storage/SensorColumns.h"
#include "storage/SensorTable.h"

#include <gtest/gtest.h>

namespace {

DbRow RowWith(std::initializer_list<std::pair<int, int>> values) {
    DbRow row(kSensorColumnCount, QByteArray("0"));
    row[0] = "p";
    row[1] = "Top";
    for (const auto& [position, value] : values) {
        row[position] = QByteArray::number(value);
    }
    return row;
}

}  // namespace

TEST(SensorSettingsFillTest, AreaFollowsModeAndRotation) {
    using namespace SensorColumn;
    struct Case {
        int mode, rotation;
        std::array<int, 2> x_lines, y_lines;
        int x1, y1, x2, y2;
    };
    // Lines 100 and 200, rectangle (10, 20) - (300, 229); untouched values keep the markers.
    const std::array<int, 2> keepX{-1, -2};
    const std::array<int, 2> keepY{-3, -4};
    const Case cases[] = {
        {2, 0, {100, 200}, keepY, 10, 20, 300, 229}, {2, 180, {119, 219}, keepY, 19, 10, 309, 219},
        {1, 0, keepX, {100, 200}, 10, 20, 300, 229}, {1, 180, keepX, {39, 139}, 19, 10, 309, 219},
        {0, 180, keepX, keepY, 19, 10, 309, 219},    {2, 90, keepX, keepY, -5, -6, -7, -8},
    };
    for (const Case& c : cases) {
        SensorSettings settings;
        settings.area.area_x_line = keepX;
        settings.area.area_y_line = keepY;
        settings.area.area_rect_x1 = -5;
        settings.area.area_rect_y1 = -6;
        settings.area.area_rect_x2 = -7;
        settings.area.area_rect_y2 = -8;
        FillSensorSettings(RowWith({{area_mode, c.mode},
                                    {area_line_1, 100},
                                    {area_line_2, 200},
                                    {area_rect_x1, 10},
                                    {area_rect_y1, 20},
                                    {area_rect_x2, 300},
                                    {area_rect_y2, 229},
                                    {reserved_int_10, c.rotation}}),
                           settings);
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " rotation " << c.rotation);
        EXPECT_EQ(settings.area.area_mode, c.mode);
        EXPECT_EQ(settings.picture_rotation, c.rotation);
        EXPECT_EQ(settings.area.area_x_line, c.x_lines);
        EXPECT_EQ(settings.area.area_y_line, c.y_lines);
        EXPECT_EQ(settings.area.area_rect_x1, c.x1);
        EXPECT_EQ(settings.area.area_rect_y1, c.y1);
        EXPECT_EQ(settings.area.area_rect_x2, c.x2);
        EXPECT_EQ(settings.area.area_rect_y2, c.y2);
    }
}

TEST(SensorSettingsFillTest, ReservedIntegersConvert) {
    using SensorColumn::reservedInt;
    SensorSettings settings;
    settings.freq_range = 1;
    FillSensorSettings(RowWith({{reservedInt(1), 35},
                                {reservedInt(2), 2},
                                {reservedInt(3), 5},
                                {reservedInt(4), 12},
                                {reservedInt(5), 25},
                                {reservedInt(6), 6},
                                {reservedInt(7), 9},
                                {reservedInt(8), 1},
                                {reservedInt(9), 0}}),
                       settings);
    EXPECT_FLOAT_EQ(settings.focus_time, 3.5f);
    EXPECT_EQ(settings.focus_option, 2);
    EXPECT_EQ(settings.focus_option_copy, 2);
    EXPECT_EQ(settings.lpass_limit, 3);
    EXPECT_EQ(settings.freq_range, 1);  // 5 is no range: unchanged
    EXPECT_FLOAT_EQ(settings.initial_exception_time, 1.2f);
    EXPECT_EQ(settings.picture_save_time, 25);
    EXPECT_EQ(settings.block_gain, 6);
    EXPECT_EQ(settings.option7, 9);
    EXPECT_EQ(settings.option7_copy, 9);
    EXPECT_EQ(settings.beamforming_filter, 1);
    EXPECT_EQ(settings.beamforming_count, 3);

    for (int range : {0, 1}) {
        settings.freq_range = 1 - range;
        FillSensorSettings(RowWith({{reservedInt(3), range}}), settings);
        EXPECT_EQ(settings.freq_range, range);
    }
}

TEST(SensorSettingsFillTest, MeasuringValuesFiltersAndRequiredCount) {
    using namespace SensorColumn;
    DbRow row = RowWith({{port, 6341},
                         {freq_max, 12000},
                         {freq_min, 2000},
                         {distance, 1200},
                         {acoustic_level, 44},
                         {inspection_mode, 1}});
    for (int k = 0; k < 5; ++k) {
        const int base = first_filter + 6 * k;
        row[base] = QByteArray::number(k % 2);
        row[base + 1] = "7";  // mode: not read
        row[base + 2] = QByteArray::number(3000 + k);
        row[base + 3] = QByteArray::number(1000 + k);
        row[base + 4] = QByteArray::number(50 + k);
        row[base + 5] = QByteArray::number(60 + k);
    }
    row[ip_addr] = "10.1.2.3";
    SensorSettings settings;
    settings.ip_addr = "127.0.0.1";
    settings.required_filter_count = 0;
    FillSensorSettings(row, settings);
    EXPECT_EQ(settings.port, 6341);
    EXPECT_EQ(settings.freq_max, 12000);
    EXPECT_EQ(settings.freq_min, 2000);
    EXPECT_EQ(settings.distance, 1200);
    EXPECT_EQ(settings.acoustic_level, 44);
    EXPECT_EQ(settings.inspection_mode, 1);
    EXPECT_EQ(settings.ip_addr, QStringLiteral("127.0.0.1"));  // never the row's address
    for (int k = 0; k < 5; ++k) {
        const SensorFilter& f = settings.filters[k];
        EXPECT_EQ(f.enable, k % 2);
        EXPECT_EQ(f.freq_max, 3000 + k);
        EXPECT_EQ(f.freq_min, 1000 + k);
        EXPECT_EQ(f.level, 50 + k);
        EXPECT_EQ(f.inspection_level, 60 + k);
    }
    EXPECT_EQ(settings.filter_step_count, 3);
    EXPECT_EQ(settings.required_filter_count, 2);

    settings.required_filter_count = 4;
    row[inspection_mode] = "0";
    FillSensorSettings(row, settings);
    EXPECT_EQ(settings.required_filter_count, 4);  // only mode 1 sets it
}
