#pragma once
// The columns of t_sensor in table order; rows are read by these positions.

#include <array>

inline constexpr int kSensorColumnCount = 69;

inline constexpr std::array<const char*, kSensorColumnCount> kSensorColumns{
    "product_name",
    "sensor_type",
    "title",
    "inspection_mode",
    "gain_index",
    "area_mode",
    "area_line_1",
    "area_line_2",
    "area_rect_x1",
    "area_rect_y1",
    "area_rect_x2",
    "area_rect_y2",
    "ip_addr",
    "port",
    "freq_max",
    "freq_min",
    "distance",
    "specturm_global_update",
    "specturm_local_update",
    "specturm_triger",
    "acoustic_level",
    "spectrum_triger_level",
    "filter_01_enable",
    "filter_01_mode",
    "filter_01_freq_max",
    "filter_01_freq_min",
    "filter_01_level",
    "filter_01_inspection_level",
    "filter_02_enable",
    "filter_02_mode",
    "filter_02_freq_max",
    "filter_02_freq_min",
    "filter_02_level",
    "filter_02_inspection_level",
    "filter_03_enable",
    "filter_03_mode",
    "filter_03_freq_max",
    "filter_03_freq_min",
    "filter_03_level",
    "filter_03_inspection_level",
    "filter_04_enable",
    "filter_04_mode",
    "filter_04_freq_max",
    "filter_04_freq_min",
    "filter_04_level",
    "filter_04_inspection_level",
    "filter_05_enable",
    "filter_05_mode",
    "filter_05_freq_max",
    "filter_05_freq_min",
    "filter_05_level",
    "filter_05_inspection_level",
    "inspection_filter_index",
    "inspection_filter_num",
    "reserved_str_01",
    "reserved_str_02",
    "reserved_str_03",
    "reserved_str_04",
    "reserved_str_05",
    "reserved_int_01",
    "reserved_int_02",
    "reserved_int_03",
    "reserved_int_04",
    "reserved_int_05",
    "reserved_int_06",
    "reserved_int_07",
    "reserved_int_08",
    "reserved_int_09",
    "reserved_int_10"};

namespace SensorColumn {
inline constexpr int title = 2;
inline constexpr int inspection_mode = 3;
inline constexpr int gain_index = 4;
inline constexpr int area_mode = 5;
inline constexpr int area_line_1 = 6;
inline constexpr int area_line_2 = 7;
inline constexpr int area_rect_x1 = 8;
inline constexpr int area_rect_y1 = 9;
inline constexpr int area_rect_x2 = 10;
inline constexpr int area_rect_y2 = 11;
inline constexpr int ip_addr = 12;
inline constexpr int port = 13;
inline constexpr int freq_max = 14;
inline constexpr int freq_min = 15;
inline constexpr int distance = 16;
inline constexpr int acoustic_level = 20;
// Filter n (k = n - 1) occupies first_filter + 6k ... first_filter + 6k + 5.
inline constexpr int first_filter = 22;
inline constexpr int filter_stride = 6;
inline constexpr int filter_enable = 0;
inline constexpr int filter_freq_max = 2;
inline constexpr int filter_freq_min = 3;
inline constexpr int filter_level = 4;
inline constexpr int filter_inspection_level = 5;
inline constexpr int reserved_int_01 = 59;  // reserved_int_NN at 58 + NN
inline constexpr int reserved_int_10 = 68;
constexpr int reservedInt(int n) {
    return 58 + n;
}
}  // namespace SensorColumn
