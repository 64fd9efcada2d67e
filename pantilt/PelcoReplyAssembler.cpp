#include "pantilt/PelcoReplyAssembler.h"

#include "app/DebugLog.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

void CPelcoReplyAssembler::append(const char* bytes, int count) {
    for (int k = 0; k < count; ++k) {
        if (m_count == kCapacity) {
            // Cannot happen while frames are taken after every read; keep the newest bytes.
            std::memmove(m_buffer, m_buffer + 1, kCapacity - 1);
            --m_count;
        }
        m_buffer[m_count++] = static_cast<uint8_t>(bytes[k]);
    }
}

std::vector<PelcoFrame> CPelcoReplyAssembler::takeFrames() {
    std::vector<PelcoFrame> frames;
    int start = 0;
    while (true) {
        while (start < m_count && m_buffer[start] != Pelco::kSync) {
            ++start;
        }
        if (m_count - start < Pelco::kFrameSize) {
            break;
        }
        PelcoFrame frame;
        std::copy_n(m_buffer + start, Pelco::kFrameSize, frame.begin());
        const uint8_t expected = PelcoChecksum(frame);
        if (frame[6] != expected) {
            const QByteArray bytes(reinterpret_cast<const char*>(frame.data()), Pelco::kFrameSize);
            DebugLogf("[PanTilt] Reply dropped, checksum %02x != %02x : %s", frame[6], expected,
                      bytes.toHex(' ').constData());
            // Only the sync byte is skipped: the next frame may start inside this one.
            ++start;
            continue;
        }
        frames.push_back(frame);
        start += Pelco::kFrameSize;
    }
    m_count -= start;
    std::memmove(m_buffer, m_buffer + start, static_cast<size_t>(m_count));
    return frames;
}
