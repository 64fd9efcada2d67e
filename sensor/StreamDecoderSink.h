#pragma once
// What the stream decoder reports as it goes: each header, each item once its data is in the
// frames, and each status block.

#include <cstdint>

enum class ItemKind { Picture, AcousticMap, Spectrum, Waveform, Thermal, Skipped };

struct ItemInfo {
    ItemKind kind = ItemKind::Skipped;
    uint16_t type = 0;
    uint32_t length = 0;     // the item's length field
    int model = 0;           // camera model after this item
    uint64_t timeStamp = 0;  // as received
};

class StreamDecoderSink {
  public:
    virtual ~StreamDecoderSink() = default;
    virtual void onHeader(uint8_t identifier, uint8_t sequence, uint32_t payloadLength) {}
    virtual void onItem(const ItemInfo& item) {}
    virtual void onStatus() {}
    virtual void onSkippedPayload(uint8_t identifier, uint32_t payloadLength) {}
};
