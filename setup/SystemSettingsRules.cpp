#include "setup/SystemSettingsRules.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kPanMax = 360;
constexpr int kTiltUpper = 90;
constexpr int kTiltLowerFrom = 320;

RuleFailure PanRange() {
    return {QStringLiteral("Pan 모터 설정"),
            QStringLiteral("Pan 모터 범위는 %1° ~ %2°입니다.").arg(0).arg(kPanMax)};
}

RuleFailure TiltRange() {
    return {QStringLiteral("Tilt 모터 설정"),
            QStringLiteral("Tilt 모터 범위는 %1° ~ %2°, %3° ~ %4°입니다.")
                .arg(0)
                .arg(kTiltUpper)
                .arg(kTiltLowerFrom)
                .arg(kPanMax)};
}

}  // namespace

int DecimalFromEdit(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        // Beyond the int range the value stays at its end instead of overflowing.
        value = std::min<long long>(value * 10 + (text[i].unicode() - '0'), 1LL + INT_MAX);
    }
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

uint16_t PositionFromEdit(const QString& text) {
    return static_cast<uint16_t>(static_cast<unsigned>(DecimalFromEdit(text)));
}

std::optional<RuleFailure> CheckServerFields(DatabaseServer server, const QString& ip,
                                             const QString& password) {
    const QString name = server == DatabaseServer::Web ? QStringLiteral("Vorn DB Server")
                                                       : QStringLiteral("Bridge DB Server");
    const QString address = ip.trimmed();
    if (address.isEmpty() || address == QLatin1String("0.0.0.0")) {
        return RuleFailure{name + QStringLiteral(" IP"), QStringLiteral("IP를 입력해 주세요")};
    }
    if (password.trimmed().isEmpty()) {
        return RuleFailure{name + QStringLiteral(" PW"), QStringLiteral("PW를 입력해 주세요")};
    }
    return std::nullopt;
}

PanTiltSettingChecks CheckPanTiltSettings(const PanTiltSettingValues& values) {
    PanTiltSettingChecks checks;
    checks.addressAccepted = values.address >= 1 && values.address <= 10;
    if (!checks.addressAccepted) {
        checks.failures.push_back(
            {QStringLiteral("[ERROR]Pan/Tilt Address(Default : 0x01)"),
             QStringLiteral("Pan/Tilt Address(%1) Error : Addrsss 범위 '1 ~ 10'")
                 .arg(values.address)});
    }
    checks.panSpeedAccepted = values.panSpeed >= 10 && values.panSpeed <= 100;
    if (!checks.panSpeedAccepted) {
        checks.failures.push_back(
            {QStringLiteral("[ERROR]Pan Speed"),
             QStringLiteral("Pan Speed(%1) Error : 범위 '10 ~ 100'").arg(values.panSpeed)});
    }
    checks.tiltSpeedAccepted = values.tiltSpeed >= 10 && values.tiltSpeed <= 100;
    if (!checks.tiltSpeedAccepted) {
        checks.failures.push_back(
            {QStringLiteral("[ERROR]Tilt Speed"),
             QStringLiteral("Tilt Speed(%1) Error : 범위 '10 ~ 100'").arg(values.tiltSpeed)});
    }
    return checks;
}

std::optional<RuleFailure> CheckSetPan(int pan) {
    if (pan > kPanMax) {
        return PanRange();
    }
    return std::nullopt;
}

std::optional<RuleFailure> CheckSetTilt(int tilt) {
    if ((tilt >= 0 && tilt <= kTiltUpper) || (tilt >= kTiltLowerFrom && tilt <= kPanMax)) {
        return std::nullopt;
    }
    return TiltRange();
}

std::optional<RuleFailure> CheckSetPanTilt(int pan, int tilt) {
    if (pan > kPanMax) {
        return PanRange();
    }
    if (tilt > kTiltUpper) {
        return TiltRange();
    }
    return std::nullopt;
}

std::optional<RuleFailure> CheckSystemSave(const QString& title, const QString& folder) {
    if (title.trimmed().isEmpty()) {
        return RuleFailure{QStringLiteral("저장폴더 설정"),
                           QStringLiteral("음향검사기 타이틀를 입력하세요.")};
    }
    if (folder.trimmed().isEmpty()) {
        return RuleFailure{QStringLiteral("저장폴더 설정"),
                           QStringLiteral("저장폴더를 설정해 주세요.")};
    }
    return std::nullopt;
}
