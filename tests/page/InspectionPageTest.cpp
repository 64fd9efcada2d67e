#include "app/ConfigStore.h"
#include "app/Utilities.h"
#include "display/DlgMain.h"
#include "display/FrequencyGraph.h"
#include "display/InspectionOutputs.h"
#include "evaluation/EvaluationSettings.h"
#include "evaluation/RecordingEvaluator.h"
#include "inspection/InspectionPipeline.h"
#include "inspection/RunController.h"
#include "sensor/PhonoluxDevice.h"
#include "sensor/RunRecorder.h"
#include "storage/StationStorage.h"
#include "tests/sensor/CameraSimProcess.h"
#include "tests/storage/DbTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/TempDir.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class InspectionPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(db.ok());
        product = UniqueName("page");
        qputenv("STATION_CONTROL_PORT", UnusedPort());
        qputenv("STATION_STREAMING_PORTS", UnusedPort() + "," + UnusedPort());
    }
    void TearDown() override {
        DeleteTestRows(db, product.left(product.lastIndexOf('-')));
        qunsetenv("STATION_CONTROL_PORT");
        qunsetenv("STATION_STREAMING_PORTS");
    }

    // The product and its "Top" row in the bridge database, pointing at the simulator's port.
    void addProduct(int port, int time_s) {
        db.query(QStringLiteral("INSERT INTO vorn_local_db.t_product(product_name, sensor_type, "
                                "time, time_max, reserved_str_01) VALUES (%1, 'TOP_BOTTOM', %2, 0, "
                                "'PAGE')")
                     .arg(Quoted(product))
                     .arg(time_s));
        db.query(QStringLiteral("INSERT INTO vorn_local_db.t_sensor(product_name, sensor_type, "
                                "port, ip_addr, acoustic_level, reserved_int_01) VALUES (%1, "
                                "'Top', %2, '10.9.9.9', 30, 40)")
                     .arg(Quoted(product))
                     .arg(port));
    }
    void configure(const QString& productName, const QString& camera) {
        StationConfig config;
        config.Product_Name = productName;
        config.Sensor_Default_Ip = camera;
        ConfigStore().save(config);
    }

    ScopedUserSettings settings;
    RecordingDialogs dialogs;
    AdminDb db;
    QString product;
};

TEST_F(InspectionPageTest, ConfiguredProductIsSelectedAndTheCameraStartsAfterSetUp) {
    CameraSimProcess camera({"--model", "2"});
    ASSERT_GT(camera.port(), 0);
    addProduct(camera.port(), 42);
    configure(product, "127.0.0.1");

    ConfigStore store;
    CDlgMain page(store);
    LogCapture log;
    int pictures = 0;
    QObject::connect(&page, &CDlgMain::pictureShown, [&] { ++pictures; });
    page.Initialize();
    EXPECT_TRUE(page.Timers().isActive(CRunController::kTimerSelectProduct));
    EXPECT_TRUE(log.contains("Vorn DB Server Ping : OK"));
    EXPECT_TRUE(log.contains("Bridge DB Server Ping : OK"));
    EXPECT_TRUE(page.WebServerAnswered());
    ASSERT_TRUE(WaitUntil([&] { return pictures > 0; }));

    EXPECT_EQ(page.Storage().productRecord().product_name, product);
    EXPECT_EQ(page.Storage().productRecord().time, 42);
    EXPECT_EQ(page.InspectionState(), kInspectionReady);
    EXPECT_EQ(page.Device()->connectionState(), 1);
    EXPECT_TRUE(page.Device()->IsWorkerAlive());
    // The row's own address is not used: the configured camera address is.
    EXPECT_EQ(page.Sensor()->ip_addr, "127.0.0.1");
    EXPECT_FLOAT_EQ(page.Sensor()->focus_time, 4.0f);
    EXPECT_EQ(page.LastPicture().size(), QSize(320, 240));
    EXPECT_TRUE(page.StopSensor());
    EXPECT_EQ(page.InspectionState(), kInspectionIdle);
}

TEST_F(InspectionPageTest, UnreachableCameraIsMarkedAndNothingStarts) {
    addProduct(6340, 30);
    configure(product, "0.0.0.0");
    ConfigStore store;
    CDlgMain page(store);
    page.Initialize();
    ASSERT_TRUE(WaitUntil([&] { return page.Device()->connectionState() == -1; }, 10000));
    EXPECT_FALSE(page.Device()->IsWorkerAlive());
    EXPECT_FALSE(page.StopSensor());
}

TEST_F(InspectionPageTest, MissingProductIsReported) {
    configure(product, "127.0.0.1");  // never added
    ConfigStore store;
    CDlgMain page(store);
    page.Initialize();
    ASSERT_TRUE(WaitUntil([&] { return !dialogs.messages().empty(); }, 10000));
    const RecordedDialog shown = dialogs.messages().front();  // today's empty list says nothing
    EXPECT_EQ(shown.caption, "시스템설정");
    EXPECT_EQ(shown.text, QStringLiteral("'%1' Tool 데이터베이스 조회 실패").arg(product));
    EXPECT_EQ(page.Device()->connectionState(), 0);
}

}  // namespace

namespace {

// Whole runs on the page: the start key, the camera simulator with a defect, the real database,
// result folders in a temporary folder.
class InspectionRunTest : public InspectionPageTest {
  protected:
    // A product judged on two bands around the simulator's defect tone, a run of `time_s`, and
    // PASS pictures after one second.
    void addJudgedProduct(int port, int time_s) {
        db.query(QStringLiteral("INSERT INTO vorn_local_db.t_product(product_name, sensor_type, "
                                "time, time_max, reserved_str_01) VALUES (%1, 'TOP_BOTTOM', %2, 0, "
                                "'RUN')")
                     .arg(Quoted(product))
                     .arg(time_s));
        db.query(QStringLiteral(
                     "INSERT INTO vorn_local_db.t_sensor(product_name, sensor_type, port, ip_addr, "
                     "inspection_mode, acoustic_level, area_mode, area_rect_x1, area_rect_y1, "
                     "area_rect_x2, area_rect_y2, filter_01_enable, filter_01_freq_max, "
                     "filter_01_freq_min, filter_01_inspection_level, filter_02_enable, "
                     "filter_02_freq_max, filter_02_freq_min, filter_02_inspection_level, "
                     "reserved_int_01, reserved_int_02, reserved_int_04, reserved_int_05, "
                     "reserved_int_08, reserved_int_09) VALUES (%1, 'Top', %2, '10.9.9.9', 1, 30, "
                     "0, 10, 10, 309, 229, 1, 6000, 5000, 75, 1, 8000, 6500, 75, 600, 2, 0, 10, 1, "
                     "0)")
                     .arg(Quoted(product))
                     .arg(port));
    }
    void configureRun(const QString& root, int recordRuns = 0) {
        StationConfig config;
        config.Run_Record_Enable = recordRuns;
        config.Product_Name = product;
        config.Sensor_Default_Ip = QStringLiteral("127.0.0.1");
        config.FolderName_Result = root + "/result";
        config.FolderName_Network = root + "/network";
        config.AI2_OK_Save_Option = 0;
        ConfigStore().save(config);
    }
    std::string column(const QString& barcode, const char* name) {
        return db.value(
            QStringLiteral("SELECT %1 FROM vorn_alpha_v1_ch2.t_inspection WHERE barcode = "
                           "%2 AND product_name = %3")
                .arg(QString::fromLatin1(name), Quoted(barcode), Quoted(product)));
    }
};

TEST_F(InspectionRunTest, StartKeyRunsADefectToNgAndAQuietRunToOk) {
    // The defect sounds from 0.5 s to 8.5 s after streaming began.
    CameraSimProcess camera(
        {"--model", "2", "--defect", "0.5,8,5000,8000,30,20", "--defect-tone-level", "85"});
    ASSERT_GT(camera.port(), 0);
    addJudgedProduct(camera.port(), 5);
    QTemporaryDir root;
    configureRun(root.path());
    const int firstId = 900000 + static_cast<int>(QCoreApplication::applicationPid() % 90000);

    ConfigStore store;
    CDlgMain page(store);
    page.resize(1920, 1020);
    page.show();
    std::vector<RecordedRun> recorded;
    QObject::connect(&page.Runs(), &CRunController::runRecorded,
                     [&](const RecordedRun& run) { recorded.push_back(run); });
    page.Initialize();
    ASSERT_TRUE(WaitUntil([&] { return page.InspectionState() == kInspectionReady; }));
    ASSERT_TRUE(page.Device()->IsWorkerAlive());
    // Today's rows already recorded (by a person's runs on this machine) are listed first.
    const qsizetype listed = page.Outputs().ResultRows().size();

    page.Runs().SetInspectionId(firstId);
    QTest::keyClick(&page, Qt::Key_F2);
    ASSERT_TRUE(WaitUntil([&] { return page.InspectionState() == kInspectionRunning; }, 10000));
    const QString ngBarcode = page.Runs().Barcode();
    ASSERT_TRUE(WaitUntil([&] { return recorded.size() == 1; }, 15000));
    EXPECT_EQ(recorded[0].result, 1);
    EXPECT_EQ(recorded[0].inspectionId, firstId);
    EXPECT_EQ(recorded[0].sensorName, QStringLiteral("Top"));
    EXPECT_EQ(page.Outputs().Engine(), QStringLiteral("  %1 (5 Sec)").arg(product));
    EXPECT_EQ(page.Outputs().Verdict().text, QStringLiteral("NG"));
    ASSERT_EQ(page.Outputs().ResultRows().size(), listed + 1);
    EXPECT_EQ(page.Outputs().ResultRows().last().at(3), QStringLiteral("NG"));
    EXPECT_EQ(page.Outputs().ResultRows().last().at(2), ngBarcode);
    // The worker hands the live spectrum and, while the latch holds, the NG spectrum to the
    // graph, which draws them in their colours.
    ASSERT_NE(page.Graph(), nullptr);
    EXPECT_GT(page.Graph()->ChangeCount(), 10);
    PumpEvents(100);
    const QImage graph = page.grab(QRect(685, 45, 577, 435)).toImage();
    int ngPixels = 0, livePixels = 0;
    for (int y = 0; y < graph.height(); ++y) {
        for (int x = 0; x < graph.width(); ++x) {
            ngPixels += graph.pixelColor(x, y) == QColor(255, 0, 0);
            livePixels += graph.pixelColor(x, y) == QColor(0, 255, 45);
        }
    }
    EXPECT_GT(ngPixels, 100);
    EXPECT_GT(livePixels, 100);

    EXPECT_EQ(column(ngBarcode, "error"), "1");
    EXPECT_EQ(column(ngBarcode, "sensor_type"), "Top");
    const QString ngImage = QString::fromStdString(column(ngBarcode, "t_filename_img"));
    EXPECT_TRUE(ngImage.startsWith(root.path() + "/result/NG/Image/")) << ngImage.toStdString();
    EXPECT_TRUE(ngImage.endsWith("_TOP_NG.jpg"));
    EXPECT_TRUE(QFile::exists(ngImage));
    // Recordings are off unless asked for.
    EXPECT_EQ(column(ngBarcode, "t_filename_wave"), "");

    // Ready 2 s after the end; the defect is over by then.
    ASSERT_TRUE(WaitUntil([&] { return page.InspectionState() == kInspectionReady; }, 5000));
    PumpEvents(1500);
    page.Runs().SetInspectionId(firstId + 1);
    QTest::keyClick(&page, Qt::Key_F2);
    ASSERT_TRUE(WaitUntil([&] { return page.InspectionState() == kInspectionRunning; }, 10000));
    const QString okBarcode = page.Runs().Barcode();
    EXPECT_NE(okBarcode, ngBarcode);
    ASSERT_TRUE(WaitUntil([&] { return recorded.size() == 2; }, 15000));
    EXPECT_EQ(recorded[1].result, 0);
    EXPECT_EQ(page.Outputs().Verdict().text, QStringLiteral("OK"));
    EXPECT_EQ(column(okBarcode, "error"), "0");
    const QString okImage = QString::fromStdString(column(okBarcode, "t_filename_img"));
    EXPECT_TRUE(okImage.startsWith(root.path() + "/result/PASS/Image/")) << okImage.toStdString();
    EXPECT_TRUE(QFile::exists(okImage));
    EXPECT_EQ(page.Outputs().ResultRows().size(), listed + 2);
    // For a person checking the page by eye: the screen after the two runs.
    if (const QString shot = qEnvironmentVariable("STATION_TEST_SCREENSHOT"); !shot.isEmpty()) {
        PumpEvents(100);
        page.grab().save(shot);
    }

    const QString today = TodayText();
    EXPECT_EQ(db.value(QStringLiteral("SELECT CONCAT(total_count, '/', pass_count, '/', "
                                      "error_count) FROM vorn_alpha_v1_ch2.t_summary WHERE "
                                      "product_name = %1 AND date = %2")
                           .arg(Quoted(product), Quoted(today))),
              "2/1/1");

    page.Storage().recorder().waitForPictureWorkers();
    for (int id : {firstId, firstId + 1}) {
        EXPECT_EQ(db.value(QStringLiteral("SELECT HEX(LEFT(image_data, 2)) FROM "
                                          "vorn_local_db.t_inspection_result WHERE inspection_id "
                                          "= %1")
                               .arg(id)),
                  "FFD8")
            << id;
    }
    db.query(QStringLiteral("DELETE FROM vorn_local_db.t_inspection_result WHERE inspection_id "
                            "IN (%1, %2)")
                 .arg(firstId)
                 .arg(firstId + 1));
    EXPECT_TRUE(page.StopSensor());
}

TEST_F(InspectionRunTest, RecordedRunsAreJudgedOfflineAsTheStationJudgedThem) {
    // Ten spectra a second: one spectrum is 100 ms. The defect sounds from 0.5 s to 6.5 s after
    // streaming began, so the first run is a defect run and a run after 7 s a quiet one.
    CameraSimProcess camera({"--model", "2", "--spectrum-rate", "10", "--defect",
                             "0.5,6,5000,8000,30,20", "--defect-tone-level", "85"});
    ASSERT_GT(camera.port(), 0);
    addJudgedProduct(camera.port(), 3);
    // Counting starts 1 s into the run, well after the message the run joined.
    db.query(QStringLiteral("UPDATE vorn_local_db.t_sensor SET reserved_int_04 = 10 WHERE "
                            "product_name = %1")
                 .arg(Quoted(product)));
    QTemporaryDir root;
    configureRun(root.path(), 1);
    ConfigStore store;
    CDlgMain page(store);
    page.show();
    std::vector<RecordedRun> recorded;
    QObject::connect(&page.Runs(), &CRunController::runRecorded,
                     [&](const RecordedRun& run) { recorded.push_back(run); });
    QElapsedTimer sinceStreaming;
    sinceStreaming.start();
    page.Initialize();
    ASSERT_TRUE(WaitUntil([&] { return page.InspectionState() == kInspectionReady; }));
    const int id = 700000 + static_cast<int>(QCoreApplication::applicationPid() % 90000);
    page.Runs().SetInspectionId(id);
    QTest::keyClick(&page, Qt::Key_F2);
    ASSERT_TRUE(WaitUntil([&] { return page.InspectionState() == kInspectionRunning; }, 10000));
    const QString barcode = page.Runs().Barcode();
    ASSERT_TRUE(WaitUntil([&] { return recorded.size() == 1; }, 15000));
    EXPECT_EQ(recorded[0].result, 1);
    const float stationNgTime = page.Pipeline().evaluation().NgTime();
    const float stationPeak = page.Pipeline().evaluation().PeakLevel();
    const QString wave = QString::fromStdString(column(barcode, "t_filename_wave"));
    EXPECT_TRUE(wave.startsWith(root.path() + "/result/NG/Wave/" +
                                QDate::currentDate().toString("yyyy/MM/dd") + "/"))
        << wave.toStdString();
    EXPECT_TRUE(wave.endsWith(page.Runs().RunStamp() + "_" + barcode + "_TOP.rec"));
    ASSERT_TRUE(page.Recorder().WaitIdle(10000));
    const auto read = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? ReadRunRecording(file.readAll())
                                              : RunRecordingContents{};
    };
    const RunRecordingContents recording = read(wave);
    ASSERT_TRUE(recording.ok()) << recording.error.toStdString();
    EXPECT_EQ(recording.header.barcode, barcode);
    EXPECT_EQ(recording.header.productName, product);
    EXPECT_EQ(recording.header.sensorName, QStringLiteral("Top"));
    EXPECT_EQ(recording.header.cameraModel, 2);
    // Three seconds of a model-2 camera: many chunks, the last near the end of the run.
    EXPECT_GT(recording.chunks.size(), 10u);
    EXPECT_GT(recording.chunks.back().arrival_us, 2000000u);
    EXPECT_LT(recording.chunks.back().arrival_us, 5000000u);

    // Judged again with the product's settings from the bridge database.
    QString error;
    const auto settings = CEvaluationSettings::Load(TestBridgeProfile(), product, &error);
    ASSERT_TRUE(settings) << error.toStdString();
    CRecordingEvaluator evaluator;
    const RecordingVerdict offline =
        evaluator.Evaluate(recording, settings->Sensor(), settings->InspectionTime());
    ASSERT_TRUE(offline.ok()) << offline.error.toStdString();
    EXPECT_TRUE(offline.ng);
    EXPECT_GE(stationNgTime, 1.0f);
    EXPECT_NEAR(offline.ngTime_s, stationNgTime, 0.1f);
    EXPECT_FLOAT_EQ(offline.peakLevel, stationPeak);
    EXPECT_EQ(std::stod(column(barcode, "t_peak")), 85.0);

    // A quiet run after the defect: recorded under PASS and judged OK again.
    while (sinceStreaming.elapsed() < 7500 || page.InspectionState() != kInspectionReady) {
        PumpEvents(100);
        ASSERT_LT(sinceStreaming.elapsed(), 30000);
    }
    page.Runs().SetInspectionId(id + 1);
    QTest::keyClick(&page, Qt::Key_F2);
    ASSERT_TRUE(WaitUntil([&] { return page.InspectionState() == kInspectionRunning; }, 10000));
    const QString quietBarcode = page.Runs().Barcode();
    ASSERT_TRUE(WaitUntil([&] { return recorded.size() == 2; }, 15000));
    EXPECT_EQ(recorded[1].result, 0);
    const QString quietWave = QString::fromStdString(column(quietBarcode, "t_filename_wave"));
    EXPECT_TRUE(quietWave.contains(QStringLiteral("/result/PASS/Wave/")))
        << quietWave.toStdString();
    ASSERT_TRUE(page.Recorder().WaitIdle(10000));
    const RunRecordingContents quiet = read(quietWave);
    ASSERT_TRUE(quiet.ok()) << quiet.error.toStdString();
    const RecordingVerdict quietVerdict =
        evaluator.Evaluate(quiet, settings->Sensor(), settings->InspectionTime());
    ASSERT_TRUE(quietVerdict.ok()) << quietVerdict.error.toStdString();
    EXPECT_FALSE(quietVerdict.ng);
    EXPECT_GT(quietVerdict.spectra, 15);

    page.Storage().recorder().waitForPictureWorkers();
    db.query(QStringLiteral("DELETE FROM vorn_local_db.t_inspection_result WHERE inspection_id IN "
                            "(%1, %2)")
                 .arg(id)
                 .arg(id + 1));
    EXPECT_TRUE(page.StopSensor());
}

TEST_F(InspectionRunTest, CameraClosingTheLinkDuringARunEndsItAsStopped) {
    CameraSimProcess camera({"--model", "2", "--close-after-ms", "3000"});
    ASSERT_GT(camera.port(), 0);
    addJudgedProduct(camera.port(), 20);
    QTemporaryDir root;
    configureRun(root.path());
    ConfigStore store;
    CDlgMain page(store);
    page.show();
    LogCapture log;
    page.Initialize();
    ASSERT_TRUE(WaitUntil([&] { return page.InspectionState() == kInspectionReady; }));
    const qsizetype listed = page.Outputs().ResultRows().size();
    QTest::keyClick(&page, Qt::Key_F2);
    ASSERT_TRUE(WaitUntil([&] { return page.InspectionState() == kInspectionRunning; }, 10000));
    const QString barcode = page.Runs().Barcode();
    ASSERT_TRUE(WaitUntil([&] { return page.Outputs().Verdict().text == "검사중지"; }, 10000));
    EXPECT_EQ(page.InspectionState(), kInspectionIdle);
    PumpEvents(2500);
    EXPECT_EQ(db.value(QStringLiteral("SELECT COUNT(*) FROM vorn_alpha_v1_ch2.t_inspection WHERE "
                                      "barcode = %1 AND product_name = %2")
                           .arg(Quoted(barcode), Quoted(product))),
              "0");
    EXPECT_EQ(page.Outputs().ResultRows().size(), listed);
}

// The control server's INSPECTION_COMPLETE reports as control-sim printed them: id, result,
// mission.
QList<QStringList> CompletionReports(const QString& output) {
    static const QRegularExpression report(
        "<CMD_ID>INSPECTION_COMPLETE</CMD_ID>\\s*<INSPECTION_ID>(\\d+)</INSPECTION_ID>\\s*"
        "<RESULT>(\\d)</RESULT>\\s*<MISSION_ID>([^<]*)</MISSION_ID>");
    QList<QStringList> reports;
    for (auto it = report.globalMatch(output); it.hasNext();) {
        const auto match = it.next();
        reports << QStringList{match.captured(1), match.captured(2), match.captured(3)};
    }
    return reports;
}

TEST_F(InspectionRunTest, ControlServerRunsADefectToNgAndAQuietRunToOk) {
    CameraSimProcess camera(
        {"--model", "2", "--defect", "0.5,8,5000,8000,30,20", "--defect-tone-level", "85"});
    ASSERT_GT(camera.port(), 0);
    addJudgedProduct(camera.port(), 5);
    QTemporaryDir root;
    configureRun(root.path());
    const QString code = QStringLiteral("차량-E2E");
    PeerProcess control(QStringLiteral(CONTROL_SIM_PATH),
                        {"--port", "0", "--ugv-code", code, "--ugv-name", "E2E"});
    const int controlPort = control.port("listening on 127\\.0\\.0\\.1:(\\d+)");
    ASSERT_GT(controlPort, 0);
    PeerProcess streaming(QStringLiteral(STREAMING_SIM_PATH),
                          {"--port-top", "0", "--port-bottom", "0", "--out", root.path() + "/views",
                           "--report-seconds", "1"});
    const int topPort = streaming.port("top listening on 127\\.0\\.0\\.1:(\\d+)");
    const int bottomPort = streaming.port("bottom listening on 127\\.0\\.0\\.1:(\\d+)");
    ASSERT_GT(topPort, 0);
    ASSERT_GT(bottomPort, 0);
    qputenv("STATION_CONTROL_PORT", QByteArray::number(controlPort));
    qputenv("STATION_STREAMING_PORTS",
            QByteArray::number(topPort) + "," + QByteArray::number(bottomPort));
    const int firstId = 800000 + static_cast<int>(QCoreApplication::applicationPid() % 90000);

    ConfigStore store;
    CDlgMain page(store);
    page.resize(1920, 1020);
    page.show();
    page.Initialize();
    ASSERT_TRUE(WaitUntil([&] { return page.InspectionState() == kInspectionReady; }));
    // The link asks for the vehicle first; the answer names it on the screen and starts the push.
    ASSERT_TRUE(WaitUntil([&] { return control.output().contains("UGV_INFOR_RESPONSE"); }, 10000));
    ASSERT_TRUE(WaitUntil([&] { return page.Outputs().VehicleCode() == "  " + code; }, 5000));
    ASSERT_TRUE(WaitUntil([&] { return control.output().contains("EQUIPMENT_STATUS"); }, 3000));
    EXPECT_LT(control.output().indexOf("UGV_INFOR_REQUEST"),
              control.output().indexOf("EQUIPMENT_STATUS"));

    control.write(QStringLiteral("start %1 %2 MIS-NG").arg(product).arg(firstId));
    ASSERT_TRUE(WaitUntil([&] { return CompletionReports(control.output()).size() == 1; }, 20000));
    EXPECT_EQ(CompletionReports(control.output())[0],
              (QStringList{QString::number(firstId), "1", "MIS-NG"}));
    EXPECT_TRUE(control.output().contains("<MISSION_ID>MIS-NG</MISSION_ID>"));
    EXPECT_TRUE(control.output().contains("INSPECTION_START_ACK"));
    const QString ngBarcode = page.Runs().Barcode();
    EXPECT_TRUE(ngBarcode.startsWith("[Vorn]"));
    EXPECT_EQ(column(ngBarcode, "error"), "1");
    EXPECT_EQ(column(ngBarcode, "ugv_id"), code.toStdString());

    // The defect is over 2 s after the end.
    ASSERT_TRUE(WaitUntil([&] { return page.InspectionState() == kInspectionReady; }, 5000));
    PumpEvents(1500);
    control.write(QStringLiteral("start %1 %2 MIS-OK").arg(product).arg(firstId + 1));
    ASSERT_TRUE(WaitUntil([&] { return CompletionReports(control.output()).size() == 2; }, 20000));
    EXPECT_EQ(CompletionReports(control.output())[1],
              (QStringList{QString::number(firstId + 1), "0", "MIS-OK"}));
    const QString okBarcode = page.Runs().Barcode();
    EXPECT_NE(okBarcode, ngBarcode);
    EXPECT_EQ(column(okBarcode, "error"), "0");

    // The status once a second, with the camera connected.
    const int statusBefore = static_cast<int>(control.output().count("EQUIPMENT_STATUS"));
    PumpEvents(3000);
    const int statuses =
        static_cast<int>(control.output().count("EQUIPMENT_STATUS")) - statusBefore;
    EXPECT_GE(statuses, 2);
    EXPECT_LE(statuses, 4);
    EXPECT_TRUE(control.output().contains("PHONOLUX_1=1"));

    // The head initialisation: acknowledged at once, complete after the 51st tick of its timer
    // (driven here rather than waited for).
    control.write(QStringLiteral("init"));
    ASSERT_TRUE(WaitUntil([&] { return control.output().contains("INIT_PAN_TILT_ACK"); }, 5000));
    EXPECT_EQ(page.Runs().PanTiltInitCount(), 0);
    EXPECT_TRUE(page.Timers().isActive(CRunController::kTimerPanTiltInit));
    for (int tick = 0; tick < 51; ++tick) {
        page.Runs().OnPanTiltInit();
    }
    ASSERT_TRUE(
        WaitUntil([&] { return control.output().contains("INIT_PAN_TILT_COMPLETE"); }, 5000));
    EXPECT_FALSE(page.Timers().isActive(CRunController::kTimerPanTiltInit));

    // Both streaming servers were introduced to the vehicle and received the views.
    const QString views = streaming.output();
    EXPECT_TRUE(views.contains("top: introduction UGV_ID=" + code)) << views.toStdString();
    EXPECT_TRUE(views.contains("bottom: introduction UGV_ID=" + code));
    for (const char* name : {"top.jpg", "bottom.jpg"}) {
        EXPECT_EQ(QImage(root.path() + "/views/" + name).size(), QSize(160, 120)) << name;
    }

    page.Storage().recorder().waitForPictureWorkers();
    db.query(QStringLiteral("DELETE FROM vorn_local_db.t_inspection_result WHERE inspection_id "
                            "IN (%1, %2)")
                 .arg(firstId)
                 .arg(firstId + 1));
    EXPECT_TRUE(page.StopSensor());
}

}  // namespace
