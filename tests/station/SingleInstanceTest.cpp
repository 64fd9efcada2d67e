#include "station/SingleInstanceGuard.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SingleInstanceGuardTest, SecondGuardIsRefusedAndRaisesTheFirst) {
    QTemporaryDir dir;
    const QString name = QString::fromUtf8("2채널 음향검사기");
    SingleInstanceGuard first(name, dir.path());
    ASSERT_TRUE(first.acquire());
    QSignalSpy raised(&first, &SingleInstanceGuard::raiseRequested);

    SingleInstanceGuard second(name, dir.path());
    EXPECT_FALSE(second.acquire());
    EXPECT_TRUE(second.askFirstInstanceToRaise());
    EXPECT_TRUE(raised.wait(2000));
}

TEST(SingleInstanceGuardTest, ReleasedGuardCanBeTakenAgain) {
    QTemporaryDir dir;
    {
        SingleInstanceGuard first("station", dir.path());
        ASSERT_TRUE(first.acquire());
    }
    SingleInstanceGuard again("station", dir.path());
    EXPECT_TRUE(again.acquire());
    SingleInstanceGuard nobody("other", dir.path());
    EXPECT_FALSE(nobody.askFirstInstanceToRaise());
}

}  // namespace
