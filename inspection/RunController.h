#pragma once
// Inspection runs from start to verdict, owned by the inspection page: the page's start-up order,
// start requests (the start key and the control server), the 10 ms inspection clock with the
// tower's running lamp and the PASS pictures, the end of a run by its time limit, by a stop or by
// a new start, and the page's status and head-initialisation timers.
//
// Every run transition happens on the UI thread. Start requests are served one at a time, in
// arrival order, by one worker: it waits while the UI thread finishes a running run, selects the
// product itself (database reads, camera ping) and waits again while the UI thread starts the run.

#include "app/StationConfig.h"
#include "app/UiThreadCaller.h"
#include "inspection/CpuLoadMeter.h"
#include "inspection/EquipmentStatus.h"
#include "inspection/RunClock.h"
#include "inspection/RunContext.h"
#include "inspection/RunDisplay.h"
#include "inspection/RunStation.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class CResultPictures;
class CSensorEvaluation;
class CSignalTower;
class TimerTable;

// What a recorded run reports to the control link.
struct RecordedRun {
    int inspectionId = 0;
    int result = 0;  // 1 NG, 0 OK
    QString sensorName;
};
Q_DECLARE_METATYPE(RecordedRun)

// The pan/tilt head as the status and initialisation timers use it (owned by the main window).
struct HeadLink {
    std::function<bool()> pollStatus;  // polls or reopens the head; true when its port exists
    std::function<double()> panDegrees;
    std::function<double()> tiltDegrees;
    std::function<void(char kind, uint16_t pan, uint16_t tilt)> moveTo;
};

class CRunController : public QObject {
    Q_OBJECT
  public:
    static constexpr int kTimerSelectProduct = 3024;
    static constexpr int kTimerInspectionClock = 3026;
    static constexpr int kTimerReady = 3032;
    static constexpr int kTimerEquipmentStatus = 3037;
    static constexpr int kTimerPanTiltInit = 3038;
    static constexpr int kSelectProductDelay_ms = 50;
    static constexpr int kInspectionClock_ms = 10;
    static constexpr int kReadyDelay_ms = 2000;
    static constexpr int kEquipmentStatus_ms = 1000;
    static constexpr int kPanTiltInit_ms = 1000;
    static constexpr int kPanTiltMoveTick = 45;
    static constexpr int kPanTiltCompleteAfter = 50;
    // How long a start request waits for the UI thread to take its part.
    static constexpr int kUiThreadWait_ms = 60000;

    inline static const QColor kYellow{255, 255, 0};

    struct Parts {
        RunContext& run;
        TimerTable& timers;
        CSignalTower& tower;
        CResultPictures& pictures;
        CSensorEvaluation& evaluation;
        RunDisplay& display;
        RunStation& station;
        const StationConfig& config;
        RunClock& clock;
    };
    explicit CRunController(Parts parts, QObject* parent = nullptr);
    // Ends the start worker (see Shutdown).
    ~CRunController() override;

    // The page's start-up after the configuration was loaded: the two database pings with their
    // lines, the result folders and the temp folder, `setUpPage` (the screen), the page's timers
    // 3024 and 3037, the tower's lamp test, then `startControlLink`.
    struct StartUp {
        std::function<bool(const QString&)> pingHost;  // PingHost when empty
        std::function<void()> setUpPage;
        std::function<void()> startControlLink;
    };
    void Initialize(const StartUp& startUp);
    bool WebServerAnswered() const { return m_webServerAnswered; }
    bool BridgeServerAnswered() const { return m_bridgeServerAnswered; }
    void SetServerAnswered(bool web, bool bridge);

    void SetHeadLink(HeadLink head) { m_head = std::move(head); }

    // The start key: sensor "Top", run start time now, then a start request.
    void StartByKey();
    // The control server's fields for its starts (UI thread).
    void SetRemoteSensorName(const QString& name) { m_remoteSensorName = name; }
    void SetInspectionId(int id) { m_inspectionId = id; }
    void SetProductName(const QString& name) { m_productName = name; }
    void SetRunStartTime(qint64 secondsSinceEpoch) { m_runStartTime = secondsSinceEpoch; }
    // Queues RemoteStartInspection for the start worker. UI thread.
    void RequestRemoteStart();
    // Blocks until every start request queued so far has been served (tests, shutdown).
    void WaitForStartRequests();

    void StartRun();
    void FinishRun();
    void StopInspection();
    void EndRunDisplay();
    // The control server's head initialisation: count from 0, one tick a second.
    void StartPanTiltInit();

    // At shutdown, before the page goes: answers a start request waiting for the UI thread,
    // takes no new ones and joins the worker (a request in progress ends within the database
    // and ping time limits).
    void Shutdown();

    // What the run and the page show.
    QString ProductName() const { return m_productName; }
    QString CurrentSensorName() const { return m_currentSensorName; }
    QString RunSensorName() const { return m_runSensorName; }
    QString Barcode() const { return m_barcode; }
    QString RunStamp() const { return m_runStamp; }
    qint64 RunStartTime() const { return m_runStartTime; }
    int ElapsedTenths() const { return m_elapsedTenths; }
    int ElapsedSeconds() const { return m_elapsedSeconds; }
    int PanTiltInitCount() const { return m_panTiltInitCount; }
    const EquipmentStatus& Status() const { return m_status; }
    int State() const { return m_run.state(); }

    // Timer ticks, public so that tests drive them with their own clock.
    void OnInspectionClock();
    void OnReady();
    void OnEquipmentStatus();
    void OnPanTiltInit();

  signals:
    // After a run reached the local database (the control link sends INSPECTION_COMPLETE for a
    // "Top" run and clears the mission id).
    void runRecorded(const RecordedRun& run);
    void runStarted(const QString& barcode);
    void runEnded();
    // Once a second, for EQUIPMENT_STATUS.
    void equipmentStatusReady(const EquipmentStatus& status);
    // The head initialisation's last tick (INIT_PAN_TILT_COMPLETE).
    void panTiltInitComplete();

  private:
    struct StartRequest {
        QString sensorName;
        QString productName;
        int inspectionId = 0;
    };

    void OnTimer(int id);
    void ServeStartRequests();
    void ServeStartRequest(const StartRequest& request);
    void EndLostRun();
    void EndRun(bool setFinishing);

    RunContext& m_run;
    TimerTable& m_timers;
    CSignalTower& m_tower;
    CResultPictures& m_pictures;
    CSensorEvaluation& m_evaluation;
    RunDisplay& m_display;
    RunStation& m_station;
    const StationConfig& m_config;
    RunClock& m_clock;
    HeadLink m_head;
    UiThreadCaller m_ui;

    bool m_webServerAnswered = false;
    bool m_bridgeServerAnswered = false;

    // UI thread.
    QString m_remoteSensorName;
    QString m_currentSensorName;
    QString m_runSensorName;
    QString m_productName;
    int m_inspectionId = 0;
    int m_runInspectionId = 0;
    qint64 m_runStartTime = 0;
    QString m_barcode;
    QString m_runStamp;
    uint32_t m_clockStart = 0;
    int m_elapsedTenths = 0;
    int m_elapsedSeconds = 0;
    int m_progressRange = 0;
    bool m_pictureSaved[2] = {false, false};
    CCpuLoadMeter m_cpu;
    EquipmentStatus m_status;
    int m_panTiltInitCount = 0;

    // The start worker and its queue.
    std::mutex m_queueMutex;
    std::condition_variable m_queueChanged;
    std::deque<StartRequest> m_queue;
    int m_serving = 0;
    bool m_stopping = false;
    std::thread m_startWorker;
};
