#include "sensor/ReceiveRing.h"

#include "app/DebugLog.h"

#include <sys/mman.h>

#include <cstring>
#include <new>

namespace {
constexpr size_t kRingBytes =
    static_cast<size_t>(CReceiveRing::kSlotCount) * CReceiveRing::kSlotBytes;
}

CReceiveRing::CReceiveRing()
    : m_lengths(new int[kSlotCount]()), m_gapAfter(new std::atomic<uint8_t>[kSlotCount]) {
    void* memory = mmap(nullptr, kRingBytes, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (memory == MAP_FAILED) {
        throw std::bad_alloc();
    }
    m_slots = static_cast<char*>(memory);
    for (int i = 0; i < kSlotCount; ++i) {
        m_gapAfter[i].store(0, std::memory_order_relaxed);
    }
}

CReceiveRing::~CReceiveRing() {
    munmap(m_slots, kRingBytes);
}

void CReceiveRing::reset() {
    m_dataReceived.store(0);
    m_head.store(0);
    m_tail.store(0);
    m_slotCount = kSlotCount;
    for (int i = 0; i < kSlotCount; ++i) {
        m_gapAfter[i].store(0, std::memory_order_relaxed);
    }
}

char* CReceiveRing::reserve() {
    const int next = (m_head.load(std::memory_order_relaxed) + 1) % m_slotCount;
    if (next == m_tail.load(std::memory_order_acquire)) {
        return nullptr;
    }
    return slot(next);
}

void CReceiveRing::commit(int length) {
    const int next = (m_head.load(std::memory_order_relaxed) + 1) % m_slotCount;
    m_lengths[next] = length;
    m_gapAfter[next].store(0, std::memory_order_relaxed);
    m_head.store(next, std::memory_order_release);
}

void CReceiveRing::drop(int length) {
    // The slot at the head is never taken before a further store, so the mark is seen in time.
    m_gapAfter[m_head.load(std::memory_order_relaxed)].store(1, std::memory_order_release);
    DebugLogf("[Rx Len=%d]Queue Overflow....!!!", length);
}

bool CReceiveRing::store(const char* data, int length) {
    markDataReceived();
    char* target = reserve();
    if (target == nullptr) {
        drop(length);
        return false;
    }
    std::memcpy(target, data, static_cast<size_t>(length));
    commit(length);
    return true;
}

int CReceiveRing::take(const char** data, bool* gapFollows) {
    const int tail = m_tail.load(std::memory_order_relaxed);
    const int head = m_head.load(std::memory_order_acquire);
    const int next = (tail + 1) % m_slotCount;
    // Head and tail are equal only before the first store: nothing has arrived yet.
    if (next == head || head == tail) {
        return -1;
    }
    *data = slot(next);
    *gapFollows = m_gapAfter[next].load(std::memory_order_acquire) != 0;
    const int length = m_lengths[next];
    // The producer never writes the slot at the tail, so reading it after publishing is safe.
    m_tail.store(next, std::memory_order_release);
    return length;
}
