#include "app/DebugLog.h"
#include "app/TimerTable.h"
#include "app/Utilities.h"
#include "tests/support/LogCapture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(StampTextTest, FixedTimeGivesBothTexts) {
    const QDateTime at(QDate(2024, 5, 1), QTime(9, 7, 5));
    EXPECT_EQ(StampText(at), "2024-05-01 09-07-05");
    EXPECT_EQ(DayText(at.date()), "2024-05-01");
    EXPECT_EQ(NowStampText().size(), 19);
    EXPECT_EQ(TodayText(), DayText(QDate::currentDate()));
}

TEST(PingHostTest, UnroutableTextsFailWithinOneSecond) {
    for (const char* address : {"0.0.0.0", "", "not an address", "0"}) {
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(PingHost(QString::fromLatin1(address))) << address;
        EXPECT_LE(timer.elapsed(), 1100) << address;
    }
}

TEST(PingHostTest, LoopbackAnswers) {
    // Needs a raw ICMP socket or the unprivileged ICMP datagram socket; the test host has one.
    EXPECT_TRUE(PingHost("127.0.0.1"));
    EXPECT_TRUE(PingHost("127.0.0.1.junk"));
}

TEST(ModuleFolderTest, CutsAtTheLastSeparator) {
    EXPECT_EQ(FolderOf("/a/b/c"), "/a/b");
    EXPECT_EQ(FolderOf("c"), "");
    EXPECT_EQ(ModuleFolder(), QCoreApplication::applicationDirPath());
}

TEST(FileExistsTest, ReportsFilesAndFolders) {
    QTemporaryDir dir;
    EXPECT_TRUE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.filePath("missing.jpg")));
}

TEST(DebugLogTest, LinesFromManyThreadsArriveWhole) {
    LogCapture capture;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 50; ++i) {
                DebugLogf("[Rx Len=%d]Queue Overflow....!!!", t * 100 + i);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(capture.lines().size(), 200);
    EXPECT_TRUE(capture.contains("[Rx Len=349]Queue Overflow....!!!"));
}

TEST(TimerTableTest, SingleShotFiresOnceAndRestartReplacesInterval) {
    TimerTable table;
    QSignalSpy spy(&table, &TimerTable::fired);
    table.start(2025, 10, true);
    table.start(2025, 20, true);
    EXPECT_EQ(table.interval(2025), 20);
    EXPECT_TRUE(spy.wait(500));
    QTest::qWait(50);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 2025);
    EXPECT_FALSE(table.isActive(2025));

    table.start(2031, 5, false);
    QTest::qWait(60);
    table.stop(2031);
    EXPECT_GE(spy.count(), 4);
    EXPECT_FALSE(table.isActive(2031));
}

}  // namespace
