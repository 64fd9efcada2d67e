#include "display/EnTabCtrl.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <vector>

namespace {

class TabFixture : public ::testing::Test {
  protected:
    TabFixture() {
        tabs.resize(400, 200);
        EXPECT_EQ(tabs.AddItem(QStringLiteral(" Sensor ")), 0);
        EXPECT_EQ(tabs.AddItem(QStringLiteral(" System ")), 1);
        QObject::connect(&tabs, &CBaseTabCtrl::selectionChanged,
                         [this](int index) { selections.push_back(index); });
    }
    void Click(QPoint at) {
        QMouseEvent press(QEvent::MouseButtonPress, at, tabs.mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&tabs, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, tabs.mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&tabs, &release);
    }

    CEnTabCtrl tabs;
    std::vector<int> selections;
};

}  // namespace

TEST_F(TabFixture, ItemsSitSideBySideInTheTabRow) {
    EXPECT_EQ(tabs.GetItemCount(), 2);
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_EQ(tabs.GetItemText(1), QStringLiteral(" System "));
    const QRect first = tabs.GetItemRect(0);
    const QRect second = tabs.GetItemRect(1);
    EXPECT_EQ(first.top(), 0);
    EXPECT_EQ(first.height(), CBaseTabCtrl::kTabRowHeight);
    EXPECT_EQ(second.left(), first.right() + 1);
    EXPECT_GT(first.width(), 0);
    EXPECT_TRUE(tabs.GetItemRect(2).isNull());
    EXPECT_EQ(tabs.PageRect(), QRect(0, 21, 400, 179));
}

TEST_F(TabFixture, ClickSelectsAndNotifiesButSetCurSelDoesNot) {
    Click(tabs.GetItemRect(1).center());
    EXPECT_EQ(tabs.GetCurSel(), 1);
    EXPECT_EQ(selections, std::vector<int>{1});

    Click(tabs.GetItemRect(1).center());  // already current
    Click(QPoint(390, 10));               // beside the tabs
    Click(QPoint(50, 100));               // on the page area
    EXPECT_EQ(selections, std::vector<int>{1});

    EXPECT_EQ(tabs.SetCurSel(0), 1);
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_EQ(selections, std::vector<int>{1});
    EXPECT_EQ(tabs.SetCurSel(5), 0);
    EXPECT_EQ(tabs.GetCurSel(), 0);
}

TEST_F(TabFixture, PaintsTheSelectedTabJoinedToThePage) {
    tabs.SetCurSel(1);
    const QImage image = tabs.grab().toImage();
    const QRect idle = tabs.GetItemRect(0);
    const QRect selected = tabs.GetItemRect(1);
    const QColor dark(35, 35, 35);
    const QColor page(70, 70, 70);
    EXPECT_EQ(image.pixelColor(idle.left() + 2, 3), dark);
    EXPECT_EQ(image.pixelColor(selected.left() + 2, 3), page);
    EXPECT_EQ(image.pixelColor(selected.right() + 20, 10), dark);  // row beside the tabs
    EXPECT_EQ(image.pixelColor(200, 120), page);                   // page area
    EXPECT_EQ(image.pixelColor(200, 21), QColor(Qt::black));       // page outline
    EXPECT_EQ(image.pixelColor(selected.center().x(), 21), page);  // joined edge
    EXPECT_EQ(image.pixelColor(idle.center().x(), 21), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(idle.left(), 10), QColor(Qt::black));  // tab outline

    bool whiteText = false;
    bool greyText = false;
    for (int y = 0; y < 21; ++y) {
        for (int x = 0; x < 400; ++x) {
            const QColor c = image.pixelColor(x, y);
            whiteText |= selected.contains(x, y) && c == QColor(Qt::white);
            greyText |= idle.contains(x, y) && c == QColor(150, 150, 150);
        }
    }
    EXPECT_TRUE(whiteText);
    EXPECT_TRUE(greyText);
}
