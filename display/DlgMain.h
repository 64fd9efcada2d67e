#pragma once
// The inspection page. It owns the configuration values, the camera device with its picture
// pipeline and evaluation, the signal tower, the storage, the result pictures and the run
// controller, wires them together and draws the operator screen. The rules live in those parts.

#include "app/StationConfig.h"
#include "app/TimerTable.h"
#include "inspection/ProductSelectionHost.h"
#include "inspection/RunContext.h"
#include "inspection/RunStation.h"
#include "sensor/SensorHost.h"
#include "sensor/SensorSettingsStore.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <atomic>
#include <memory>

class ConfigStore;
class CAxisLabels;
class CFrequencyGraph;
class CImageButton;
class CInfoPanel;
class CInspectionOutputs;
class CLabel;
class CPicturePane;
class CResultList;
class CTextProgressCtrl;
class CInspectionPipeline;
class CPhonoluxDevice;
class CProductSelector;
class CResultPictures;
class CRunController;
class CRunRecorder;
class CControlLink;
class CStreamingPush;
class CSignalTower;
class CStationStorage;
class CTowerLibrary;
class RunClock;

class CDlgMain : public QWidget, public SensorHost, public ProductSelectionHost, public RunStation {
    Q_OBJECT
  public:
    // The redraw timer the main window starts when the inspection page comes back.
    static constexpr int kTimerRefreshScreen = 3025;
    static constexpr int kRefreshScreenDelay_ms = 5;
    // Where the acoustic picture and the infrared picture are drawn on the page.
    static constexpr QRect kPictureRect{0, 30, 640, 480};
    static constexpr QRect kThermalRect{0, 540, 640, 480};
    static constexpr QRect kProgressRect{1283, 705, 637, 35};
    static constexpr QRect kResultListRect{1284, 770, 636, 250};
    // The colours of the information rows' values.
    static constexpr QColor kVehicleColour{75, 225, 75};
    static constexpr QColor kOrange{255, 162, 1};
    static constexpr QColor kYellow{255, 255, 0};

    // `clock` times and names the runs (the system clocks when null; tests pass their own).
    explicit CDlgMain(ConfigStore& store, QWidget* parent = nullptr, RunClock* clock = nullptr);
    ~CDlgMain() override;

    // Page initialisation: the configuration, then the run controller's start-up order (server
    // pings, result folders, set-up, today's results, the timers, the tower's lamp test, the
    // control link).
    void Initialize();
    bool WebServerAnswered() const;
    bool BridgeServerAnswered() const;
    // After the settings pages changed configuration values the worker reads.
    void ApplyConfig();

    StationConfig& Config() { return m_config; }
    const StationConfig& Config() const { return m_config; }

    int InspectionState() const { return m_run.state(); }
    void SetInspectionState(int state) { m_run.inspectionState.store(state); }

    // The camera's settings in force, changed only as a whole (the worker reads them), and the
    // area kept while Setup is shown (UI thread).
    CSensorSettingsStore::Snapshot Sensor() const;
    CSensorSettingsStore::Snapshot UpdateSensor(
        const std::function<void(::SensorSettings&)>& change);
    InspectionArea& SavedArea();

    TimerTable& Timers() { return m_timers; }
    CSignalTower& Tower() { return *m_tower; }
    CStationStorage& Storage() { return *m_storage; }
    CProductSelector& Selector() { return *m_selector; }
    CInspectionOutputs& Outputs() { return *m_outputs; }
    CInspectionPipeline& Pipeline() { return *m_pipeline; }
    CResultPictures& Pictures() { return *m_pictures; }
    CRunController& Runs() { return *m_runs; }
    CControlLink& ControlLink() { return *m_control; }
    CStreamingPush& Streaming() { return *m_streaming; }
    // Ends the control link's thread and the picture push threads (shutdown order).
    void StopLinks();
    RunContext& Run() { return m_run; }
    CPhonoluxDevice* Device() { return m_device.get(); }

    // Stops the sensor worker and disconnects the camera; false when no worker was running.
    bool StopSensor();
    // Before the sensor settings dialog: the product is read again afterwards, the camera link
    // is stopped, the picture and the graph are cleared, the page is idle and the equipment
    // status is not sent while the dialog is open.
    void PrepareForSensorSettings();
    void RestartStatusTimer();
    // Releases the camera device before the pages go away.
    void DestroyDevice();

    QImage LastPicture() const { return m_picture; }
    // The last picture placed in `pane` as the inspection page shows it (the setup container).
    void ShowPictureIn(CPicturePane& pane) const;
    QImage LastThermal() const { return m_thermal; }
    // The screen's parts, for the control link and for tests.
    CInfoPanel& InfoPanel() { return *m_infoPanel; }
    CResultList& ResultList() { return *m_resultList; }
    CTextProgressCtrl& ProgressBar() { return *m_progress; }
    CPicturePane& Lamp(int index) { return *m_lamps[index]; }
    CLabel& Title(int index) { return *m_titles[index]; }
    CImageButton& SpectrumScaleButton() { return *m_spectrumScale; }
    CImageButton& SpectrogramScaleButton() { return *m_spectrogramScale; }
    // The live graph and its axis labels; the graph draws nothing once the device is gone.
    CFrequencyGraph* Graph() { return m_graph; }
    CAxisLabels& AxisLabels() { return *m_axisLabels; }
    // Row 0: the vehicle code the control server sent.
    void ShowVehicleCode(const QString& code);

    // The pixels of a sensor's picture pane as the screen shows them (0 Top, 1 Bottom; a null
    // image otherwise), with the main window brought to the front first. UI thread.
    QImage GrabPane(int sensorIndex);
    // The same pixels for the picture push, without bringing the window forward.
    QImage ViewPixels(int sensorIndex);

    // SensorHost
    std::atomic<int>& inspectionState() override { return m_run.inspectionState; }
    int audioShift() const override { return m_audioShift.load(); }
    int fileSaveMode() const override { return m_fileSaveMode.load(); }
    int phonoluxVideoColor() const override { return m_run.videoColor.load(); }
    bool sensorDebugFlag() const override { return m_run.debugFlag.load() == 1; }
    void onSensorConnectionLost() override;

    // ProductSelectionHost
    void showResultText(const QString& text, int fontHeight, const QColor& color) override;
    void startScreenRefresh() override;
    void productLoaded(const QString& productName, int inspectionTime_s) override;
    void setInspectionState(int state) override { SetInspectionState(state); }
    std::shared_ptr<const ::SensorSettings> updateSensorSettings(
        int sensorIndex, const std::function<void(::SensorSettings&)>& change) override;
    void resetSpotTracker(int beamformingCount) override;
    bool isSensorWorkerAlive() override;
    void sendMeasuringParameters(int distance, int freqMin, int freqMax) override;
    void setConnectionState(int state) override;
    void startSensorLink() override;

    // RunStation
    bool selectProduct(const QString& productName, bool force) override;
    int inspectionTimeLimit() const override;
    bool cameraLinkUp() const override;
    bool cameraConnected() const override;
    CSensorSettingsStore::Snapshot sensorSettings() const override { return Sensor(); }
    void clearHistoryQueues() override;
    bool recordInspectionResult(const RunOutcome& run) override;
    void beginRunRecording(const RunPictureNames& names, const QString& sensorName) override;
    QString finishRunRecording(bool ng, const RunPictureNames& names) override;
    void dropRunRecording() override;
    CRunRecorder& Recorder() { return *m_recorder; }

  signals:
    void screenRefreshed();
    void pictureShown();
    void thermalShown();
    void connectionStateChanged(int state);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void OnTimer(int id);
    void RefreshScreen();
    void CreateScreen();
    // Writes what the run controller, the recording and the selection left in the outputs.
    void ShowOutputs();
    void ShowLamps(int connectionState);
    void OnSpectrumScale();
    void OnSpectrogramScale();
    // The graph side of the screen: the scale popups' effects and the refresh's label steps.
    void ApplySpectrumScale();
    void ApplySpectrogramScale();
    void RefreshGraphLabels();
    // The graph's scale and labels from the loaded configuration (page set-up).
    void SetUpGraph();
    struct GraphSettings GraphSettingsNow() const;
    void ClearGraphCurves();
    // One log line per interval when STATION_GRAPH_STATS gives the interval in seconds.
    void StartGraphStatistics();
    struct GraphCounts {
        int changes = 0;
        int requests = 0;
        int paints = 0;
        int refreshes = 0;
    };
    int m_refreshCount = 0;
    void OnPicture(const QImage& picture, int model, int rotation);
    void OnThermal(const QImage& bitmap);
    // Thread_Web_Server with the configured server; the streaming servers' addresses.
    void StartControlLink();

    ConfigStore& m_store;
    StationConfig m_config;
    std::atomic<int> m_audioShift{0};
    std::atomic<int> m_fileSaveMode{2};
    RunContext m_run;
    TimerTable m_timers;
    std::unique_ptr<RunClock> m_ownClock;
    RunClock& m_clock;
    std::unique_ptr<CTowerLibrary> m_towerLibrary;
    std::unique_ptr<CSignalTower> m_tower;
    std::unique_ptr<CInspectionOutputs> m_outputs;
    // Before the device, whose receive path feeds it.
    std::unique_ptr<CRunRecorder> m_recorder;
    std::unique_ptr<CPhonoluxDevice> m_device;
    std::unique_ptr<CInspectionPipeline> m_pipeline;
    std::unique_ptr<CStationStorage> m_storage;
    std::unique_ptr<CProductSelector> m_selector;
    std::unique_ptr<CResultPictures> m_pictures;
    std::unique_ptr<CRunController> m_runs;
    // After the runs: the links report runs and go first.
    std::unique_ptr<CStreamingPush> m_streaming;
    std::unique_ptr<CControlLink> m_control;
    // Kept when the device is gone, so late callers still find settings.
    CSensorSettingsStore m_detachedSettings;
    InspectionArea m_detachedArea;

    QImage m_picture;
    int m_pictureModel = 3;
    int m_pictureRotation = 0;
    QImage m_thermal;

    CPicturePane* m_lamps[2] = {};
    CLabel* m_titles[4] = {};
    CPicturePane* m_picturePane = nullptr;
    CPicturePane* m_thermalPane = nullptr;
    CImageButton* m_spectrumScale = nullptr;
    CImageButton* m_spectrogramScale = nullptr;
    CInfoPanel* m_infoPanel = nullptr;
    CTextProgressCtrl* m_progress = nullptr;
    CLabel* m_listTitle = nullptr;
    CResultList* m_resultList = nullptr;
    CFrequencyGraph* m_graph = nullptr;
    std::unique_ptr<CAxisLabels> m_axisLabels;
};
