#include "setup/DlgSetup.h"

#include <QPalette>

CDlgSetup::CDlgSetup(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CDlgSetup"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(70, 70, 70));
    setPalette(p);
    connect(&m_timers, &TimerTable::fired, this, &CDlgSetup::OnTimer);
}

void CDlgSetup::StartRefreshTimers() {
    m_timers.start(kTimerContainerRefresh, kRefreshDelay_ms, true);
    m_timers.start(kTimerSensorPageRefresh, kRefreshDelay_ms, true);
}

void CDlgSetup::OnTimer(int id) {
    m_timers.stop(id);
    if (id == kTimerContainerRefresh) {
        emit containerRefreshRequested();
    } else if (id == kTimerSensorPageRefresh) {
        emit sensorPageRefreshRequested();
    }
}
