#include "setup/StationSettingsGate.h"

#include "app/ModalLoop.h"
#include "app/StationDialogs.h"
#include "display/DlgMain.h"
#include "inspection/InspectionState.h"
#include "setup/DlgPassword.h"
#include "setup/DlgSetupSC.h"
#include "storage/StationStorage.h"

CStationSettingsGate::CStationSettingsGate(SetupStation station, QWidget* dialogParent,
                                           std::function<QDate()> today)
    : m_station(std::move(station)), m_dialogParent(dialogParent), m_today(std::move(today)) {}

bool CStationSettingsGate::inspectionRunning() const {
    return m_station.main.InspectionState() == kInspectionRunning;
}

void CStationSettingsGate::showMessage(const QString& caption, const QString& text) {
    ShowMessage(caption, text);
}

std::optional<QString> CStationSettingsGate::askPassword() {
    CDlgPassword dialog(m_dialogParent);
    if (ModalLoop::Exec(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.EnteredPassword();
}

QDate CStationSettingsGate::localDate() const {
    return m_today ? m_today() : QDate::currentDate();
}

QString CStationSettingsGate::currentProduct() const {
    return m_station.main.Storage().productRecord().product_name;
}

void CStationSettingsGate::prepareForSettings() {
    m_station.main.PrepareForSensorSettings();
}

std::optional<QString> CStationSettingsGate::showSensorSettings(const QString& product) {
    CDlgSetupSC dialog(m_station, m_dialogParent);
    dialog.SetCurrentProduct(product);
    dialog.Initialize();
    if (ModalLoop::Exec(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.CurrentProduct();
}

void CStationSettingsGate::selectProduct(const QString& product) {
    // A shutdown closed the dialog: the camera link must not start again under it.
    if (!ModalLoop::IsClosed()) {
        m_station.main.selectProduct(product, false);
    }
}

void CStationSettingsGate::restartStatusTimer() {
    if (!ModalLoop::IsClosed()) {
        m_station.main.RestartStatusTimer();
    }
}
