#pragma once
// Prints one line per message and per item that the station's decoder finds in a stream.

#include "sensor/StreamDecoderSink.h"

#include <cstdio>

class CStreamDecoder;

class CStreamDumpSink : public StreamDecoderSink {
  public:
    CStreamDumpSink(const CStreamDecoder& decoder, std::FILE* out);

    void onHeader(uint8_t identifier, uint8_t sequence, uint32_t payloadLength) override;
    void onItem(const ItemInfo& item) override;
    void onStatus() override;
    void onSkippedPayload(uint8_t identifier, uint32_t payloadLength) override;

    long messages() const { return m_messages; }
    long items() const { return m_items; }

  private:
    const CStreamDecoder& m_decoder;
    std::FILE* m_out;
    long m_messages = 0;
    long m_items = 0;
};
