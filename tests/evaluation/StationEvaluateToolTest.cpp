// station-evaluate as an engineer runs it: recordings in the station's verdict folders, settings
// from a file, overrides, a sweep that finds the separating levels, and damaged input.
#include "evaluation/EvaluationSettings.h"
#include "tests/evaluation/SyntheticRecording.h"
#include "tests/support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int status = -1;
    QString out;
    QString err;
};

ToolRun RunTool(const QStringList& arguments) {
    QProcess process;
    // A session whose locale writes decimal commas (where the machine has it).
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(STATION_EVALUATE_PATH), arguments);
    ToolRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

class StationEvaluateTool : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QString error;
        ASSERT_TRUE(JudgedSettings().WriteFile(settingsPath(), &error)) << error.toStdString();
        // Two quiet runs and two defect runs (tones of 80 and 70 dB), where the station keeps them.
        SyntheticRun quiet;
        SyntheticRun loud;
        loud.defect = true;
        SyntheticRun softer = loud;
        softer.toneDb = 78;
        softer.defectFrom_s = 2.0;
        write("result/PASS/Wave/2026/12/11/a_TOP.rec", quiet);
        quiet.spotColumn = 20;
        write("result/PASS/Wave/2026/12/11/b_TOP.rec", quiet);
        write("result/NG/Wave/2026/12/11/c_TOP.rec", loud);
        write("result/NG/Wave/2026/12/11/d_TOP.rec", softer);
    }
    void write(const char* relative, const SyntheticRun& run) {
        const QString path = m_dir.filePath(QString::fromLatin1(relative));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(SyntheticRecording(run));
    }
    QString settingsPath() const { return m_dir.filePath(QStringLiteral("syn.settings")); }
    QString path(const char* relative) const {
        return m_dir.filePath(QString::fromLatin1(relative));
    }

    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(StationEvaluateTool, JudgesEachRecordingWithItsNgTimeAndPeak) {
    const ToolRun run = RunTool({"--settings", settingsPath(), "--trace", path("result")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 9) << run.out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("settings: product SYN-1, inspection time 5 s, inspection "
                                       "mode 1, L.Pass limit 3, focus window 0.0..10.0 s"));
    EXPECT_EQ(lines[1], QStringLiteral("verdict  ng_time_s  peak_db  counted  spectra  label  "
                                       "recording"));
    // Folders in sorted order: NG first.
    EXPECT_EQ(lines[2], QStringLiteral("NG            1.10     80.0      3/3       23  bad    ") +
                            path("result/NG/Wave/2026/12/11/c_TOP.rec"));
    EXPECT_EQ(lines[3], QStringLiteral("         counted at 1.003 s  L.Pass 1/3  [1]O [2]O [3]X "
                                       "[4]X [5]X  peak 80.0 dB"));
    EXPECT_EQ(lines[6], QStringLiteral("NG            2.10     78.0      3/3       43  bad    ") +
                            path("result/NG/Wave/2026/12/11/d_TOP.rec"));
    ASSERT_GE(lines.size(), 11);
    EXPECT_TRUE(
        lines[10].startsWith(QStringLiteral("OK               -        -      0/3       80  good")))
        << lines[10].toStdString();
}

TEST_F(StationEvaluateTool, OverrideThatDisablesTheHitFiltersTurnsNgIntoOk) {
    const ToolRun run = RunTool({"--settings", settingsPath(), "--set", "filter_01_enable=0",
                                 "--set", "filter_02_enable=0", "--csv", path("result/NG")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0],
              QStringLiteral("recording,label,verdict,ng_time_s,peak_db,counted,lpass_limit,"
                             "spectra,error"));
    EXPECT_EQ(lines[1], path("result/NG/Wave/2026/12/11/c_TOP.rec") +
                            QStringLiteral(",bad,OK,0.00,0.0,0,3,80,"));
}

TEST_F(StationEvaluateTool, SweepReportsTheLevelsThatSeparateGoodFromBad) {
    const ToolRun run = RunTool(
        {"--settings", settingsPath(), "--sweep", "inspection_level=10..100:10", path("result")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // The quiet runs' noise reaches 23 dB; the softer defect is 78 dB.
    EXPECT_TRUE(
        run.out.contains(QStringLiteral("\n20                         NG    NG    NG    NG    \n")))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(
        QStringLiteral("\n70                         NG    NG    OK    OK    yes\n")));
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("separating range: inspection_level = 30..70\n")))
        << run.out.toStdString();

    // Labelled by flags instead of folders, and as rows for a spreadsheet.
    const ToolRun flagged = RunTool(
        {"--settings", settingsPath(), "--sweep", "filter_02_inspection_level=60..90:10", "--csv",
         "--good", path("result/PASS"), "--bad", path("result/NG/Wave/2026/12/11/c_TOP.rec")});
    ASSERT_EQ(flagged.status, 0) << flagged.err.toStdString();
    EXPECT_EQ(flagged.out.count('\n'), 1 + 4 * 3);
    EXPECT_TRUE(flagged.out.contains(QStringLiteral("filter_02_inspection_level,80,") +
                                     path("result/NG/Wave/2026/12/11/c_TOP.rec") +
                                     QStringLiteral(",bad,NG,1.10,80.0,yes\n")));
    EXPECT_EQ(flagged.err,
              QStringLiteral("separating range: filter_02_inspection_level = 60..80\n"));
}

TEST_F(StationEvaluateTool, DamagedRecordingsAndBadArgumentsGiveAReasonAndAStatus) {
    QFile whole(path("result/NG/Wave/2026/12/11/c_TOP.rec"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    QFile cut(path("cut.rec"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.readAll().chopped(777));
    cut.close();
    const ToolRun damaged = RunTool({"--settings", settingsPath(), path("cut.rec"),
                                     path("result/PASS/Wave/2026/12/11/a_TOP.rec")});
    // In a folder, a file whose header cannot be read is reported, not left out.
    QFile garbage(path("result/NG/Wave/2026/12/11/z_TOP.rec"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("ACRUNREC\x01");
    garbage.close();
    const ToolRun folder = RunTool({"--settings", settingsPath(), path("result/NG")});
    EXPECT_EQ(folder.status, 3);
    EXPECT_TRUE(folder.err.contains(QStringLiteral("z_TOP.rec: damaged recording at byte")))
        << folder.err.toStdString();
    EXPECT_EQ(damaged.status, 3);
    EXPECT_TRUE(damaged.err.startsWith(QStringLiteral("station-evaluate: ") + path("cut.rec") +
                                       QStringLiteral(": damaged recording at byte ")))
        << damaged.err.toStdString();
    EXPECT_TRUE(damaged.out.contains(QStringLiteral("\nerror ")));
    EXPECT_TRUE(damaged.out.contains(QStringLiteral("\nOK ")));  // the others are still judged

    const std::pair<QStringList, const char*> refused[] = {
        {{"--settings", settingsPath(), "--set", "volume=3", path("cut.rec")},
         "station-evaluate: --set volume=3: unknown column 'volume'"},
        {{"--settings", settingsPath(), "--sweep", "time=9..1", path("cut.rec")},
         "station-evaluate: --sweep: 'time=9..1': FROM must not exceed TO"},
        {{path("cut.rec")},
         "station-evaluate: give the settings with either --product or --settings"},
        {{"--settings", settingsPath(), path("missing.rec")}, "station-evaluate: "},
        {{"--settings", settingsPath()}, "station-evaluate: no recordings to judge"},
    };
    for (const auto& [arguments, error] : refused) {
        const ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.status, 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.startsWith(QString::fromUtf8(error))) << run.err.toStdString();
    }
    const ToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--sweep <column=FROM..TO:STEP>")));
}
