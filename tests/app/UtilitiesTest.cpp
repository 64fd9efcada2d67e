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

#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(StampTextTest, FixedTimeGivesBothTexts) {
    const QDateTime at(QDate(2024, 5, 1), QTime(9, 7, 5));
    EXPECT_EQ(StampText(at), "2024-05-01 09-07-05");
    EXPECT_EQ(DayText(at.date()), "2024-05-01");
    EXPECT_EQ(NowStampText().size(), 19);
    EXPECT_EQ(TodayText(), DayText(QDate::currentDate()));
}

TEST(PingHostTest, TextsThatNameNoHostFailAtOnce) {
    for (const char* address : {"0.0.0.0", "", "not an address", "0"}) {
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(PingHost(QString::fromLatin1(address))) << address;
        EXPECT_LE(timer.elapsed(), 1100) << address;
    }
}

// Runs `check` in a child process inside a network namespace of its own, so no echo leaves this
// machine: there the loopback device starts down, and echo replies can be switched off. The
// child's exit status is the check's result.
int InPrivateNetwork(const std::function<int()>& check) {
    const pid_t child = fork();
    if (child == 0) {
        if (unshare(CLONE_NEWNET) != 0) {
            _exit(77);
        }
        _exit(check());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

bool SetLoopbackUp() {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    const bool up = ioctl(fd, SIOCGIFFLAGS, &request) == 0 &&
                    (request.ifr_flags |= IFF_UP, ioctl(fd, SIOCSIFFLAGS, &request) == 0);
    close(fd);
    return up;
}

bool IgnoreEchoRequests() {
    FILE* file = std::fopen("/proc/sys/net/ipv4/icmp_echo_ignore_all", "w");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fputs("1", file) >= 0;
    return std::fclose(file) == 0 && written;
}

TEST(PingHostTest, AddressesThatDoNotAnswerFailWithinOneSecond) {
    const int result = InPrivateNetwork([] {
        // No route at all: the send fails and the answer is at once.
        for (const char* address : {"10.1.2.3", "127.0.0.1"}) {
            QElapsedTimer timer;
            timer.start();
            if (PingHost(QString::fromLatin1(address)) || timer.elapsed() > 300) {
                return 1;
            }
        }
        // A host that is there and keeps silent: the full second, then false.
        if (!SetLoopbackUp() || !IgnoreEchoRequests()) {
            return 77;
        }
        QElapsedTimer timer;
        timer.start();
        const bool answered = PingHost(QStringLiteral("127.0.0.1"));
        const qint64 waited = timer.elapsed();
        if (answered) {
            return 2;
        }
        return waited >= 900 && waited <= 1500 ? 0 : 3;
    });
    if (result == 77) {
        GTEST_SKIP() << "no private network namespace here (needs CAP_SYS_ADMIN, as in CI)";
    }
    EXPECT_EQ(result, 0) << "1: no-route address answered or waited; 2: silent host answered; "
                            "3: the silent host was not waited for about one second";
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
