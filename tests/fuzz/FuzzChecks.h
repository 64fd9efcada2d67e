#pragma once
// What both fuzz targets use to read results (so the compiler keeps the reads) and to stop at a
// broken invariant (a trap the fuzzer reports as a crash, with the input kept).

#include <cstdint>

namespace fuzz {

inline volatile uint64_t g_touched = 0;

inline void Keep(uint64_t value) {
    g_touched = g_touched + value;
}

inline void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

}  // namespace fuzz
