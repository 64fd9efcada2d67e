#include "sensor/ReceiveRing.h"
#include "sensor/SensorWorker.h"
#include "sensor/SpectrogramQueue.h"
#include "sensor/StreamDecoder.h"
#include "sensor/WaveFormQueue.h"
#include "tests/sensor/FakeSensorHost.h"
#include "tests/sensor/RecordingPipeline.h"
#include "tests/sensor/StreamBytes.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>

using namespace stream_bytes;

namespace {

class SensorWorkerTest : public ::testing::Test {
  protected:
    SensorWorkerTest() {
        ring.reset();
        decoder.reset();
    }

    SensorWorkerLinks Links() {
        return SensorWorkerLinks{ring,
                                 decoder,
                                 spectrogram,
                                 waveform,
                                 settings,
                                 host,
                                 pipeline,
                                 counter,
                                 run,
                                 alive,
                                 [this](const QByteArray& command) {
                                     std::lock_guard lock(mutex);
                                     sent << command;
                                     return true;
                                 },
                                 [this](const QString& reason) {
                                     std::lock_guard lock(mutex);
                                     lost << reason;
                                 }};
    }

    // Stores the stream in slot-sized chunks plus one more, so that all of it can be taken.
    void Store(const QByteArray& bytes) {
        for (qsizetype at = 0; at < bytes.size(); at += CReceiveRing::kSlotBytes) {
            const int n =
                static_cast<int>(std::min<qsizetype>(CReceiveRing::kSlotBytes, bytes.size() - at));
            ASSERT_TRUE(ring.store(bytes.constData() + at, n));
        }
    }
    void Drain(CSensorWorker& worker) {
        ring.store("", 0);
        while (worker.Step() == CSensorWorker::StepResult::Progress) {
        }
    }
    QList<QByteArray> Sent() {
        std::lock_guard lock(mutex);
        return sent;
    }
    static QList<int> Identifiers(const QList<QByteArray>& commands) {
        QList<int> ids;
        for (const QByteArray& command : commands) {
            ids << static_cast<uint8_t>(command[0]);
        }
        return ids;
    }

    CReceiveRing ring;
    CStreamDecoder decoder;
    CSpectrogramQueue spectrogram;
    CWaveFormQueue waveform;
    CSensorSettingsStore settings;
    FakeSensorHost host;
    RecordingPipeline pipeline;
    std::atomic<uint32_t> counter{0};
    std::atomic<int> run{1};
    std::atomic<uint8_t> alive{1};
    std::mutex mutex;
    QList<QByteArray> sent;
    QStringList lost;
};

}  // namespace

TEST_F(SensorWorkerTest, StartOrderFollowsTheModelSeenLast) {
    CSensorWorker worker(Links());
    worker.SendStartCommands();
    EXPECT_EQ(Identifiers(Sent()), QList<int>({0x86, 0x93, 0x93, 0x93, 0x84, 0x8a}));

    CCameraStreamGenerator model2(2);
    Store(Data({model2.spectrumItem(0, {}, 0)}));
    Drain(worker);
    ASSERT_EQ(decoder.cameraModel(), 2);
    sent.clear();
    decoder.reset();
    worker.SendStartCommands();
    EXPECT_EQ(Identifiers(Sent()), QList<int>({0x93, 0x86, 0x84, 0x8a}));
    EXPECT_EQ(Sent()[0].size(), 56);
}

TEST_F(SensorWorkerTest, NothingIsDecodedUntilASecondChunkArrives) {
    CSensorWorker worker(Links());
    EXPECT_EQ(worker.Step(), CSensorWorker::StepResult::Idle);  // nothing received yet
    ASSERT_TRUE(ring.store(CCameraStreamGenerator::StatusMessage(0, {0, 3, 8, 2})));
    EXPECT_EQ(worker.Step(), CSensorWorker::StepResult::Idle);
    EXPECT_EQ(decoder.frames().statusBlock[37], 0);
    ASSERT_TRUE(ring.store("\0", 1));
    while (worker.Step() == CSensorWorker::StepResult::Progress) {
    }
    EXPECT_EQ(decoder.frames().statusBlock[37], 3);
}

TEST_F(SensorWorkerTest, QueueThinningByModelAndRange) {
    // Items are numbered from 0; the worker counts them from 1, so "every fourth" is 3, 7, 11.
    const std::vector<int> all12 = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    const std::vector<int> all8 = {0, 1, 2, 3, 4, 5, 6, 7};
    struct Case {
        int model;
        int range;
        std::vector<int> spectra;    // items whose rows reach the spectrogram queue
        std::vector<int> waveforms;  // items whose blocks reach the waveform queue
    } cases[] = {
        {3, 0, all12, all8}, {3, 1, {3, 7, 11}, {3, 7}}, {3, 2, {}, {}}, {2, 1, all12, all8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " range " << c.range);
        CSpectrogramQueue rows;
        CWaveFormQueue blocks;
        RecordingPipeline recording;
        decoder.reset();
        ring.reset();
        settings.update([&](SensorSettings& s) { s.freq_range = c.range; });
        SensorWorkerLinks links = Links();
        CSensorWorker worker(SensorWorkerLinks{ring, decoder, rows, blocks, settings, host,
                                               recording, counter, run, alive, links.send,
                                               links.framingLost});
        CCameraStreamGenerator generator(c.model, c.range);
        QList<QByteArray> items;
        QList<QByteArray> waveformItems;
        for (int i = 0; i < 12; ++i) {
            // Each spectrum sits 10 dB above the one before it, so a queued row names its item.
            SpectrumShape shape;
            shape.backgroundDb = 10.0 * (i + 1);
            items << generator.spectrumItem(i, shape, i);
            if (i < 8) {
                waveformItems << generator.waveformItem(i, i);
                items << waveformItems.back();
            }
        }
        Store(Data(items));
        Drain(worker);
        EXPECT_EQ(recording.evaluations.load(), 12);
        EXPECT_EQ(recording.curves[1].load(), 12);

        std::vector<int> queuedSpectra;
        for (int k = 0; k < rows.Count(); ++k) {
            const float* row = rows.Row((rows.TailIndex() + k) % rows.SlotCount());
            queuedSpectra.push_back(static_cast<int>(std::lround(row[0] / 10.0)) - 1);
        }
        EXPECT_EQ(queuedSpectra, c.spectra);

        const int part = c.model == 2 ? 0 : 2;
        const int offset = c.model == 2 ? 20 : 48;
        std::vector<int> queuedWaveforms;
        for (int k = 0; k < blocks.Count(); ++k) {
            const int32_t* block = blocks.Part((blocks.TailIndex() + k) % blocks.SlotCount(), part);
            int found = -1;
            for (int i = 0; i < waveformItems.size(); ++i) {
                if (std::memcmp(block, waveformItems[i].constData() + offset, 8192) == 0) {
                    found = i;
                }
            }
            queuedWaveforms.push_back(found);
        }
        EXPECT_EQ(queuedWaveforms, c.waveforms);
    }
}

TEST_F(SensorWorkerTest, WaveformElementPartsByModel) {
    CSensorWorker worker(Links());
    CCameraStreamGenerator model2(2);
    CCameraStreamGenerator model3(3);
    const QByteArray item2 = model2.waveformItem(0, 1);
    const QByteArray item3 = model3.waveformItem(0, 2);
    Store(Data({item2, item3}));
    Drain(worker);
    ASSERT_EQ(waveform.Count(), 2);
    const int first = waveform.TailIndex();
    const int second = (first + 1) % waveform.SlotCount();
    EXPECT_EQ(std::memcmp(waveform.Part(first, 0), item2.constData() + 20, 8192), 0);
    EXPECT_EQ(std::memcmp(waveform.Part(first, 1), item2.constData() + 8212, 8192), 0);
    EXPECT_EQ(std::memcmp(waveform.Part(second, 2), item3.constData() + 48, 8192), 0);
}

TEST_F(SensorWorkerTest, NgLatchStopsWaveformsAndFeedsTheNgCurve) {
    pipeline.latched = true;
    pipeline.graphMode = 2;
    CSensorWorker worker(Links());
    CCameraStreamGenerator model3(3);
    Store(Data(
        {model3.waveformItem(0, 0), model3.spectrumItem(0, {}, 0), model3.spectrumItem(1, {}, 1)}));
    Drain(worker);
    EXPECT_EQ(waveform.Count(), 0);
    EXPECT_EQ(spectrogram.Count(), 2);
    EXPECT_EQ(pipeline.curves[1].load(), 2);
    EXPECT_EQ(pipeline.curves[3].load(), 2);
}

TEST_F(SensorWorkerTest, AcousticMapOverlayAndFrozenPicture) {
    // When the picture is frozen is the pipeline's rule (tested with it); the worker obeys it.
    struct Case {
        float acousticLevel;
        bool frozen;
        int overlays;
        int shown;
    } cases[] = {{30, false, 1, 1}, {50, false, 0, 1}, {30, true, 1, 0}, {50, true, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.acousticLevel << " " << c.frozen);
        RecordingPipeline recording;
        recording.frozen = c.frozen;
        settings.update(
            [&](SensorSettings& s) { s.acoustic_level = static_cast<int>(c.acousticLevel); });
        ring.reset();
        decoder.reset();
        SensorWorkerLinks links = Links();
        CSensorWorker worker(SensorWorkerLinks{ring, decoder, spectrogram, waveform, settings, host,
                                               recording, counter, run, alive, links.send,
                                               links.framingLost});
        CCameraStreamGenerator model2(2);
        Store(Data({model2.pictureItem(0, 0), model2.acousticMapItem(0, {3, 4, 45, 20})}));
        Drain(worker);
        EXPECT_EQ(recording.pictures.load(), 1);
        EXPECT_EQ(recording.overlays.load(), c.overlays);
        EXPECT_EQ(recording.shownPictures.load(), c.shown);
    }
}

TEST_F(SensorWorkerTest, FramingLossIsReportedWithOneLine) {
    LogCapture log;
    CSensorWorker worker(Links());
    Store(Message(camera::kIdData,
                  QByteArray(4, '\1') + CCameraStreamGenerator::ItemHead(15, 500, 0, 20)));
    ring.store("", 0);
    CSensorWorker::StepResult result;
    while ((result = worker.Step()) == CSensorWorker::StepResult::Progress) {
    }
    EXPECT_EQ(result, CSensorWorker::StepResult::FramingLost);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines()[0].startsWith("[Sensor #0] Framing lost: item 1 of 16843009"))
        << log.lines()[0].toStdString();
    EXPECT_EQ(lost.size(), 1);
}

TEST_F(SensorWorkerTest, GapAfterRingOverflowLosesTheFraming) {
    LogCapture log;
    CSensorWorker worker(Links());
    while (char* slot = ring.reserve()) {
        std::memset(slot, 0, 1);  // zeros read as 12-byte headers without payload
        ring.commit(1);
    }
    ring.store("lost", 4);
    ring.store("", 0);  // still full: the worker has not taken anything yet
    CSensorWorker::StepResult result;
    int steps = 0;
    while ((result = worker.Step()) == CSensorWorker::StepResult::Progress) {
        ++steps;
    }
    EXPECT_EQ(result, CSensorWorker::StepResult::Idle) << "the last stored chunk waits";
    ASSERT_TRUE(ring.store("next", 4));
    while ((result = worker.Step()) == CSensorWorker::StepResult::Progress) {
    }
    EXPECT_EQ(result, CSensorWorker::StepResult::FramingLost);
    EXPECT_TRUE(
        log.contains("[Sensor #0] Framing lost: chunks were dropped by the full receive "
                     "ring"));
}

TEST_F(SensorWorkerTest, ThreadedRunDecodesWhileTheProducerStores) {
    CCameraStreamGenerator model3(3);
    QList<QByteArray> second;
    for (int i = 0; i < 4; ++i) {
        second << model3.spectrumItem(i, {}, i) << model3.waveformItem(i, i);
    }
    second << model3.pictureItem(0, 0) << model3.acousticMapItem(0, {5, 5, 50, 30});
    const QByteArray oneSecond = Data(second);
    std::thread producer;
    {
        std::thread worker([this] {
            CSensorWorker sensorWorker(Links());
            sensorWorker.Run();
        });
        producer = std::thread([&] {
            for (int repeat = 0; repeat < 60; ++repeat) {
                StoreAsReceived(ring, oneSecond);
            }
            ring.store("", 0);
        });
        producer.join();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (pipeline.evaluations.load() < 240 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        run.exchange(0);
        worker.join();
    }
    EXPECT_EQ(alive.load(), 0);
    EXPECT_EQ(pipeline.evaluations.load(), 240);
    EXPECT_EQ(pipeline.shownPictures.load(), 60);
    EXPECT_EQ(spectrogram.Count(), 171);
    EXPECT_EQ(Sent().size(), 6);
}
