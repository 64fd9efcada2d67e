#pragma once
// The inspection page. It owns the configuration values, the inspection state and the sensor's
// settings; the operator screen, the camera device and the links are built on it.

#include "app/StationConfig.h"
#include "app/TimerTable.h"
#include "display/InspectionState.h"
#include "sensor/SensorSettings.h"

#include <QWidget>

#include <atomic>
#include <memory>

class ConfigStore;
class CSignalTower;
class CTowerLibrary;

class CDlgMain : public QWidget {
    Q_OBJECT
  public:
    // The redraw timer the main window starts when the inspection page comes back.
    static constexpr int kTimerRefreshScreen = 3025;
    static constexpr int kRefreshScreenDelay_ms = 5;

    explicit CDlgMain(ConfigStore& store, QWidget* parent = nullptr);
    ~CDlgMain() override;

    // Page initialisation: loads the configuration from the store.
    void Initialize();

    StationConfig& Config() { return m_config; }
    const StationConfig& Config() const { return m_config; }

    int InspectionState() const { return m_inspectionState.load(); }
    void SetInspectionState(int state) { m_inspectionState.store(state); }
    std::atomic<int>& InspectionStateFlag() { return m_inspectionState; }

    ::SensorSettings& Sensor() { return m_sensor; }
    InspectionArea& SavedArea() { return m_savedArea; }

    TimerTable& Timers() { return m_timers; }
    CSignalTower& Tower() { return *m_tower; }

    // Stops the sensor worker and disconnects the camera; false when no worker was running.
    bool StopSensor();
    // Releases the camera device before the pages go away.
    void DestroyDevice();

  signals:
    void screenRefreshed();

  private:
    void OnTimer(int id);
    void RefreshScreen();

    ConfigStore& m_store;
    StationConfig m_config;
    std::atomic<int> m_inspectionState{kInspectionIdle};
    ::SensorSettings m_sensor;
    InspectionArea m_savedArea;
    TimerTable m_timers;
    std::unique_ptr<CTowerLibrary> m_towerLibrary;
    std::unique_ptr<CSignalTower> m_tower;
};
