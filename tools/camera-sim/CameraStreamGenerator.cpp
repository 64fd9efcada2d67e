#include "tools/camera-sim/CameraStreamGenerator.h"

#include "sensor/CameraProtocol.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace camera;

namespace {

template <typename T>
void Put(QByteArray& bytes, int offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof(T));
}

// Small deterministic noise so spectra and maps are not flat.
double Noise(uint32_t seed) {
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    return static_cast<double>(seed % 1000) / 1000.0;
}

uint8_t Clamp8(double value) {
    return static_cast<uint8_t>(std::clamp(value, 0.0, 255.0));
}

}  // namespace

CCameraStreamGenerator::CCameraStreamGenerator(int model, int range, uint32_t spectrumLength)
    : m_model(model == kModel320Grey ? kModel320Grey : kModel1280Mosaic),
      m_range(range),
      m_spectrumLength(spectrumLength == kSpectrumLength2Long ? kSpectrumLength2Long
                                                              : kSpectrumLength2Short) {
    const PictureGeometry geometry = PictureGeometryOf(m_model);
    m_basePicture.resize(geometry.width * geometry.height);
    uint8_t* pixels = reinterpret_cast<uint8_t*>(m_basePicture.data());
    for (int y = 0; y < geometry.height; ++y) {
        for (int x = 0; x < geometry.width; ++x) {
            // A scene of soft gradients: red rises to the right, blue downwards.
            const double red = 255.0 * x / geometry.width;
            const double blue = 255.0 * y / geometry.height;
            const double green = 128.0 + 60.0 * std::sin(x * 0.05) * std::cos(y * 0.05);
            double value;
            if (m_model == kModel320Grey) {
                value = (red + green + blue) / 3.0;
            } else {
                // Mosaic tile: green, blue in even rows; red, green in odd rows.
                const bool evenRow = y % 2 == 0;
                const bool evenColumn = x % 2 == 0;
                value = evenRow ? (evenColumn ? green : blue) : (evenColumn ? red : green);
            }
            pixels[y * geometry.width + x] = Clamp8(value);
        }
    }
}

double CCameraStreamGenerator::binWidthHz() const {
    const double width = BinWidthHz(m_model, m_range);
    return width > 0.0 ? width : BinWidthHz(m_model, 0);
}

QByteArray CCameraStreamGenerator::ItemHead(uint16_t type, uint32_t length, uint64_t stamp,
                                            int size) {
    QByteArray item(size, '\0');
    Put<uint16_t>(item, 0, type);
    Put<uint32_t>(item, 4, length);
    Put<uint64_t>(item, 8, stamp);
    return item;
}

QByteArray CCameraStreamGenerator::pictureItem(uint64_t stamp, int frame) const {
    const PictureGeometry geometry = PictureGeometryOf(m_model);
    const uint32_t length = m_model == kModel320Grey ? kPictureLength2 : kPictureLength3;
    QByteArray item = ItemHead(kItemPicture, length, stamp, kItemHeaderBytes + length);
    std::memcpy(item.data() + geometry.offset, m_basePicture.constData(), m_basePicture.size());
    // A bright bar walks across the picture so that a viewer sees it live.
    const int barWidth = geometry.width / 40;
    const int barX = (frame * barWidth) % geometry.width;
    for (int y = 0; y < geometry.height; ++y) {
        std::memset(item.data() + geometry.offset + y * geometry.width + barX, 230,
                    std::min(barWidth, geometry.width - barX));
    }
    return item;
}

QByteArray CCameraStreamGenerator::acousticMapItem(uint64_t stamp, const AcousticSpot& spot) const {
    const MapGeometry geometry = MapGeometryOf(m_model);
    const uint32_t length = m_model == kModel320Grey ? kMapLength2 : kMapLength3;
    QByteArray item = ItemHead(kItemAcousticMap, length, stamp, kItemHeaderBytes + length);
    for (int row = 0; row < geometry.rows; ++row) {
        for (int column = 0; column < geometry.columns; ++column) {
            const double dx = column - spot.column;
            const double dy = row - spot.row;
            // The spot's cell carries its level; the level falls off by 1 dB per cell.
            const double level =
                std::max(spot.backgroundDb, spot.levelDb - std::sqrt(dx * dx + dy * dy));
            const int offset = kMapOffset + 4 * (row * geometry.columns + column);
            if (m_model == kModel320Grey) {
                Put<float>(item, offset, static_cast<float>(level));
            } else {
                Put<uint32_t>(item, offset, AcousticRawFromLevel(level));
            }
        }
    }
    return item;
}

QByteArray CCameraStreamGenerator::spectrumItem(uint64_t stamp, const SpectrumShape& shape,
                                                int index) const {
    const bool model2 = m_model == kModel320Grey;
    const uint32_t length = model2 ? m_spectrumLength : kSpectrumLength3;
    const int offset = !model2                                    ? kSpectrumOffset3
                       : m_spectrumLength == kSpectrumLength2Long ? kSpectrumOffset2Long
                                                                  : kSpectrumOffset2Short;
    QByteArray item = ItemHead(kItemSpectrum, length, stamp, kItemHeaderBytes + length);
    const double width = binWidthHz();
    for (int bin = 0; bin < kSpectrumBins; ++bin) {
        double level = shape.backgroundDb +
                       3.0 * Noise(static_cast<uint32_t>(index * 7919 + bin * 104729 + 1));
        const double hz = bin * width;
        if (shape.toneOn && hz >= shape.toneMinHz && hz <= shape.toneMaxHz) {
            level = shape.toneDb;
        }
        if (model2) {
            Put<float>(item, offset + 4 * bin, static_cast<float>(level));
        } else {
            Put<uint64_t>(item, offset + 8 * bin, SpectrumRawFromLevel(level));
        }
    }
    return item;
}

QByteArray CCameraStreamGenerator::waveformItem(uint64_t stamp, int index) const {
    const bool model2 = m_model == kModel320Grey;
    const uint32_t length = model2 ? kWaveformLength2 : kWaveformLength3;
    QByteArray item = ItemHead(kItemWaveform, length, stamp, kItemHeaderBytes + length);
    const int blocks = model2 ? 2 : 1;
    const int offsets[2] = {model2 ? kWaveformOffset2First : kWaveformOffset3,
                            kWaveformOffset2Second};
    for (int block = 0; block < blocks; ++block) {
        for (int i = 0; i < kWaveformSamples; ++i) {
            const double t = (index * kWaveformSamples + i) / 48000.0;
            const double sample = 1.0e6 * std::sin(2.0 * M_PI * (440.0 + 220.0 * block) * t);
            Put<int32_t>(item, offsets[block] + 4 * i, static_cast<int32_t>(sample));
        }
    }
    return item;
}

QByteArray CCameraStreamGenerator::thermalItem(uint64_t stamp, int frame) const {
    QByteArray item =
        ItemHead(kItemThermal, kThermalItemBytes - kItemHeaderBytes, stamp, kThermalItemBytes);
    const double hotColumn = (frame * 2) % kThermalColumns;
    for (int row = 0; row < kThermalRows; ++row) {
        for (int column = 0; column < kThermalColumns; ++column) {
            const double dx = column - hotColumn;
            const double dy = row - kThermalRows / 2.0;
            const double celsius =
                20.0 + 10.0 * row / kThermalRows + 15.0 * std::exp(-(dx * dx + dy * dy) / 50.0);
            const auto raw = static_cast<uint16_t>(11000 + std::lround(celsius * 100.0));
            Put<uint16_t>(item, kThermalOffset + 2 * (row * kThermalColumns + column), raw);
        }
    }
    return item;
}

QByteArray CCameraStreamGenerator::DataMessage(uint8_t sequence, const QList<QByteArray>& items) {
    uint32_t payload = 4;
    for (const QByteArray& item : items) {
        payload += static_cast<uint32_t>(item.size());
    }
    QByteArray message;
    message.reserve(kShortHeaderBytes + payload);
    message.append(static_cast<char>(kIdData));
    message.append(static_cast<char>(sequence));
    message.append(2, '\0');
    Append<uint32_t>(message, payload);
    Append<uint32_t>(message, static_cast<uint32_t>(items.size()));
    for (const QByteArray& item : items) {
        message.append(item);
    }
    return message;
}

QByteArray CCameraStreamGenerator::StatusMessage(uint8_t sequence,
                                                 const uint8_t (&bytes36to39)[4]) {
    QByteArray message(kLongHeaderBytes + kStatusBlockBytes, '\0');
    message[0] = static_cast<char>(kIdStatus);
    message[1] = static_cast<char>(sequence);
    Put<uint32_t>(message, 8, kStatusBlockBytes);
    std::memcpy(message.data() + kLongHeaderBytes + 36, bytes36to39, 4);
    return message;
}
