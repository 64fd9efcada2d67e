// camera-dump: decodes a recorded camera byte stream with the station's decoder and prints a
// line per message and per item.
#include "sensor/StreamDecoder.h"
#include "tools/camera-dump/StreamDumpSink.h"

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
        "  --model N   camera model assumed until an item length tells (default 3)\n"
        "  -h, --help  this text\n"
        "Exit status: 0 decoded, 1 unreadable input, 2 framing lost.");
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
    std::vector<char> chunk(5120);
    for (;;) {
        const CStreamDecoder::Step step = decoder.decodeStep(&sink);
        if (step == CStreamDecoder::Step::FramingLost) {
            std::printf("framing lost: %s\n", decoder.lostReason().toUtf8().constData());
            return 2;
        }
        if (step == CStreamDecoder::Step::Progress) {
            continue;
        }
        const size_t n = std::fread(chunk.data(), 1, chunk.size(), input);
        if (n == 0) {
            break;
        }
        decoder.append(chunk.data(), static_cast<int>(n));
    }
    std::printf("end: %ld messages, %ld items, %d bytes undecoded, model %d\n", sink.messages(),
                sink.items(), decoder.fillCount(), decoder.cameraModel());
    return 0;
}
