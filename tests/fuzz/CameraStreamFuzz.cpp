// Camera stream bytes through the decoder's framing and the item decoding of both models.
//
// Input: byte 0 picks the starting model (bit 0) and the chunk size the bytes arrive in
// (bits 1-3); byte 1 picks the audio shift in [-31, 31]; the rest is the stream.

#include "sensor/StreamDecoder.h"
#include "tests/fuzz/FuzzChecks.h"

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>

namespace {

// From single bytes (every header split) up to a whole ring slot.
constexpr std::array<int, 8> kChunkBytes = {1, 3, 7, 12, 100, 1460, 5120, 1 << 20};

using fuzz::Check;
using fuzz::Keep;

// Reads everything the decoder says it wrote, so that a size or geometry beyond the frames
// shows up as an out-of-bounds read.
class TouchingSink : public StreamDecoderSink {
  public:
    explicit TouchingSink(const CStreamDecoder& decoder) : m_decoder(decoder) {}

    void onHeader(uint8_t identifier, uint8_t sequence, uint32_t payloadLength) override {
        Check(payloadLength <= static_cast<uint32_t>(CStreamDecoder::kAssemblyBytes));
        Keep(identifier + sequence + payloadLength);
    }

    void onItem(const ItemInfo& item) override {
        const SensorFrames& frames = m_decoder.frames();
        Check(item.model == 2 || item.model == 3);
        uint64_t sum = item.type + item.length + item.timeStamp;
        switch (item.kind) {
            case ItemKind::Picture: {
                const size_t pixels = static_cast<size_t>(frames.pictureWidth) *
                                      static_cast<size_t>(frames.pictureHeight);
                Check(pixels > 0 && pixels <= frames.rawPicture.size());
                // First and last pixel of every row: the whole extent without reading 1 MB.
                for (int row = 0; row < frames.pictureHeight; ++row) {
                    const uint8_t* line =
                        frames.rawPicture.data() + static_cast<size_t>(row) * frames.pictureWidth;
                    sum += line[0] + line[frames.pictureWidth - 1];
                }
                break;
            }
            case ItemKind::AcousticMap: {
                const int cells = frames.mapColumns * frames.mapRows;
                Check(cells > 0 && cells <= SensorFrames::kMapCells);
                for (int i = 0; i < cells; ++i) {
                    sum += static_cast<uint64_t>(frames.acousticMap[i] > 0.0f);
                }
                sum += static_cast<uint64_t>(frames.maxAcousticLevel >= 0.0f);
                break;
            }
            case ItemKind::Spectrum:
                for (float level : frames.spectrum) {
                    sum += static_cast<uint64_t>(level > 0.0f);
                }
                break;
            case ItemKind::Waveform:
                Check(frames.waveformBlocks == 1 || frames.waveformBlocks == 2);
                for (int block = 0; block < frames.waveformBlocks; ++block) {
                    for (int32_t sample : frames.waveform[block]) {
                        sum += static_cast<uint32_t>(sample);
                    }
                }
                break;
            case ItemKind::Thermal:
                for (uint16_t value : frames.thermal) {
                    sum += value;
                }
                break;
            case ItemKind::Skipped:
                break;
        }
        Keep(sum);
    }

    void onStatus() override {
        for (uint8_t byte : m_decoder.frames().statusBlock) {
            Keep(byte);
        }
    }

    void onSkippedPayload(uint8_t identifier, uint32_t payloadLength) override {
        Keep(identifier + payloadLength);
    }

  private:
    const CStreamDecoder& m_decoder;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One decoder for the whole run: it maps a 48 MB assembly buffer.
    static CStreamDecoder* const decoder = new CStreamDecoder();
    static int audioShift = 0;
    static const bool wired = [] {
        decoder->setAudioShiftSource([] { return audioShift; });
        return true;
    }();
    (void)wired;

    if (size < 2) {
        return 0;
    }
    const int model = (data[0] & 1) != 0 ? 3 : 2;
    const int chunk = kChunkBytes[(data[0] >> 1) & 7];
    audioShift = static_cast<int>(data[1] % 63) - 31;

    decoder->reset();
    decoder->setCameraModel(model);
    // The status block survives reset() and steers the model-2 waveform; clear it so that every
    // input decodes the same way whatever ran before it.
    decoder->frames().statusBlock.fill(0);

    TouchingSink sink(*decoder);
    const char* stream = reinterpret_cast<const char*>(data + 2);
    const bool followed = decoder->feed(stream, static_cast<int64_t>(size - 2), &sink, chunk);

    Check(decoder->fillCount() >= 0);
    Check(decoder->expectedLength() >= 0);
    Check(decoder->cameraModel() == 2 || decoder->cameraModel() == 3);
    if (followed) {
        Check(decoder->lostReason().isEmpty());
        // Everything fed was either decoded or is waiting for the rest of its unit.
        Check(decoder->fillCount() < decoder->expectedLength());
    } else {
        Check(!decoder->lostReason().isEmpty());
        Keep(static_cast<uint64_t>(decoder->lostReason().size()));
    }
    return 0;
}
