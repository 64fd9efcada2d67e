#pragma once
// Fixed-size circular history of equal-sized elements. One thread pushes and takes; a painter on
// another thread may walk the elements between tail and head without taking them.

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>

template <int ElementBytes, int Slots>
class CHistoryQueue {
  public:
    static constexpr int kElementBytes = ElementBytes;
    static constexpr int kSlotCount = Slots;
    static constexpr int kPushRefused = 10;
    static constexpr int kPushed = 12;

    CHistoryQueue()
        : m_slots(new uint8_t[static_cast<size_t>(Slots) * ElementBytes]()),
          m_discarded(new uint8_t[ElementBytes]) {}
    virtual ~CHistoryQueue() = default;
    CHistoryQueue(const CHistoryQueue&) = delete;
    CHistoryQueue& operator=(const CHistoryQueue&) = delete;

    // 10 when full (nothing changes), else 12.
    int Push(const void* element) {
        const int head = m_head.load(std::memory_order_relaxed);
        const int next = (head + 1) % Slots;
        if (next == m_tail.load(std::memory_order_relaxed)) {
            return kPushRefused;
        }
        std::memcpy(slot(head), element, ElementBytes);
        m_head.store(next, std::memory_order_release);
        return kPushed;
    }

    // Copies the oldest element out and removes it; an empty queue delivers zeros and sets the
    // empty flag. Returns false when the queue was empty.
    bool Take(void* destination) {
        const int tail = m_tail.load(std::memory_order_relaxed);
        if (tail == m_head.load(std::memory_order_relaxed)) {
            m_empty.store(1, std::memory_order_relaxed);
            std::memset(destination, 0, ElementBytes);
            return false;
        }
        std::memcpy(destination, slot(tail), ElementBytes);
        m_tail.store((tail + 1) % Slots, std::memory_order_release);
        return true;
    }

    // Push; when full, discard the oldest element and push again, so the newest are kept.
    void PushDiscardingOldest(const void* element) {
        if (Push(element) == kPushRefused) {
            Take(m_discarded.get());
            Push(element);
        }
    }

    // Empties the queue at inspection start: both indices back to 0. The slots keep their bytes;
    // a painter that overlaps it may draw old rows once.
    void Clear() {
        m_tail.store(0, std::memory_order_release);
        m_head.store(0, std::memory_order_release);
    }

    // Direct read for painting: elements from TailIndex() up to (not including) HeadIndex().
    int TailIndex() const { return m_tail.load(std::memory_order_acquire); }
    int HeadIndex() const { return m_head.load(std::memory_order_acquire); }
    int SlotCount() const { return Slots; }
    const uint8_t* Element(int slotIndex) const { return slot(slotIndex); }
    int Count() const { return (HeadIndex() - TailIndex() + Slots) % Slots; }
    bool IsEmptyFlagSet() const { return m_empty.load(std::memory_order_relaxed) != 0; }
    bool IsFull() const { return (HeadIndex() + 1) % Slots == TailIndex(); }

  private:
    uint8_t* slot(int index) const {
        return m_slots.get() + static_cast<size_t>(index) * ElementBytes;
    }

    std::atomic<uint8_t> m_empty{0};
    std::atomic<int> m_tail{0};
    std::atomic<int> m_head{0};
    std::unique_ptr<uint8_t[]> m_slots;
    std::unique_ptr<uint8_t[]> m_discarded;
};
