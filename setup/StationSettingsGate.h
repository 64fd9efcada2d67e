#pragma once
// The settings gate as the station runs it: the inspection page, the password dialog and the
// product and sensor settings dialog behind SettingsGateHost.

#include "setup/SettingsGate.h"
#include "setup/SetupStation.h"

#include <functional>

class QWidget;

class CStationSettingsGate : public SettingsGateHost {
  public:
    // `dialogParent` owns the dialogs while they are shown; `today` is the local date (the
    // system's when empty).
    CStationSettingsGate(SetupStation station, QWidget* dialogParent,
                         std::function<QDate()> today = {});

    SettingsGateResult Run() { return RunSettingsGate(*this); }

    bool inspectionRunning() const override;
    void showMessage(const QString& caption, const QString& text) override;
    std::optional<QString> askPassword() override;
    QDate localDate() const override;
    QString currentProduct() const override;
    void prepareForSettings() override;
    std::optional<QString> showSensorSettings(const QString& product) override;
    void selectProduct(const QString& product) override;
    void restartStatusTimer() override;

  private:
    SetupStation m_station;
    QWidget* m_dialogParent;
    std::function<QDate()> m_today;
};
