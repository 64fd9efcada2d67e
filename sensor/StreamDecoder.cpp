#include "sensor/StreamDecoder.h"

#include "sensor/CameraProtocol.h"
#include "sensor/ReceiveRing.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <new>

using namespace camera;

namespace {
// The most unread bytes held: a chunk is appended while fewer bytes than the (at most
// buffer-sized) expected length are held, so the last append may reach one ring slot past it.
constexpr int32_t kHeldBytes = CStreamDecoder::kAssemblyBytes + CReceiveRing::kSlotBytes;
// Consumed bytes stay in front of the unread ones until they are at least as many, so the end of
// the filled region stays below twice the bytes held. Untouched pages cost nothing.
constexpr size_t kMappedBytes = 2 * static_cast<size_t>(kHeldBytes);

bool IsModel2StatusShift(const std::array<uint8_t, SensorFrames::kStatusBytes>& status) {
    return status[36] == 0 && status[37] == 3 && status[38] == 8 && status[39] == 2;
}

int32_t ShiftSample(int32_t sample, int shift) {
    if (shift > 0) {
        return static_cast<int32_t>(static_cast<uint32_t>(sample) << std::min(shift, 31));
    }
    if (shift < 0) {
        // Compared before negating: -shift overflows for the most negative int.
        return sample >> (shift < -31 ? 31 : -shift);
    }
    return sample;
}
}  // namespace

CStreamDecoder::CStreamDecoder() {
    void* memory = mmap(nullptr, kMappedBytes, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED) {
        throw std::bad_alloc();
    }
    m_buffer = static_cast<char*>(memory);
}

CStreamDecoder::~CStreamDecoder() {
    munmap(m_buffer, kMappedBytes);
}

void CStreamDecoder::reset() {
    // Gives the touched pages back instead of writing zeros: they read as zeros and cost no
    // memory. Only those, so that a reset after small messages stays cheap.
    if (m_touchedEnd > 0) {
        madvise(m_buffer, static_cast<size_t>(m_touchedEnd), MADV_DONTNEED);
    }
    m_read = 0;
    m_end = 0;
    m_touchedEnd = 0;
    m_movedBytes = 0;
    m_headerExpected = true;
    m_expected = kShortHeaderBytes;
    m_lastIdentifier = 0;
    m_spectrumCount = 0;
    m_waveformCount = 0;
    m_lostReason.clear();
}

void CStreamDecoder::append(const char* data, int length) {
    const int copied = std::clamp(length, 0, kHeldBytes - unread());
    // Each move is paid for by at least as many consumed bytes, which it drops: all moves
    // together stay below the bytes received. Without a move, m_read < unread() <= kHeldBytes
    // keeps the new end inside the mapping.
    if (m_read > 0 && m_read >= unread()) {
        compact();
    }
    std::memcpy(m_buffer + m_end, data, static_cast<size_t>(copied));
    m_end += copied;
    m_touchedEnd = std::max(m_touchedEnd, m_end);
}

void CStreamDecoder::compact() {
    const int32_t bytes = unread();
    std::memmove(m_buffer, front(), static_cast<size_t>(bytes));
    m_movedBytes += static_cast<uint64_t>(bytes);
    m_read = 0;
    m_end = bytes;
}

CStreamDecoder::Step CStreamDecoder::lose(const QString& reason) {
    m_lostReason = reason;
    return Step::FramingLost;
}

void CStreamDecoder::consume(int bytes) {
    m_read += std::min(bytes, unread());
}

CStreamDecoder::Step CStreamDecoder::decodeStep(StreamDecoderSink* sink) {
    if (needsData()) {
        return Step::NeedData;
    }
    return m_headerExpected ? decodeHeader(sink) : decodePayload(sink);
}

CStreamDecoder::Step CStreamDecoder::decodeHeader(StreamDecoderSink* sink) {
    const char* header = front();
    const uint8_t identifier = static_cast<uint8_t>(header[0]);
    const int headerBytes = HeaderBytesFor(identifier);
    if (unread() < headerBytes) {
        m_expected = headerBytes;
        return Step::NeedData;
    }
    const uint8_t sequence = static_cast<uint8_t>(header[1]);
    const uint32_t length = Load<uint32_t>(header + PayloadLengthOffset(headerBytes));
    if (length > static_cast<uint32_t>(kAssemblyBytes)) {
        return lose(QStringLiteral("payload of %1 bytes (identifier 0x%2) exceeds the %3-byte "
                                   "assembly buffer")
                        .arg(length)
                        .arg(identifier, 2, 16, QLatin1Char('0'))
                        .arg(kAssemblyBytes));
    }
    consume(headerBytes);
    m_lastIdentifier = identifier;
    if (sink) {
        sink->onHeader(identifier, sequence, length);
    }
    if (length == 0) {
        m_expected = kShortHeaderBytes;
    } else {
        m_headerExpected = false;
        m_expected = static_cast<int32_t>(length);
    }
    return Step::Progress;
}

CStreamDecoder::Step CStreamDecoder::decodePayload(StreamDecoderSink* sink) {
    const uint32_t length = static_cast<uint32_t>(m_expected);
    uint32_t consumed = length;
    if (m_lastIdentifier == kIdData) {
        if (!decodeDataMessage(front(), length, sink, &consumed)) {
            return Step::FramingLost;
        }
    } else if (m_lastIdentifier == kIdStatus) {
        // A status block is 72 bytes; a shorter payload is taken as far as it goes.
        consumed = std::min<uint32_t>(length, kStatusBlockBytes);
        std::memcpy(m_frames.statusBlock.data(), front(), consumed);
        if (sink) {
            sink->onStatus();
        }
    } else if (sink) {
        sink->onSkippedPayload(m_lastIdentifier, length);
    }
    consume(static_cast<int>(consumed));
    m_headerExpected = true;
    m_expected = kShortHeaderBytes;
    return Step::Progress;
}

bool CStreamDecoder::decodeDataMessage(const char* payload, uint32_t length,
                                       StreamDecoderSink* sink, uint32_t* consumed) {
    if (length < 4) {
        m_lostReason = QStringLiteral("data message of %1 bytes has no item count").arg(length);
        return false;
    }
    const uint32_t count = Load<uint32_t>(payload);
    uint64_t offset = 4;
    for (uint32_t index = 0; index < count; ++index) {
        if (offset + kItemHeaderBytes > length) {
            m_lostReason = QStringLiteral("item %1 of %2 starts past the %3-byte data message")
                               .arg(index + 1)
                               .arg(count)
                               .arg(length);
            return false;
        }
        const char* item = payload + offset;
        const uint16_t type = Load<uint16_t>(item);
        const uint32_t itemLength = Load<uint32_t>(item + 4);
        const uint64_t size =
            type == kItemThermal ? kThermalItemBytes : uint64_t{kItemHeaderBytes} + itemLength;
        if (offset + size > length) {
            m_lostReason = QStringLiteral(
                               "item %1 of %2 (type %3, %4 bytes) runs past the %5-byte data "
                               "message")
                               .arg(index + 1)
                               .arg(count)
                               .arg(type)
                               .arg(size)
                               .arg(length);
            return false;
        }
        decodeItem(item, static_cast<uint32_t>(size), type, itemLength, sink);
        offset += size;
    }
    *consumed = static_cast<uint32_t>(offset);
    return true;
}

void CStreamDecoder::decodeItem(const char* item, uint32_t size, uint16_t type, uint32_t length,
                                StreamDecoderSink* sink) {
    ItemInfo info;
    info.type = type;
    info.length = length;
    info.timeStamp = size >= 16 ? Load<uint64_t>(item + 8) : 0;
    const int detected = ModelFromItemLength(type, length);
    if (detected != 0) {
        setCameraModel(detected);
    }
    bool decoded = false;
    switch (type) {
        case kItemPicture:
            decoded = decodePicture(item, size);
            if (decoded) {
                m_frames.pictureStamp = info.timeStamp;
            }
            info.kind = ItemKind::Picture;
            break;
        case kItemAcousticMap:
            decoded = decodeAcousticMap(item, size);
            if (decoded) {
                m_frames.mapStamp = info.timeStamp;
            }
            info.kind = ItemKind::AcousticMap;
            break;
        case kItemSpectrum:
            ++m_spectrumCount;
            decoded = decodeSpectrum(item, size, length);
            if (decoded) {
                m_frames.spectrumStamp = info.timeStamp;
            }
            info.kind = ItemKind::Spectrum;
            break;
        case kItemWaveform:
            ++m_waveformCount;
            decoded = decodeWaveform(item, size);
            if (decoded) {
                m_frames.waveformStamp = info.timeStamp;
            }
            info.kind = ItemKind::Waveform;
            break;
        case kItemThermal:
            decoded = decodeThermal(item, size);
            if (decoded) {
                m_frames.thermalStamp = info.timeStamp;
            }
            info.kind = ItemKind::Thermal;
            break;
        default:
            break;
    }
    if (!decoded) {
        // Unknown types and items too short for the model's layout are passed over.
        info.kind = ItemKind::Skipped;
    }
    info.model = cameraModel();
    if (sink) {
        sink->onItem(info);
    }
}

bool CStreamDecoder::decodePicture(const char* item, uint32_t size) {
    const PictureGeometry geometry = PictureGeometryOf(cameraModel());
    const uint32_t pixels = static_cast<uint32_t>(geometry.width * geometry.height);
    if (size < geometry.offset + pixels) {
        return false;
    }
    std::memcpy(m_frames.rawPicture.data(), item + geometry.offset, pixels);
    m_frames.pictureWidth = geometry.width;
    m_frames.pictureHeight = geometry.height;
    return true;
}

bool CStreamDecoder::decodeAcousticMap(const char* item, uint32_t size) {
    const int model = cameraModel();
    const MapGeometry geometry = MapGeometryOf(model);
    const int cells = geometry.columns * geometry.rows;
    if (size < kMapOffset + static_cast<uint32_t>(cells) * 4) {
        return false;
    }
    const char* values = item + kMapOffset;
    float maximum = 0.0f;
    for (int i = 0; i < cells; ++i) {
        const float level = model == kModel320Grey
                                ? Load<float>(values + 4 * i)
                                : AcousticLevelFromRaw(Load<uint32_t>(values + 4 * i));
        m_frames.acousticMap[i] = level;
        if (level > maximum) {
            maximum = level;
        }
    }
    m_frames.mapColumns = geometry.columns;
    m_frames.mapRows = geometry.rows;
    m_frames.maxAcousticLevel = maximum;
    return true;
}

bool CStreamDecoder::decodeSpectrum(const char* item, uint32_t size, uint32_t length) {
    const int model = cameraModel();
    if (model == kModel320Grey) {
        const int offset =
            length == kSpectrumLength2Long ? kSpectrumOffset2Long : kSpectrumOffset2Short;
        if (size < offset + uint32_t{kSpectrumBins} * 4) {
            return false;
        }
        std::memcpy(m_frames.spectrum.data(), item + offset, kSpectrumBins * 4);
        return true;
    }
    if (size < kSpectrumOffset3 + uint32_t{kSpectrumBins} * 8) {
        return false;
    }
    const char* values = item + kSpectrumOffset3;
    for (int i = 0; i < kSpectrumBins; ++i) {
        m_frames.spectrum[i] = SpectrumLevelFromRaw(Load<uint64_t>(values + 8 * i));
    }
    return true;
}

bool CStreamDecoder::decodeWaveform(const char* item, uint32_t size) {
    const int model = cameraModel();
    const uint32_t blockBytes = kWaveformSamples * 4;
    if (model == kModel320Grey) {
        if (size < kWaveformOffset2Second + blockBytes) {
            return false;
        }
        std::memcpy(m_frames.waveform[0].data(), item + kWaveformOffset2First, blockBytes);
        std::memcpy(m_frames.waveform[1].data(), item + kWaveformOffset2Second, blockBytes);
        m_frames.waveformBlocks = 2;
        if (IsModel2StatusShift(m_frames.statusBlock)) {
            for (auto& block : m_frames.waveform) {
                for (int32_t& sample : block) {
                    sample = ShiftSample(sample, 5);
                }
            }
        }
    } else {
        if (size < kWaveformOffset3 + blockBytes) {
            return false;
        }
        std::memcpy(m_frames.waveform[0].data(), item + kWaveformOffset3, blockBytes);
        m_frames.waveformBlocks = 1;
    }
    const int shift = m_audioShift ? m_audioShift() : 0;
    if (shift != 0) {
        for (int block = 0; block < m_frames.waveformBlocks; ++block) {
            for (int32_t& sample : m_frames.waveform[block]) {
                sample = ShiftSample(sample, shift);
            }
        }
    }
    return true;
}

bool CStreamDecoder::decodeThermal(const char* item, uint32_t size) {
    if (size < kThermalOffset + uint32_t{kThermalValues} * 2) {
        return false;
    }
    std::memcpy(m_frames.thermal.data(), item + kThermalOffset, kThermalValues * 2);
    return true;
}

bool CStreamDecoder::feed(const char* data, int64_t length, StreamDecoderSink* sink,
                          int chunkBytes) {
    chunkBytes = std::clamp(chunkBytes, 1, static_cast<int>(CReceiveRing::kSlotBytes));
    int64_t position = 0;
    for (;;) {
        const Step step = decodeStep(sink);
        if (step == Step::FramingLost) {
            return false;
        }
        if (step == Step::Progress) {
            continue;
        }
        if (position >= length) {
            return true;
        }
        const int chunk = static_cast<int>(std::min<int64_t>(chunkBytes, length - position));
        append(data + position, chunk);
        position += chunk;
    }
}
