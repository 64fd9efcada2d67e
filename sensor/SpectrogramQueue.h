#pragma once
// The spectrogram history: the newest spectrum rows of 1024 float levels (dB). The worker pushes
// and the run start empties it through the locked calls, and the graph copies the rows out under
// the same lock, so a painted row is always one whole push.

#include "sensor/HistoryQueue.h"

#include <algorithm>
#include <cstring>
#include <mutex>

class CSpectrogramQueue : public CHistoryQueue<4096, 172> {
  public:
    static constexpr int kLevels = 1024;
    static constexpr int kMaxRows = 171;

    const float* Row(int slotIndex) const {
        return reinterpret_cast<const float*>(Element(slotIndex));
    }

    // Push; when full, the oldest row is dropped first, so the newest 171 rows stay.
    void PushRow(const float* levels) {
        std::lock_guard lock(m_rowsMutex);
        PushDiscardingOldest(levels);
    }

    // Empties the queue (read = write = 0).
    void ClearRows() {
        std::lock_guard lock(m_rowsMutex);
        Clear();
    }

    // Copies up to `maxRows` rows, oldest first, 1024 levels each, into `destination`; returns
    // how many. The rows stay queued.
    int CopyRows(float* destination, int maxRows) const {
        std::lock_guard lock(m_rowsMutex);
        const int count = std::min(Count(), std::max(maxRows, 0));
        int slot = TailIndex();
        for (int row = 0; row < count; ++row) {
            std::memcpy(destination + static_cast<size_t>(row) * kLevels, Row(slot),
                        sizeof(float) * kLevels);
            slot = (slot + 1) % kSlotCount;
        }
        return count;
    }

  private:
    mutable std::mutex m_rowsMutex;
};
