// Head reply bytes through the reply assembler, split into reads as the serial port delivers them.
//
// Input: a length byte, then that many bytes of one read, and so on; the length byte 0 stands for
// a frame written to the head, before which the port drops what it had gathered.

#include "app/DebugLog.h"
#include "pantilt/PelcoFrames.h"
#include "pantilt/PelcoReplyAssembler.h"
#include "tests/fuzz/FuzzChecks.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr uint8_t kWriteMarker = 0;

using fuzz::Check;
using fuzz::Keep;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Dropped replies are logged; the lines are formatted and read but not printed, which would
    // slow the run down to the speed of the terminal.
    static const DebugLogSink previous =
        SetDebugLogSink([](const QString& line) { Keep(static_cast<uint64_t>(line.size())); });
    (void)previous;

    CPelcoReplyAssembler assembler;
    // Bytes given to the assembler since the last write, and bytes it handed out as frames.
    size_t appended = 0;
    size_t framed = 0;
    size_t position = 0;
    while (position < size) {
        const uint8_t length = data[position++];
        if (length == kWriteMarker) {
            assembler.clear();
            Check(assembler.pending() == 0);
            appended = 0;
            framed = 0;
            continue;
        }
        const size_t count = std::min<size_t>(length, size - position);
        assembler.append(reinterpret_cast<const char*>(data + position), static_cast<int>(count));
        position += count;
        appended += count;
        Check(assembler.pending() >= 0 && assembler.pending() <= CPelcoReplyAssembler::kCapacity);

        const std::vector<PelcoFrame> frames = assembler.takeFrames();
        for (const PelcoFrame& frame : frames) {
            Check(frame[0] == Pelco::kSync);
            // Damaged frames are dropped, never handed out.
            Check(frame[6] == PelcoChecksum(frame));
            Keep(PelcoReplyValue(frame) + frame[1] + frame[3]);
        }
        framed += frames.size() * Pelco::kFrameSize;
        // What stays after a read is at most the start of one frame.
        Check(assembler.pending() < Pelco::kFrameSize);
        // No byte is handed out twice or made up.
        Check(framed + static_cast<size_t>(assembler.pending()) <= appended);
    }
    return 0;
}
