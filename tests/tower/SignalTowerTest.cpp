// The tower layer with the simulator library loaded by dlopen: every pattern the station writes
// lands in the simulator's log with a monotonic stamp, so the lamps can be read back and timed.

#include "app/StationConfig.h"
#include "app/TimerTable.h"
#include "tower/SignalTower.h"
#include "tower/TowerLibrary.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <thread>

namespace {

struct Written {
    qint64 monotonicMs;
    QString pattern;  // "1 0 1 0 0 4"
};

bool WaitUntil(const std::function<bool()>& condition, int timeout_ms) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < timeout_ms) {
        QTest::qWait(10);
    }
    return condition();
}

class SignalTowerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        m_logPath = m_folder.filePath(QStringLiteral("tower.log"));
        qputenv("STATION_TOWER_LIB", QByteArray(STATION_TOWER_SIM_PATH));
        qputenv("STATION_TOWER_SIM_LOG", m_logPath.toLocal8Bit());
        ASSERT_TRUE(m_library.Load());
    }
    void TearDown() override {
        qunsetenv("STATION_TOWER_LIB");
        qunsetenv("STATION_TOWER_SIM_LOG");
    }

    QStringList logLines() const {
        QFile file(m_logPath);
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    std::vector<Written> writes() const {
        std::vector<Written> found;
        for (const QString& line : logLines()) {
            const QStringList words = line.split(u' ');
            const int at = line.indexOf(QStringLiteral("pattern="));
            if (words.size() > 3 && words[3] == QStringLiteral("Usb_Qu_write") && at >= 0) {
                found.push_back({words[2].toLongLong(), line.mid(at + 8, 11)});
            }
        }
        return found;
    }
    QStringList patterns() const {
        QStringList list;
        for (const Written& w : writes()) {
            list << w.pattern;
        }
        return list;
    }

    QTemporaryDir m_folder;
    QString m_logPath;
    CTowerLibrary m_library;
    TimerTable m_timers;
    StationConfig m_config;
    CSignalTower m_tower{m_library, m_timers, m_config};
};

TEST_F(SignalTowerTest, LampTestAndVerdictPatternsFollowTheBuzzerOption) {
    const struct {
        int buzzerEnable;
        const char* lampTest;
        const char* ng;
    } cases[] = {{0, "1 0 1 0 0 0", "1 0 0 0 0 0"}, {1, "1 0 1 0 0 4", "1 0 0 0 0 4"}};
    for (const auto& c : cases) {
        QFile::remove(m_logPath);
        m_config.Buzzer_Enable = c.buzzerEnable;
        m_tower.TestLamps();
        m_tower.ShowVerdict(true);
        m_tower.ShowVerdict(false);
        EXPECT_EQ(patterns(), (QStringList{c.lampTest, "0 0 0 0 0 0", c.ng, "0 0 1 0 0 0"}))
            << "Buzzer_Enable " << c.buzzerEnable;
        ASSERT_FALSE(logLines().isEmpty());
        EXPECT_TRUE(logLines().first().contains(QStringLiteral("Usb_Qu_Open")));
        const auto w = writes();
        ASSERT_GE(w.size(), 2u);
        EXPECT_GE(w[1].monotonicMs - w[0].monotonicMs, CSignalTower::kLampTestMs - 5);
        EXPECT_TRUE(logLines()[1].contains(QStringLiteral("device=0 mode=1")));
    }
}

TEST_F(SignalTowerTest, LampsGoOffTwoSecondsAfterTheLastOfTwoVerdicts) {
    m_tower.ShowVerdict(true);
    QTest::qWait(1000);
    m_tower.ShowVerdict(false);
    ASSERT_TRUE(WaitUntil([&] { return patterns().size() >= 3; }, 10000));
    QTest::qWait(300);
    const auto w = writes();
    ASSERT_EQ(w.size(), 3u) << "one lamp-off only";
    EXPECT_EQ(w[1].pattern, QStringLiteral("0 0 1 0 0 0"));
    EXPECT_EQ(w[2].pattern, QStringLiteral("0 0 0 0 0 0"));
    // Window timers are coarse: Qt lets them fire up to 5 % early.
    EXPECT_GE(w[2].monotonicMs - w[1].monotonicMs, CSignalTower::kLampOffDelayMs * 95 / 100 - 5);
    EXPECT_FALSE(m_timers.isActive(CSignalTower::kLampOffTimerId));
}

TEST_F(SignalTowerTest, VerdictFromAWorkerSwitchesOffOnTheTimersThread) {
    std::thread worker([&] { m_tower.ShowVerdict(true); });
    worker.join();
    ASSERT_TRUE(WaitUntil([&] { return patterns().size() >= 2; }, 10000));
    EXPECT_EQ(patterns(), (QStringList{"1 0 0 0 0 4", "0 0 0 0 0 0"}));
}

TEST_F(SignalTowerTest, RunningLampIsOnForTheFirstTwoTenthsOfEachSecond) {
    // A run of 2.5 s, one pattern per tenth.
    for (int tenths = 0; tenths <= 25; ++tenths) {
        m_tower.ShowRunning(tenths);
    }
    const QStringList written = patterns();
    ASSERT_EQ(written.size(), 26);
    for (int tenths = 0; tenths <= 25; ++tenths) {
        const bool on = tenths % 10 <= 1;
        EXPECT_EQ(written[tenths],
                  on ? QStringLiteral("0 0 1 0 0 0") : QStringLiteral("0 0 0 0 0 0"))
            << "at " << tenths / 10.0 << " s";
    }
}

TEST_F(SignalTowerTest, BeaconStateComesFromTheTower) {
    EXPECT_EQ(m_tower.BeaconState(), 1);
}

TEST(SignalTowerWithoutLibraryTest, RunsUnchangedAndReportsNoTower) {
    QTemporaryDir folder;
    qputenv("STATION_TOWER_LIB", folder.filePath(QStringLiteral("missing.so")).toLocal8Bit());
    CTowerLibrary library;
    EXPECT_FALSE(library.Load());
    EXPECT_FALSE(library.IsLoaded());
    TimerTable timers;
    StationConfig config;
    CSignalTower tower(library, timers, config);
    tower.TestLamps();
    tower.ShowVerdict(true);
    tower.ShowRunning(0);
    EXPECT_EQ(tower.BeaconState(), 0);
    qunsetenv("STATION_TOWER_LIB");
}

TEST(SignalTowerWithoutLibraryTest, DefaultPathIsBesideTheExecutable) {
    qunsetenv("STATION_TOWER_LIB");
    EXPECT_TRUE(CTowerLibrary::DefaultPath().endsWith(QStringLiteral("/libUx64_dllc.so")));
    EXPECT_TRUE(CTowerLibrary::DefaultPath().startsWith(QCoreApplication::applicationDirPath()));
}

}  // namespace
