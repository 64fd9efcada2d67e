#pragma once
// Single-producer single-consumer ring of received chunks between the socket (UI thread) and the
// decoding worker. The slot memory is reserved once and committed by the kernel as it is used.

#include <QByteArray>

#include <atomic>
#include <cstdint>
#include <memory>

class CReceiveRing {
  public:
    static constexpr int kSlotCount = 96000;
    static constexpr int kSlotBytes = 5120;

    CReceiveRing();
    ~CReceiveRing();
    CReceiveRing(const CReceiveRing&) = delete;
    CReceiveRing& operator=(const CReceiveRing&) = delete;

    // Empties the ring: head 0, tail 0, data-received flag 0. Only while neither side runs.
    void reset();

    // Producer side. reserve() gives the slot after the head, or nullptr when the ring is full;
    // commit() publishes the filled slot. drop() accounts for a chunk that found the ring full:
    // the overflow debug line, and the last stored chunk is marked as followed by a gap.
    char* reserve();
    void commit(int length);
    void drop(int length);
    // reserve + copy + commit, or drop. False when the chunk was dropped.
    bool store(const char* data, int length);
    bool store(const QByteArray& chunk) {
        return store(chunk.constData(), static_cast<int>(chunk.size()));
    }
    void markDataReceived() { m_dataReceived.store(1, std::memory_order_release); }

    // Consumer side: the chunk after the tail, once a further chunk has been stored after it.
    // Returns its length, or -1 when nothing can be taken. *gapFollows tells that chunks were
    // dropped right after this one.
    int take(const char** data, bool* gapFollows);

    bool dataReceived() const { return m_dataReceived.load(std::memory_order_acquire) != 0; }
    int head() const { return m_head.load(std::memory_order_acquire); }
    int tail() const { return m_tail.load(std::memory_order_acquire); }
    int slotCount() const { return m_slotCount; }

  private:
    char* slot(int index) const { return m_slots + static_cast<size_t>(index) * kSlotBytes; }

    std::atomic<uint8_t> m_dataReceived{0};
    std::atomic<int> m_tail{0};
    std::atomic<int> m_head{0};
    int m_slotCount = kSlotCount;
    char* m_slots = nullptr;
    std::unique_ptr<int[]> m_lengths;
    std::unique_ptr<std::atomic<uint8_t>[]> m_gapAfter;
};
