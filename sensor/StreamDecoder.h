#pragma once
// Turns the camera's byte stream into messages and items: the assembly buffer, the framing state
// (header or payload expected) and the item decoding of both camera models. Bounds-checked: a
// stream it cannot follow ends in a framing loss with a reason, never in a read past a buffer.
// Decoding is linear in the bytes received: consumed bytes are skipped by a read position, and
// the unread rest is moved to the front only when the consumed part has paid for the move.

#include "sensor/SensorFrames.h"
#include "sensor/StreamDecoderSink.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>

class CStreamDecoder {
  public:
    static constexpr int kAssemblyBytes = 50331648;
    static constexpr int kInitialModel = 3;

    enum class Step { NeedData, Progress, FramingLost };

    CStreamDecoder();
    ~CStreamDecoder();
    CStreamDecoder(const CStreamDecoder&) = delete;
    CStreamDecoder& operator=(const CStreamDecoder&) = delete;

    // Framing back to "header expected", buffer cleared, item counters 0. The camera model and
    // the frames stay.
    void reset();

    // True while fewer bytes are buffered than the framing waits for.
    bool needsData() const { return unread() < m_expected; }
    // Appends a received chunk (at most one ring slot). Only while needsData().
    void append(const char* data, int length);
    // Decodes one buffered header or payload.
    Step decodeStep(StreamDecoderSink* sink);
    // Feeds a whole byte run through the framing; false on framing loss.
    bool feed(const char* data, int64_t length, StreamDecoderSink* sink, int chunkBytes = 5120);

    // Audio_Shift applied to every waveform sample (left when positive, arithmetic right when
    // negative); read once per waveform item.
    void setAudioShiftSource(std::function<int()> source) { m_audioShift = std::move(source); }

    const QString& lostReason() const { return m_lostReason; }
    int cameraModel() const { return m_model.load(std::memory_order_relaxed); }
    void setCameraModel(int model) { m_model.store(model, std::memory_order_relaxed); }
    uint32_t spectrumItemCount() const { return m_spectrumCount; }
    uint32_t waveformItemCount() const { return m_waveformCount; }
    SensorFrames& frames() { return m_frames; }
    const SensorFrames& frames() const { return m_frames; }

    // Bytes received and not yet consumed.
    int fillCount() const { return unread(); }
    int expectedLength() const { return m_expected; }
    bool headerExpected() const { return m_headerExpected; }
    uint8_t lastIdentifier() const { return m_lastIdentifier; }
    // Bytes moved to the front of the buffer since the last reset; never more than were consumed.
    uint64_t movedBytes() const { return m_movedBytes; }

  private:
    int32_t unread() const { return m_end - m_read; }
    const char* front() const { return m_buffer + m_read; }
    void compact();
    Step lose(const QString& reason);
    void consume(int bytes);
    Step decodeHeader(StreamDecoderSink* sink);
    Step decodePayload(StreamDecoderSink* sink);
    bool decodeDataMessage(const char* payload, uint32_t length, StreamDecoderSink* sink,
                           uint32_t* consumed);
    void decodeItem(const char* item, uint32_t size, uint16_t type, uint32_t length,
                    StreamDecoderSink* sink);
    bool decodePicture(const char* item, uint32_t size);
    bool decodeAcousticMap(const char* item, uint32_t size);
    bool decodeSpectrum(const char* item, uint32_t size, uint32_t length);
    bool decodeWaveform(const char* item, uint32_t size);
    bool decodeThermal(const char* item, uint32_t size);

    char* m_buffer = nullptr;
    // The unread bytes are [m_read, m_end) of the buffer.
    int32_t m_read = 0;
    int32_t m_end = 0;
    // Highest m_end since the last reset: the pages a reset gives back.
    int32_t m_touchedEnd = 0;
    uint64_t m_movedBytes = 0;
    bool m_headerExpected = true;
    int32_t m_expected = 8;
    uint8_t m_lastIdentifier = 0;
    std::atomic<int> m_model{kInitialModel};
    uint32_t m_spectrumCount = 0;
    uint32_t m_waveformCount = 0;
    SensorFrames m_frames;
    std::function<int()> m_audioShift;
    QString m_lostReason;
};
