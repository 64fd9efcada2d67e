#pragma once
// Hand-made camera messages for decoder tests.

#include "sensor/CameraProtocol.h"
#include "tools/camera-sim/CameraStreamGenerator.h"

#include <QByteArray>

#include <cstring>

namespace stream_bytes {

inline QByteArray Header(uint8_t identifier, uint32_t length, uint8_t sequence = 0) {
    const int size = camera::HeaderBytesFor(identifier);
    QByteArray header(size, '\0');
    header[0] = static_cast<char>(identifier);
    header[1] = static_cast<char>(sequence);
    std::memcpy(header.data() + camera::PayloadLengthOffset(size), &length, 4);
    return header;
}

inline QByteArray Message(uint8_t identifier, const QByteArray& payload) {
    return Header(identifier, static_cast<uint32_t>(payload.size())) + payload;
}

inline QByteArray Data(const QList<QByteArray>& items) {
    return CCameraStreamGenerator::DataMessage(0, items);
}

template <typename T>
void Put(QByteArray& bytes, int offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof(T));
}

}  // namespace stream_bytes
