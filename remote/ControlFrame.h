#pragma once
// The control link's frame: a 12-byte little-endian header and an XML payload of at most 1448
// bytes. These are plain functions over bytes, shared by the station and the control-server
// simulator; which object ids a side accepts is that side's rule.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace ControlFrame {
constexpr uint16_t kStartWord = 0xAABB;
// Commands of the server, messages of the station, the station's periodic status.
constexpr uint16_t kServerObjectId = 0xE011;
constexpr uint16_t kControlObjectId = 0xEE11;
constexpr uint16_t kStatusObjectId = 0xEE22;
constexpr uint8_t kVersion = 2;
constexpr int kHeaderSize = 12;
constexpr int kMaxPayload = 1448;
constexpr int kMaxFrame = kHeaderSize + kMaxPayload;
}  // namespace ControlFrame

struct ControlFrameHeader {
    uint16_t sop = 0;
    uint16_t id = 0;
    uint8_t ver = 0;
    uint8_t reserved = 0;
    uint32_t time = 0;
    uint16_t length = 0;
};

// The first 12 bytes of `bytes`; nothing when fewer arrived.
std::optional<ControlFrameHeader> ReadControlFrameHeader(const QByteArray& bytes);

// A whole frame; nothing when the payload is longer than a frame can carry.
std::optional<QByteArray> EncodeControlFrame(uint16_t objectId, const QByteArray& payload,
                                             uint32_t timeSeconds);

// The receiver's checks, in their order; the object id is not one of them.
enum class ControlHeaderFault { None, StartWord, Version, Length };
ControlHeaderFault CheckControlFrameHeader(const ControlFrameHeader& header);
// The log entry of a refused header: the ruled block with the object id, then the fault's line.
QString ControlHeaderErrorBlock(const ControlFrameHeader& header, ControlHeaderFault fault);

// Cuts a received byte stream into frames: every complete frame in order, a partial one kept for
// the next read. A refused header drops every byte received so far, since nothing after it can
// be trusted to start a frame.
class ControlFrameReader {
  public:
    struct Item {
        enum Kind { Frame, Fault } kind = Frame;
        ControlFrameHeader header;
        QByteArray payload;
        ControlHeaderFault fault = ControlHeaderFault::None;
    };

    void Append(const char* data, qsizetype size);
    // The next frame or fault; nothing while the next frame is incomplete.
    std::optional<Item> TakeNext();
    qsizetype PendingBytes() const { return m_pending.size(); }
    void Clear() { m_pending.clear(); }

  private:
    QByteArray m_pending;
};
