// camera-dump: decodes a recorded camera byte stream with the station's decoder and prints a
// line per message and per item.
#include "sensor/RunRecording.h"
#include "sensor/StreamDecoder.h"
#include "tools/camera-dump/StreamDumpSink.h"

#include <QByteArray>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void PrintHelp() {
    std::puts(
        "Usage: camera-dump [--model 2|3] [FILE]\n"
        "Decodes a recorded acoustic-camera byte stream (FILE, or standard input when FILE is\n"
        "missing or '-') and prints one line per message and per item: identifier, type,\n"
        "length, detected camera model, time stamp and a short summary.\n"
        "FILE may also be a run recording of the station: its run and chunks are printed first\n"
        "and its camera model is assumed.\n"
        "  --model N   camera model assumed until an item length tells (default 3)\n"
        "  -h, --help  this text\n"
        "Exit status: 0 decoded, 1 unreadable input, 2 framing lost, 3 damaged recording (what\n"
        "came before the damage is decoded).");
}

}  // namespace

int main(int argc, char** argv) {
    const char* path = nullptr;
    int model = CStreamDecoder::kInitialModel;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help")) {
            PrintHelp();
            return 0;
        }
        if (!std::strcmp(argv[i], "--model") && i + 1 < argc) {
            model = std::atoi(argv[++i]);
            continue;
        }
        path = argv[i];
    }
    std::FILE* input = stdin;
    if (path != nullptr && std::strcmp(path, "-") != 0) {
        input = std::fopen(path, "rb");
        if (input == nullptr) {
            std::fprintf(stderr, "camera-dump: cannot open %s\n", path);
            return 1;
        }
    }

    CStreamDecoder decoder;
    decoder.reset();
    decoder.setCameraModel(model);
    CStreamDumpSink sink(decoder, stdout);
    // Decodes what was appended; false when the framing is lost.
    const auto drain = [&] {
        for (;;) {
            const CStreamDecoder::Step step = decoder.decodeStep(&sink);
            if (step == CStreamDecoder::Step::FramingLost) {
                std::printf("framing lost: %s\n", decoder.lostReason().toUtf8().constData());
                return false;
            }
            if (step != CStreamDecoder::Step::Progress) {
                return true;
            }
        }
    };
    std::vector<char> chunk(5120);
    size_t n = std::fread(chunk.data(), 1, RunRecording::kMagicSize, input);
    if (n == static_cast<size_t>(RunRecording::kMagicSize) &&
        std::memcmp(chunk.data(), RunRecording::kMagic, n) == 0) {
        // A recording is read whole: its chunks are handed to the decoder as they arrived.
        QByteArray file(chunk.data(), static_cast<qsizetype>(n));
        while ((n = std::fread(chunk.data(), 1, chunk.size(), input)) > 0) {
            file.append(chunk.data(), static_cast<qsizetype>(n));
        }
        RunRecordingContents recording = ReadRunRecording(file);
        const RunRecordingHeader& run = recording.header;
        const double seconds =
            recording.chunks.empty() ? 0.0 : recording.chunks.back().arrival_us / 1e6;
        std::printf(
            "recording: product %s, sensor %s, barcode %s, stamp %s, model %d, %zu chunks, "
            "%lld bytes, %.3f s\n",
            run.productName.toUtf8().constData(), run.sensorName.toUtf8().constData(),
            run.barcode.toUtf8().constData(), run.runStamp.toUtf8().constData(), run.cameraModel,
            recording.chunks.size(), static_cast<long long>(recording.totalBytes()), seconds);
        decoder.setCameraModel(run.cameraModel);
        if (!recording.plainCapture && !recording.chunks.empty()) {
            // The run began inside a camera message; its tail cannot be decoded.
            const qint64 skipped = SkipToFirstMessage(recording);
            if (skipped < 0) {
                std::printf("framing lost: no camera message starts in the recording\n");
                return 2;
            }
            if (skipped > 0) {
                std::printf("skipped: %lld bytes before the first message\n",
                            static_cast<long long>(skipped));
            }
        }
        for (const RunRecordingChunk& part : recording.chunks) {
            // In pieces of a read, as the decoder holds a bounded number of bytes.
            for (qsizetype offset = 0; offset < part.bytes.size();
                 offset += static_cast<qsizetype>(chunk.size())) {
                const qsizetype piece =
                    std::min<qsizetype>(part.bytes.size() - offset, chunk.size());
                decoder.append(part.bytes.constData() + offset, static_cast<int>(piece));
                if (!drain()) {
                    return 2;
                }
            }
        }
        std::printf("end: %ld messages, %ld items, %d bytes undecoded, model %d\n", sink.messages(),
                    sink.items(), decoder.fillCount(), decoder.cameraModel());
        if (!recording.ok()) {
            std::fprintf(stderr, "camera-dump: damaged recording at byte %lld: %s\n",
                         static_cast<long long>(recording.errorOffset),
                         recording.error.toUtf8().constData());
            return 3;
        }
        return 0;
    }
    decoder.append(chunk.data(), static_cast<int>(n));
    for (;;) {
        if (!drain()) {
            return 2;
        }
        n = std::fread(chunk.data(), 1, chunk.size(), input);
        if (n == 0) {
            break;
        }
        decoder.append(chunk.data(), static_cast<int>(n));
    }
    std::printf("end: %ld messages, %ld items, %d bytes undecoded, model %d\n", sink.messages(),
                sink.items(), decoder.fillCount(), decoder.cameraModel());
    return 0;
}
