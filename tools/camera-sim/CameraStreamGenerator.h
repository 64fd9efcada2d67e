#pragma once
// Builds the messages a camera of either model sends: data messages with picture, acoustic map,
// spectrum, waveform and thermal items, and status messages. Used by the simulator, the tests
// and the benchmark.

#include <QByteArray>
#include <QList>

#include <cstdint>

struct SpectrumShape {
    double backgroundDb = 20.0;
    bool toneOn = false;
    double toneMinHz = 0.0;
    double toneMaxHz = 0.0;
    double toneDb = 60.0;
};

struct AcousticSpot {
    double column = 0.0;
    double row = 0.0;
    double levelDb = 45.0;
    double backgroundDb = 30.0;
};

class CCameraStreamGenerator {
  public:
    // model 2 or 3; range 0 or 1 (bin width); spectrumLength 8214 or 8230 (model 2 only).
    explicit CCameraStreamGenerator(int model, int range = 0, uint32_t spectrumLength = 8214);

    int model() const { return m_model; }
    void setRange(int range) { m_range = range; }
    int range() const { return m_range; }

    QByteArray pictureItem(uint64_t stamp, int frame) const;
    QByteArray acousticMapItem(uint64_t stamp, const AcousticSpot& spot) const;
    QByteArray spectrumItem(uint64_t stamp, const SpectrumShape& shape, int index) const;
    QByteArray waveformItem(uint64_t stamp, int index) const;
    QByteArray thermalItem(uint64_t stamp, int frame) const;

    // A data message (identifier 0x41, 8-byte header) around the items.
    static QByteArray DataMessage(uint8_t sequence, const QList<QByteArray>& items);
    // A status message (identifier 4, 12-byte header); 72 payload bytes, bytes 36..39 given.
    static QByteArray StatusMessage(uint8_t sequence, const uint8_t (&bytes36to39)[4]);
    // The item head: type, reserved, length, time stamp; `size` bytes in all, zero-filled.
    static QByteArray ItemHead(uint16_t type, uint32_t length, uint64_t stamp, int size);

  private:
    double binWidthHz() const;

    int m_model;
    int m_range;
    uint32_t m_spectrumLength;
    QByteArray m_basePicture;
};
