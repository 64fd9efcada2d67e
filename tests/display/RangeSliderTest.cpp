#include "display/RangeSlider.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <vector>

namespace {

// 349 x 20: thumbs 15 pixels wide and a 319-pixel track, so one pixel is one unit of 0 .. 319.
class RangeSliderFixture : public ::testing::Test {
  protected:
    RangeSliderFixture() {
        slider.resize(349, 20);
        slider.SetMinMax(0, 319);
        slider.SetRange(50, 200);
        QObject::connect(&slider, &CRangeSlider::rangeChanged,
                         [this](int code) { codes.push_back(code); });
    }

    void Mouse(QEvent::Type type, int along) {
        const QPointF at = slider.IsHorizontal() ? QPointF(along, 10) : QPointF(10, along);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons buttons =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, slider.mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&slider, &event);
    }
    void Drag(int from, std::initializer_list<int> path) {
        Mouse(QEvent::MouseButtonPress, from);
        for (int to : path) {
            Mouse(QEvent::MouseMove, to);
        }
        Mouse(QEvent::MouseButtonRelease, path.size() ? *(path.end() - 1) : from);
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(&slider, &event);
    }
    int Centre(CRangeSlider::Part part) const {
        const QRect r = slider.PartRect(part);
        return slider.IsHorizontal() ? r.center().x() : r.center().y();
    }

    CRangeSlider slider;
    std::vector<int> codes;
};

}  // namespace

TEST_F(RangeSliderFixture, Geometry) {
    EXPECT_EQ(slider.ArrowWidth(), 15);
    EXPECT_EQ(slider.TrackLength(), 319);
    EXPECT_EQ(slider.PartRect(CRangeSlider::LeftThumb), QRect(50, 0, 15, 20));
    EXPECT_EQ(slider.PartRect(CRangeSlider::RightThumb), QRect(215, 0, 15, 20));
    EXPECT_EQ(slider.PartRect(CRangeSlider::Middle), QRect(65, 0, 150, 20));
}

TEST_F(RangeSliderFixture, LeftThumbDraggedPastTheRightStopsAtTheRightValue) {
    Drag(Centre(CRangeSlider::LeftThumb), {120, 250, 340});
    EXPECT_DOUBLE_EQ(slider.GetLeft(), 200);
    EXPECT_DOUBLE_EQ(slider.GetRight(), 200);
    EXPECT_EQ(codes, (std::vector<int>{0, 0, 0}));
    EXPECT_FALSE(slider.IsTracking());
}

TEST_F(RangeSliderFixture, GrabbingOffCentreDoesNotMakeTheThumbJump) {
    // Press on the thumb's leading edge and move ten pixels: the value moves ten units.
    Drag(50, {60});
    EXPECT_DOUBLE_EQ(slider.GetLeft(), 60);
    EXPECT_DOUBLE_EQ(slider.GetRight(), 200);
}

TEST_F(RangeSliderFixture, RightThumbStopsAtTheLeftAndReportsOnlyChanges) {
    const int start = Centre(CRangeSlider::RightThumb);
    Mouse(QEvent::MouseButtonPress, start);
    Mouse(QEvent::MouseMove, start + 30);
    EXPECT_DOUBLE_EQ(slider.GetRight(), 230);
    Mouse(QEvent::MouseMove, start + 30);  // no change
    Mouse(QEvent::MouseMove, 0);
    Mouse(QEvent::MouseButtonRelease, 0);
    EXPECT_DOUBLE_EQ(slider.GetRight(), 50);
    EXPECT_DOUBLE_EQ(slider.GetLeft(), 50);
    EXPECT_EQ(codes, (std::vector<int>{1, 0, 1}));
}

TEST_F(RangeSliderFixture, MiddleDragKeepsTheWidthAgainstEitherEnd) {
    const int middle = Centre(CRangeSlider::Middle);
    Drag(middle, {middle + 20});
    EXPECT_DOUBLE_EQ(slider.GetLeft(), 70);
    EXPECT_DOUBLE_EQ(slider.GetRight(), 220);

    Drag(Centre(CRangeSlider::Middle), {1000});
    EXPECT_DOUBLE_EQ(slider.GetRight(), 319);
    EXPECT_DOUBLE_EQ(slider.GetLeft(), 169);

    Drag(Centre(CRangeSlider::Middle), {-1000});
    EXPECT_DOUBLE_EQ(slider.GetLeft(), 0);
    EXPECT_DOUBLE_EQ(slider.GetRight(), 150);
    EXPECT_EQ(codes, (std::vector<int>{2, 2, 2}));
}

TEST_F(RangeSliderFixture, PressOutsideTheThumbsAndBandTracksNothing) {
    Drag(10, {300});
    EXPECT_TRUE(codes.empty());
    EXPECT_DOUBLE_EQ(slider.GetLeft(), 50);
    EXPECT_DOUBLE_EQ(slider.GetRight(), 200);
}

TEST_F(RangeSliderFixture, ArrowKeysMoveOnePixel) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        double left, right;
        std::vector<int> codes;
    };
    const Case cases[] = {
        {Qt::Key_Right, Qt::NoModifier, 51, 201, {2}},
        {Qt::Key_Left, Qt::NoModifier, 49, 199, {2}},
        {Qt::Key_Right, Qt::ShiftModifier, 50, 201, {0}},
        {Qt::Key_Left, Qt::ShiftModifier, 50, 199, {0}},
        {Qt::Key_Right, Qt::ControlModifier, 50, 200, {}},
        {Qt::Key_Up, Qt::NoModifier, 50, 200, {}},
    };
    for (const Case& c : cases) {
        slider.SetRange(50, 200);
        codes.clear();
        Key(c.key, c.modifiers);
        EXPECT_DOUBLE_EQ(slider.GetLeft(), c.left) << c.key << " " << int(c.modifiers);
        EXPECT_DOUBLE_EQ(slider.GetRight(), c.right) << c.key << " " << int(c.modifiers);
        EXPECT_EQ(codes, c.codes) << c.key << " " << int(c.modifiers);
    }
}

TEST_F(RangeSliderFixture, ArrowKeysStopAtTheEnds) {
    slider.SetRange(0, 100);
    Key(Qt::Key_Left);
    EXPECT_DOUBLE_EQ(slider.GetLeft(), 0);
    EXPECT_TRUE(codes.empty());
    for (int i = 0; i < 219; ++i) {
        Key(Qt::Key_Right);
    }
    EXPECT_NEAR(slider.GetLeft(), 219, 1e-9);
    EXPECT_NEAR(slider.GetRight(), 319, 1e-9);
    EXPECT_EQ(codes.size(), 219u);
    Key(Qt::Key_Right);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_NEAR(slider.GetRight(), 319, 1e-9);
    EXPECT_EQ(codes.size(), 219u);
}

TEST_F(RangeSliderFixture, ShiftArrowDoesNotCrossTheLeftThumb) {
    slider.SetRange(100, 101);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(slider.GetRight(), 100);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(slider.GetRight(), 100);
    EXPECT_DOUBLE_EQ(slider.GetLeft(), 100);
    EXPECT_EQ(codes, (std::vector<int>{0}));
}

TEST_F(RangeSliderFixture, VerticalSliderUsesTheOtherAxis) {
    slider.resize(20, 349);
    slider.SetHorizontal(false);
    Key(Qt::Key_Right);
    EXPECT_DOUBLE_EQ(slider.GetLeft(), 50);
    Key(Qt::Key_Down);
    EXPECT_DOUBLE_EQ(slider.GetLeft(), 51);
    Drag(Centre(CRangeSlider::LeftThumb), {Centre(CRangeSlider::LeftThumb) + 9});
    EXPECT_DOUBLE_EQ(slider.GetLeft(), 60);
}

TEST(RangeSliderTest, NormalisationClampsAndNotifies) {
    struct Case {
        double min, max, left, right;
        double expectedLeft, expectedRight;
        std::vector<int> codes;
    };
    const Case cases[] = {
        {0, 10, -5, 5, 0, 5, {0}},       {0, 10, 2, 20, 2, 10, {1}},    {0, 10, 8, 3, 8, 8, {1}},
        {0, 10, 15, 20, 10, 10, {1, 0}}, {0, 10, -3, -1, 0, 0, {0, 1}}, {0, 10, 2, 8, 2, 8, {}},
    };
    for (const Case& c : cases) {
        CRangeSlider slider;
        slider.SetMinMax(c.min, c.max);
        std::vector<int> codes;
        QObject::connect(&slider, &CRangeSlider::rangeChanged,
                         [&codes](int code) { codes.push_back(code); });
        slider.SetRange(c.left, c.right);
        EXPECT_DOUBLE_EQ(slider.GetLeft(), c.expectedLeft) << c.left << "," << c.right;
        EXPECT_DOUBLE_EQ(slider.GetRight(), c.expectedRight) << c.left << "," << c.right;
        EXPECT_EQ(codes, c.codes) << c.left << "," << c.right;
    }

    CRangeSlider slider;
    slider.SetMinMax(0, 10);
    slider.SetRange(2, 8);
    slider.SetMinMax(0, 5);
    EXPECT_DOUBLE_EQ(slider.GetLeft(), 2);
    EXPECT_DOUBLE_EQ(slider.GetRight(), 5);
}

TEST(RangeSliderTest, VisualRangeIsOrderedAndClamped) {
    CRangeSlider slider;
    slider.SetMinMax(0, 10);
    slider.SetVisualMinMax(8, -2);
    EXPECT_DOUBLE_EQ(slider.GetVisualMin(), 0);
    EXPECT_DOUBLE_EQ(slider.GetVisualMax(), 8);
    slider.SetVisualMinMax(3, 30);
    EXPECT_DOUBLE_EQ(slider.GetVisualMin(), 3);
    EXPECT_DOUBLE_EQ(slider.GetVisualMax(), 10);
}

TEST_F(RangeSliderFixture, PaintColoursTheBandInsideTheVisualRange) {
    slider.SetVisualMinMax(100, 150);
    slider.SetVisualMode(true);
    const QImage image = slider.grab().toImage();
    const int a = slider.ArrowWidth();
    EXPECT_EQ(image.pixelColor(a + 80, 10), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(a + 125, 10), QColor(255, 255, 150));
    EXPECT_EQ(image.pixelColor(a + 180, 10), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(25, 10), QColor(128, 128, 128));   // track left of the thumbs
    EXPECT_EQ(image.pixelColor(300, 10), QColor(128, 128, 128));  // track right of them
    EXPECT_EQ(image.pixelColor(0, 10), QColor(Qt::black));        // outline

    slider.SetVisualMode(false);
    EXPECT_EQ(slider.grab().toImage().pixelColor(a + 125, 10), QColor(Qt::white));
}
