// Decode throughput of a model-3 camera stream fed from memory through the receive ring, the
// framing and the item decoding (no drawing), against a plain memcpy of the same bytes; the
// framing alone on a status message whose long payload is read again as headers, against the
// same headers as a plain stream; and the resident memory of a device that streamed from the
// simulator for 10 s.
#include "sensor/CameraProtocol.h"
#include "sensor/PhonoluxDevice.h"
#include "sensor/ReceiveRing.h"
#include "sensor/SensorHost.h"
#include "sensor/SensorWorker.h"
#include "tools/camera-sim/CameraStreamGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

class BenchHost : public SensorHost {
  public:
    std::atomic<int>& inspectionState() override { return m_state; }
    int audioShift() const override { return 0; }
    int fileSaveMode() const override { return 2; }
    int phonoluxVideoColor() const override { return 1; }
    bool sensorDebugFlag() const override { return false; }

  private:
    std::atomic<int> m_state{0};
};

// One second of the model-3 stream: 25 pictures, 25 maps, 100 spectra and 25 waveform items, in
// 100 data messages of 10 ms each.
const QByteArray& OneSecondOfModel3() {
    static const QByteArray stream = [] {
        CCameraStreamGenerator generator(3, 0);
        QByteArray bytes;
        for (int tick = 0; tick < 100; ++tick) {
            const uint64_t stamp = static_cast<uint64_t>(tick) * 10000;
            QList<QByteArray> items;
            if (tick % 4 == 0) {
                items << generator.pictureItem(stamp, tick / 4)
                      << generator.acousticMapItem(stamp, {40, 25, 50, 30});
            }
            items << generator.spectrumItem(stamp, {}, tick);
            if (tick % 4 == 0) {
                items << generator.waveformItem(stamp, tick / 4);
            }
            bytes += CCameraStreamGenerator::DataMessage(static_cast<uint8_t>(tick), items);
        }
        return bytes;
    }();
    return stream;
}

long ResidentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return 0;
}

void BM_DecodeModel3StreamThroughRing(benchmark::State& state) {
    const QByteArray& stream = OneSecondOfModel3();
    auto ring = std::make_unique<CReceiveRing>();
    auto decoder = std::make_unique<CStreamDecoder>();
    CSpectrogramQueue spectrogram;
    CWaveFormQueue waveform;
    CSensorSettingsStore settings;
    BenchHost host;
    SensorPipeline pipeline;
    std::atomic<uint32_t> counter{0};
    std::atomic<int> run{1};
    std::atomic<uint8_t> alive{1};
    ring->reset();
    decoder->reset();
    CSensorWorker worker(SensorWorkerLinks{*ring,
                                           *decoder,
                                           spectrogram,
                                           waveform,
                                           settings,
                                           host,
                                           pipeline,
                                           counter,
                                           run,
                                           alive,
                                           {},
                                           {}});
    for (auto _ : state) {
        for (qsizetype at = 0; at < stream.size(); at += CReceiveRing::kSlotBytes) {
            const int n =
                static_cast<int>(std::min<qsizetype>(CReceiveRing::kSlotBytes, stream.size() - at));
            ring->store(stream.constData() + at, n);
            while (worker.Step() == CSensorWorker::StepResult::Progress) {
            }
        }
    }
    ring->store("", 0);  // lets the last chunk be taken
    while (worker.Step() == CSensorWorker::StepResult::Progress) {
    }
    if (decoder->spectrumItemCount() != 100u * state.iterations()) {
        state.SkipWithError("items were lost");
    }
    state.SetBytesProcessed(static_cast<int64_t>(stream.size()) * state.iterations());
    // Seconds of camera stream decoded per second of wall time.
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["stream_MB_per_s"] = static_cast<double>(stream.size()) / 1e6;
}
BENCHMARK(BM_DecodeModel3StreamThroughRing)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_MemcpyModel3Stream(benchmark::State& state) {
    const QByteArray& stream = OneSecondOfModel3();
    std::vector<char> target(static_cast<size_t>(stream.size()));
    for (auto _ : state) {
        std::memcpy(target.data(), stream.constData(), target.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(stream.size()) * state.iterations());
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MemcpyModel3Stream)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Zero-length 8-byte headers filling `bytes`.
QByteArray EmptyHeaders(int bytes) {
    QByteArray headers;
    headers.reserve(bytes);
    for (int k = 0; k < bytes / camera::kShortHeaderBytes; ++k) {
        headers +=
            camera::EncodeCommand(static_cast<uint8_t>(0x30 + k % 16), static_cast<uint8_t>(k));
    }
    return headers;
}

// A status message with an N MiB payload: its 72-byte block, then 8-byte headers to the end,
// which the framing reads again one by one.
QByteArray StatusPayloadOfHeaders(int mebibytes) {
    const int payload = mebibytes * 1024 * 1024;
    QByteArray message(camera::kLongHeaderBytes, '\0');
    message[0] = static_cast<char>(camera::kIdStatus);
    std::memcpy(message.data() + camera::PayloadLengthOffset(camera::kLongHeaderBytes), &payload,
                4);
    message.append(camera::kStatusBlockBytes, '\0');
    message += EmptyHeaders(payload - camera::kStatusBlockBytes);
    return message;
}

struct HeaderCounter : StreamDecoderSink {
    void onHeader(uint8_t, uint8_t, uint32_t) override { ++headers; }
    int64_t headers = 0;
};

void DecodeFramingOnly(benchmark::State& state, const QByteArray& stream, int64_t headers) {
    CStreamDecoder decoder;
    HeaderCounter counter;
    for (auto _ : state) {
        decoder.reset();
        counter.headers = 0;
        if (!decoder.feed(stream.constData(), stream.size(), &counter) ||
            counter.headers != headers) {
            state.SkipWithError("headers were lost");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(stream.size()) * state.iterations());
    state.counters["moved_MB"] = static_cast<double>(decoder.movedBytes()) / 1e6;
}

void BM_StatusPayloadOfHeaders(benchmark::State& state) {
    const int mebibytes = static_cast<int>(state.range(0));
    const QByteArray stream = StatusPayloadOfHeaders(mebibytes);
    const int64_t headers = 1 + (mebibytes * 1024 * 1024 - camera::kStatusBlockBytes) / 8;
    DecodeFramingOnly(state, stream, headers);
}
BENCHMARK(BM_StatusPayloadOfHeaders)->Arg(1)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

// The same header bytes as a stream of their own, for comparison.
void BM_SameHeadersAsAPlainStream(benchmark::State& state) {
    const int mebibytes = static_cast<int>(state.range(0));
    const QByteArray stream = EmptyHeaders(mebibytes * 1024 * 1024 - camera::kStatusBlockBytes);
    DecodeFramingOnly(state, stream, stream.size() / 8);
}
BENCHMARK(BM_SameHeadersAsAPlainStream)->Arg(1)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

// The device connected to camera-sim (model 3, real rates) for 10 s on loopback.
void BM_ResidentMemoryAfter10sStreaming(benchmark::State& state) {
    for (auto _ : state) {
        const long before = ResidentKilobytes();
        QProcess sim;
        sim.start(QStringLiteral(CAMERA_SIM_PATH), {"--port", "0", "--model", "3"});
        sim.waitForStarted();
        QString output;
        int port = 0;
        static const QRegularExpression listening("127\\.0\\.0\\.1:(\\d+)");
        QElapsedTimer clock;
        clock.start();
        while (port == 0 && clock.elapsed() < 20000) {
            sim.waitForReadyRead(100);
            output += QString::fromUtf8(sim.readAllStandardOutput());
            const auto match = listening.match(output);
            if (match.hasMatch()) {
                port = match.captured(1).toInt();
            }
        }
        BenchHost host;
        auto device = std::make_unique<CPhonoluxDevice>(host);
        device->updateSettings([port](SensorSettings& s) {
            s.ip_addr = QStringLiteral("127.0.0.1");
            s.port = port;
        });
        device->Start();
        QEventLoop streaming;
        QTimer::singleShot(10000, &streaming, &QEventLoop::quit);
        streaming.exec();
        const long after = ResidentKilobytes();
        state.counters["spectra"] = device->decoder().spectrumItemCount();
        state.counters["rss_MB"] = after / 1024.0;
        state.counters["rss_growth_MB"] = (after - before) / 1024.0;
        device->Stop();
        sim.terminate();
        sim.waitForFinished();
    }
}
BENCHMARK(BM_ResidentMemoryAfter10sStreaming)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
