#include "tools/camera-dump/StreamDumpSink.h"

#include "sensor/CameraProtocol.h"
#include "sensor/StreamDecoder.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>

namespace {

const char* MessageName(uint8_t identifier) {
    switch (identifier) {
        case camera::kIdData:
            return "data";
        case camera::kIdStatus:
            return "status";
        default:
            return "other";
    }
}

const char* ItemName(ItemKind kind) {
    switch (kind) {
        case ItemKind::Picture:
            return "picture";
        case ItemKind::AcousticMap:
            return "acoustic-map";
        case ItemKind::Spectrum:
            return "spectrum";
        case ItemKind::Waveform:
            return "waveform";
        case ItemKind::Thermal:
            return "thermal";
        case ItemKind::Skipped:
            return "skipped";
    }
    return "skipped";
}

}  // namespace

CStreamDumpSink::CStreamDumpSink(const CStreamDecoder& decoder, std::FILE* out)
    : m_decoder(decoder), m_out(out) {}

void CStreamDumpSink::onHeader(uint8_t identifier, uint8_t sequence, uint32_t payloadLength) {
    ++m_messages;
    std::fprintf(m_out, "message id=0x%02x type=%s seq=%u length=%u header=%d\n", identifier,
                 MessageName(identifier), sequence, payloadLength,
                 camera::HeaderBytesFor(identifier));
}

void CStreamDumpSink::onItem(const ItemInfo& item) {
    ++m_items;
    const SensorFrames& frames = m_decoder.frames();
    std::fprintf(m_out, "  item type=%u (%s) length=%u model=%d stamp=%" PRIu64, item.type,
                 ItemName(item.kind), item.length, item.model, item.timeStamp);
    switch (item.kind) {
        case ItemKind::Picture: {
            const int pixels = frames.pictureWidth * frames.pictureHeight;
            double sum = 0.0;
            for (int i = 0; i < pixels; ++i) {
                sum += frames.rawPicture[i];
            }
            std::fprintf(m_out, " %dx%d mean=%.1f", frames.pictureWidth, frames.pictureHeight,
                         pixels > 0 ? sum / pixels : 0.0);
            break;
        }
        case ItemKind::AcousticMap: {
            const int cells = frames.mapColumns * frames.mapRows;
            const auto peak =
                std::max_element(frames.acousticMap.begin(), frames.acousticMap.begin() + cells);
            const int cell = static_cast<int>(peak - frames.acousticMap.begin());
            std::fprintf(m_out, " %dx%d max=%.2f dB at cell (%d,%d)", frames.mapColumns,
                         frames.mapRows, frames.maxAcousticLevel,
                         frames.mapColumns > 0 ? cell % frames.mapColumns : 0,
                         frames.mapColumns > 0 ? cell / frames.mapColumns : 0);
            break;
        }
        case ItemKind::Spectrum: {
            const auto peak = std::max_element(frames.spectrum.begin(), frames.spectrum.end());
            std::fprintf(m_out, " count=%u max=%.2f dB at bin %d", m_decoder.spectrumItemCount(),
                         *peak, static_cast<int>(peak - frames.spectrum.begin()));
            break;
        }
        case ItemKind::Waveform: {
            int64_t peak = 0;
            for (int block = 0; block < frames.waveformBlocks; ++block) {
                for (int32_t sample : frames.waveform[block]) {
                    peak = std::max<int64_t>(peak, std::abs(int64_t{sample}));
                }
            }
            std::fprintf(m_out, " count=%u blocks=%d peak=%" PRId64, m_decoder.waveformItemCount(),
                         frames.waveformBlocks, peak);
            break;
        }
        case ItemKind::Thermal: {
            int lo = 0x3FFF;
            int hi = 0;
            for (uint16_t value : frames.thermal) {
                lo = std::min(lo, value & 0x3FFF);
                hi = std::max(hi, value & 0x3FFF);
            }
            std::fprintf(m_out, " min=%.2f C max=%.2f C", (lo - 11000) / 100.0,
                         (hi - 11000) / 100.0);
            break;
        }
        case ItemKind::Skipped:
            break;
    }
    std::fputc('\n', m_out);
}

void CStreamDumpSink::onStatus() {
    const auto& status = m_decoder.frames().statusBlock;
    std::fprintf(m_out, "  status bytes36-39=%02x %02x %02x %02x\n", status[36], status[37],
                 status[38], status[39]);
}

void CStreamDumpSink::onSkippedPayload(uint8_t identifier, uint32_t payloadLength) {
    std::fprintf(m_out, "  skipped %u payload bytes\n", payloadLength);
}
