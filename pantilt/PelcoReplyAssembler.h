#pragma once
// Gathers the head's reply bytes across reads and hands out every complete 7-byte frame in
// arrival order. Bytes before a sync byte (0xFF) are line noise and are dropped. Replies carry no
// checked field, so a frame that lost a byte is read together with the start of the next one.

#include "pantilt/PelcoFrames.h"

#include <cstddef>
#include <vector>

class CPelcoReplyAssembler {
  public:
    static constexpr int kCapacity = 256;

    void append(const char* bytes, int count);
    // Complete frames found so far; a started frame stays for the next read.
    std::vector<PelcoFrame> takeFrames();
    int pending() const { return m_count; }
    void clear() { m_count = 0; }

  private:
    uint8_t m_buffer[kCapacity] = {};
    int m_count = 0;
};
