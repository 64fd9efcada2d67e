// The hand-over between the sensor worker and the graph's paint: curves and spectrogram rows are
// written on one thread and copied on another, and every copy must be one whole write.
#include "sensor/GraphCurves.h"
#include "sensor/SpectrogramQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

std::array<float, 1024> Flat(float level) {
    std::array<float, 1024> row;
    row.fill(level);
    return row;
}

// All 1024 values equal: the copy came from one write.
bool Whole(const float* values) {
    return std::all_of(values, values + 1024, [&](float v) { return v == values[0]; });
}

// The writer starts once the reader is copying, so the two really overlap.
void WaitFor(const std::atomic<bool>& flag) {
    while (!flag.load()) {
        std::this_thread::yield();
    }
}

TEST(GraphHandOverTest, CurvesCopiedWhileTheWorkerWritesAreWhole) {
    CGraphCurves curves;
    std::atomic<int> notified{0};
    curves.setOnChanged([&] { notified.fetch_add(1); });
    constexpr int kWrites = 4000;
    std::atomic<bool> done{false};
    std::atomic<bool> reading{false};
    std::thread worker([&] {
        WaitFor(reading);
        for (int i = 1; i <= kWrites; ++i) {
            curves.SetCurve(CGraphCurves::kLiveSlot, Flat(static_cast<float>(i)).data());
            curves.SetCurve(CGraphCurves::kNgSlot, Flat(static_cast<float>(-i)).data());
        }
        done.store(true);
    });

    auto snapshot = std::make_unique<CurveSnapshot>();
    int copies = 0;
    float lastLive = 0.0f;
    while (!done.load() || copies == 0) {
        reading.store(true);
        if (!curves.CopyCurves(*snapshot)) {
            continue;
        }
        ++copies;
        ASSERT_TRUE(Whole(snapshot->levels[0].data())) << "copy " << copies;
        ASSERT_TRUE(Whole(snapshot->levels[2].data())) << "copy " << copies;
        ASSERT_FALSE(snapshot->valid[1]);
        // The live curve only moves forward between copies.
        ASSERT_GE(snapshot->levels[0][0], lastLive);
        lastLive = snapshot->levels[0][0];
    }
    worker.join();
    EXPECT_GT(copies, 0);
    EXPECT_EQ(notified.load(), 2 * kWrites);
    ASSERT_TRUE(curves.CopyCurves(*snapshot));
    EXPECT_EQ(snapshot->levels[0][1023], static_cast<float>(kWrites));
    EXPECT_EQ(snapshot->levels[2][0], static_cast<float>(-kWrites));
}

TEST(GraphHandOverTest, RowsCopiedWhileTheWorkerPushesAreWholeAndInOrder) {
    CSpectrogramQueue rows;
    constexpr int kPushes = 3000;
    std::atomic<bool> done{false};
    std::atomic<bool> reading{false};
    std::thread worker([&] {
        WaitFor(reading);
        for (int i = 1; i <= kPushes; ++i) {
            rows.PushRow(Flat(static_cast<float>(i)).data());
        }
        done.store(true);
    });

    std::vector<float> copy(static_cast<size_t>(CSpectrogramQueue::kMaxRows) * 1024);
    int copies = 0;
    int clears = 0;
    while (!done.load()) {
        reading.store(true);
        const int count = rows.CopyRows(copy.data(), CSpectrogramQueue::kMaxRows);
        ASSERT_LE(count, CSpectrogramQueue::kMaxRows);
        for (int r = 0; r < count; ++r) {
            const float* row = copy.data() + static_cast<size_t>(r) * 1024;
            ASSERT_TRUE(Whole(row)) << "row " << r;
            // Oldest first, consecutive pushes, no row seen half-replaced.
            if (r > 0) {
                ASSERT_EQ(row[0], row[-1024] + 1.0f) << "row " << r;
            }
        }
        // A run start empties the queue from the UI thread now and then.
        if (++copies % 50 == 0) {
            rows.ClearRows();
            ++clears;
        }
    }
    worker.join();
    EXPECT_GT(copies, 0);
    // A clear may land after the last push, so push once more: the queue ends with it, and any row
    // still before it is the worker's last.
    rows.PushRow(Flat(static_cast<float>(kPushes + 1)).data());
    const int count = rows.CopyRows(copy.data(), CSpectrogramQueue::kMaxRows);
    ASSERT_GT(count, 0);
    EXPECT_EQ(copy[static_cast<size_t>(count - 1) * 1024], static_cast<float>(kPushes + 1));
    if (count > 1) {
        EXPECT_EQ(copy[static_cast<size_t>(count - 2) * 1024], static_cast<float>(kPushes));
    }
}

TEST(GraphHandOverTest, FullQueueDropsTheOldestRow) {
    CSpectrogramQueue rows;
    for (int i = 1; i <= 172; ++i) {
        rows.PushRow(Flat(static_cast<float>(i)).data());
    }
    std::vector<float> copy(static_cast<size_t>(CSpectrogramQueue::kMaxRows) * 1024);
    ASSERT_EQ(rows.CopyRows(copy.data(), CSpectrogramQueue::kMaxRows), 171);
    EXPECT_EQ(copy.front(), 2.0f);
    EXPECT_EQ(copy.back(), 172.0f);
    // Copying leaves the rows queued.
    EXPECT_EQ(rows.Count(), 171);
    rows.ClearRows();
    EXPECT_EQ(rows.CopyRows(copy.data(), CSpectrogramQueue::kMaxRows), 0);
}

TEST(GraphHandOverTest, ClearCurvesZeroesAllThreeSlotsLiveFirst) {
    CGraphCurves curves;
    auto snapshot = std::make_unique<CurveSnapshot>();
    EXPECT_FALSE(curves.CopyCurves(*snapshot));
    EXPECT_FALSE(curves.HasCurves());
    EXPECT_EQ(curves.DisplayMode(), 1);

    std::vector<bool> liveSetAtEachCall;
    curves.setOnChanged([&] { liveSetAtEachCall.push_back(curves.HasCurves()); });
    curves.SetCurve(2, Flat(7.0f).data());
    // Slot 2 alone does not let the graph draw.
    EXPECT_FALSE(curves.CopyCurves(*snapshot));
    curves.SetCurve(4, Flat(7.0f).data());
    curves.SetCurve(0, Flat(7.0f).data());
    EXPECT_EQ(liveSetAtEachCall.size(), 1u);

    curves.ClearCurves();
    EXPECT_EQ(liveSetAtEachCall, (std::vector<bool>{false, true, true, true}));
    ASSERT_TRUE(curves.CopyCurves(*snapshot));
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_TRUE(snapshot->valid[slot]);
        EXPECT_TRUE(Whole(snapshot->levels[slot].data()));
        EXPECT_EQ(snapshot->levels[slot][0], 0.0f);
    }
}

TEST(GraphHandOverTest, ReplacingTheListenerWaitsForACallInProgress) {
    CGraphCurves curves;
    std::atomic<bool> entered{false};
    std::atomic<bool> finished{false};
    curves.setOnChanged([&] {
        entered.store(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        finished.store(true);
    });
    std::thread worker([&] { curves.SetCurve(1, Flat(1.0f).data()); });
    while (!entered.load()) {
        std::this_thread::yield();
    }
    curves.setOnChanged(nullptr);
    // The graph may go away now: its listener is done and is not called again.
    EXPECT_TRUE(finished.load());
    worker.join();
    finished.store(false);
    curves.SetCurve(1, Flat(2.0f).data());
    EXPECT_FALSE(finished.load());
}

}  // namespace
