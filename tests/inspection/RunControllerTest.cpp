// The run controller driven tick by tick with a clock the test sets: the tower is the simulator
// library, the pictures are real files in a temporary folder, and the station around the run
// (product selection, camera link, recording) is a small recording stand-in.

#include "app/StationConfig.h"
#include "app/TimerTable.h"
#include "inspection/InspectionState.h"
#include "inspection/ResultPictures.h"
#include "inspection/RunClock.h"
#include "inspection/RunController.h"
#include "inspection/RunPlan.h"
#include "inspection/SensorEvaluation.h"
#include "tests/inspection/LatchNg.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/ScopedLocale.h"
#include "tower/SignalTower.h"
#include "tower/TowerLibrary.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

class SetClock : public RunClock {
  public:
    uint32_t tickMs() const override { return m_tick.load(); }
    QDateTime localNow() const override {
        return m_start.addMSecs(static_cast<qint64>(m_tick.load() - m_tickAtStart));
    }
    void advance(uint32_t ms) { m_tick += ms; }

  private:
    // Far from 0, so that the unsigned difference of the run clock is exercised near a wrap.
    static constexpr uint32_t m_tickAtStart = 0xFFFFF000u;
    std::atomic<uint32_t> m_tick{m_tickAtStart};
    QDateTime m_start{QDate(2026, 12, 10), QTime(9, 15, 0)};
};

class RecordingDisplay : public RunDisplay {
  public:
    void showResultText(const QString& text, int fontHeight, const QColor& colour) override {
        results.push_back({text, fontHeight, colour});
    }
    void showProgress(int rangeMax, int position, const QString& text) override {
        progressRange = rangeMax;
        progressPosition = position;
        progressText = text;
    }
    void showInspectionId(const QString& code) override { inspectionIds.push_back(code); }
    void showMissionInfo(const MissionInfo& info) override { mission = info; }
    void clearSpectrogram() override { ++spectrogramClears; }
    void resetGraph() override { ++graphResets; }

    struct Result {
        QString text;
        int height;
        QColor colour;
    };
    std::vector<Result> results;
    int progressRange = -1;
    int progressPosition = -1;
    QString progressText;
    QStringList inspectionIds;
    MissionInfo mission;
    int spectrogramClears = 0;
    int graphResets = 0;
};

class StandInStation : public RunStation {
  public:
    bool selectProduct(const QString& productName, bool force) override {
        selections << QStringLiteral("%1%2").arg(productName, force ? "!" : "");
        if (force || productName != selected) {
            run->inspectionState.store(kInspectionReady);
            if (!linkUp) {
                linkUp = cameraAnswers.load();
            }
        }
        selected = productName;
        return productFound;
    }
    int inspectionTimeLimit() const override { return timeLimit; }
    bool cameraLinkUp() const override { return linkUp.load(); }
    bool cameraConnected() const override { return linkUp.load(); }
    CSensorSettingsStore::Snapshot sensorSettings() const override { return settings.snapshot(); }
    void clearHistoryQueues() override { ++queueClears; }
    bool recordInspectionResult(const RunOutcome& outcome) override {
        recorded.push_back(outcome);
        return databaseReachable;
    }

    RunContext* run = nullptr;
    QStringList selections;
    QString selected;
    bool productFound = true;
    std::atomic<bool> linkUp{true};
    std::atomic<bool> cameraAnswers{true};
    int timeLimit = 10;
    CSensorSettingsStore settings;
    int queueClears = 0;
    std::vector<RunOutcome> recorded;
    bool databaseReachable = true;
};

class RunControllerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        qputenv("STATION_TOWER_LIB", QByteArray(STATION_TOWER_SIM_PATH));
        qputenv("STATION_TOWER_SIM_LOG", folder.filePath("tower.log").toLocal8Bit());
        ASSERT_TRUE(towerLibrary.Load());
        config.FolderName_Result = folder.filePath("result");
        config.FolderName_Network = folder.filePath("network");
        config.Product_Name = QStringLiteral("ENGINE-A");
        config.Buzzer_Enable = 0;
        station.run = &run;
        station.selected = config.Product_Name;
        controller.SetProductName(config.Product_Name);
        station.settings.update([](SensorSettings& s) {
            s.inspection_mode = 1;
            s.picture_save_time = 0;
        });
        run.inspectionState = kInspectionReady;
    }
    void TearDown() override {
        controller.Shutdown();
        qunsetenv("STATION_TOWER_LIB");
        qunsetenv("STATION_TOWER_SIM_LOG");
    }

    // Ticks the inspection clock every 10 ms of the set clock while it runs, at most `ms`.
    void runFor(uint32_t ms) {
        for (uint32_t t = 0; t < ms && timers.isActive(CRunController::kTimerInspectionClock);
             t += 10) {
            clock.advance(10);
            controller.OnInspectionClock();
        }
    }
    void startByKey() {
        controller.StartByKey();
        controller.WaitForStartRequests();
    }
    void latchNg() { ASSERT_TRUE(LatchNg(evaluation, run.elapsed_s.load())); }
    QStringList towerPatterns() const {
        QFile file(folder.filePath("tower.log"));
        QStringList patterns;
        if (!file.open(QIODevice::ReadOnly)) {
            return patterns;
        }
        for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
            const int at = line.indexOf(QStringLiteral("pattern="));
            if (line.contains(QStringLiteral("Usb_Qu_write")) && at >= 0) {
                patterns << line.mid(at + 8, 11);
            }
        }
        return patterns;
    }

    QTemporaryDir folder;
    RecordingDialogs dialogs;
    StationConfig config;
    RunContext run;
    TimerTable timers;
    SetClock clock;
    CTowerLibrary towerLibrary;
    CSignalTower tower{towerLibrary, timers, config};
    QColor paneColour{200, 30, 30};
    CResultPictures pictures{config, [this] { return clock.localNow().date(); },
                             [this](int) {
                                 QImage pane(640, 480, QImage::Format_RGB32);
                                 pane.fill(paneColour);
                                 return pane;
                             },
                             folder.filePath("Temp")};
    CSensorEvaluation evaluation;
    RecordingDisplay display;
    StandInStation station;
    CRunController controller{CRunController::Parts{run, timers, tower, pictures, evaluation,
                                                    display, station, config, clock}};
};

TEST_F(RunControllerTest, RunEndsOnTheTickThatReachesItsTimeLimitAndIsReadyTwoSecondsLater) {
    startByKey();
    ASSERT_EQ(run.state(), kInspectionRunning);
    EXPECT_EQ(controller.RunSensorName(), QStringLiteral("Top"));
    EXPECT_TRUE(run.positionMatch.load());
    EXPECT_EQ(display.results.back().text, QStringLiteral("검사진행 중"));
    EXPECT_EQ(display.results.back().height, 42);
    EXPECT_EQ(display.progressRange, 100);
    EXPECT_EQ(display.inspectionIds, QStringList{"[Vorn]2026-12-10 09-15-00"});
    EXPECT_EQ(controller.RunStamp(), QStringLiteral("2026-12-10 09-15-00"));
    EXPECT_EQ(timers.interval(CRunController::kTimerInspectionClock), 10);

    runFor(9990);
    EXPECT_EQ(run.state(), kInspectionRunning) << "9.99 s is 99 tenths";
    EXPECT_EQ(display.progressPosition, 99);
    EXPECT_EQ(display.progressText, QStringLiteral("10.0 Sec")) << "printed to one decimal";
    EXPECT_TRUE(station.recorded.empty());
    clock.advance(10);
    controller.OnInspectionClock();
    EXPECT_EQ(run.state(), kInspectionFinishing);
    EXPECT_FALSE(timers.isActive(CRunController::kTimerInspectionClock));
    ASSERT_EQ(station.recorded.size(), 1u);
    const RunOutcome& outcome = station.recorded[0];
    EXPECT_EQ(outcome.sensor_name, QStringLiteral("Top"));
    EXPECT_EQ(outcome.barcode, QStringLiteral("[Vorn]2026-12-10 09-15-00"));
    EXPECT_EQ(outcome.top_ng_latch, 0);
    EXPECT_EQ(display.results.back().text, QStringLiteral("OK"));
    EXPECT_EQ(display.results.back().colour, QColor(75, 225, 75));
    EXPECT_EQ(display.progressPosition, 0);
    EXPECT_EQ(display.progressText, QString());
    EXPECT_EQ(display.graphResets, 1);
    // Nothing was saved on the way: the blob's file is this run's picture, taken at the end.
    EXPECT_TRUE(
        outcome.top_picture_path.endsWith("2026-12-10 09-15-00_[Vorn]2026-12-10 09-15-00_TOP.jpg"));
    EXPECT_TRUE(QFile::exists(outcome.top_picture_path));

    EXPECT_TRUE(timers.isActive(CRunController::kTimerReady));
    EXPECT_EQ(timers.interval(CRunController::kTimerReady), 2000);
    controller.OnReady();
    EXPECT_EQ(run.state(), kInspectionReady);
    EXPECT_EQ(display.results.back().text, QStringLiteral("검사대기 중"));
    EXPECT_EQ(display.results.back().height, 48);
    EXPECT_EQ(display.results.back().colour, QColor(255, 255, 0));
}

TEST_F(RunControllerTest, NgRunRecordsItsNgPictureAndVerdict) {
    startByKey();
    runFor(3000);
    latchNg();
    runFor(20000);
    ASSERT_EQ(station.recorded.size(), 1u);
    const RunOutcome& outcome = station.recorded[0];
    EXPECT_EQ(outcome.top_ng_latch, 1);
    EXPECT_EQ(outcome.top_inspection_mode, 1);
    EXPECT_TRUE(
        outcome.top_image_path.startsWith(config.FolderName_Result + "/NG/Image/2026/12/10/"))
        << outcome.top_image_path.toStdString();
    EXPECT_TRUE(outcome.top_image_path.endsWith("_TOP_NG.jpg"));
    EXPECT_TRUE(QFile::exists(outcome.top_image_path));
    EXPECT_TRUE(QFile::exists(outcome.top_picture_path));
    EXPECT_EQ(display.results.back().text, QStringLiteral("NG"));
    EXPECT_EQ(display.results.back().height, 90);
    EXPECT_EQ(display.graphResets, 0) << "the NG curve stays until the next run";
    EXPECT_EQ(towerPatterns().back(), QStringLiteral("1 0 0 0 0 0"));
    EXPECT_TRUE(timers.isActive(CSignalTower::kLampOffTimerId));
    // The latch is cleared when the page is ready again.
    controller.OnReady();
    EXPECT_FALSE(evaluation.NgLatched());
}

TEST_F(RunControllerTest, StartRequestsWithinThreeSecondsAreIgnoredLaterOnesFinishTheRun) {
    startByKey();
    const QString first = controller.Barcode();
    std::vector<RecordedRun> reported;
    QObject::connect(&controller, &CRunController::runRecorded,
                     [&](const RecordedRun& r) { reported.push_back(r); });
    runFor(2000);
    startByKey();
    EXPECT_EQ(controller.Barcode(), first);
    EXPECT_TRUE(station.recorded.empty());
    EXPECT_EQ(run.state(), kInspectionRunning);

    runFor(3000);
    controller.SetInspectionId(77);
    startByKey();
    ASSERT_EQ(station.recorded.size(), 1u);
    EXPECT_EQ(station.recorded[0].barcode, first);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].sensorName, QStringLiteral("Top"));
    EXPECT_EQ(reported[0].inspectionId, 0) << "the finished run keeps its own inspection id";
    EXPECT_EQ(run.state(), kInspectionRunning);
    EXPECT_EQ(controller.Barcode(), QStringLiteral("[Vorn]2026-12-10 09-15-05"));
    EXPECT_EQ(display.inspectionIds.size(), 2);
    EXPECT_EQ(controller.ElapsedTenths(), 0);
    runFor(20000);
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[1].inspectionId, 77);
}

TEST_F(RunControllerTest, StopEndsARunWithoutRecordingAndDoesNothingOutsideOne) {
    controller.StopInspection();
    EXPECT_EQ(run.state(), kInspectionReady);
    EXPECT_TRUE(display.results.empty());

    startByKey();
    runFor(4000);
    controller.StopInspection();
    EXPECT_EQ(run.state(), kInspectionFinishing);
    EXPECT_EQ(display.results.back().text, QStringLiteral("검사중지"));
    EXPECT_EQ(display.results.back().height, 42);
    EXPECT_FALSE(timers.isActive(CRunController::kTimerInspectionClock));
    EXPECT_TRUE(timers.isActive(CRunController::kTimerReady));
    EXPECT_TRUE(station.recorded.empty());
    EXPECT_TRUE(QDir(config.FolderName_Network).entryList(QDir::Files).isEmpty());
}

TEST_F(RunControllerTest, PassPicturesAreSavedOnceOnTheFirstTickAfterTheSaveTime) {
    struct Case {
        int saveTime;
        int expectedAtTenths;  // -1: never
    } cases[] = {{25, 20}, {0, -1}, {10, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.saveTime);
        station.settings.update([&](SensorSettings& s) { s.picture_save_time = c.saveTime; });
        QDir(config.FolderName_Network).removeRecursively();
        run.inspectionState = kInspectionReady;
        controller.StartRun();
        int savedAt = -1;
        for (int tick = 0; tick < 400 && savedAt < 0; ++tick) {
            clock.advance(10);
            controller.OnInspectionClock();
            if (QDir(config.FolderName_Network).entryList(QDir::Files).size() == 2) {
                savedAt = controller.ElapsedTenths();
            }
        }
        EXPECT_EQ(savedAt, c.expectedAtTenths);
        controller.StopInspection();
    }
}

TEST_F(RunControllerTest, RunningLampIsOnForTheFirstFifthOfEverySecond) {
    startByKey();
    const int before = towerPatterns().size();
    runFor(2500);
    const QStringList patterns = towerPatterns().mid(before);
    ASSERT_EQ(patterns.size(), 250);
    for (int i = 0; i < patterns.size(); ++i) {
        const int tenths = (i + 1) / 10;
        const bool on = tenths % 10 == 0 || tenths % 10 == 1;
        EXPECT_EQ(patterns[i], on ? QStringLiteral("0 0 1 0 0 0") : QStringLiteral("0 0 0 0 0 0"))
            << "tick " << i + 1;
    }
}

TEST_F(RunControllerTest, LostCameraLinkEndsTheRunAsStoppedWithNothingRecorded) {
    LogCapture log;
    startByKey();
    runFor(4000);
    // The link's stop puts the state to idle, as the camera closing the link does.
    station.linkUp = false;
    run.inspectionState = kInspectionIdle;
    runFor(20);
    EXPECT_FALSE(timers.isActive(CRunController::kTimerInspectionClock));
    EXPECT_TRUE(station.recorded.empty());
    EXPECT_EQ(display.results.back().text, QStringLiteral("검사중지"));
    EXPECT_TRUE(
        log.contains(QStringLiteral("[Run] Camera link lost during the run [Vorn]2026-12-10 "
                                    "09-15-00 at 4.0 s: stopped, nothing recorded")))
        << log.lines().join('\n').toStdString();
    controller.OnReady();
    EXPECT_EQ(run.state(), kInspectionIdle) << "no camera: not ready";

    // The next start loads the product again as a forced selection; no camera, no run.
    station.cameraAnswers = false;
    startByKey();
    EXPECT_EQ(station.selections.back(), QStringLiteral("ENGINE-A!"));
    EXPECT_EQ(run.state(), kInspectionIdle);
    EXPECT_EQ(display.inspectionIds.size(), 2) << "the barcode is still shown";
    EXPECT_FALSE(timers.isActive(CRunController::kTimerInspectionClock));

    // Once the camera answers again, a start brings the link back and runs.
    station.cameraAnswers = true;
    startByKey();
    EXPECT_TRUE(station.linkUp.load());
    EXPECT_EQ(run.state(), kInspectionRunning);
}

TEST_F(RunControllerTest, ShutdownAnswersAStartRequestWaitingForTheUiThread) {
    // The request's worker waits for this (UI) thread, which does not serve it before the
    // shutdown: the shutdown answers it, and nothing starts afterwards.
    controller.StartByKey();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    QElapsedTimer took;
    took.start();
    controller.Shutdown();
    EXPECT_LT(took.elapsed(), 2000);
    QCoreApplication::processEvents();
    EXPECT_EQ(run.state(), kInspectionReady);
    EXPECT_TRUE(station.selections.isEmpty());
    controller.StartByKey();
    EXPECT_TRUE(station.selections.isEmpty()) << "no request is taken after the shutdown";
}

TEST_F(RunControllerTest, RunTextsKeepThePointUnderACommaLocale) {
    ScopedLocale german("de_DE.UTF-8");
    ASSERT_TRUE(german.ok()) << "de_DE.UTF-8 is missing: the test set-up generates it";
    LogCapture log;
    startByKey();
    runFor(1250);
    EXPECT_EQ(display.progressText, QStringLiteral("1.2 Sec"));
    station.linkUp = false;
    run.inspectionState = kInspectionIdle;
    runFor(10);
    EXPECT_TRUE(
        log.contains(QStringLiteral("[Run] Camera link lost during the run [Vorn]2026-12-10 "
                                    "09-15-00 at 1.2 s: stopped, nothing recorded")))
        << log.lines().join('\n').toStdString();
}

TEST_F(RunControllerTest, ProductNotFoundStartsNothing) {
    station.productFound = false;
    startByKey();
    EXPECT_TRUE(display.inspectionIds.isEmpty());
    EXPECT_EQ(run.state(), kInspectionReady);
}

TEST_F(RunControllerTest, EquipmentStatusReportsCpuZeroFirstAndTheHead) {
    int polls = 0;
    controller.SetHeadLink({[&] {
                                ++polls;
                                return true;
                            },
                            [] { return 90.25; },
                            [] { return 45.0; },
                            {}});
    std::vector<EquipmentStatus> sent;
    QObject::connect(&controller, &CRunController::equipmentStatusReady,
                     [&](const EquipmentStatus& s) { sent.push_back(s); });
    controller.OnEquipmentStatus();
    controller.OnEquipmentStatus();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].cpu, 0.0f);
    EXPECT_EQ(sent[0].temperature, 0.0f);
    EXPECT_EQ(sent[0].camera, 1);
    EXPECT_EQ(sent[0].panTilt, 1);
    EXPECT_EQ(sent[0].beacon, 1) << "the simulator tower reports a state";
    EXPECT_DOUBLE_EQ(sent[0].pan_deg, 90.25);
    EXPECT_GE(sent[1].cpu, 0.0f);
    EXPECT_LE(sent[1].cpu, 100.0f);
    EXPECT_EQ(polls, 2);
}

TEST_F(RunControllerTest, HeadInitialisationMovesOnTick45AndCompletesOnTick51) {
    LogCapture log;
    std::vector<int> movedAt;
    int completedAt = -1;
    controller.SetHeadLink({{}, {}, {}, [&](char kind, uint16_t pan, uint16_t tilt) {
                                EXPECT_EQ(kind, 'N');
                                EXPECT_EQ(pan, 0);
                                EXPECT_EQ(tilt, 45);
                                movedAt.push_back(controller.PanTiltInitCount());
                            }});
    QObject::connect(&controller, &CRunController::panTiltInitComplete,
                     [&] { completedAt = controller.PanTiltInitCount(); });
    controller.StartPanTiltInit();
    EXPECT_EQ(timers.interval(CRunController::kTimerPanTiltInit), 1000);
    for (int tick = 0; tick < 60 && timers.isActive(CRunController::kTimerPanTiltInit); ++tick) {
        controller.OnPanTiltInit();
    }
    EXPECT_EQ(movedAt, std::vector<int>{45});
    EXPECT_EQ(completedAt, 51);
    EXPECT_TRUE(log.contains(QStringLiteral("[ING] TIMER_MAIN_INIT_PAN_TILT : 44")));
    EXPECT_TRUE(log.contains(
        QStringLiteral("[ING] TIMER_MAIN_INIT_PAN_TILT : 45, Set PAN = 0, Tilt = 45")));
    EXPECT_TRUE(log.contains(QStringLiteral("[End] TIMER_MAIN_INIT_PAN_TILT : 51")));
}

TEST_F(RunControllerTest, StartUpKeepsItsOrderAndSelectsTheConfiguredProductAfter50Ms) {
    LogCapture log;
    QStringList order;
    controller.Initialize({[&](const QString& host) {
                               order << "ping:" + host;
                               return host == config.Vorn_db_server;
                           },
                           [&] { order << "set-up"; }, [&] { order << "control-link"; }});
    EXPECT_EQ(order.last(), QStringLiteral("control-link"));
    EXPECT_EQ(order.indexOf("set-up"), 2);
    EXPECT_TRUE(log.contains(QStringLiteral("Vorn DB Server Ping : OK")));
    EXPECT_TRUE(QDir(config.FolderName_Result + "/PASS/Wave/2026/12/10").exists());
    EXPECT_TRUE(QDir(folder.filePath("Temp")).exists());
    EXPECT_EQ(towerPatterns().mid(0, 2),
              (QStringList{QStringLiteral("1 0 1 0 0 0"), QStringLiteral("0 0 0 0 0 0")}));
    EXPECT_EQ(timers.interval(CRunController::kTimerSelectProduct), 50);
    EXPECT_EQ(timers.interval(CRunController::kTimerEquipmentStatus), 1000);
    station.selected.clear();
    emit timers.fired(CRunController::kTimerSelectProduct);
    EXPECT_EQ(station.selections, QStringList{"ENGINE-A"});
    EXPECT_FALSE(timers.isActive(CRunController::kTimerSelectProduct));
}

}  // namespace

TEST(RunPlanTest, StateTable) {
    const int I = kInspectionIdle, R = kInspectionReady, G = kInspectionRunning,
              F = kInspectionFinishing, S = kInspectionSetupShown;
    struct Case {
        int from;
        RunEvent event;
        int to;
    } cases[] = {
        {G, RunEvent::LinkStopped, I},
        {S, RunEvent::LinkStopped, I},
        {I, RunEvent::ProductLoaded, R},
        {G, RunEvent::ProductLoaded, R},
        {R, RunEvent::StartRun, G},
        {F, RunEvent::StartRun, G},
        {S, RunEvent::StartRun, G},
        {I, RunEvent::StartRun, I},
        {G, RunEvent::StartRun, G},
        {G, RunEvent::TimeLimit, F},
        {G, RunEvent::Stop, F},
        {R, RunEvent::Stop, R},
        {F, RunEvent::Stop, F},
        {G, RunEvent::RestartRequest, F},
        {F, RunEvent::ReadyTimer, R},
        {I, RunEvent::ReadyTimer, I},
        {S, RunEvent::ReadyTimer, S},
        {R, RunEvent::SetupShown, S},
        {I, RunEvent::SetupShown, S},
        {G, RunEvent::SetupShown, G},
        {S, RunEvent::InspectionShown, R},
        {F, RunEvent::InspectionShown, F},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NextInspectionState(c.from, c.event), c.to)
            << c.from << " event " << static_cast<int>(c.event);
    }
}

TEST(RunPlanTest, StartRequests) {
    struct Case {
        int state;
        int elapsed;
        bool linkUp;
        bool ignore, finish, reload;
    } cases[] = {
        {kInspectionRunning, 2, true, true, false, false},
        {kInspectionRunning, 3, true, false, true, false},
        {kInspectionRunning, 5, false, false, true, true},
        {kInspectionReady, 0, true, false, false, false},
        {kInspectionIdle, 0, false, false, false, true},
        {kInspectionFinishing, 0, true, false, false, false},
    };
    for (const Case& c : cases) {
        const StartRequestPlan plan = PlanStartRequest(c.state, c.elapsed, c.linkUp);
        EXPECT_EQ(plan.ignore, c.ignore) << c.state << "/" << c.elapsed;
        EXPECT_EQ(plan.finishRunning, c.finish) << c.state << "/" << c.elapsed;
        EXPECT_EQ(plan.forceReload, c.reload) << c.state << "/" << c.elapsed;
    }
}

TEST(RunPlanTest, ClockTicks) {
    const bool none[2] = {false, false};
    const bool topSaved[2] = {true, false};
    struct Case {
        uint32_t ms;
        int saveTime;
        const bool* saved;
        int tenths;
        bool lamp, save0, save1, finish;
    } cases[] = {
        {0, 25, none, 0, true, false, false, false},
        {199, 25, none, 1, true, false, false, false},
        {200, 25, none, 2, false, false, false, false},
        {2000, 25, none, 20, true, false, false, false},  // 2.0 s is not more than 2
        {2010, 25, none, 20, true, true, true, false},
        {2010, 25, topSaved, 20, true, false, true, false},
        {2010, 0, none, 20, true, false, false, false},
        {9990, 0, none, 99, false, false, false, false},
        {10000, 0, none, 100, true, false, false, true},
    };
    for (const Case& c : cases) {
        const ClockTickPlan plan = PlanClockTick(c.ms, c.saveTime, c.saved, 10);
        EXPECT_EQ(plan.elapsedTenths, c.tenths) << c.ms;
        EXPECT_EQ(plan.runningLampOn, c.lamp) << c.ms;
        EXPECT_EQ(plan.savePassPicture[0], c.save0) << c.ms;
        EXPECT_EQ(plan.savePassPicture[1], c.save1) << c.ms;
        EXPECT_EQ(plan.finish, c.finish) << c.ms;
    }
}

TEST(RunPlanTest, RunKeys) {
    EXPECT_EQ(ClassifyRunKey(Qt::Key_F2, true), RunKeyAction::StartInspection);
    EXPECT_EQ(ClassifyRunKey(Qt::Key_F2, false), RunKeyAction::Pass);
    EXPECT_EQ(ClassifyRunKey(Qt::Key_F4, false), RunKeyAction::StopInspection);
    EXPECT_EQ(ClassifyRunKey(Qt::Key_F3, true), RunKeyAction::Pass);
}

TEST(CpuLoadTest, ProcStatLineAndLoadFormula) {
    const auto first = ParseCpuTimes("cpu  100 10 50 800 40 5 5 0 0 0\ncpu0 1 2 3 4 5 6 7\n");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->idle, 840u);
    EXPECT_EQ(first->kernel, 900u);
    EXPECT_EQ(first->user, 110u);
    EXPECT_FALSE(ParseCpuTimes("intr 1 2 3\n"));
    EXPECT_FALSE(ParseCpuTimes("cpu 1 2 x 4 5 6 7\n"));

    CCpuLoadMeter meter;
    EXPECT_EQ(meter.Sample(first), 0.0f);
    // 100 more ticks of which 25 idle: 75 % busy.
    EXPECT_FLOAT_EQ(meter.Sample(ParseCpuTimes("cpu 150 10 75 825 40 5 5\n")), 75.0f);
    EXPECT_EQ(meter.Sample(ParseCpuTimes("cpu 150 10 75 825 40 5 5\n")), 0.0f) << "no time passed";
    EXPECT_EQ(meter.Sample(std::nullopt), -1.0f);
    CCpuLoadMeter missing(QStringLiteral("/nonexistent/stat"));
    EXPECT_EQ(missing.Sample(), -1.0f);
}
