// The sweep's rules: labels from the verdict folders, the sweep text, and which values separate.
#include "evaluation/SweepSeparation.h"
#include "tests/support/QStringPrinter.h"

#include <gtest/gtest.h>

TEST(SweepSeparationTest, LabelsComeFromTheNearestVerdictFolder) {
    const std::pair<const char*, RecordingLabel> cases[] = {
        {"/data/result/PASS/Wave/2026/12/11/a.rec", RecordingLabel::Good},
        {"/data/result/NG/Wave/2026/12/11/a.rec", RecordingLabel::Bad},
        {"/data/NG/copies/PASS/a.rec", RecordingLabel::Good},
        {"/data/runs/a.rec", RecordingLabel::Unlabelled},
        {"/data/PASS.rec", RecordingLabel::Unlabelled},
        {"NG/a.rec", RecordingLabel::Bad},
    };
    for (const auto& [path, label] : cases) {
        EXPECT_EQ(LabelFromFolders(QString::fromLatin1(path)), label) << path;
    }
}

TEST(SweepSeparationTest, SweepTextsAndTheirValues) {
    QString error;
    const auto sweep = ParseSweep(QStringLiteral("inspection_level=40..60:5"), &error);
    ASSERT_TRUE(sweep) << error.toStdString();
    EXPECT_EQ(sweep->column, QStringLiteral("inspection_level"));
    EXPECT_EQ(sweep->Values(), (std::vector<int>{40, 45, 50, 55, 60}));
    EXPECT_EQ(ParseSweep(QStringLiteral("time=-2..1"), &error)->Values(),
              (std::vector<int>{-2, -1, 0, 1}));
    EXPECT_EQ(ParseSweep(QStringLiteral("time=1..8:3"), &error)->Values(),
              (std::vector<int>{1, 4, 7}));
    const char* refused[] = {"inspection_level=60..40:5", "inspection_level=40..60:0",
                             "inspection_level=40-60",    "=1..2",
                             "time=0..2147483647:1",      "time=0..99999999999"};
    for (const char* text : refused) {
        EXPECT_FALSE(ParseSweep(QString::fromLatin1(text), &error)) << text;
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(SweepSeparationTest, ValuesSeparateWhenEveryGoodIsOkAndEveryBadNg) {
    using L = RecordingLabel;
    const std::vector<L> labels = {L::Good, L::Bad, L::Unlabelled, L::Good, L::Bad};
    EXPECT_TRUE(Separates({false, true, true, false, true}, labels));
    EXPECT_TRUE(Separates({false, true, false, false, true}, labels));
    EXPECT_FALSE(Separates({true, true, false, false, true}, labels));
    EXPECT_FALSE(Separates({false, true, false, false, false}, labels));
    EXPECT_FALSE(Separates({false, false}, {L::Good, L::Good}));
    EXPECT_FALSE(Separates({true}, {L::Bad}));

    const std::vector<int> values = {10, 20, 30, 40, 50, 60};
    EXPECT_EQ(SeparatingRanges(values, {false, true, true, false, true, false}),
              QStringLiteral("20..30, 50"));
    EXPECT_EQ(SeparatingRanges(values, {true, true, true, true, true, true}),
              QStringLiteral("10..60"));
    EXPECT_EQ(SeparatingRanges(values, std::vector<bool>(6, false)), QString());
}
