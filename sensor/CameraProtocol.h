#pragma once
// The acoustic camera's wire protocol as plain functions over bytes: message headers, the
// station's commands and the item layouts of both camera models. Little-endian throughout.

#include <QByteArray>
#include <QList>

#include <atomic>

#include <cstdint>
#include <cstring>

namespace camera {

// Camera models, recognised from the item lengths.
inline constexpr int kModel320Grey = 2;
inline constexpr int kModel1280Mosaic = 3;

// Message identifiers.
inline constexpr uint8_t kIdData = 0x41;
inline constexpr uint8_t kIdStatus = 4;
inline constexpr uint8_t kIdSetParameters = 0x93;
inline constexpr uint8_t kIdMeasureMode = 0x86;
inline constexpr uint8_t kIdStreamOption = 0x84;
inline constexpr uint8_t kIdBeginStream = 0x8a;
inline constexpr uint8_t kIdStop = 0x89;

inline constexpr int kShortHeaderBytes = 8;
inline constexpr int kLongHeaderBytes = 12;
inline constexpr int kStatusBlockBytes = 72;

// Item types of a data message.
inline constexpr uint16_t kItemPicture = 13;
inline constexpr uint16_t kItemAcousticMap = 14;
inline constexpr uint16_t kItemSpectrum = 15;
inline constexpr uint16_t kItemWaveform = 16;
inline constexpr uint16_t kItemThermal = 0x0A01;
inline constexpr int kItemHeaderBytes = 8;  // type, reserved, length
inline constexpr int kThermalItemBytes = 39064;

// Item lengths (the length field) per model.
inline constexpr uint32_t kPictureLength2 = 76812;
inline constexpr uint32_t kPictureLength3 = 1024016;
inline constexpr uint32_t kMapLength2 = 12320;
inline constexpr uint32_t kMapLength3 = 16032;
inline constexpr uint32_t kSpectrumLength2Short = 8214;
inline constexpr uint32_t kSpectrumLength2Long = 8230;
inline constexpr uint32_t kSpectrumLength3 = 16416;
inline constexpr uint32_t kWaveformLength2 = 16414;
inline constexpr uint32_t kWaveformLength3 = 8232;

// Content offsets from the item start.
inline constexpr int kPictureOffset2 = 20;
inline constexpr int kPictureOffset3 = 24;
inline constexpr int kMapOffset = 40;
inline constexpr int kSpectrumOffset2Short = 30;
inline constexpr int kSpectrumOffset2Long = 46;
inline constexpr int kSpectrumOffset3 = 40;
inline constexpr int kWaveformOffset2First = 20;
inline constexpr int kWaveformOffset2Second = 8212;
inline constexpr int kWaveformOffset3 = 48;
inline constexpr int kThermalOffset = 664;

inline constexpr int kSpectrumBins = 1024;
inline constexpr int kWaveformSamples = 2048;
inline constexpr int kThermalColumns = 160;
inline constexpr int kThermalRows = 120;
inline constexpr int kThermalValues = kThermalColumns * kThermalRows;

struct PictureGeometry {
    int width;
    int height;
    int offset;
};
struct MapGeometry {
    int columns;
    int rows;
};
PictureGeometry PictureGeometryOf(int model);
MapGeometry MapGeometryOf(int model);

// 12 for the identifiers 0, 4, 6, 7, 9, 10, 18 and 19, else 8.
int HeaderBytesFor(uint8_t identifier);
// Where the payload length sits in a header of that size.
inline int PayloadLengthOffset(int headerBytes) {
    return headerBytes == kLongHeaderBytes ? 8 : 4;
}

// The model an item's length identifies, or 0 when it matches neither.
int ModelFromItemLength(uint16_t type, uint32_t length);

// Where a reader that joins the stream at an arbitrary byte can start decoding: the offset of the
// first message whose header looks right. A data message (0x41) needs an item count of 1 to 64 and
// a first item of a known type and length that fits the payload, all inside `data`; a status
// message (4) needs its 72-byte payload and, when more bytes follow, a 0x41 or 4 after it. -1 when
// there is none.
qsizetype FindMessageStart(const char* data, qsizetype size);

// Level conversions of model 3's raw values (double precision, stored as float).
float AcousticLevelFromRaw(uint32_t raw);
float SpectrumLevelFromRaw(uint64_t raw);
// Inverse conversions, for the simulator.
uint32_t AcousticRawFromLevel(double levelDb);
uint64_t SpectrumRawFromLevel(double levelDb);

// Width of one of the 1024 spectrum bins in Hz; 0 for an unknown range or model.
double BinWidthHz(int model, int range);
// The measure-mode value of the 0x86 command.
int32_t MeasureModeFor(int model, int range);

// Little-endian loads and stores that need no alignment.
template <typename T>
inline T Load(const char* p) {
    T value;
    std::memcpy(&value, p, sizeof(T));
    return value;
}
template <typename T>
inline void Append(QByteArray& bytes, T value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof(T));
}

// A command: 8-byte header (identifier, sequence number, 0, 0, payload length) and payload.
QByteArray EncodeCommand(uint8_t identifier, uint8_t sequence, const QByteArray& payload = {});

// Payloads of the 0x93 command.
QByteArray StartParametersPayload(int distance, int minimumHz, int maximumHz, int parameter7,
                                  int parameter6);
QByteArray MeasuringParametersPayload(int distance, int minimumHz, int maximumHz);
QByteArray BrightnessPayload(int brightness);
QByteArray GainPayload();
// 32-bit value payloads of 0x86 and 0x84.
QByteArray Int32Payload(int32_t value);

struct StartValues {
    int model = kModel1280Mosaic;
    int range = 0;
    int distance = 0;
    int minimumHz = 0;
    int maximumHz = 0;
    int parameter7 = 0;
    int parameter6 = 0;
    int brightness = 0;
};

// The next sequence number: the counter's low byte, then the counter advances.
uint8_t NextSequence(std::atomic<uint32_t>& counter);
// The worker's start commands in the order of the model; the last one carries sequence number 0
// and leaves the counter at 1.
QList<QByteArray> StartCommands(const StartValues& values, std::atomic<uint32_t>& counter);

}  // namespace camera
