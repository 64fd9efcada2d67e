#pragma once
// The lamps and buzzer of the signal tower as the inspection page drives them: the lamp test at
// start-up, the blink while a run goes, the verdict lamp that the page's timer 3035 switches off
// after 2 s, and the state for the equipment status.

#include "tower/TowerLibrary.h"

#include <QObject>

class TimerTable;
struct StationConfig;

class CSignalTower : public QObject {
    Q_OBJECT
  public:
    static constexpr int kLampOffTimerId = 3035;
    static constexpr int kLampOffDelayMs = 2000;
    static constexpr int kLampTestMs = 750;

    // Byte 0 the NG lamp, byte 2 the OK/running lamp, byte 5 the buzzer (4 sounds).
    static TowerPattern LampTestPattern(bool buzzer);
    static TowerPattern NgPattern(bool buzzer);
    static TowerPattern OkPattern();
    static TowerPattern AllOffPattern();
    // On for the first two tenths of every second of the run.
    static TowerPattern RunningPattern(int elapsedTenths);

    // config.Buzzer_Enable is read at every pattern, so the settings page's change holds at once.
    CSignalTower(CTowerLibrary& library, TimerTable& timers, const StationConfig& config,
                 QObject* parent = nullptr);

    // Opens the tower, lights the lamp test, sleeps 750 ms on the calling thread, all off.
    void TestLamps();
    // The verdict pattern; the lamps go off 2 s after the last verdict. Callable from a worker:
    // the timer is then started on the timer table's thread.
    void ShowVerdict(bool ng);
    // Every tick of the run clock.
    void ShowRunning(int elapsedTenths);
    void AllOff();
    // At shutdown: all off now, and no verdict timer left to fire.
    void SwitchOff();
    // BEACON_LIGHT: 1 when the tower reports a nonzero state.
    int BeaconState();

  private:
    void onTimer(int id);
    bool buzzer() const;

    CTowerLibrary& m_library;
    TimerTable& m_timers;
    const StationConfig& m_config;
};
