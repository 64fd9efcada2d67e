#include "inspection/InspectionPipeline.h"
#include "sensor/SensorFrames.h"
#include "tests/inspection/LatchNg.h"

#include <gtest/gtest.h>

namespace {

// A 320 x 240 grey picture of value 200 and a map with one loud cell at (20, 20).
class InspectionPipelineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        frames.pictureWidth = 320;
        frames.pictureHeight = 240;
        std::fill(frames.rawPicture.begin(), frames.rawPicture.begin() + 320 * 240, 200);
        frames.mapColumns = 64;
        frames.mapRows = 48;
        frames.acousticMap.fill(40.0f);
        frames.acousticMap[20 * 64 + 20] = 70.0f;
        frames.maxAcousticLevel = 70.0f;
        settings.initial_exception_time = 1.0f;
        settings.focus_time = 4.0f;
    }
    QColor pixel(int x, int y) const {
        const uint8_t* p = frames.displayPicture.data() + (y * 320 + x) * 4;
        return QColor(p[2], p[1], p[0]);
    }

    RunContext run;
    std::atomic<int>& state = run.inspectionState;
    SensorSettings settings;
    SensorFrames frames;
    CInspectionPipeline pipeline{run};
};

struct OutlineCase {
    const char* name;
    int state;
    float elapsed;
    bool match;
    bool green;
    friend void PrintTo(const OutlineCase& c, std::ostream* os) { *os << c.name; }
};

class OutlineColourTest : public InspectionPipelineTest,
                          public ::testing::WithParamInterface<OutlineCase> {};

TEST_P(OutlineColourTest, GreenOnlyInsideTheFocusWindowOfAMatchingRun) {
    state = GetParam().state;
    run.elapsed_s = GetParam().elapsed;
    run.positionMatch = GetParam().match;
    pipeline.ConvertPicture(frames, settings);
    EXPECT_EQ(pixel(10, 10), GetParam().green ? QColor(0, 255, 0) : QColor(255, 0, 0));
    EXPECT_EQ(pixel(100, 100), QColor(200, 200, 200));
    EXPECT_EQ(pixel(5, 5), state == 2 ? QColor(50, 50, 50) : QColor(200, 200, 200));
}

INSTANTIATE_TEST_SUITE_P(Rules, OutlineColourTest,
                         ::testing::Values(OutlineCase{"Idle", 0, 2.0f, true, false},
                                           OutlineCase{"InWindow", 2, 2.0f, true, true},
                                           // whole seconds: 3.9 s counts as 3, 0.99 s as 0
                                           OutlineCase{"LastWholeSecond", 2, 3.9f, true, true},
                                           OutlineCase{"BeforeTheWindow", 2, 0.99f, true, false},
                                           OutlineCase{"AtTheFocusTime", 2, 4.0f, true, false},
                                           OutlineCase{"OtherPosition", 2, 2.0f, false, false}));

TEST_F(InspectionPipelineTest, PictureStaysAtTheNgMomentOnlyWhileAJudgedRunGoesOrFinishes) {
    struct Case {
        int state;
        bool latched;
        int inspectionMode;
        bool frozen;
    } cases[] = {{kInspectionIdle, false, 1, false},     {kInspectionRunning, false, 1, false},
                 {kInspectionRunning, true, 1, true},    {kInspectionFinishing, true, 1, true},
                 {kInspectionRunning, true, 0, false},   {kInspectionReady, true, 1, false},
                 {kInspectionSetupShown, true, 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.state << " " << c.latched << " " << c.inspectionMode);
        state = c.state;
        settings.inspection_mode = c.inspectionMode;
        pipeline.evaluation().ResetEvaluation();
        if (c.latched) {
            // Latch through the evaluation itself: a loud band counted to the limit.
            state = kInspectionRunning;
            run.positionMatch = true;
            ASSERT_TRUE(LatchNg(pipeline.evaluation(), 1.0f));
            state = c.state;
        }
        EXPECT_EQ(pipeline.evaluation().NgLatched(), c.latched);
        EXPECT_EQ(pipeline.PictureFrozen(settings), c.frozen);
    }
}

TEST_F(InspectionPipelineTest, OverlayColoursIdleAndExaminesSpotsWhileRunning) {
    pipeline.ConvertPicture(frames, settings);
    pipeline.OverlayAcousticMap(frames, settings);
    EXPECT_EQ(pixel(102, 102), QColor(250, 134, 134));  // A = 200: k = 200 / 3, red + 50
    EXPECT_FALSE(pipeline.evaluation().PeakInArea());

    state = 2;
    run.positionMatch = true;
    settings.beamforming_filter = 0;  // every spot accepted
    pipeline.ConvertPicture(frames, settings);
    pipeline.OverlayAcousticMap(frames, settings);
    EXPECT_TRUE(pipeline.evaluation().PeakInArea());
    EXPECT_EQ(pixel(102, 102), QColor(255, 116, 116));  // first-style marker centre, 200 -+ 84
    pipeline.ClearPeakInArea();
    EXPECT_FALSE(pipeline.evaluation().PeakInArea());
}

TEST_F(InspectionPipelineTest, FramesThatDoNotFitTheirBuffersAreIgnored) {
    frames.pictureWidth = 4000;  // larger than the buffers
    frames.pictureHeight = 4000;
    pipeline.ConvertPicture(frames, settings);
    pipeline.OverlayAcousticMap(frames, settings);
    frames.pictureWidth = 0;
    pipeline.ConvertPicture(frames, settings);
    frames.pictureWidth = 320;
    frames.pictureHeight = 240;
    frames.mapColumns = 100;  // 100 x 48 cells do not fit the map buffer
    pipeline.OverlayAcousticMap(frames, settings);
    EXPECT_EQ(frames.displayPicture[0], 0);
}

TEST(PicturePlacementTest, MarginsForTheLargePictureAndMirroringOnlyAt180) {
    const QRect area(0, 30, 640, 480);
    EXPECT_EQ(CInspectionPipeline::PlacePicture(area, 3, 0).target, QRect(0, 70, 640, 400));
    EXPECT_EQ(CInspectionPipeline::PlacePicture(area, 2, 0).target, area);
    EXPECT_TRUE(CInspectionPipeline::PlacePicture(area, 2, 180).mirrored);
    EXPECT_FALSE(CInspectionPipeline::PlacePicture(area, 2, 90).mirrored);
    EXPECT_FALSE(CInspectionPipeline::PlacePicture(area, 3, -180).mirrored);
}

}  // namespace
