#include "sensor/SpectrogramQueue.h"
#include "sensor/WaveFormQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

template <typename Queue>
void ExpectFullAfterUsableCapacity(int usable) {
    Queue queue;
    std::vector<uint8_t> element(Queue::kElementBytes, 1);
    for (int i = 0; i < usable; ++i) {
        ASSERT_EQ(queue.Push(element.data()), 12) << i;
    }
    EXPECT_TRUE(queue.IsFull());
    const int head = queue.HeadIndex();
    EXPECT_EQ(queue.Push(element.data()), 10);
    EXPECT_EQ(queue.HeadIndex(), head);
    EXPECT_EQ(queue.Count(), usable);
}

}  // namespace

TEST(HistoryQueue, FullAfterUsableCapacity) {
    ExpectFullAfterUsableCapacity<CSpectrogramQueue>(171);
    ExpectFullAfterUsableCapacity<CWaveFormQueue>(195);
}

TEST(HistoryQueue, TakeFromEmptyGivesZerosAndSetsFlag) {
    CWaveFormQueue queue;
    std::vector<uint8_t> element(CWaveFormQueue::kElementBytes, 7);
    ASSERT_EQ(queue.Push(element.data()), 12);
    ASSERT_TRUE(queue.Take(element.data()));
    EXPECT_FALSE(queue.IsEmptyFlagSet());
    std::fill(element.begin(), element.end(), 0xEE);
    EXPECT_FALSE(queue.Take(element.data()));
    EXPECT_TRUE(queue.IsEmptyFlagSet());
    EXPECT_EQ(queue.TailIndex(), queue.HeadIndex());
    EXPECT_EQ(std::count(element.begin(), element.end(), 0), CWaveFormQueue::kElementBytes);
}

TEST(HistoryQueue, ClearEmptiesAndRestartsAtSlotZero) {
    CSpectrogramQueue queue;
    float row[CSpectrogramQueue::kLevels];
    for (int n = 1; n <= 200; ++n) {
        std::fill(std::begin(row), std::end(row), static_cast<float>(n));
        queue.PushDiscardingOldest(row);
    }
    queue.Clear();
    EXPECT_EQ(queue.TailIndex(), 0);
    EXPECT_EQ(queue.HeadIndex(), 0);
    EXPECT_EQ(queue.Count(), 0);
    std::fill(std::begin(row), std::end(row), 7.0f);
    ASSERT_EQ(queue.Push(row), 12);
    EXPECT_EQ(queue.Row(0)[0], 7.0f);
    float taken[CSpectrogramQueue::kLevels];
    ASSERT_TRUE(queue.Take(taken));
    EXPECT_EQ(taken[1023], 7.0f);
    EXPECT_FALSE(queue.Take(taken)) << "nothing from before the clear comes back";
}

TEST(HistoryQueue, DiscardThenPushKeepsTheNewestRowsInOrder) {
    CSpectrogramQueue queue;
    float row[CSpectrogramQueue::kLevels];
    for (int n = 1; n <= 300; ++n) {
        std::fill(std::begin(row), std::end(row), static_cast<float>(n));
        queue.PushDiscardingOldest(row);
    }
    ASSERT_EQ(queue.Count(), 171);
    int expected = 130;
    // Walk the queue the way the painter does, without taking.
    for (int slot = queue.TailIndex(); slot != queue.HeadIndex();
         slot = (slot + 1) % queue.SlotCount()) {
        EXPECT_EQ(queue.Row(slot)[0], expected);
        EXPECT_EQ(queue.Row(slot)[1023], expected);
        ++expected;
    }
    EXPECT_EQ(expected, 301);
}
