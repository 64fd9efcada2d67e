// Runs the real acoustic-station program on the offscreen platform with its own home folder.
#include "app/ConfigStore.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

class StationProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QDir(home.path()).mkpath("config");
        QDir(home.path()).mkpath("run");
        QFile::setPermissions(home.filePath("run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_RUNTIME_DIR", home.filePath("run"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
    }

    QString program() const {
        return qEnvironmentVariable("STATION_TEST_BINARY_DIR") + "/app/acoustic-station";
    }
    QString configFile() const {
        return home.filePath("config/") + QString::fromUtf8(ConfigStore::kCompanyKey) +
               "/acoustic-station.conf";
    }

    std::unique_ptr<QProcess> start() {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(env);
        process->start(program(), {});
        EXPECT_TRUE(process->waitForStarted(10000));
        return process;
    }
    // Collects standard error until `line` appears or 30 s pass.
    bool waitForLine(QProcess& process, QByteArray& seen, const QByteArray& line) {
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            process.waitForReadyRead(200);
            seen += process.readAllStandardError();
            if (seen.contains(line)) {
                return true;
            }
            if (process.state() == QProcess::NotRunning) {
                return false;
            }
        }
        return false;
    }
    void stop(QProcess& process) {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(10000);
        }
    }

    QTemporaryDir home;
    QProcessEnvironment env;
};

TEST_F(StationProcessTest, HelpDescribesTheProgram) {
    QProcess process;
    process.start(program(), {"--help"});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(process.readAllStandardOutput().startsWith("Usage: acoustic-station"));
}

TEST_F(StationProcessTest, KilledStationLosesNothingAndWritesNothing) {
    auto process = start();
    QByteArray seen;
    ASSERT_TRUE(waitForLine(*process, seen, "[System] Main window shown")) << seen.constData();
    process->kill();
    process->waitForFinished(10000);
    EXPECT_FALSE(QFile::exists(configFile()));
}

TEST_F(StationProcessTest, ServiceStopSavesLikeTheExitIconAndRepairsGarbage) {
    QDir().mkpath(QFileInfo(configFile()).path());
    {
        QFile file(configFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            "[Vorn_Test_01_2ch]\nplant_id=P-1\nBuzzer_Enable=loud\nSpectrum_MAX_DB=@Variant(junk)\n"
            "Inspection_View_Mode=-5\n");
    }
    auto process = start();
    QByteArray seen;
    ASSERT_TRUE(waitForLine(*process, seen, "[System] Main window shown")) << seen.constData();
    ::kill(static_cast<pid_t>(process->processId()), SIGTERM);
    ASSERT_TRUE(process->waitForFinished(20000));
    seen += process->readAllStandardError();
    EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process->exitCode(), 0);
    EXPECT_TRUE(seen.contains("App.Exit #1-NG")) << seen.constData();

    ConfigStore store(configFile());
    StationConfig saved;
    store.load(saved);
    EXPECT_EQ(saved.plant_id, "P-1");
    EXPECT_EQ(saved.Buzzer_Enable, 1);
    EXPECT_EQ(saved.Spectrum_MAX_DB, 130);
    EXPECT_EQ(saved.Inspection_View_Mode, 1);
    QSettings raw(configFile(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Vorn_Test_01_2ch/Buzzer_Enable").toString(), "1");
    EXPECT_EQ(raw.value("Vorn_Test_01_2ch/Motor_address").toString(), "1");
}

TEST_F(StationProcessTest, SecondStartIsRefusedWithoutTouchingTheFirst) {
    auto first = start();
    QByteArray seenFirst;
    ASSERT_TRUE(waitForLine(*first, seenFirst, "[System] Main window shown"));

    auto second = start();
    QByteArray seenSecond;
    // The refusal is logged, then shown in a message box that waits for the operator.
    EXPECT_TRUE(waitForLine(*second, seenSecond,
                            QString::fromUtf8("2채널 음향검사기 already is Run....!!").toUtf8()))
        << seenSecond.constData();
    EXPECT_FALSE(seenSecond.contains("[System] Main window shown"));
    stop(*second);

    EXPECT_FALSE(QFile::exists(configFile()));
    EXPECT_EQ(first->state(), QProcess::Running);
    first->terminate();
    ASSERT_TRUE(first->waitForFinished(20000));
    EXPECT_TRUE(QFile::exists(configFile()));
}

}  // namespace
