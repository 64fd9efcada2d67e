#include "app/ConfigStore.h"
#include "display/DlgMain.h"
#include "display/InspectionOutputs.h"
#include "inspection/InspectionPipeline.h"
#include "sensor/PhonoluxDevice.h"
#include "storage/StationStorage.h"
#include "tests/sensor/CameraSimProcess.h"
#include "tests/storage/DbTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class InspectionPageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(db.ok());
        product = UniqueName("page");
    }
    void TearDown() override { DeleteTestRows(db, product.left(product.lastIndexOf('-'))); }

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
    EXPECT_TRUE(page.Timers().isActive(kSelectProductTimerId));
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

TEST(InspectionOutputsTest, VerdictsSetTheirTextsAndPassClearsTheTopResult) {
    ScopedUserSettings settings;
    ConfigStore store;
    CDlgMain page(store);
    // Latch an NG so that the Top sensor has an NG time and a peak level.
    SensorSettings s;
    s.inspection_mode = 1;
    s.required_filter_count = 1;
    s.lpass_limit = 1;
    s.focus_time = 10.0f;
    s.filters[0] = {1, 8000, 5000, 0, 60};
    EvaluationInputs inputs;
    inputs.inspectionState = 2;
    inputs.elapsed_s = 2.0f;
    inputs.positionMatch = true;
    inputs.cameraModel = 2;
    std::vector<float> spectrum(kSpectrumBins, 70.0f);
    CSensorEvaluation& evaluation = page.Pipeline().evaluation();
    evaluation.SetPeakInArea(true);
    evaluation.EvaluateSpectrum(spectrum.data(), 1, s, inputs);
    ASSERT_TRUE(evaluation.NgLatched());

    page.Outputs().giveVerdictOutputs(true);
    EXPECT_EQ(page.Outputs().Verdict().text, "NG");
    EXPECT_EQ(page.Outputs().Verdict().fontHeight, 90);
    EXPECT_EQ(page.Outputs().Verdict().colour, QColor(225, 75, 75));
    EXPECT_FLOAT_EQ(evaluation.NgTime(), 2.0f);

    page.Outputs().giveVerdictOutputs(false);
    EXPECT_EQ(page.Outputs().Verdict().text, "OK");
    EXPECT_EQ(page.Outputs().Verdict().fontHeight, 70);
    EXPECT_EQ(page.Outputs().Verdict().colour, QColor(75, 225, 75));
    EXPECT_FLOAT_EQ(evaluation.NgTime(), 0.0f);
    EXPECT_FLOAT_EQ(evaluation.PeakLevel(), 0.0f);
}

}  // namespace
