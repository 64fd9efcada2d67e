#pragma once
// The product page's sensor settings save: the values as the page read them from its boxes, and
// the fifteen checks in their order. The page shows the first failure and writes nothing.

#include <QString>

#include <array>
#include <optional>

struct SensorSettingsValues {
    static constexpr int kNotChosen = -1;
    struct Filter {
        int freq_max = 0;
        int freq_min = 0;
        int level = 0;  // alarm level, dB
    };

    int freq_range = 0;  // 0 "25Khz", 1 "100Khz"
    int freq_max = 0;
    int freq_min = 0;
    int distance = 0;
    int acoustic_level = 0;
    std::array<Filter, 5> filters{};
    // Selected list indexes; kNotChosen when the box has no selection.
    int initial_exception_index = kNotChosen;
    int focus_time_index = kNotChosen;
    int focus_option_index = kNotChosen;
    int block_gain_index = kNotChosen;
    int beamforming_index = kNotChosen;
    int beamforming_count_index = kNotChosen;
};

// The message of a failed check: the dialog's title and its text.
struct RuleFailure {
    QString caption;
    QString text;

    bool operator==(const RuleFailure&) const = default;
};

// The highest maximum frequency of a frequency range: 90000 Hz for range 1, else 24000 Hz.
int FrequencyLimit(int freqRange);
// The first failing check, or nullopt when the values may be saved. Filters are checked one after
// the other, each with all four of its checks.
std::optional<RuleFailure> CheckSensorSettings(const SensorSettingsValues& values);
