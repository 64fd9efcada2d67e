#pragma once
// The audio history: elements of three 8192-byte parts of 2048 samples each; which parts carry
// samples depends on the camera model.

#include "sensor/HistoryQueue.h"

#include <cstdint>

class CWaveFormQueue : public CHistoryQueue<24576, 196> {
  public:
    static constexpr int kPartBytes = 8192;
    static constexpr int kPartSamples = 2048;
    const int32_t* Part(int slotIndex, int part) const {
        return reinterpret_cast<const int32_t*>(Element(slotIndex) + part * kPartBytes);
    }
};
