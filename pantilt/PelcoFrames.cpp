#include "pantilt/PelcoFrames.h"

namespace {
PelcoFrame WithChecksum(PelcoFrame frame) {
    frame[6] = PelcoChecksum(frame);
    return frame;
}
}  // namespace

uint8_t PelcoChecksum(const PelcoFrame& frame) {
    unsigned sum = 0;
    for (int k = 1; k <= 5; ++k) {
        sum += frame[k];
    }
    return static_cast<uint8_t>(sum & 0xFF);
}

PelcoFrame PelcoMoveFrame(uint8_t address, uint8_t direction, uint8_t panSpeed, uint8_t tiltSpeed) {
    return WithChecksum({Pelco::kSync, address, 0x00, direction, panSpeed, tiltSpeed, 0});
}

PelcoFrame PelcoSetPositionFrame(uint8_t address, uint8_t command, uint16_t value) {
    return WithChecksum({Pelco::kSync, address, 0x00, command, static_cast<uint8_t>(value >> 8),
                         static_cast<uint8_t>(value & 0xFF), 0});
}

PelcoFrame PelcoQueryFrame(uint8_t address, uint8_t command) {
    return WithChecksum({Pelco::kSync, address, 0x00, command, 0x00, 0x00, 0});
}

PelcoFrame PelcoPositionReply(uint8_t address, uint8_t replyCode, uint16_t value) {
    return PelcoSetPositionFrame(address, replyCode, value);
}

QByteArray PelcoFrameText(const PelcoFrame& frame) {
    QByteArray text;
    text.reserve(2 * Pelco::kFrameSize);
    for (uint8_t byte : frame) {
        text += QByteArray::number(byte >> 4, 16) + QByteArray::number(byte & 0x0F, 16);
    }
    return text;
}
