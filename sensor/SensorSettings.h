#pragma once
// The measuring and evaluation settings of one sensor, filled from its t_sensor row. Field
// names follow the table's columns where a column fills the field directly.

#include <QString>

#include <array>

inline constexpr int kFilterCount = 5;
inline constexpr int kDefaultCameraPort = 6340;

// Area lines and rectangle on the 320 x 240 grid of the acoustic picture.
struct InspectionArea {
    int area_mode = 0;  // 2 = bounded by two x-lines, 1 = by two y-lines
    std::array<int, 2> area_x_line{10, 309};
    std::array<int, 2> area_y_line{10, 229};
    int area_rect_x1 = 10;
    int area_rect_y1 = 10;
    int area_rect_x2 = 309;
    int area_rect_y2 = 229;

    bool operator==(const InspectionArea&) const = default;
};

struct SensorFilter {
    int enable = 0;
    int freq_max = 0;          // Hz
    int freq_min = 0;          // Hz
    int level = 0;             // alarm level, dB
    int inspection_level = 0;  // dB
};

struct SensorSettings {
    int sensor_index = 0;  // 0 "Top", 1 "Bottom"
    QString ip_addr;       // the configured camera address, never the row's
    int port = kDefaultCameraPort;
    int freq_max = 8000;      // Hz
    int freq_min = 5000;      // Hz
    int distance = 0;         // mm
    int acoustic_level = 30;  // dB
    int inspection_mode = 0;  // 1 = the sensor can be judged NG
    std::array<SensorFilter, kFilterCount> filters{};
    int filter_step_count = 3;
    int required_filter_count = 0;
    float focus_time = 0.0f;  // s, reserved_int_01 / 10
    int focus_option = 0;     // reserved_int_02
    int focus_option_copy = 0;
    int lpass_limit = 0;                  // reserved_int_02 + 1
    int freq_range = 0;                   // reserved_int_03: 0 = 25 kHz range, 1 = 100 kHz range
    float initial_exception_time = 0.0f;  // s, reserved_int_04 / 10
    int picture_save_time = 0;            // tenths of a second, reserved_int_05
    int block_gain = 0;                   // dB, reserved_int_06
    int option7 = 0;                      // reserved_int_07
    int option7_copy = 0;
    int beamforming_filter = 0;  // reserved_int_08
    int beamforming_count = 3;   // reserved_int_09 + 3
    int picture_rotation = 0;    // degrees, reserved_int_10
    InspectionArea area;         // the live area the evaluation and the picture use
    int brightness = 50;         // Camera_Brightness once loaded
};
