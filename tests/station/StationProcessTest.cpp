// Runs the real acoustic-station program on the offscreen platform with its own home folder.
#include "tests/station/StationProcess.h"

#include <QThread>

#include <csignal>

namespace {

using StationProcessTest = StationProcessFixture;

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
