#include "inspection/RunController.h"

#include "app/CLocaleFormat.h"
#include "app/DebugLog.h"
#include "app/TimerTable.h"
#include "app/Utilities.h"
#include "inspection/InspectionState.h"
#include "inspection/ResultPictures.h"
#include "inspection/RunPlan.h"
#include "inspection/SensorEvaluation.h"
#include "tower/SignalTower.h"

#include <QCoreApplication>

#include <chrono>

namespace {

constexpr char kSensorTopName[] = "Top";

QString ElapsedText(float elapsed_s) {
    return QString::fromLatin1(FormatCLocale("%.1f Sec", static_cast<double>(elapsed_s)));
}

}  // namespace

CRunController::CRunController(Parts parts, QObject* parent)
    : QObject(parent),
      m_run(parts.run),
      m_timers(parts.timers),
      m_tower(parts.tower),
      m_pictures(parts.pictures),
      m_evaluation(parts.evaluation),
      m_display(parts.display),
      m_station(parts.station),
      m_config(parts.config),
      m_clock(parts.clock) {
    qRegisterMetaType<RecordedRun>();
    qRegisterMetaType<EquipmentStatus>();
    m_productName = m_config.Product_Name;
    connect(&m_timers, &TimerTable::fired, this, &CRunController::OnTimer);
    m_startWorker = std::thread([this] { ServeStartRequests(); });
}

CRunController::~CRunController() {
    Shutdown();
}

void CRunController::Initialize(const StartUp& startUp) {
    const auto ping = startUp.pingHost ? startUp.pingHost
                                       : [](const QString& address) { return PingHost(address); };
    m_productName = m_config.Product_Name;
    m_webServerAnswered = ping(m_config.Vorn_db_server);
    DebugLog(m_webServerAnswered ? QStringLiteral("Vorn DB Server Ping : OK")
                                 : QStringLiteral("Vorn DB Server Ping : NG"));
    m_bridgeServerAnswered = ping(m_config.Bridge_db_server);
    DebugLog(m_bridgeServerAnswered ? QStringLiteral("Bridge DB Server Ping : OK")
                                    : QStringLiteral("Bridge DB Server Ping : NG"));
    m_pictures.CreateResultFolders(1);
    m_pictures.CreateTempFolder();
    if (startUp.setUpPage) {
        startUp.setUpPage();
    }
    m_timers.start(kTimerSelectProduct, kSelectProductDelay_ms, true);
    m_timers.start(kTimerEquipmentStatus, kEquipmentStatus_ms, false);
    m_tower.TestLamps();
    if (startUp.startControlLink) {
        startUp.startControlLink();
    }
}

void CRunController::SetServerAnswered(bool web, bool bridge) {
    m_webServerAnswered = web;
    m_bridgeServerAnswered = bridge;
}

void CRunController::OnTimer(int id) {
    switch (id) {
        case kTimerSelectProduct:
            m_timers.stop(id);
            m_station.selectProduct(m_config.Product_Name, false);
            break;
        case kTimerInspectionClock:
            OnInspectionClock();
            break;
        case kTimerReady:
            OnReady();
            break;
        case kTimerEquipmentStatus:
            OnEquipmentStatus();
            break;
        case kTimerPanTiltInit:
            OnPanTiltInit();
            break;
        default:
            break;
    }
}

// ---- start requests

void CRunController::StartByKey() {
    m_remoteSensorName = QString::fromLatin1(kSensorTopName);
    m_runStartTime = m_clock.localNow().toSecsSinceEpoch();
    RequestRemoteStart();
}

void CRunController::RequestRemoteStart() {
    {
        std::lock_guard lock(m_queueMutex);
        if (m_stopping) {
            return;
        }
        m_queue.push_back({m_remoteSensorName, m_productName, m_inspectionId});
    }
    m_queueChanged.notify_all();
}

void CRunController::WaitForStartRequests() {
    std::unique_lock lock(m_queueMutex);
    // A request may wait for the UI thread, which may be this one: serve its calls meanwhile.
    while (!m_queue.empty() || m_serving > 0) {
        lock.unlock();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        lock.lock();
    }
}

void CRunController::ServeStartRequests() {
    std::unique_lock lock(m_queueMutex);
    while (true) {
        m_queueChanged.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_stopping) {
            m_queue.clear();
            return;
        }
        const StartRequest request = m_queue.front();
        m_queue.pop_front();
        ++m_serving;
        lock.unlock();
        ServeStartRequest(request);
        lock.lock();
        --m_serving;
        m_queueChanged.notify_all();
    }
}

void CRunController::ServeStartRequest(const StartRequest& request) {
    StartRequestPlan plan;
    bool proceed = false;
    const bool tookPart = m_ui.call(
        [&] {
            plan = PlanStartRequest(m_run.state(), m_elapsedSeconds, m_station.cameraLinkUp());
            if (plan.ignore) {
                return;
            }
            if (plan.finishRunning) {
                FinishRun();
            }
            m_currentSensorName = request.sensorName;
            m_run.positionMatch.store(m_currentSensorName == QLatin1String(kSensorTopName));
            proceed = true;
        },
        kUiThreadWait_ms);
    if (!tookPart || !proceed) {
        return;
    }
    if (plan.forceReload) {
        DebugLog(QStringLiteral("[Run] Camera link down at a start request: product loaded again"));
    }
    if (!m_station.selectProduct(request.productName, plan.forceReload)) {
        return;
    }
    const bool linkUp = m_station.cameraLinkUp();
    m_ui.call(
        [&] {
            if (!linkUp) {
                // Without a camera nothing can be judged: a run would only count time.
                m_run.inspectionState.store(
                    NextInspectionState(m_run.state(), RunEvent::LinkStopped));
            }
            m_display.showMissionInfo(
                {m_config.plant_id, QString(), QString(), QString(), m_currentSensorName});
            const QString barcode = QStringLiteral("[Vorn]") + StampText(m_clock.localNow());
            // ShowInspectionId: the current inspection code, the run, then the row.
            m_barcode = barcode;
            m_inspectionId = request.inspectionId;
            StartRun();
            m_display.showInspectionId(barcode);
        },
        kUiThreadWait_ms);
}

// ---- runs

void CRunController::StartRun() {
    if (!RunEventApplies(m_run.state(), RunEvent::StartRun)) {
        return;
    }
    m_runStamp = StampText(m_clock.localNow());
    m_progressRange = m_station.inspectionTimeLimit() * 10;
    m_display.showProgress(m_progressRange, 0, QString());
    m_elapsedSeconds = 0;
    m_run.elapsed_s.store(0.0f);
    m_pictures.ClearRunImagePaths();
    m_pictureSaved[0] = m_pictureSaved[1] = false;
    m_evaluation.ResetEvaluation();
    m_display.clearSpectrogram();
    m_station.clearHistoryQueues();
    m_run.inspectionState.store(NextInspectionState(m_run.state(), RunEvent::StartRun));
    m_runSensorName = m_currentSensorName;
    m_runInspectionId = m_inspectionId;
    m_station.beginRunRecording({m_runStamp, m_barcode}, m_runSensorName);
    m_timers.stop(kTimerReady);
    m_display.showResultText(QStringLiteral("검사진행 중"), 42, kYellow);
    m_elapsedTenths = 0;
    m_clockStart = m_clock.tickMs();
    m_timers.start(kTimerInspectionClock, kInspectionClock_ms, false);
    emit runStarted(m_barcode);
}

void CRunController::OnInspectionClock() {
    if (!m_run.running()) {
        EndLostRun();
        return;
    }
    const CSensorSettingsStore::Snapshot settings = m_station.sensorSettings();
    const ClockTickPlan tick =
        PlanClockTick(m_clock.tickMs() - m_clockStart, settings->picture_save_time, m_pictureSaved,
                      m_station.inspectionTimeLimit());
    m_elapsedTenths = tick.elapsedTenths;
    m_run.elapsed_s.store(tick.elapsed_s);
    m_display.showProgress(m_progressRange, tick.elapsedTenths, ElapsedText(tick.elapsed_s));
    m_tower.ShowRunning(tick.elapsedTenths);
    const RunPictureNames names{m_runStamp, m_barcode};
    for (int index = 0; index < 2; ++index) {
        if (tick.savePassPicture[index]) {
            m_pictureSaved[index] = true;
            m_pictures.SavePassPictures(index, names);
        }
    }
    m_elapsedSeconds = tick.elapsedSeconds;
    if (tick.finish) {
        FinishRun();
    }
}

void CRunController::FinishRun() {
    m_run.inspectionState.store(kInspectionFinishing);
    m_timers.stop(kTimerInspectionClock);
    m_timers.start(kTimerReady, kReadyDelay_ms, true);

    const CSensorSettingsStore::Snapshot settings = m_station.sensorSettings();
    const RunPictureNames names{m_runStamp, m_barcode};
    const bool latched = m_evaluation.NgLatched();
    m_pictures.SaveNgPictures(latched, settings->inspection_mode, names);
    // The blob of this run must be this run's picture, even when none was saved on the way.
    m_pictures.EnsureRunTopPicture(names);

    const bool ng = settings->inspection_mode == 1 && latched;
    m_tower.ShowVerdict(ng);
    if (ng) {
        m_display.showResultText(QStringLiteral("NG"), 90, QColor(225, 75, 75));
    } else {
        m_evaluation.ClearNgTimeAndPeak();
        m_display.showResultText(QStringLiteral("OK"), 70, QColor(75, 225, 75));
    }

    RunOutcome outcome;
    outcome.sensor_name = m_runSensorName;
    outcome.barcode = m_barcode;
    outcome.run_stamp = m_runStamp;
    outcome.inspection_id = m_runInspectionId;
    outcome.top_inspection_mode = settings->inspection_mode;
    outcome.top_ng_latch = latched ? 1 : 0;
    outcome.top_ng_time = m_evaluation.NgTime();
    outcome.top_peak_level = m_evaluation.PeakLevel();
    outcome.top_image_path = m_pictures.TopImagePath();
    outcome.bottom_image_path = m_pictures.BottomImagePath();
    outcome.top_picture_path = m_pictures.TopPicturePath();
    outcome.top_wave_path = m_station.finishRunRecording(ng, names);
    if (m_station.recordInspectionResult(outcome)) {
        emit runRecorded({m_runInspectionId, ng ? 1 : 0, m_runSensorName});
    }
    EndRunDisplay();
}

void CRunController::StopInspection() {
    if (!RunEventApplies(m_run.state(), RunEvent::Stop)) {
        return;
    }
    m_run.inspectionState.store(NextInspectionState(m_run.state(), RunEvent::Stop));
    m_timers.stop(kTimerInspectionClock);
    m_station.dropRunRecording();
    m_display.showResultText(QStringLiteral("검사중지"), 42, kYellow);
    m_timers.start(kTimerReady, kReadyDelay_ms, true);
    EndRunDisplay();
}

void CRunController::EndLostRun() {
    // The camera link stopped under the run (the link's stop set the state to idle): what the
    // camera did not send cannot pass, so the run ends as stopped and nothing is recorded.
    m_timers.stop(kTimerInspectionClock);
    m_station.dropRunRecording();
    DebugLogf("[Run] Camera link lost during the run %s at %.1f s: stopped, nothing recorded",
              m_barcode.toUtf8().constData(), static_cast<double>(m_run.elapsed_s.load()));
    m_display.showResultText(QStringLiteral("검사중지"), 42, kYellow);
    m_timers.start(kTimerReady, kReadyDelay_ms, true);
    EndRun(false);
}

void CRunController::EndRunDisplay() {
    EndRun(true);
}

void CRunController::EndRun(bool setFinishing) {
    if (setFinishing) {
        m_run.inspectionState.store(kInspectionFinishing);
    }
    m_elapsedSeconds = 0;
    m_run.elapsed_s.store(0.0f);
    if (!m_evaluation.NgLatched()) {
        m_display.resetGraph();
    }
    m_display.showProgress(m_progressRange, 0, QString());
    emit runEnded();
}

void CRunController::OnReady() {
    m_timers.stop(kTimerReady);
    m_run.inspectionState.store(NextInspectionState(m_run.state(), RunEvent::ReadyTimer));
    m_evaluation.ClearNgLatch();
    m_display.showResultText(QStringLiteral("검사대기 중"), 48, kYellow);
}

// ---- status and head

void CRunController::OnEquipmentStatus() {
    m_status.camera = m_station.cameraConnected() ? 1 : 0;
    m_status.cpu = m_cpu.Sample();
    m_status.temperature = 0.0f;
    m_status.beacon = m_tower.BeaconState();
    m_status.panTilt = m_head.pollStatus && m_head.pollStatus() ? 1 : 0;
    m_status.pan_deg = m_head.panDegrees ? m_head.panDegrees() : 0.0;
    m_status.tilt_deg = m_head.tiltDegrees ? m_head.tiltDegrees() : 0.0;
    emit equipmentStatusReady(m_status);
}

void CRunController::StartPanTiltInit() {
    m_panTiltInitCount = 0;
    m_timers.start(kTimerPanTiltInit, kPanTiltInit_ms, false);
}

void CRunController::OnPanTiltInit() {
    ++m_panTiltInitCount;
    if (m_panTiltInitCount > kPanTiltCompleteAfter) {
        m_timers.stop(kTimerPanTiltInit);
        DebugLogf("[End] TIMER_MAIN_INIT_PAN_TILT : %d", m_panTiltInitCount);
        emit panTiltInitComplete();
    } else if (m_panTiltInitCount == kPanTiltMoveTick) {
        DebugLogf("[ING] TIMER_MAIN_INIT_PAN_TILT : %d, Set PAN = 0, Tilt = 45",
                  m_panTiltInitCount);
        if (m_head.moveTo) {
            m_head.moveTo('N', 0, 45);
        }
    } else {
        DebugLogf("[ING] TIMER_MAIN_INIT_PAN_TILT : %d", m_panTiltInitCount);
    }
}

// ---- shutdown

void CRunController::Shutdown() {
    {
        std::lock_guard lock(m_queueMutex);
        if (m_stopping && !m_startWorker.joinable()) {
            return;
        }
        m_stopping = true;
    }
    for (int id : {kTimerSelectProduct, kTimerInspectionClock, kTimerReady, kTimerEquipmentStatus,
                   kTimerPanTiltInit}) {
        m_timers.stop(id);
    }
    m_ui.close();
    m_queueChanged.notify_all();
    if (!m_startWorker.joinable()) {
        return;
    }
    const auto started = std::chrono::steady_clock::now();
    bool reported = false;
    while (true) {
        {
            std::lock_guard lock(m_queueMutex);
            if (m_serving == 0) {
                break;
            }
        }
        if (!reported && std::chrono::steady_clock::now() - started > std::chrono::seconds(2)) {
            DebugLog(QStringLiteral(
                "[Shutdown] Waiting for the start request in progress (database and ping limits)"));
            reported = true;
        }
        // The request may be starting the camera link, which the UI thread carries out.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    m_startWorker.join();
}
