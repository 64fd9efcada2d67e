#pragma once
// The graph's three curve slots (1 = live spectrum, 2 = second slot, 3 = NG spectrum), written by
// the sensor worker and copied out by the graph's paint. Every write and copy of a slot happens
// under one mutex, so a paint always sees whole curves and a slot's array is never replaced
// while it is read.

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

// What a paint works from: the three slots as they were at one moment.
struct CurveSnapshot {
    static constexpr int kLevels = 1024;
    std::array<std::array<float, kLevels>, 3> levels{};
    // A slot counts once it holds 1024 values.
    std::array<bool, 3> valid{};
};

class CGraphCurves {
  public:
    static constexpr int kSlotCount = 3;
    static constexpr int kLevels = CurveSnapshot::kLevels;
    static constexpr int kLiveSlot = 1;
    static constexpr int kSecondSlot = 2;
    static constexpr int kNgSlot = 3;

    CGraphCurves() = default;
    CGraphCurves(const CGraphCurves&) = delete;
    CGraphCurves& operator=(const CGraphCurves&) = delete;

    // Copies 1024 levels into slot 1..3 (others are ignored), then tells the listener. From any
    // thread.
    void SetCurve(int slot, const float* levels);
    // 1024 zeros into slots 1, 2 and 3, slot 1 first.
    void ClearCurves();
    // False, leaving `out` alone, while slot 1 was never set: the graph then draws nothing.
    bool CopyCurves(CurveSnapshot& out) const;
    bool HasCurves() const;

    // 1 at construction; the screen sets 2, which lets the worker hand over the NG spectrum.
    void SetDisplayMode(int mode) { m_displayMode.store(mode); }
    int DisplayMode() const { return m_displayMode.load(); }

    // Called after every SetCurve on the thread that set it, outside the data lock. Once
    // setOnChanged returns, the previous listener is neither running nor called again, so its
    // owner may go away. The listener must not call back into this object.
    void setOnChanged(std::function<void()> onChanged);

  private:
    mutable std::mutex m_dataMutex;
    std::array<int, kSlotCount> m_length{};
    std::array<std::unique_ptr<float[]>, kSlotCount> m_slots;
    std::atomic<int> m_displayMode{1};
    // Held while the listener runs, so replacing it waits for a call in progress.
    std::mutex m_listenerMutex;
    std::function<void()> m_onChanged;
};
