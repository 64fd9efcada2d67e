// The offline evaluation judges a recording as the station judges a run: the verdict, the NG
// time of the spectrum that reached the L.Pass limit and its peak, and every rule that can keep a
// run OK (filters, levels, focus window, spot area, inspection mode, the run's end, the position).
#include "evaluation/RecordingEvaluator.h"
#include "tests/evaluation/SyntheticRecording.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

RecordingVerdict Judge(const QByteArray& file, const CEvaluationSettings& settings,
                       std::vector<CountedSpectrum>* counted = nullptr) {
    CRecordingEvaluator evaluator;
    return evaluator.Evaluate(ReadRunRecording(file), settings.Sensor(), settings.InspectionTime(),
                              [&](const CountedSpectrum& spectrum) {
                                  if (counted) {
                                      counted->push_back(spectrum);
                                  }
                              });
}

SyntheticRun DefectRun(int model = 2) {
    SyntheticRun run;
    run.model = model;
    run.defect = true;
    return run;
}

}  // namespace

TEST(RecordingEvaluatorTest, DefectRunIsNgWhenTheThirdLoudSpectrumIsCounted) {
    for (const int model : {2, 3}) {
        SCOPED_TRACE(model);
        std::vector<CountedSpectrum> counted;
        const RecordingVerdict verdict =
            Judge(SyntheticRecording(DefectRun(model)), JudgedSettings(), &counted);
        ASSERT_TRUE(verdict.ok()) << verdict.error.toStdString();
        EXPECT_TRUE(verdict.ng);
        // Spectra every 50 ms from 1.003 s: the third loud one arrives at 1.103 s.
        EXPECT_NEAR(verdict.ngTime_s, 1.103, 1e-4);
        EXPECT_FLOAT_EQ(verdict.peakLevel, 80.0f);
        EXPECT_EQ(verdict.counted, 3);
        EXPECT_EQ(verdict.lpassLimit, 3);
        EXPECT_GT(verdict.skippedBytes, 0);  // the run began inside a message
        ASSERT_EQ(counted.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(counted[i].count, i + 1);
            EXPECT_NEAR(counted[i].time_s, 1.003 + 0.05 * i, 1e-4);
            EXPECT_GT(counted[i].filterHits[0], 0);
            EXPECT_GT(counted[i].filterHits[1], 0);
            EXPECT_EQ(counted[i].filterHits[2], 0);
        }
    }
}

TEST(RecordingEvaluatorTest, QuietRunIsOkWithoutNgTimeOrPeak) {
    const RecordingVerdict verdict = Judge(SyntheticRecording(SyntheticRun{}), JudgedSettings());
    ASSERT_TRUE(verdict.ok()) << verdict.error.toStdString();
    EXPECT_FALSE(verdict.ng);
    EXPECT_EQ(verdict.ngTime_s, 0.0f);
    EXPECT_EQ(verdict.peakLevel, 0.0f);
    EXPECT_EQ(verdict.counted, 0);
    // Four seconds at 20 spectra a second, less the one cut by the run's start.
    EXPECT_EQ(verdict.spectra, 80);
}

TEST(RecordingEvaluatorTest, EachRuleCanKeepTheDefectRunOk) {
    struct Case {
        const char* what;
        std::vector<const char*> overrides;
        bool ng;
    };
    const Case cases[] = {
        {"both hit filters off", {"filter_01_enable=0", "filter_02_enable=0"}, false},
        {"one hit filter off: two are needed", {"filter_02_enable=0"}, false},
        {"inspection levels above the tone", {"inspection_level=81"}, false},
        {"inspection levels at the tone", {"inspection_level=80"}, true},
        {"focus window closes before the defect", {"reserved_int_01=10"}, false},
        {"initial exception beyond the defect", {"reserved_int_04=45"}, false},
        {"inspection mode 0 is never NG", {"inspection_mode=0"}, false},
        {"spot outside the area", {"area_rect_x1=200", "area_rect_y1=150"}, false},
        {"run ends before the defect", {"time=1"}, false},
        {"L.Pass limit beyond the defect's spectra", {"reserved_int_02=60"}, false},
        {"stable-spot filter with a still spot", {"reserved_int_08=1"}, true},
    };
    const QByteArray file = SyntheticRecording(DefectRun());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CEvaluationSettings settings = JudgedSettings();
        for (const char* assignment : c.overrides) {
            QString error;
            ASSERT_TRUE(settings.SetAssignment(QString::fromLatin1(assignment), &error))
                << error.toStdString();
        }
        const RecordingVerdict verdict = Judge(file, settings);
        ASSERT_TRUE(verdict.ok()) << verdict.error.toStdString();
        EXPECT_EQ(verdict.ng, c.ng);
    }
}

TEST(RecordingEvaluatorTest, HigherLPassLimitMovesTheNgTime) {
    CEvaluationSettings settings = JudgedSettings();
    QString error;
    ASSERT_TRUE(settings.Set(QStringLiteral("reserved_int_02"), QStringLiteral("9"), &error));
    const RecordingVerdict verdict = Judge(SyntheticRecording(DefectRun()), settings);
    ASSERT_TRUE(verdict.ng);
    EXPECT_NEAR(verdict.ngTime_s, 1.003 + 0.05 * 9, 1e-4);
    EXPECT_EQ(verdict.counted, 10);
}

TEST(RecordingEvaluatorTest, BottomRunIsNeverJudged) {
    SyntheticRun run = DefectRun();
    run.sensorName = QStringLiteral("Bottom");
    const RecordingVerdict verdict = Judge(SyntheticRecording(run), JudgedSettings());
    ASSERT_TRUE(verdict.ok());
    EXPECT_FALSE(verdict.judgedAsTop);
    EXPECT_FALSE(verdict.ng);
}

TEST(RecordingEvaluatorTest, DamagedRecordingsSayWhyAndNeverCrash) {
    const QByteArray whole = SyntheticRecording(DefectRun());
    struct Case {
        const char* what;
        QByteArray file;
        const char* error;
    };
    QByteArray brokenHeader = whole;
    // The length field of a message header well inside the run, made larger than any payload.
    const RunRecordingContents contents = ReadRunRecording(whole);
    std::size_t chunk = 20;
    while (chunk < contents.chunks.size() &&
           static_cast<uint8_t>(contents.chunks[chunk].bytes.at(0)) != 0x41) {
        ++chunk;
    }
    ASSERT_LT(chunk, contents.chunks.size());
    const qsizetype messageAt = whole.indexOf(contents.chunks[chunk].bytes);
    ASSERT_GT(messageAt, 0);
    brokenHeader[messageAt + 7] = '\x7f';
    SyntheticRun tailOnly;
    tailOnly.seconds = 0;
    const Case cases[] = {
        {"truncated inside a chunk", whole.left(whole.size() - 1000), "damaged recording at byte"},
        {"header length beyond the buffer", brokenHeader, "the camera stream breaks off at"},
        {"cut inside its first chunk", whole.left(200), "damaged recording at byte"},
        {"only the tail of a message", SyntheticRecording(tailOnly), "no camera message"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RecordingVerdict verdict = Judge(c.file, JudgedSettings());
        EXPECT_FALSE(verdict.ok());
        EXPECT_TRUE(verdict.error.startsWith(QString::fromLatin1(c.error)))
            << verdict.error.toStdString();
    }
}

TEST(RecordingEvaluatorTest, PlainCaptureIsJudgedAtRunTimeZero) {
    SyntheticRun run = DefectRun();
    run.startInsideMessage = false;
    QByteArray capture;
    for (const RunRecordingChunk& chunk : ReadRunRecording(SyntheticRecording(run)).chunks) {
        capture += chunk.bytes;
    }
    const RunRecordingContents contents = ReadRunRecording(capture);
    ASSERT_TRUE(contents.plainCapture);
    const CEvaluationSettings settings = JudgedSettings();
    CRecordingEvaluator evaluator;
    const RecordingVerdict verdict =
        evaluator.Evaluate(contents, settings.Sensor(), settings.InspectionTime(), {}, 2);
    ASSERT_TRUE(verdict.ok()) << verdict.error.toStdString();
    EXPECT_TRUE(verdict.ng);
    EXPECT_EQ(verdict.ngTime_s, 0.0f);
    EXPECT_EQ(verdict.skippedBytes, 0);
}
