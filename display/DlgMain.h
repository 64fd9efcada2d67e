#pragma once
// The inspection page. It owns the configuration values, the inspection state, the camera
// device with its picture pipeline and evaluation, the signal tower and the storage; the
// operator screen is drawn on it.

#include "app/StationConfig.h"
#include "app/TimerTable.h"
#include "display/InspectionState.h"
#include "inspection/RunContext.h"
#include "sensor/SensorHost.h"
#include "sensor/SensorSettingsStore.h"
#include "storage/ProductSelectionHost.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <atomic>
#include <memory>

class ConfigStore;
class CInspectionOutputs;
class CInspectionPipeline;
class CPhonoluxDevice;
class CSignalTower;
class CStationStorage;
class CTowerLibrary;

class CDlgMain : public QWidget, public SensorHost, public ProductSelectionHost {
    Q_OBJECT
  public:
    // The redraw timer the main window starts when the inspection page comes back.
    static constexpr int kTimerRefreshScreen = 3025;
    static constexpr int kRefreshScreenDelay_ms = 5;
    // Where the acoustic picture and the infrared picture are drawn on the page.
    static constexpr QRect kPictureRect{0, 30, 640, 480};
    static constexpr QRect kThermalRect{0, 540, 640, 480};

    explicit CDlgMain(ConfigStore& store, QWidget* parent = nullptr);
    ~CDlgMain() override;

    // Page initialisation: the configuration, the database server checks, today's results, the
    // tower's lamp test and, 50 ms later, the selection of the configured product (which starts
    // the camera link).
    void Initialize();
    bool WebServerAnswered() const { return m_webServerAnswered; }
    bool BridgeServerAnswered() const { return m_bridgeServerAnswered; }
    // After the settings pages changed configuration values the worker reads.
    void ApplyConfig();

    StationConfig& Config() { return m_config; }
    const StationConfig& Config() const { return m_config; }

    int InspectionState() const { return m_inspectionState.load(); }
    void SetInspectionState(int state) { m_inspectionState.store(state); }

    // The camera's settings in force, changed only as a whole (the worker reads them), and the
    // area kept while Setup is shown (UI thread).
    CSensorSettingsStore::Snapshot Sensor() const;
    CSensorSettingsStore::Snapshot UpdateSensor(
        const std::function<void(::SensorSettings&)>& change);
    InspectionArea& SavedArea();

    TimerTable& Timers() { return m_timers; }
    CSignalTower& Tower() { return *m_tower; }
    CStationStorage& Storage() { return *m_storage; }
    CInspectionOutputs& Outputs() { return *m_outputs; }
    CInspectionPipeline& Pipeline() { return *m_pipeline; }
    RunContext& Run() { return m_run; }
    CPhonoluxDevice* Device() { return m_device.get(); }

    // Stops the sensor worker and disconnects the camera; false when no worker was running.
    bool StopSensor();
    // Releases the camera device before the pages go away.
    void DestroyDevice();

    QImage LastPicture() const { return m_picture; }
    QImage LastThermal() const { return m_thermal; }

    // SensorHost
    std::atomic<int>& inspectionState() override { return m_inspectionState; }
    int audioShift() const override { return m_audioShift.load(); }
    int fileSaveMode() const override { return m_fileSaveMode.load(); }
    int phonoluxVideoColor() const override { return m_run.videoColor.load(); }
    bool sensorDebugFlag() const override { return m_run.debugFlag.load() == 1; }
    void onSensorConnectionLost() override;

    // ProductSelectionHost
    void showResultText(const QString& text, int fontHeight, const QColor& color) override;
    void startScreenRefresh() override;
    void setInspectionState(int state) override { SetInspectionState(state); }
    std::shared_ptr<const ::SensorSettings> updateSensorSettings(
        int sensorIndex, const std::function<void(::SensorSettings&)>& change) override;
    void resetSpotTracker(int beamformingCount) override;
    bool isSensorWorkerAlive() override;
    void sendMeasuringParameters(int distance, int freqMin, int freqMax) override;
    void setConnectionState(int state) override;
    void startSensorLink() override;

  signals:
    void screenRefreshed();
    void pictureShown();
    void thermalShown();
    void connectionStateChanged(int state);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void OnTimer(int id);
    void RefreshScreen();
    void OnPicture(const QImage& picture, int model, int rotation);
    void OnThermal(const QImage& bitmap);

    ConfigStore& m_store;
    StationConfig m_config;
    std::atomic<int> m_inspectionState{kInspectionIdle};
    std::atomic<int> m_audioShift{0};
    std::atomic<int> m_fileSaveMode{2};
    bool m_webServerAnswered = false;
    bool m_bridgeServerAnswered = false;
    RunContext m_run;
    TimerTable m_timers;
    std::unique_ptr<CTowerLibrary> m_towerLibrary;
    std::unique_ptr<CSignalTower> m_tower;
    std::unique_ptr<CInspectionOutputs> m_outputs;
    std::unique_ptr<CPhonoluxDevice> m_device;
    std::unique_ptr<CInspectionPipeline> m_pipeline;
    std::unique_ptr<CStationStorage> m_storage;
    // Kept when the device is gone, so late callers still find settings.
    CSensorSettingsStore m_detachedSettings;
    InspectionArea m_detachedArea;

    QImage m_picture;
    int m_pictureModel = 3;
    int m_pictureRotation = 0;
    QImage m_thermal;
};
