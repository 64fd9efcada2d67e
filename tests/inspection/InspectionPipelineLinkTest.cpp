// The sensor worker wired to the picture pipeline and the evaluation, fed by the camera
// simulator over loopback.
#include "inspection/InspectionPipeline.h"
#include "sensor/PhonoluxDevice.h"
#include "tests/sensor/CameraSimProcess.h"
#include "tests/sensor/FakeSensorHost.h"
#include "tests/support/RecordingDialogs.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class PipelineLinkTest : public ::testing::Test {
  protected:
    void start(const QStringList& simArguments) {
        sim = std::make_unique<CameraSimProcess>(simArguments);
        ASSERT_GT(sim->port(), 0);
        host.sharedState = &run.inspectionState;
        device = std::make_unique<CPhonoluxDevice>(host);
        pipeline = std::make_unique<CInspectionPipeline>(run);
        pipeline->setCameraModelSource([this] { return device->cameraModel(); });
        QObject::connect(
            pipeline.get(), &CInspectionPipeline::pictureReady, pipeline.get(),
            [this](const QImage& image, int model, int rotation) {
                pictures.push_back(image);
                lastModel = model;
                lastRotation = rotation;
            },
            Qt::QueuedConnection);
        QObject::connect(
            pipeline.get(), &CInspectionPipeline::thermalReady, pipeline.get(),
            [this](const QImage& image) { thermals.push_back(image); }, Qt::QueuedConnection);
        device->setPipeline(pipeline.get());
        device->updateSettings([this](SensorSettings& s) {
            s.ip_addr = "127.0.0.1";
            s.port = sim->port();
            s.acoustic_level = 30;
        });
    }
    void TearDown() override {
        if (device) {
            device->Stop();
            device.reset();
        }
    }

    RecordingDialogs dialogs;
    FakeSensorHost host;
    RunContext run;
    std::unique_ptr<CameraSimProcess> sim;
    std::unique_ptr<CPhonoluxDevice> device;
    std::unique_ptr<CInspectionPipeline> pipeline;
    std::vector<QImage> pictures;
    std::vector<QImage> thermals;
    int lastModel = 0;
    int lastRotation = -1;
};

TEST_F(PipelineLinkTest, Model3ColourPictureAndThermalReachTheUiThread) {
    start({"--model", "3", "--thermal-rate", "5"});
    run.videoColor = 1;
    device->updateSettings([](SensorSettings& s) { s.picture_rotation = 180; });
    device->Start();
    ASSERT_TRUE(WaitUntil([&] { return !pictures.empty() && !thermals.empty(); }));
    const QImage& picture = pictures.back();
    EXPECT_EQ(picture.size(), QSize(1280, 800));
    EXPECT_EQ(lastModel, 3);
    EXPECT_EQ(lastRotation, 180);
    // Idle: the outline of the default area is red, two pixels wide.
    EXPECT_EQ(picture.pixelColor(10, 10), QColor(255, 0, 0));
    EXPECT_EQ(picture.pixelColor(11, 100), QColor(255, 0, 0));  // the inner line
    EXPECT_EQ(thermals.back().size(), QSize(160, 120));
    const PicturePlacement placement =
        CInspectionPipeline::PlacePicture(QRect(0, 30, 640, 480), lastModel, lastRotation);
    EXPECT_EQ(placement.target, QRect(0, 70, 640, 400));
    EXPECT_TRUE(placement.mirrored);
}

TEST_F(PipelineLinkTest, Model2PictureIsGreyAndDarkenedOutsideTheAreaWhileRunning) {
    start({"--model", "2"});
    device->setCameraModel(2);
    device->Start();
    ASSERT_TRUE(WaitUntil([&] { return !pictures.empty(); }));
    const QImage idle = pictures.back();
    ASSERT_EQ(idle.size(), QSize(320, 240));
    const QColor inside = idle.pixelColor(100, 100);
    EXPECT_EQ(inside.red(), inside.green());
    EXPECT_EQ(inside.green(), inside.blue());

    run.inspectionState = kInspectionRunning;
    pictures.clear();
    ASSERT_TRUE(WaitUntil([&] { return pictures.size() >= 2; }));
    // A quarter of any grey value is at most 63: the outside of the area, not the inside.
    auto brightest = [](const QImage& image, int y) {
        int top = 0;
        for (int x = 0; x < image.width(); ++x)
            top = std::max(top, image.pixelColor(x, y).red());
        return top;
    };
    ASSERT_GT(brightest(idle, 2), 63);
    EXPECT_LE(brightest(pictures.back(), 2), 63);
    EXPECT_GT(brightest(pictures.back(), 100), 63);
}

TEST_F(PipelineLinkTest, Model2DefectLatchesNgAtTheExpectedTimeAndFreezesThePicture) {
    // From 2 s after streaming began, a 5..8 kHz tone and the loud spot at cell (30, 20).
    start({"--model", "2", "--defect", "2,30,5000,8000,30,20", "--defect-tone-level", "85"});
    device->setCameraModel(2);
    device->updateSettings([](SensorSettings& s) {
        s.inspection_mode = 1;
        s.required_filter_count = 2;
        s.lpass_limit = 3;
        s.initial_exception_time = 0.0f;
        s.focus_time = 60.0f;
        s.freq_range = 0;
        s.filters[0] = {1, 6000, 5000, 0, 75};
        s.filters[1] = {1, 8000, 6500, 0, 75};
        s.beamforming_filter = 1;
    });
    pipeline->evaluation().ResetSpotTracker(3);
    run.positionMatch = true;
    run.inspectionState = kInspectionRunning;
    // The run clock, as the run controller keeps it: elapsed time every 10 ms.
    QElapsedTimer clock;
    QTimer runClock;
    QObject::connect(&runClock, &QTimer::timeout,
                     [&] { run.elapsed_s = static_cast<float>(clock.elapsed()) / 1000.0f; });
    clock.start();
    runClock.start(10);
    device->Start();
    ASSERT_TRUE(WaitUntil([&] { return pipeline->evaluation().NgLatched(); }))
        << "count " << pipeline->evaluation().LPassCount();
    // Three counted spectra after the defect began; the spot check needs its 23rd examination,
    // which the simulator's map rate reaches within about a second.
    EXPECT_GE(pipeline->evaluation().NgTime(), 2.0f);
    EXPECT_LT(pipeline->evaluation().NgTime(), 5.0f);
    EXPECT_EQ(pipeline->evaluation().LPassCount(), 3);
    EXPECT_GE(pipeline->evaluation().PeakLevel(), 75.0f);
    EXPECT_EQ(device->frames().ngSpectrumStamp, pipeline->evaluation().NgSpectrumTimeStamp());

    // Latched: the picture stays as it was.
    PumpEvents(300);
    const size_t shown = pictures.size();
    PumpEvents(600);
    EXPECT_EQ(pictures.size(), shown);
}

TEST_F(PipelineLinkTest, SpotOutsideTheAreaIsNeverCounted) {
    // The default area (10, 10)..(309, 229) covers only the top-left cells of the 80 x 50 map.
    start({"--model", "3", "--defect", "0.2,30,5000,8000,60,40", "--defect-tone-level", "85"});
    device->updateSettings([](SensorSettings& s) {
        s.inspection_mode = 1;
        s.required_filter_count = 2;
        s.lpass_limit = 1;
        s.focus_time = 1000.0f;
        s.filters[0] = {1, 6000, 5000, 0, 75};
        s.filters[1] = {1, 8000, 6500, 0, 75};
    });
    run.inspectionState = kInspectionRunning;
    run.positionMatch = true;
    run.elapsed_s = 1.0f;
    device->Start();
    PumpEvents(2500);
    EXPECT_FALSE(pipeline->evaluation().NgLatched());
    EXPECT_GT(pipeline->evaluation().FilterHits()[0], 0);
}

}  // namespace
