#pragma once
// The spectrogram history: the newest spectrum rows of 1024 float levels (dB).

#include "sensor/HistoryQueue.h"

class CSpectrogramQueue : public CHistoryQueue<4096, 172> {
  public:
    static constexpr int kLevels = 1024;
    const float* Row(int slotIndex) const {
        return reinterpret_cast<const float*>(Element(slotIndex));
    }
};
