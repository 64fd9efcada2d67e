#include "setup/SensorSettingsRules.h"

int FrequencyLimit(int freqRange) {
    return freqRange == 1 ? 90000 : 24000;
}

std::optional<RuleFailure> CheckSensorSettings(const SensorSettingsValues& v) {
    constexpr int kMinimumFrequency = 100;
    constexpr int kDistanceMin = 100, kDistanceMax = 3500;
    constexpr int kAcousticMin = 10, kAcousticMax = 100;
    constexpr int kAlarmMin = 5, kAlarmMax = 100;
    const auto fail = [](const QString& caption, const QString& text) {
        return std::optional<RuleFailure>(RuleFailure{caption, text});
    };
    const int limit = FrequencyLimit(v.freq_range);
    if (v.freq_max > limit) {
        return fail(QStringLiteral("최대 주파수 설정"),
                    QStringLiteral("Frequency Max값은 %1Hz를 초과할 수 없습니다.").arg(limit));
    }
    if (v.freq_min < kMinimumFrequency) {
        return fail(QStringLiteral("최소 주파수 설정"),
                    QStringLiteral("Frequency Min값은 %1Hz보다 같거나 커야 합니다.")
                        .arg(kMinimumFrequency));
    }
    if (v.freq_min >= v.freq_max) {
        return fail(QStringLiteral("주파수 설정"),
                    QStringLiteral("Frequency Max값은 Frequency Min보다 커야 합니다."));
    }
    if (v.distance < kDistanceMin || v.distance > kDistanceMax) {
        return fail(QStringLiteral("Distance 범위 설정"),
                    QStringLiteral("Distance 범위는 %1mm ~ %2mm 입니다.")
                        .arg(kDistanceMin)
                        .arg(kDistanceMax));
    }
    if (v.acoustic_level < kAcousticMin || v.acoustic_level > kAcousticMax) {
        return fail(QStringLiteral("Acoustic 레벨"),
                    QStringLiteral("Acoustic 레벨값의 범위는 %1dB~ %2dB입니다.")
                        .arg(kAcousticMin)
                        .arg(kAcousticMax));
    }
    const QString filterCaption = QStringLiteral("Frequency Filter 설정");
    for (int n = 1; n <= static_cast<int>(v.filters.size()); ++n) {
        const SensorSettingsValues::Filter& f = v.filters[static_cast<std::size_t>(n - 1)];
        if (f.freq_max > v.freq_max) {
            return fail(filterCaption,
                        QStringLiteral("Frequency Filter #%1의 Max값은 %2Hz를 초과할 수 없습니다.")
                            .arg(n)
                            .arg(v.freq_max));
        }
        if (f.freq_min < v.freq_min) {
            return fail(filterCaption,
                        QStringLiteral("Frequency Filter #%1의 Min값은 %2보다 같거나 커야 합니다.")
                            .arg(n)
                            .arg(v.freq_min));
        }
        if (f.freq_min >= f.freq_max) {
            return fail(filterCaption,
                        QStringLiteral("Frequency Filter #%1의 Max값은 Frequency Min보다 커야 "
                                       "합니다.")
                            .arg(n));
        }
        if (f.level < kAlarmMin || f.level > kAlarmMax) {
            return fail(
                filterCaption,
                QStringLiteral("Frequency Filter #%1의 Alram Level 범위는 %2dB ~ %3dB 입니다.")
                    .arg(n)
                    .arg(kAlarmMin)
                    .arg(kAlarmMax));
        }
    }
    constexpr int none = SensorSettingsValues::kNotChosen;
    const QString product = QStringLiteral("제품설정");
    if (v.initial_exception_index == none) {
        return fail(product, QStringLiteral("초기 집중검사 예외 시간을 선택해 주세요"));
    }
    if (v.focus_time_index == none) {
        return fail(product, QStringLiteral("집중검사 시간을 선택해 주세요"));
    }
    if (v.focus_option_index == none) {
        return fail(product, QStringLiteral("집중검사 옵션을 선택해 주세요"));
    }
    if (v.block_gain_index == none) {
        return fail(product, QStringLiteral("Block Gain 옵션을 선택해 주세요"));
    }
    if (v.beamforming_index == none) {
        return fail(QStringLiteral("Beamforing"),
                    QStringLiteral("Beamforing Filter 옵션을 선택해 주세요"));
    }
    if (v.beamforming_count_index == none) {
        return fail(QStringLiteral("Beamforing"),
                    QStringLiteral("Beamforing Count 옵션을 선택해 주세요"));
    }
    return std::nullopt;
}
