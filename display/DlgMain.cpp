#include "display/DlgMain.h"

#include "app/ConfigStore.h"
#include "tower/SignalTower.h"
#include "tower/TowerLibrary.h"

#include <QPalette>

CDlgMain::CDlgMain(ConfigStore& store, QWidget* parent)
    : QWidget(parent),
      m_store(store),
      m_towerLibrary(std::make_unique<CTowerLibrary>()),
      m_tower(std::make_unique<CSignalTower>(*m_towerLibrary, m_timers, m_config)) {
    setObjectName(QStringLiteral("CDlgMain"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(70, 70, 70));
    setPalette(p);
    connect(&m_timers, &TimerTable::fired, this, &CDlgMain::OnTimer);
}

CDlgMain::~CDlgMain() = default;

void CDlgMain::Initialize() {
    m_store.load(m_config);
}

bool CDlgMain::StopSensor() {
    m_inspectionState.store(kInspectionIdle);
    return false;  // no camera worker exists until a camera device is attached
}

void CDlgMain::DestroyDevice() {}

void CDlgMain::OnTimer(int id) {
    if (id == kTimerRefreshScreen) {
        m_timers.stop(id);
        RefreshScreen();
    }
}

void CDlgMain::RefreshScreen() {
    update();
    emit screenRefreshed();
}
