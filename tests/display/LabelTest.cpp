#include "display/Label.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

int CountPixels(const QImage& image, QColor color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, y).rgb() == color.rgb();
        }
    }
    return count;
}

}  // namespace

TEST(LabelTest, FontIsRebuiltFromEachSetting) {
    CLabel label;
    label.SetFontName(QStringLiteral("맑은 고딕")).SetFontSize(20).SetFontBold(true);
    EXPECT_EQ(label.LabelFont().family(), QStringLiteral("맑은 고딕"));
    EXPECT_EQ(label.LabelFont().pixelSize(), 20);
    EXPECT_TRUE(label.LabelFont().bold());
    EXPECT_EQ(label.font(), label.LabelFont());

    label.SetFontItalic(true).SetFontUnderline(true);
    EXPECT_TRUE(label.LabelFont().italic());
    EXPECT_TRUE(label.LabelFont().underline());
    // Every later setting keeps what was set before.
    EXPECT_EQ(label.LabelFont().pixelSize(), 20);
    EXPECT_TRUE(label.LabelFont().bold());
}

TEST(LabelTest, WeightFollowsTheThousandScale) {
    struct Case {
        int weight;
        QFont::Weight expected;
        bool bold;
    };
    for (const Case& c : {Case{700, QFont::Bold, true}, Case{400, QFont::Normal, false},
                          Case{0, QFont::Normal, false}, Case{900, QFont::Black, true}}) {
        CLabel label;
        label.SetFontWeight(c.weight);
        EXPECT_EQ(label.LabelFont().weight(), c.expected) << c.weight;
        EXPECT_EQ(label.LabelFont().bold(), c.bold) << c.weight;
    }
}

TEST(LabelTest, DefaultsComeFromTheSystemPalette) {
    CLabel label;
    EXPECT_EQ(label.TextColor(), label.palette().color(QPalette::WindowText));
    EXPECT_EQ(label.BkColor(), label.palette().color(QPalette::Button));
}

TEST(LabelTest, PaintsItsBackgroundAndTextInItsColours) {
    CLabel label(QStringLiteral("검사결과"));
    label.resize(200, 40);
    label.setAlignment(Qt::AlignCenter);
    label.SetFontSize(28).SetFontBold(true);
    label.SetTextColor(QColor(255, 255, 0)).SetBkColor(QColor(163, 5, 50));
    const QImage image = label.grab().toImage();
    EXPECT_EQ(image.pixelColor(2, 2), QColor(163, 5, 50));
    EXPECT_EQ(image.pixelColor(197, 37), QColor(163, 5, 50));
    EXPECT_GT(CountPixels(image, QColor(255, 255, 0)), 10);
}
