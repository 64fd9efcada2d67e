#include "inspection/SensorEvaluation.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Two filters set up to hit, a spot in the area, a run at 2 s inside a 1..5 s window.
class EvaluationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        settings.inspection_mode = 1;
        settings.required_filter_count = 2;
        settings.freq_range = 0;
        settings.initial_exception_time = 1.0f;
        settings.focus_time = 5.0f;
        settings.lpass_limit = 3;  // reserved_int_02 = 2
        settings.filters[0] = {1, 8000, 5000, 0, 60};
        settings.filters[2] = {1, 12000, 10000, 0, 60};
        inputs.inspectionState = 2;
        inputs.elapsed_s = 2.0f;
        inputs.positionMatch = true;
        inputs.cameraModel = 2;
        spectrum.assign(kSpectrumBins, 20.0f);
        spectrum[250] = 60.0f;  // filter 1: bins 204..327
        spectrum[450] = 75.0f;  // filter 3: bins 409..491
        evaluation.SetPeakInArea(true);
    }
    void evaluate(uint64_t stamp = 7) {
        evaluation.EvaluateSpectrum(spectrum.data(), stamp, settings, inputs);
    }

    SensorSettings settings;
    EvaluationInputs inputs;
    std::vector<float> spectrum;
    CSensorEvaluation evaluation;
};

TEST_F(EvaluationTest, ThirdCountedSpectrumLatchesNgWithItsTimeAndSpectrum) {
    evaluate(1);
    evaluate(2);
    EXPECT_EQ(evaluation.LPassCount(), 2);
    EXPECT_FALSE(evaluation.NgLatched());
    inputs.elapsed_s = 2.5f;
    evaluate(3);
    EXPECT_TRUE(evaluation.NgLatched());
    EXPECT_FLOAT_EQ(evaluation.NgTime(), 2.5f);
    EXPECT_EQ(evaluation.NgSpectrumTimeStamp(), 3u);
    EXPECT_FLOAT_EQ(evaluation.NgSpectrum()[450], 75.0f);
    EXPECT_FLOAT_EQ(evaluation.PeakLevel(), 75.0f);
    EXPECT_EQ(evaluation.FilterHits()[0], 1);  // the level equal to the inspection level hits
    EXPECT_EQ(evaluation.FilterHits()[2], 1);

    // Latched: later spectra change nothing, until the next run resets.
    spectrum[450] = 99.0f;
    evaluate(4);
    EXPECT_EQ(evaluation.LPassCount(), 3);
    EXPECT_FLOAT_EQ(evaluation.PeakLevel(), 75.0f);
    evaluation.ResetEvaluation();
    EXPECT_FALSE(evaluation.NgLatched());
    EXPECT_EQ(evaluation.LPassCount(), 0);
    EXPECT_FLOAT_EQ(evaluation.NgSpectrum()[450], 0.0f);
}

struct NoCountCase {
    const char* name;
    void (*change)(SensorSettings&, EvaluationInputs&, CSensorEvaluation&);
    bool scanned;  // hit counts still change
    friend void PrintTo(const NoCountCase& c, std::ostream* os) { *os << c.name; }
};

class EvaluationNoCountTest : public EvaluationTest,
                              public ::testing::WithParamInterface<NoCountCase> {};

TEST_P(EvaluationNoCountTest, NothingIsCounted) {
    GetParam().change(settings, inputs, evaluation);
    for (int i = 0; i < 5; ++i)
        evaluate();
    EXPECT_EQ(evaluation.LPassCount(), 0);
    EXPECT_FALSE(evaluation.NgLatched());
    EXPECT_EQ(evaluation.FilterHits()[0], GetParam().scanned ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, EvaluationNoCountTest,
    ::testing::Values(NoCountCase{"InspectionModeZero",
                                  [](SensorSettings& s, EvaluationInputs&, CSensorEvaluation&) {
                                      s.inspection_mode = 0;
                                  },
                                  true},
                      NoCountCase{"RequiredCountZero",
                                  [](SensorSettings& s, EvaluationInputs&, CSensorEvaluation&) {
                                      s.required_filter_count = 0;
                                  },
                                  true},
                      NoCountCase{"OneFilterOnly",
                                  [](SensorSettings& s, EvaluationInputs&, CSensorEvaluation&) {
                                      s.filters[2].enable = 0;
                                  },
                                  true},
                      NoCountCase{"SpotOutsideTheArea",
                                  [](SensorSettings&, EvaluationInputs&, CSensorEvaluation& e) {
                                      e.SetPeakInArea(false);
                                  },
                                  true},
                      NoCountCase{"AtTheFocusTime",
                                  [](SensorSettings&, EvaluationInputs& i, CSensorEvaluation&) {
                                      i.elapsed_s = 5.0f;
                                  },
                                  true},
                      NoCountCase{"BeforeTheException",
                                  [](SensorSettings&, EvaluationInputs& i, CSensorEvaluation&) {
                                      i.elapsed_s = 0.9f;
                                  },
                                  true},
                      NoCountCase{"NotRunning",
                                  [](SensorSettings&, EvaluationInputs& i, CSensorEvaluation&) {
                                      i.inspectionState = 1;
                                  },
                                  false},
                      NoCountCase{"OtherPosition",
                                  [](SensorSettings&, EvaluationInputs& i, CSensorEvaluation&) {
                                      i.positionMatch = false;
                                  },
                                  false},
                      NoCountCase{"UnknownFrequencyRange",
                                  [](SensorSettings& s, EvaluationInputs&, CSensorEvaluation&) {
                                      s.freq_range = 7;
                                  },
                                  false}));

TEST_F(EvaluationTest, ExceptionTimeItselfIsInsideTheWindow) {
    inputs.elapsed_s = 1.0f;
    evaluate();
    EXPECT_EQ(evaluation.LPassCount(), 1);
}

struct BandCase {
    const char* name;
    int model, range, freqMin, freqMax;
    int hits;  // with every bin at the inspection level
    friend void PrintTo(const BandCase& c, std::ostream* os) { *os << c.name; }
};

class BandTest : public EvaluationTest, public ::testing::WithParamInterface<BandCase> {};

TEST_P(BandTest, BinBoundsAreInclusiveAndCut) {
    const BandCase& c = GetParam();
    inputs.cameraModel = c.model;
    settings.freq_range = c.range;
    settings.filters = {};
    settings.filters[1] = {1, c.freqMax, c.freqMin, 0, 60};
    spectrum.assign(kSpectrumBins, 60.0f);
    evaluate();
    EXPECT_EQ(evaluation.FilterHits()[1], c.hits);
}

INSTANTIATE_TEST_SUITE_P(
    Bands, BandTest,
    ::testing::Values(BandCase{"Model2Range0", 2, 0, 5000, 8000, 124},         // bins 204..327
                      BandCase{"Model3Range1", 3, 1, 5000, 8000, 32},          // bins 52..83
                      BandCase{"AboveTheSpectrum", 2, 0, 20000, 900000, 205},  // 819..1023
                      BandCase{"NegativeMinimum", 2, 0, -5000, 100, 5},        // 0..4
                      BandCase{"WhollyNegative", 2, 0, -5000, -100, 0},
                      BandCase{"MinimumAboveMaximum", 2, 0, 8000, 5000, 0}));

TEST_F(EvaluationTest, DebugLinesNameTheCountAndTheMarks) {
    inputs.debugFlag = 1;
    LogCapture log;
    evaluate();
    EXPECT_TRUE(
        log.contains("[0][L.Pass]Limit = 3, Count = 1, F.Num = 2/2 / [1]O [2]X [3]O [4]X [5]X"))
        << log.lines().join('\n').toStdString();
    inputs.elapsed_s = 0.5f;
    evaluate();
    inputs.elapsed_s = 6.0f;
    evaluate();
    EXPECT_TRUE(log.contains("Skip : L.Pass 초기 집중검사 예외 : 0.5/1.0 초"));
    EXPECT_TRUE(log.contains("Skip : L.Pass 집중검사 예외 : 6.0/5.0 초"));
    EXPECT_EQ(log.lines().size(), 3);

    inputs.debugFlag = 0;
    LogCapture quiet;
    evaluate();
    EXPECT_TRUE(quiet.lines().isEmpty());
}

TEST(SpotTrackerTest, FirstTwentyTwoExaminationsAfterAResetAreRejected) {
    SensorSettings settings;
    settings.beamforming_filter = 1;
    CSensorEvaluation evaluation;
    evaluation.ResetSpotTracker(3);
    for (int i = 1; i <= 22; ++i) {
        EXPECT_FALSE(evaluation.CheckSpot(30 + (i & 1), 20, 70.0f, settings)) << i;
    }
    EXPECT_TRUE(evaluation.CheckSpot(31, 21, 70.0f, settings));
    EXPECT_TRUE(evaluation.CheckSpot(32, 21, 70.0f, settings));
    EXPECT_FALSE(evaluation.CheckSpot(40, 21, 70.0f, settings));  // jumped three cells

    // Spots near cell (0, 0) pass at once: the unfilled entries are (0, 0).
    evaluation.ResetSpotTracker(3);
    EXPECT_TRUE(evaluation.CheckSpot(1, 1, 70.0f, settings));
}

TEST(SpotTrackerTest, CheckOffAcceptsAndComparedNumberIsLimited) {
    SensorSettings settings;
    settings.beamforming_filter = 0;
    CSensorEvaluation evaluation;
    EXPECT_TRUE(evaluation.CheckSpot(50, 40, 70.0f, settings));
    evaluation.ResetSpotTracker(203);
    EXPECT_EQ(evaluation.ComparedSpots(), 20);
    evaluation.ResetSpotTracker(0);
    EXPECT_EQ(evaluation.ComparedSpots(), 20);  // a count of 0 keeps the number
    settings.beamforming_filter = 1;
    for (int i = 0; i < 60; ++i) {
        evaluation.CheckSpot(5, 5, 70.0f, settings);
    }
    EXPECT_TRUE(evaluation.CheckSpot(5, 5, 70.0f, settings));
}

}  // namespace
