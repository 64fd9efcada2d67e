#pragma once
// Pelco-D frames as the station sends and reads them: seven bytes, sync 0xFF, the receiver
// address, and a checksum that is the sum of bytes 1 to 5 modulo 256.

#include <QByteArray>

#include <array>
#include <cstdint>

using PelcoFrame = std::array<uint8_t, 7>;

namespace Pelco {
inline constexpr uint8_t kSync = 0xFF;
inline constexpr int kFrameSize = 7;

// Byte 3 of a frame.
inline constexpr uint8_t kGoToPreset = 0x07;
inline constexpr uint8_t kSetPanPosition = 0x4B;
inline constexpr uint8_t kSetTiltPosition = 0x4D;
inline constexpr uint8_t kQueryPan = 0x51;
inline constexpr uint8_t kQueryTilt = 0x53;
inline constexpr uint8_t kPanReply = 0x59;
inline constexpr uint8_t kTiltReply = 0x5B;

// Direction codes of a move frame.
inline constexpr uint8_t kStop = 0x00;
inline constexpr uint8_t kRight = 0x02;
inline constexpr uint8_t kLeft = 0x04;
inline constexpr uint8_t kUp = 0x08;
inline constexpr uint8_t kDown = 0x10;
inline constexpr uint8_t kRightUp = 0x0A;
inline constexpr uint8_t kLeftUp = 0x0C;
inline constexpr uint8_t kRightDown = 0x12;
inline constexpr uint8_t kLeftDown = 0x14;

// Go to preset 254, always to address 1.
inline constexpr const char kInitialiseText[] = "ff01000700fe06";
}  // namespace Pelco

uint8_t PelcoChecksum(const PelcoFrame& frame);
PelcoFrame PelcoMoveFrame(uint8_t address, uint8_t direction, uint8_t panSpeed, uint8_t tiltSpeed);
// value in hundredths of a degree.
PelcoFrame PelcoSetPositionFrame(uint8_t address, uint8_t command, uint16_t value);
PelcoFrame PelcoQueryFrame(uint8_t address, uint8_t command);
// A position reply as the head sends it (replyCode 0x59 pan, 0x5B tilt).
PelcoFrame PelcoPositionReply(uint8_t address, uint8_t replyCode, uint16_t value);
// Fourteen lower-case hexadecimal characters, the form the serial port's hex mode writes.
QByteArray PelcoFrameText(const PelcoFrame& frame);
// Position carried in bytes 4 and 5 of a reply.
inline uint16_t PelcoReplyValue(const PelcoFrame& frame) {
    return static_cast<uint16_t>(frame[4] * 256 + frame[5]);
}
