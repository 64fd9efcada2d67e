#include "sensor/ReceiveRing.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(ReceiveRing, FirstChunkIsTakenOnlyAfterASecond) {
    CReceiveRing ring;
    const char* data = nullptr;
    bool gap = false;
    EXPECT_FALSE(ring.dataReceived());
    ASSERT_TRUE(ring.store("abc", 3));
    EXPECT_TRUE(ring.dataReceived());
    EXPECT_EQ(ring.take(&data, &gap), -1);
    ASSERT_TRUE(ring.store("de", 2));
    ASSERT_EQ(ring.take(&data, &gap), 3);
    EXPECT_EQ(std::string(data, 3), "abc");
    EXPECT_FALSE(gap);
    EXPECT_EQ(ring.take(&data, &gap), -1);
}

TEST(ReceiveRing, FullRingDropsEachChunkWithOneLineAndMarksTheGap) {
    CReceiveRing ring;
    LogCapture log;
    // Filling without copying keeps the test from committing half a gigabyte.
    int stored = 0;
    while (ring.reserve() != nullptr) {
        ring.commit(1);
        ++stored;
        ASSERT_NE(ring.head(), ring.tail());
    }
    EXPECT_EQ(stored, CReceiveRing::kSlotCount - 1);
    EXPECT_FALSE(ring.store("0123456789", 10));
    EXPECT_FALSE(ring.store("01234", 5));
    EXPECT_EQ(ring.head(), CReceiveRing::kSlotCount - 1);
    EXPECT_EQ(log.lines(),
              QStringList({"[Rx Len=10]Queue Overflow....!!!", "[Rx Len=5]Queue Overflow....!!!"}));

    const char* data = nullptr;
    bool gap = false;
    int taken = 0;
    while (ring.take(&data, &gap) >= 0) {
        ++taken;
        ASSERT_FALSE(gap) << taken;
    }
    EXPECT_EQ(taken, stored - 1);  // the last stored chunk waits for a further one
    ASSERT_TRUE(ring.store("x", 1));
    ASSERT_EQ(ring.take(&data, &gap), 1);
    EXPECT_TRUE(gap) << "the chunk before the dropped ones announces the gap";
    ASSERT_TRUE(ring.store("y", 1));
    ASSERT_EQ(ring.take(&data, &gap), 1);
    EXPECT_EQ(*data, 'x');
    EXPECT_FALSE(gap);
}

TEST(ReceiveRing, ResetEmptiesTheRing) {
    CReceiveRing ring;
    ring.store("a", 1);
    ring.store("b", 1);
    ring.reset();
    EXPECT_EQ(ring.head(), 0);
    EXPECT_EQ(ring.tail(), 0);
    EXPECT_FALSE(ring.dataReceived());
}

TEST(ReceiveRing, ProducerAndConsumerThreadsSeeEveryChunkInOrder) {
    CReceiveRing ring;
    constexpr int kChunks = 200000;  // wraps the ring twice
    std::thread producer([&] {
        for (int i = 0; i < kChunks + 1;) {
            char* slot = ring.reserve();
            if (slot == nullptr) {
                std::this_thread::yield();
                continue;
            }
            std::memcpy(slot, &i, sizeof(i));
            ring.commit(sizeof(i));
            ++i;
        }
    });
    int expected = 0;
    const char* data = nullptr;
    bool gap = false;
    while (expected < kChunks) {
        const int length = ring.take(&data, &gap);
        if (length < 0) {
            std::this_thread::yield();
            continue;
        }
        ASSERT_EQ(length, 4);
        int value;
        std::memcpy(&value, data, sizeof(value));
        ASSERT_EQ(value, expected);
        ++expected;
    }
    producer.join();
}
