// Product selections while the worker decodes, evaluates and checks spots: the selection changes
// the settings only as a whole and hands the spot tracker's reset to the worker, so nothing is
// written while the worker reads it. This suite also runs under ThreadSanitizer, which reports
// any such write.
#include "inspection/InspectionPipeline.h"
#include "inspection/ProductSelector.h"
#include "sensor/ReceiveRing.h"
#include "sensor/SensorWorker.h"
#include "sensor/SpectrogramQueue.h"
#include "sensor/StreamDecoder.h"
#include "sensor/WaveFormQueue.h"
#include "storage/ProductTable.h"
#include "storage/SensorTable.h"
#include "storage/StationStorage.h"
#include "tests/sensor/FakeSensorHost.h"
#include "tests/sensor/StreamBytes.h"
#include "tests/storage/DbTestSupport.h"
#include "tests/support/RecordingDialogs.h"
#include "tools/camera-sim/CameraStreamGenerator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

// The selection's view of the page: the settings go to the worker's store, the tracker reset
// to the evaluation the worker drives.
class WorkerSelectionHost : public FakeSelectionHost {
  public:
    WorkerSelectionHost(CSensorSettingsStore& store, CSensorEvaluation& evaluation)
        : m_store(store), m_evaluation(evaluation) {
        workerAlive = true;  // a selection then only sends the measuring parameters
    }
    std::shared_ptr<const SensorSettings> updateSensorSettings(
        int sensorIndex, const std::function<void(SensorSettings&)>& change) override {
        return sensorIndex == 0 ? m_store.update(change) : nullptr;
    }
    void resetSpotTracker(int count) override { m_evaluation.RequestSpotTrackerReset(count); }

  private:
    CSensorSettingsStore& m_store;
    CSensorEvaluation& m_evaluation;
};

// The real pipeline, counting the spectra it evaluated where the test thread may read them.
class CountingPipeline : public CInspectionPipeline {
  public:
    using CInspectionPipeline::CInspectionPipeline;
    void EvaluateSpectrum(SensorFrames& frames, const SensorSettings& settings) override {
        CInspectionPipeline::EvaluateSpectrum(frames, settings);
        ++evaluated;
    }
    std::atomic<int> evaluated{0};
};

class SettingsSnapshotRaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(db.ok());
        prefix = UniqueName(QStringLiteral("race"));
        day = UniqueDay();
        ring.reset();
        decoder.reset();
        host.sharedState = &run.inspectionState;
        run.positionMatch = true;
        run.elapsed_s = 1.0f;
        run.inspectionState =
            kInspectionRunning;  // a run is going: evaluation and spot checks take part
    }
    void TearDown() override {
        DeleteTestRows(db, prefix);
        db.query(QStringLiteral("DELETE FROM vorn_alpha_v1_ch2.t_summary WHERE date = %1")
                     .arg(Quoted(day)));
    }
    QString createProduct(const QString& tag, const QString& sensorColumns) {
        const QString name = prefix + "-" + tag;
        EXPECT_TRUE(AddProduct(TestWebProfile(), TestBridgeProfile(), name, tag, 30).webApplied);
        EXPECT_TRUE(
            CreateSensorRow(TestWebProfile(), TestBridgeProfile(), name, "Top", 10, "10.9.9.9")
                .webApplied);
        db.query(QStringLiteral("UPDATE vorn_local_db.t_sensor SET %1 WHERE product_name = %2")
                     .arg(sensorColumns, Quoted(name)));
        return name;
    }

    AdminDb db;
    RecordingDialogs dialogs;
    QString prefix;
    QString day;
    CReceiveRing ring;
    CStreamDecoder decoder;
    CSpectrogramQueue spectrogram;
    CWaveFormQueue waveform;
    CSensorSettingsStore settings;
    FakeSensorHost host;
    RunContext run;
    CountingPipeline pipeline{run};
    std::atomic<uint32_t> counter{0};
    std::atomic<int> running{1};
    std::atomic<uint8_t> alive{1};
};

}  // namespace

TEST_F(SettingsSnapshotRaceTest, SelectingProductsWhileTheWorkerDecodes) {
    const QString first = createProduct(
        "A", "distance = 1000, area_mode = 0, reserved_int_08 = 1, reserved_int_09 = 0");
    const QString second =
        createProduct("B",
                      "distance = 2000, area_mode = 2, area_line_1 = 40, area_line_2 = 280, "
                      "reserved_int_08 = 0, reserved_int_09 = 5, filter_02_freq_min = 6000");

    // A picture, an acoustic map with a loud spot inside both areas, and a spectrum, again and
    // again: every pass converts, overlays, checks a spot and evaluates.
    CCameraStreamGenerator model2(2);
    SpectrumShape tone;
    tone.toneOn = true;
    tone.toneMinHz = 5500;
    tone.toneMaxHz = 7500;
    tone.toneDb = 70;
    const QByteArray pass =
        stream_bytes::Data({model2.pictureItem(0, 0), model2.acousticMapItem(0, {30, 24, 70, 30}),
                            model2.spectrumItem(0, tone, 0)});
    decoder.setCameraModel(2);
    std::thread worker([this] {
        CSensorWorker sensorWorker(SensorWorkerLinks{
            ring, decoder, spectrogram, waveform, settings, host, pipeline, counter, running, alive,
            [](const QByteArray&) { return true; }, [](const QString&) {}});
        sensorWorker.Run();
    });
    std::atomic<bool> producing{true};
    std::thread producer([&] {
        while (stream_bytes::StoreAsReceived(ring, pass, [&] { return producing.load(); }) &&
               producing.load()) {
        }
    });

    StationConfig config;
    config.Sensor_Default_Ip = QStringLiteral("127.0.0.1");
    WorkerSelectionHost selection(settings, pipeline.evaluation());
    FakeResultHost results;
    FakeCounterDisplay display;
    CStationStorage storage(config, results, display,
                            CStationStorage::Clocks{[this] { return day; }});
    CProductSelector selector(storage.profiles(), config, storage.counterStore(),
                              storage.productRecord(), selection,
                              [](const QString&) { return true; });
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(selector.SelectProduct(i % 2 == 0 ? first : second, true));
    }
    // The worker keeps deciding with the last selection's settings.
    const int spectraSoFar = pipeline.evaluated.load();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (pipeline.evaluated.load() < spectraSoFar + 5 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    producing = false;
    producer.join();
    running.exchange(0);
    worker.join();

    EXPECT_GE(pipeline.evaluated.load(), spectraSoFar + 5);
    EXPECT_GT(spectraSoFar, 0) << "the worker decoded while the products were selected";
    const auto last = settings.snapshot();
    EXPECT_EQ(last->distance, 2000);
    EXPECT_EQ(last->area.area_mode, 2);
    EXPECT_EQ(last->beamforming_count, 8);
    EXPECT_EQ(pipeline.evaluation().ComparedSpots(), 8);
    EXPECT_EQ(last->ip_addr, QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(dialogs.recorded().empty());
}
