#include "display/TextProgressCtrl.h"

#include <QFont>
#include <QImage>

#include <gtest/gtest.h>

#include <set>

namespace {

int CountPixels(const QImage& image, const QRect& area, QColor color) {
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            count += image.pixelColor(x, y).rgb() == color.rgb();
        }
    }
    return count;
}

const QColor kBar(0, 0, 255);
const QColor kBackground(0, 0, 0);
const QColor kTextOverBackground(255, 0, 0);
const QColor kTextOverBar(255, 255, 0);

class TextProgressFixture : public ::testing::Test {
  protected:
    TextProgressFixture() {
        bar.resize(200, 50);
        QFont font = bar.font();
        font.setPixelSize(36);
        font.setBold(true);
        bar.setFont(font);
        bar.SetBarColor(kBar);
        bar.SetBkColor(kBackground);
        bar.SetTextColor(kTextOverBackground);
        bar.SetTextBkColor(kTextOverBar);
    }
    CTextProgressCtrl bar;
};

}  // namespace

TEST(TextProgressCtrlTest, RangeSettersReturnTheOldRangePacked) {
    CTextProgressCtrl bar;
    EXPECT_EQ(bar.SetRange(10, 200), 0x00640000u);  // default 0 .. 100
    EXPECT_EQ(bar.SetRange32(0, 50), 0x00C8000Au);
    EXPECT_EQ(bar.GetRange(true), 0);
    EXPECT_EQ(bar.GetRange(false), 50);
    int lo = -1;
    int hi = -1;
    bar.GetRange(&lo, &hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 50);
    EXPECT_EQ(CTextProgressCtrl::PackRange(-1, 3), 0x0003FFFFu);
}

TEST(TextProgressCtrlTest, PositionIsClampedAndSettersReturnTheOldValue) {
    CTextProgressCtrl bar;
    EXPECT_EQ(bar.SetPos(40), 0);
    EXPECT_EQ(bar.SetPos(150), 40);
    EXPECT_EQ(bar.GetPos(), 100);
    EXPECT_EQ(bar.SetPos(-5), 100);
    EXPECT_EQ(bar.GetPos(), 0);
    EXPECT_EQ(bar.OffsetPos(30), 0);
    EXPECT_EQ(bar.OffsetPos(-10), 30);
    EXPECT_EQ(bar.GetPos(), 20);
    EXPECT_EQ(bar.SetStep(25), 10);
    EXPECT_EQ(bar.SetStep(5), 25);
}

TEST(TextProgressCtrlTest, StepWrapsAroundTheRange) {
    struct Case {
        int lo, hi, pos, step, expected;
    };
    const Case cases[] = {
        {0, 100, 50, 10, 60},  {0, 100, 95, 10, 5}, {0, 100, 100, 10, 10}, {0, 100, 5, -10, 95},
        {0, 100, 90, 10, 100}, {10, 20, 18, 5, 13}, {10, 20, 12, -5, 17},
    };
    for (const Case& c : cases) {
        CTextProgressCtrl bar;
        bar.SetRange(c.lo, c.hi);
        bar.SetPos(c.pos);
        bar.SetStep(c.step);
        EXPECT_EQ(bar.StepIt(), c.pos);
        EXPECT_EQ(bar.GetPos(), c.expected)
            << c.lo << ".." << c.hi << " " << c.pos << "+" << c.step;
    }
}

TEST(TextProgressCtrlTest, ColoursDefaultToTheSystemPaletteAndSettersReturnTheOld) {
    CTextProgressCtrl bar;
    EXPECT_EQ(bar.GetBarColor(), bar.palette().color(QPalette::Highlight));
    EXPECT_EQ(bar.GetBkColor(), bar.palette().color(QPalette::Button));
    EXPECT_EQ(bar.GetTextColor(), bar.palette().color(QPalette::WindowText));
    EXPECT_EQ(bar.GetTextBkColor(), bar.palette().color(QPalette::Base));
    EXPECT_FALSE(bar.SetBarColor(QColor(45, 200, 45)).isValid());
    EXPECT_EQ(bar.SetBarColor(QColor(1, 2, 3)), QColor(45, 200, 45));
    EXPECT_FALSE(bar.SetBkColor(QColor(80, 80, 80)).isValid());
    EXPECT_EQ(bar.GetBkColor(), QColor(80, 80, 80));
}

TEST_F(TextProgressFixture, EmptyRangeDrawsNothing) {
    bar.SetRange(50, 50);
    bar.SetPos(50);
    EXPECT_TRUE(bar.DisplayText().isEmpty());
    EXPECT_TRUE(bar.BarRect().isNull());
    const QImage image = bar.grab().toImage();
    for (QColor color : {kBar, kBackground, kTextOverBackground, kTextOverBar}) {
        EXPECT_EQ(CountPixels(image, image.rect(), color), 0) << color.name().toStdString();
    }
}

TEST_F(TextProgressFixture, HalfwayShowsFiftyPercentCentred) {
    bar.SetPos(50);
    EXPECT_EQ(bar.DisplayText(), QStringLiteral("50%"));
    EXPECT_EQ(bar.BarRect(), QRect(0, 0, 100, 50));
    const QRect text = bar.TextRect();
    EXPECT_LE(std::abs(text.center().x() - 100), 1);
    EXPECT_LE(std::abs(text.center().y() - 25), 1);

    bar.SetShowPercent(false);
    bar.SetText(QStringLiteral("12.5 Sec"));
    EXPECT_EQ(bar.DisplayText(), QStringLiteral("12.5 Sec"));
}

TEST_F(TextProgressFixture, PercentIsRounded) {
    bar.SetRange(0, 3);
    bar.SetPos(2);
    EXPECT_EQ(bar.DisplayText(), QStringLiteral("67%"));
    bar.SetPos(1);
    EXPECT_EQ(bar.DisplayText(), QStringLiteral("33%"));
}

TEST_F(TextProgressFixture, TextTakesTheColourOfThePartItLiesOn) {
    bar.SetPos(50);
    const QImage image = bar.grab().toImage();
    EXPECT_EQ(image.pixelColor(2, 2), kBar);
    EXPECT_EQ(image.pixelColor(197, 2), kBackground);
    const QRect text = bar.TextRect();
    const QRect overBar(QPoint(text.left(), 0), QPoint(99, 49));
    const QRect overBackground(QPoint(100, 0), QPoint(text.right(), 49));
    EXPECT_GT(CountPixels(image, overBar, kTextOverBar), 0);
    EXPECT_EQ(CountPixels(image, overBar, kTextOverBackground), 0);
    EXPECT_GT(CountPixels(image, overBackground, kTextOverBackground), 0);
    EXPECT_EQ(CountPixels(image, overBackground, kTextOverBar), 0);
}

TEST_F(TextProgressFixture, TextAlignment) {
    bar.SetPos(10);
    bar.SetAlignment(CTextProgressCtrl::AlignLeft);
    EXPECT_EQ(bar.TextRect().left(), 2);
    bar.SetAlignment(CTextProgressCtrl::AlignRight);
    EXPECT_EQ(bar.TextRect().left() + bar.TextRect().width(), 200 - 3);
}

TEST_F(TextProgressFixture, VerticalBarGrowsFromTheBottom) {
    bar.resize(40, 200);
    bar.SetVertical(true);
    bar.SetPos(25);
    EXPECT_EQ(bar.BarRect(), QRect(0, 150, 40, 50));
    const QImage image = bar.grab().toImage();
    EXPECT_EQ(image.pixelColor(20, 197), kBar);
    EXPECT_EQ(image.pixelColor(20, 2), kBackground);
}

TEST(TextProgressCtrlMarqueeTest, MarqueeSwingsBetweenMinAndTheWidenedTop) {
    CTextProgressCtrl bar;
    bar.SetRange(0, 10);
    bar.SetMarquee(true, 60000);
    EXPECT_TRUE(bar.IsMarquee());
    EXPECT_FALSE(bar.ShowPercent());
    // With the default 20 % bar the position may run on to 12.
    bar.SetPos(50);
    EXPECT_EQ(bar.GetPos(), 12);
    std::set<int> seen;
    for (int i = 0; i < 60; ++i) {
        bar.MarqueeTick();
        seen.insert(bar.GetPos());
    }
    EXPECT_EQ(*seen.begin(), 0);
    EXPECT_EQ(*seen.rbegin(), 12);
    bar.SetMarquee(false, 0);
    EXPECT_FALSE(bar.IsMarquee());
    bar.SetPos(50);
    EXPECT_EQ(bar.GetPos(), 10);
}

TEST(TextProgressCtrlMarqueeTest, BarTurnsWhenTheRoundedTopLiesBeyondTheReachableOne) {
    // 10 x 125 / 100 = 12.5: positions stop at 12 while the rounded turning point is 13.
    CTextProgressCtrl bar;
    bar.SetRange(0, 10);
    bar.SetMarqueeSize(25);
    bar.SetMarquee(true, 60000);
    std::set<int> seen;
    for (int i = 0; i < 60; ++i) {
        bar.MarqueeTick();
        seen.insert(bar.GetPos());
    }
    EXPECT_EQ(*seen.begin(), 0);
    EXPECT_EQ(*seen.rbegin(), 12);
    bar.SetMarquee(false, 0);
}

TEST(TextProgressCtrlTest, WideRangesDoNotOverflow) {
    CTextProgressCtrl bar;
    bar.resize(200, 20);
    bar.SetRange32(-2000000000, 2000000000);
    bar.SetPos(0);
    EXPECT_EQ(bar.DisplayText(), QStringLiteral("50%"));
    EXPECT_EQ(bar.BarRect().width(), 100);
    bar.SetPos(2000000000);
    bar.SetStep(1000000000);
    bar.StepIt();
    EXPECT_EQ(bar.GetPos(), -1000000000);
    bar.OffsetPos(-2000000000);
    EXPECT_EQ(bar.GetPos(), -2000000000);

    CTextProgressCtrl marquee;
    marquee.SetRange32(0, 2000000000);
    marquee.SetMarquee(true, 60000);
    marquee.SetPos(2100000000);
    EXPECT_EQ(marquee.GetPos(), 2100000000);
    marquee.SetMarquee(false, 0);
}
