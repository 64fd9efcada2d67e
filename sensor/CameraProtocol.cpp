#include "sensor/CameraProtocol.h"

#include <cmath>

namespace camera {

namespace {
constexpr double kAcousticRawScale = 1.915761363636364e-08;
constexpr double kAcousticReference = 2e-05;
constexpr double kSpectrumRawScale = 2.312922197274e-16;
constexpr double kSpectrumReference = 4e-10;

constexpr uint32_t kKeyDistance = 0x00070002;
constexpr uint32_t kKeyFrequencies = 0x00020003;
constexpr uint32_t kKeyPictureSize = 0x02000004;
constexpr uint32_t kPictureSizeValue = 0x00F00140;  // 320 and 240 as two 16-bit halves
constexpr uint32_t kKeyParameter7 = 0x00070007;
constexpr uint32_t kKeyParameter6 = 0x00070006;
constexpr uint32_t kKeyBrightness = 0x00070005;
constexpr uint32_t kKeyGain = 0x00040020;
constexpr int64_t kGainValue = 79;
}  // namespace

PictureGeometry PictureGeometryOf(int model) {
    if (model == kModel320Grey) {
        return {320, 240, kPictureOffset2};
    }
    return {1280, 800, kPictureOffset3};
}

MapGeometry MapGeometryOf(int model) {
    if (model == kModel320Grey) {
        return {64, 48};
    }
    return {80, 50};
}

int HeaderBytesFor(uint8_t identifier) {
    switch (identifier) {
        case 0:
        case 4:
        case 6:
        case 7:
        case 9:
        case 10:
        case 18:
        case 19:
            return kLongHeaderBytes;
        default:
            return kShortHeaderBytes;
    }
}

int ModelFromItemLength(uint16_t type, uint32_t length) {
    switch (type) {
        case kItemPicture:
            return length == kPictureLength2 ? 2 : length == kPictureLength3 ? 3 : 0;
        case kItemAcousticMap:
            return length == kMapLength2 ? 2 : length == kMapLength3 ? 3 : 0;
        case kItemSpectrum:
            if (length == kSpectrumLength2Short || length == kSpectrumLength2Long) {
                return 2;
            }
            return length == kSpectrumLength3 ? 3 : 0;
        case kItemWaveform:
            return length == kWaveformLength2 ? 2 : length == kWaveformLength3 ? 3 : 0;
        default:
            return 0;
    }
}

qsizetype FindMessageStart(const char* data, qsizetype size) {
    constexpr qsizetype kDataHead = kShortHeaderBytes + 4 + kItemHeaderBytes;
    constexpr qsizetype kStatusMessage = kLongHeaderBytes + kStatusBlockBytes;
    constexpr uint32_t kMaxItems = 64;
    constexpr uint32_t kMaxPayload = 50331648;  // the decoder's assembly buffer
    for (qsizetype at = 0; at + kShortHeaderBytes <= size; ++at) {
        const char* header = data + at;
        const uint8_t identifier = static_cast<uint8_t>(header[0]);
        if (identifier == kIdStatus && at + kLongHeaderBytes <= size) {
            const uint32_t payload = Load<uint32_t>(header + PayloadLengthOffset(kLongHeaderBytes));
            if (payload != kStatusBlockBytes) {
                continue;
            }
            if (at + kStatusMessage >= size) {
                return at;
            }
            const uint8_t next = static_cast<uint8_t>(data[at + kStatusMessage]);
            if (next == kIdData || next == kIdStatus) {
                return at;
            }
            continue;
        }
        if (identifier != kIdData || at + kDataHead > size) {
            continue;
        }
        const uint32_t payload = Load<uint32_t>(header + PayloadLengthOffset(kShortHeaderBytes));
        const uint32_t count = Load<uint32_t>(header + kShortHeaderBytes);
        if (payload < 4 + kItemHeaderBytes || payload > kMaxPayload || count == 0 ||
            count > kMaxItems) {
            continue;
        }
        const uint16_t type = Load<uint16_t>(header + kShortHeaderBytes + 4);
        const uint32_t length = Load<uint32_t>(header + kShortHeaderBytes + 4 + 4);
        const uint64_t itemBytes =
            type == kItemThermal ? kThermalItemBytes : uint64_t{kItemHeaderBytes} + length;
        const bool known = type == kItemThermal || ModelFromItemLength(type, length) != 0;
        if (known && itemBytes <= payload - 4) {
            return at;
        }
    }
    return -1;
}

float AcousticLevelFromRaw(uint32_t raw) {
    return static_cast<float>(20.0 * std::log10(raw * kAcousticRawScale / kAcousticReference));
}

float SpectrumLevelFromRaw(uint64_t raw) {
    return static_cast<float>(
        10.0 * std::log10(static_cast<double>(raw) * kSpectrumRawScale / kSpectrumReference));
}

uint32_t AcousticRawFromLevel(double levelDb) {
    return static_cast<uint32_t>(
        std::llround(std::pow(10.0, levelDb / 20.0) * kAcousticReference / kAcousticRawScale));
}

uint64_t SpectrumRawFromLevel(double levelDb) {
    return static_cast<uint64_t>(
        std::llround(std::pow(10.0, levelDb / 10.0) * kSpectrumReference / kSpectrumRawScale));
}

double BinWidthHz(int model, int range) {
    if (model == kModel320Grey) {
        return range == 0 ? 24.41406 : range == 1 ? 97.65625 : 0.0;
    }
    if (model == kModel1280Mosaic) {
        return range == 0 ? 23.84186 : range == 1 ? 95.36743 : 0.0;
    }
    return 0.0;
}

int32_t MeasureModeFor(int model, int range) {
    if (model == kModel320Grey) {
        return range == 0 ? 1 : range == 1 ? 4 : 0;
    }
    if (model == kModel1280Mosaic) {
        return range == 0 ? 2 : range == 1 ? 5 : 0;
    }
    return 0;
}

QByteArray EncodeCommand(uint8_t identifier, uint8_t sequence, const QByteArray& payload) {
    QByteArray bytes;
    bytes.reserve(kShortHeaderBytes + payload.size());
    bytes.append(static_cast<char>(identifier));
    bytes.append(static_cast<char>(sequence));
    bytes.append(2, '\0');
    Append<uint32_t>(bytes, static_cast<uint32_t>(payload.size()));
    bytes.append(payload);
    return bytes;
}

QByteArray StartParametersPayload(int distance, int minimumHz, int maximumHz, int parameter7,
                                  int parameter6) {
    QByteArray bytes;
    Append<uint32_t>(bytes, 5);
    Append<uint32_t>(bytes, kKeyDistance);
    Append<int32_t>(bytes, distance);
    Append<uint32_t>(bytes, kKeyFrequencies);
    Append<int32_t>(bytes, minimumHz);
    Append<int32_t>(bytes, maximumHz);
    Append<uint32_t>(bytes, kKeyPictureSize);
    Append<uint32_t>(bytes, kPictureSizeValue);
    Append<uint32_t>(bytes, kKeyParameter7);
    Append<int32_t>(bytes, parameter7);
    Append<uint32_t>(bytes, kKeyParameter6);
    Append<int32_t>(bytes, parameter6);
    return bytes;
}

QByteArray MeasuringParametersPayload(int distance, int minimumHz, int maximumHz) {
    QByteArray bytes;
    Append<uint32_t>(bytes, 2);
    Append<uint32_t>(bytes, kKeyDistance);
    Append<int32_t>(bytes, distance);
    Append<uint32_t>(bytes, kKeyFrequencies);
    Append<int32_t>(bytes, minimumHz);
    Append<int32_t>(bytes, maximumHz);
    return bytes;
}

QByteArray BrightnessPayload(int brightness) {
    QByteArray bytes;
    Append<uint32_t>(bytes, 1);
    Append<uint32_t>(bytes, kKeyBrightness);
    Append<int32_t>(bytes, brightness);
    return bytes;
}

QByteArray GainPayload() {
    QByteArray bytes;
    Append<uint32_t>(bytes, 1);
    Append<uint32_t>(bytes, kKeyGain);
    Append<int64_t>(bytes, kGainValue);
    return bytes;
}

QByteArray Int32Payload(int32_t value) {
    QByteArray bytes;
    Append<int32_t>(bytes, value);
    return bytes;
}

uint8_t NextSequence(std::atomic<uint32_t>& counter) {
    return static_cast<uint8_t>(counter.fetch_add(1) & 0xFF);
}

QList<QByteArray> StartCommands(const StartValues& values, std::atomic<uint32_t>& counter) {
    const auto parameters = [&] {
        return EncodeCommand(
            kIdSetParameters, NextSequence(counter),
            StartParametersPayload(values.distance, values.minimumHz, values.maximumHz,
                                   values.parameter7, values.parameter6));
    };
    const auto measureMode = [&] {
        return EncodeCommand(kIdMeasureMode, NextSequence(counter),
                             Int32Payload(MeasureModeFor(values.model, values.range)));
    };
    QList<QByteArray> commands;
    if (values.model == kModel320Grey) {
        commands << parameters();
        commands << measureMode();
    } else {
        commands << measureMode();
        commands << parameters();
        commands << EncodeCommand(kIdSetParameters, NextSequence(counter),
                                  BrightnessPayload(values.brightness));
        commands << EncodeCommand(kIdSetParameters, NextSequence(counter), GainPayload());
    }
    commands << EncodeCommand(kIdStreamOption, NextSequence(counter), Int32Payload(2));
    commands << EncodeCommand(kIdBeginStream, 0);
    counter.store(1);
    return commands;
}

}  // namespace camera
