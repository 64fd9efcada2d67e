#include "app/EventLoopProbe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

namespace {

TEST(EventLoopProbeTest, AStallOfTheLoopShowsAsItsMaximumLateness) {
    CEventLoopProbe probe(10, 1);
    QSignalSpy reports(&probe, &CEventLoopProbe::reported);
    QElapsedTimer clock;
    clock.start();
    // Half a second of a served loop, then the loop stalls for 150 ms.
    while (clock.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    QThread::msleep(150);
    ASSERT_TRUE(reports.wait(3000));
    const QString line = reports.takeFirst().at(0).toString();
    const QRegularExpression format(
        QStringLiteral("^\\[UiProbe\\] 1 s: (\\d+) ticks, lateness p99 (\\d+) ms, max (\\d+) ms$"));
    const auto match = format.match(line);
    ASSERT_TRUE(match.hasMatch()) << line.toStdString();
    EXPECT_GT(match.captured(1).toInt(), 10);
    EXPECT_GE(match.captured(3).toInt(), 130);
    // The next report starts afresh: the stall is not in it.
    ASSERT_TRUE(reports.wait(3000));
    const auto next = format.match(reports.takeFirst().at(0).toString());
    ASSERT_TRUE(next.hasMatch());
    EXPECT_LT(next.captured(3).toInt(), 130);
}

TEST(EventLoopProbeTest, IsCreatedOnlyWhenAskedFor) {
    struct Case {
        const char* value;
        bool created;
    };
    for (const Case& c : {Case{nullptr, false}, Case{"0", false}, Case{"yes", false},
                          Case{"1", true}, Case{"5", true}}) {
        if (c.value == nullptr) {
            qunsetenv("STATION_UI_PROBE");
        } else {
            qputenv("STATION_UI_PROBE", c.value);
        }
        EXPECT_EQ(CEventLoopProbe::FromEnvironment() != nullptr, c.created)
            << (c.value ? c.value : "unset");
    }
    qunsetenv("STATION_UI_PROBE");
}

}  // namespace
