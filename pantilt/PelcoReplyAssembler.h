#pragma once
// Gathers the head's reply bytes across reads and hands out every complete 7-byte frame whose
// checksum holds, in arrival order. Bytes before a sync byte (0xFF) are line noise and are
// dropped. A frame with a wrong checksum (a lost or damaged byte) is dropped with a debug line and
// the search resumes just after its sync byte, so a good frame that starts inside it is still
// found. The port discards unread reply bytes at each write, so the owner clears a started frame
// then: its rest will never come.

#include "pantilt/PelcoFrames.h"

#include <cstddef>
#include <vector>

class CPelcoReplyAssembler {
  public:
    static constexpr int kCapacity = 256;

    void append(const char* bytes, int count);
    // Complete frames with a good checksum found so far; a started frame stays for the next read.
    std::vector<PelcoFrame> takeFrames();
    int pending() const { return m_count; }
    void clear() { m_count = 0; }

  private:
    uint8_t m_buffer[kCapacity] = {};
    int m_count = 0;
};
