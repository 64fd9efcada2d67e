#include "tower/SignalTower.h"

#include "app/StationConfig.h"
#include "app/TimerTable.h"

#include <QThread>

namespace {
constexpr uint8_t kLampOn = 1;
constexpr uint8_t kBuzzerOn = 4;
}  // namespace

TowerPattern CSignalTower::LampTestPattern(bool buzzer) {
    return {kLampOn, 0, kLampOn, 0, 0, buzzer ? kBuzzerOn : uint8_t{0}};
}

TowerPattern CSignalTower::NgPattern(bool buzzer) {
    return {kLampOn, 0, 0, 0, 0, buzzer ? kBuzzerOn : uint8_t{0}};
}

TowerPattern CSignalTower::OkPattern() {
    return {0, 0, kLampOn, 0, 0, 0};
}

TowerPattern CSignalTower::AllOffPattern() {
    return {0, 0, 0, 0, 0, 0};
}

TowerPattern CSignalTower::RunningPattern(int elapsedTenths) {
    const int tenth = elapsedTenths % 10;
    return tenth == 0 || tenth == 1 ? OkPattern() : AllOffPattern();
}

CSignalTower::CSignalTower(CTowerLibrary& library, TimerTable& timers, const StationConfig& config,
                           QObject* parent)
    : QObject(parent), m_library(library), m_timers(timers), m_config(config) {
    connect(&m_timers, &TimerTable::fired, this, &CSignalTower::onTimer);
}

bool CSignalTower::buzzer() const {
    return m_config.Buzzer_Enable == 1;
}

void CSignalTower::TestLamps() {
    m_library.Open();
    m_library.Write(LampTestPattern(buzzer()));
    QThread::msleep(kLampTestMs);
    AllOff();
}

void CSignalTower::ShowVerdict(bool ng) {
    m_library.Write(ng ? NgPattern(buzzer()) : OkPattern());
    if (QThread::currentThread() == m_timers.thread()) {
        m_timers.start(kLampOffTimerId, kLampOffDelayMs, true);
        return;
    }
    QMetaObject::invokeMethod(
        &m_timers, [timers = &m_timers] { timers->start(kLampOffTimerId, kLampOffDelayMs, true); },
        Qt::QueuedConnection);
}

void CSignalTower::ShowRunning(int elapsedTenths) {
    m_library.Write(RunningPattern(elapsedTenths));
}

void CSignalTower::AllOff() {
    m_library.Write(AllOffPattern());
}

void CSignalTower::SwitchOff() {
    m_timers.stop(kLampOffTimerId);
    AllOff();
}

int CSignalTower::BeaconState() {
    return m_library.GetState() != 0 ? 1 : 0;
}

void CSignalTower::onTimer(int id) {
    if (id != kLampOffTimerId) {
        return;
    }
    m_timers.stop(kLampOffTimerId);
    AllOff();
}
