#pragma once
// Hand-made camera messages for decoder tests.

#include "sensor/CameraProtocol.h"
#include "sensor/ReceiveRing.h"
#include "tools/camera-sim/CameraStreamGenerator.h"

#include <QByteArray>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

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

// Stores the bytes into the ring slot by slot, as the socket does, waiting while the ring is
// full. Stops early (false) once `keepGoing` says so.
inline bool StoreAsReceived(
    CReceiveRing& ring, const QByteArray& bytes,
    const std::function<bool()>& keepGoing = [] { return true; }) {
    for (qsizetype at = 0; at < bytes.size(); at += CReceiveRing::kSlotBytes) {
        const int n =
            static_cast<int>(std::min<qsizetype>(CReceiveRing::kSlotBytes, bytes.size() - at));
        char* slot;
        while ((slot = ring.reserve()) == nullptr) {
            if (!keepGoing()) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        std::memcpy(slot, bytes.constData() + at, static_cast<size_t>(n));
        ring.markDataReceived();
        ring.commit(n);
    }
    return true;
}

}  // namespace stream_bytes
