#include "inspection/InspectionState.h"
#include "station/MainKeyFilter.h"
#include "station/PageSwitch.h"
#include "station/SystemDlg.h"

#include <gtest/gtest.h>

namespace {

struct SwitchCase {
    const char* name;
    int requested, shown, state, setupSubPage;
    bool refused;
    int newState, shownAfter;
    bool save, restore, screenRefresh, setupRefresh;
    friend void PrintTo(const SwitchCase& c, std::ostream* os) { *os << c.name; }
};

class PageSwitchTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(PageSwitchTest, PlanMatchesTheRules) {
    const SwitchCase& c = GetParam();
    const PageSwitchPlan plan = PlanPageSwitch(c.requested, c.shown, c.state, c.setupSubPage);
    EXPECT_EQ(plan.refused, c.refused);
    EXPECT_EQ(plan.newInspectionState, c.newState);
    EXPECT_EQ(plan.shownPage, c.shownAfter);
    EXPECT_EQ(plan.saveLiveArea, c.save);
    EXPECT_EQ(plan.restoreLiveArea, c.restore);
    EXPECT_EQ(plan.startScreenRefresh, c.screenRefresh);
    EXPECT_EQ(plan.startSetupRefresh, c.setupRefresh);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PageSwitchTest,
    ::testing::Values(SwitchCase{"SetupRefusedWhileRunning", 1, 0, kInspectionRunning, 0, true, -1,
                                 0, false, false, false, false},
                      SwitchCase{"SetupFromIdle", 1, 0, kInspectionIdle, 0, false,
                                 kInspectionSetupShown, 1, true, false, false, true},
                      SwitchCase{"SetupWhileFinishing", 1, 0, kInspectionFinishing, 0, false,
                                 kInspectionSetupShown, 1, true, false, false, true},
                      SwitchCase{"BackFromSensorPage", 0, 1, kInspectionSetupShown, 0, false,
                                 kInspectionReady, 0, false, true, true, false},
                      SwitchCase{"BackFromSystemPage", 0, 1, kInspectionSetupShown, 1, false,
                                 kInspectionReady, 0, false, false, true, false},
                      SwitchCase{"StartUpSelection", 0, 0, kInspectionIdle, 0, false, -1, 0, false,
                                 false, false, false}));

TEST(MainKeyFilterTest, ClassifiesTheFilteredKeys) {
    const auto alt = Qt::AltModifier;
    const auto none = Qt::NoModifier;
    EXPECT_EQ(ClassifyMainKey(Qt::Key_F4, alt, 0), MainKeyAction::Swallow);
    EXPECT_EQ(ClassifyMainKey(Qt::Key_F4, none, 0), MainKeyAction::Pass);
    EXPECT_EQ(ClassifyMainKey(Qt::Key_Return, none, 0), MainKeyAction::Swallow);
    EXPECT_EQ(ClassifyMainKey(Qt::Key_Enter, none, 1), MainKeyAction::Swallow);
    EXPECT_EQ(ClassifyMainKey(Qt::Key_Escape, none, 0), MainKeyAction::Swallow);
    EXPECT_EQ(ClassifyMainKey(Qt::Key_F12, alt, 0), MainKeyAction::OpenSensorSettings);
    EXPECT_EQ(ClassifyMainKey(Qt::Key_F12, alt, 1), MainKeyAction::SetupCaution);
    EXPECT_EQ(ClassifyMainKey(Qt::Key_F12, none, 0), MainKeyAction::Pass);
    EXPECT_EQ(ClassifyMainKey(Qt::Key_A, none, 0), MainKeyAction::Pass);
}

TEST(TitleTest, DebugFlagAddsTheMark) {
    const QString title = QString::fromUtf8("2채널 음향검사기");
    EXPECT_EQ(CSystemDlg::FormatTitle(title, 0),
              QString::fromUtf8(" 2채널 음향검사기 (Ver 2.98d)"));
    EXPECT_EQ(CSystemDlg::FormatTitle(title, 1),
              QString::fromUtf8(" 2채널 음향검사기 (Ver 2.98d/D)"));
    EXPECT_EQ(CSystemDlg::FormatTitle("T", 2), " T (Ver 2.98d)");
}

}  // namespace
