#pragma once
// The way from the inspection page to the sensor detail settings: refused during a run, then the
// password of the day, then the page made idle, the settings dialog, and the product selected
// again. The steps are here; the page and the dialogs are behind SettingsGateHost.

#include <QDate>
#include <QString>

#include <optional>

class SettingsGateHost {
  public:
    virtual ~SettingsGateHost() = default;
    virtual bool inspectionRunning() const = 0;
    virtual void showMessage(const QString& caption, const QString& text) = 0;
    // The password dialog; nullopt when it was cancelled.
    virtual std::optional<QString> askPassword() = 0;
    virtual QDate localDate() const = 0;
    virtual QString currentProduct() const = 0;
    // Forget the last selected product, stop the sensor link, clear the picture and the graph,
    // state 0 (idle), stop the 1-second status timer.
    virtual void prepareForSettings() = 0;
    // The sensor settings dialog for the product; the product chosen there when it closed with
    // OK, nullopt otherwise.
    virtual std::optional<QString> showSensorSettings(const QString& product) = 0;
    virtual void selectProduct(const QString& product) = 0;
    virtual void restartStatusTimer() = 0;
};

enum class SettingsGateResult { RefusedDuringRun, Cancelled, WrongPassword, SettingsClosed };

SettingsGateResult RunSettingsGate(SettingsGateHost& host);
