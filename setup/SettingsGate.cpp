#include "setup/SettingsGate.h"

#include "setup/SettingsPassword.h"

SettingsGateResult RunSettingsGate(SettingsGateHost& host) {
    if (host.inspectionRunning()) {
        host.showMessage(QStringLiteral("[검사중]"),
                         QStringLiteral("제품검사중에는 설정을 할 수 없습니다."));
        return SettingsGateResult::RefusedDuringRun;
    }
    const std::optional<QString> entered = host.askPassword();
    if (!entered) {
        return SettingsGateResult::Cancelled;
    }
    // The date is taken after the dialog closed: the password of the day it is entered on.
    if (!SettingsPasswordAccepted(*entered, host.localDate())) {
        host.showMessage(QStringLiteral("[ERROR]"), QStringLiteral("비밀번호가 틀렸습니다..!!!"));
        return SettingsGateResult::WrongPassword;
    }
    const QString before = host.currentProduct();
    host.prepareForSettings();
    const std::optional<QString> chosen = host.showSensorSettings(before);
    host.selectProduct(chosen ? *chosen : before);
    host.restartStatusTimer();
    return SettingsGateResult::SettingsClosed;
}
