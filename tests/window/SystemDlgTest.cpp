#include "app/window/HeaderIcon.h"
#include "app/window/SystemDlg.h"
#include "display/DlgMain.h"
#include "display/EnTabCtrl.h"
#include "display/Label.h"
#include "setup/DlgSetup.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/TempDir.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class SystemDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<CSystemDlg>();
        window->OnInitDialog();
        window->show();
    }
    void TearDown() override {
        if (!window->IsShutDown()) {
            window->Shutdown();
        }
        window.reset();
    }
    std::vector<RecordedDialog> messagesWithCaption(const QString& caption) const {
        std::vector<RecordedDialog> found;
        for (const auto& d : dialogs.messages()) {
            if (d.caption == caption) {
                found.push_back(d);
            }
        }
        return found;
    }
    // Clicks the tab item the way an operator does.
    void clickTab(int index) {
        QTest::mouseClick(window->TabCtrl(), Qt::LeftButton, {},
                          window->TabCtrl()->GetItemRect(index).center());
    }

    ScopedUserSettings settings;
    RecordingDialogs dialogs;
    LogCapture log;
    std::unique_ptr<CSystemDlg> window;
};

TEST_F(SystemDlgTest, LaysOutTheHeaderTabsAndPages) {
    EXPECT_EQ(window->geometry(), QRect(0, 0, 1920, 1080));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window->windowTitle().isEmpty());
    EXPECT_EQ(window->TitleLabel()->geometry(), QRect(39, 0, 1803, 39));
    EXPECT_EQ(window->TitleLabel()->text(), QString::fromUtf8(" 2채널 음향검사기 (Ver 2.98d)"));
    EXPECT_EQ(window->TitleLabel()->BkColor(), QColor(96, 96, 96));
    EXPECT_EQ(window->TitleLabel()->TextColor(), QColor(255, 255, 255));
    EXPECT_EQ(window->MinimiseIcon()->geometry(), QRect(1842, 0, 39, 39));
    EXPECT_EQ(window->ExitIcon()->geometry(), QRect(1881, 0, 39, 39));
    EXPECT_EQ(window->TabCtrl()->geometry(), QRect(0, 39, 1920, 1041));
    ASSERT_EQ(window->TabCtrl()->GetItemCount(), 2);
    EXPECT_EQ(window->TabCtrl()->GetItemText(0), "Insepection");
    EXPECT_EQ(window->TabCtrl()->GetItemText(1), "Setup");
    EXPECT_EQ(window->DlgMain()->geometry(), QRect(0, 21, 1920, 1020));
    EXPECT_EQ(window->DlgSetup()->geometry(), QRect(0, 21, 1920, 1020));
    EXPECT_TRUE(window->DlgMain()->isVisible());
    EXPECT_FALSE(window->DlgSetup()->isVisible());
    EXPECT_EQ(window->ShownPage(), 0);
}

TEST_F(SystemDlgTest, SetupTabIsRefusedWhileRunning) {
    window->DlgMain()->SetInspectionState(kInspectionRunning);
    clickTab(1);
    EXPECT_EQ(window->ShownPage(), 0);
    EXPECT_EQ(window->TabCtrl()->GetCurSel(), 0);
    EXPECT_TRUE(window->DlgMain()->isVisible());
    EXPECT_FALSE(window->DlgSetup()->isVisible());
    EXPECT_EQ(window->DlgMain()->InspectionState(), kInspectionRunning);
    const auto refused = messagesWithCaption("[검사중]");
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].text, "제품검사중에는 설정을 할 수 없습니다.");
}

TEST_F(SystemDlgTest, SetupRoundTripKeepsOrDropsAreaEditsByPage) {
    InspectionArea edited;
    edited.area_mode = 2;
    edited.area_x_line = {100, 200};
    window->DlgMain()->UpdateSensor([&](SensorSettings& s) { s.area = edited; });

    clickTab(1);
    EXPECT_EQ(window->ShownPage(), 1);
    EXPECT_TRUE(window->DlgSetup()->isVisible());
    EXPECT_EQ(window->DlgMain()->InspectionState(), kInspectionSetupShown);
    EXPECT_EQ(window->DlgMain()->SavedArea(), edited);
    EXPECT_TRUE(window->DlgSetup()->Timers().isActive(CDlgSetup::kTimerContainerRefresh));
    EXPECT_TRUE(window->DlgSetup()->Timers().isActive(CDlgSetup::kTimerSensorPageRefresh));

    // An unsaved edit on the sensor page is dropped when leaving from it...
    window->DlgMain()->UpdateSensor([](SensorSettings& s) { s.area.area_x_line = {5, 6}; });
    window->DlgSetup()->SetCurrentPage(CDlgSetup::kSensorPage);
    QSignalSpy refreshed(window->DlgMain(), &CDlgMain::screenRefreshed);
    clickTab(0);
    EXPECT_EQ(window->DlgMain()->InspectionState(), kInspectionReady);
    EXPECT_EQ(window->DlgMain()->Sensor()->area, edited);
    EXPECT_TRUE(refreshed.wait(1000));

    // ...and kept when leaving from the system page.
    clickTab(1);
    window->DlgMain()->UpdateSensor([](SensorSettings& s) { s.area.area_x_line = {5, 6}; });
    window->DlgSetup()->SetCurrentPage(CDlgSetup::kSystemPage);
    clickTab(0);
    EXPECT_EQ(window->DlgMain()->Sensor()->area.area_x_line, (std::array<int, 2>{5, 6}));
}

TEST_F(SystemDlgTest, KeysThatWouldCloseTheWindowAreSwallowed) {
    QTest::keyClick(window.get(), Qt::Key_F4, Qt::AltModifier);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTest::keyClick(window.get(), Qt::Key_Return);
    QTest::keyClick(window->DlgMain(), Qt::Key_Enter);
    window->close();  // a window-manager close
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->IsShutDown());
}

TEST_F(SystemDlgTest, AltF12OpensSensorSettingsOnlyFromTheInspectionPage) {
    QSignalSpy requested(window.get(), &CSystemDlg::sensorSettingsRequested);
    QTest::keyClick(window->DlgMain(), Qt::Key_F12, Qt::AltModifier);
    EXPECT_TRUE(window->Timers().isActive(CSystemDlg::kTimerOpenSensorSettings));
    EXPECT_TRUE(requested.wait(1000));
    EXPECT_FALSE(window->Timers().isActive(CSystemDlg::kTimerOpenSensorSettings));

    clickTab(1);
    QTest::keyClick(window->DlgSetup(), Qt::Key_F12, Qt::AltModifier);
    EXPECT_FALSE(window->Timers().isActive(CSystemDlg::kTimerOpenSensorSettings));
    const auto caution = messagesWithCaption("[주의]");
    ASSERT_EQ(caution.size(), 1u);
    EXPECT_EQ(caution[0].text, "센서 세부 설정은 검사모드에서만 가능합니다.");
}

TEST_F(SystemDlgTest, DebugFlagChangesTheTitle) {
    window->DlgMain()->Config().Inspection_Debug_Flag_Sensor = 1;
    window->DlgMain()->Config().SW_Title = "Line 3";
    window->UpdateTitle();
    EXPECT_EQ(window->TitleLabel()->text(), " Line 3 (Ver 2.98d/D)");
}

TEST_F(SystemDlgTest, StartupCheckShowsProgressThenTheFailedChecks) {
    window->Timers().stop(CSystemDlg::kTimerStartupCheck);
    dialogs.clear();
    window->DlgMain()->Config().Vorn_db_server = "0.0.0.0";
    window->RunStartupCheck();
    const auto all = dialogs.recorded();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].kind, RecordedDialog::Progress);
    EXPECT_EQ(all[0].caption, QString::fromUtf8("2채널 음향검사기 초기화"));
    EXPECT_EQ(all[0].steps, 20);
    EXPECT_EQ(all[1].caption, "저장폴더 설정");
    EXPECT_EQ(all[1].text, "'시스템'설정에서 '저장폴더'를 설정을 해주세요.");
    EXPECT_EQ(all[2].caption, "Vorn DB Server 설정");
    EXPECT_EQ(all[2].text, "Vorn DB Server(0.0.0.0) 연결을 확인해 주세요.");

    dialogs.clear();
    window->DlgMain()->Config().Vorn_db_server = "127.0.0.1";
    window->DlgMain()->Config().Bridge_db_server = "";
    window->DlgMain()->Config().FolderName_Result = "/srv/results";
    window->RunStartupCheck();
    const auto second = dialogs.messages();
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].caption, "Bridge DB Server 설정");
    EXPECT_EQ(second[0].text, "Bridge DB Server() 연결을 확인해 주세요.");
}

TEST_F(SystemDlgTest, StartupCheckRunsOnceAfterItsTimer) {
    QTest::qWait(1500);
    const auto all = dialogs.recorded();
    int progress = 0;
    for (const auto& d : all) {
        progress += d.kind == RecordedDialog::Progress;
    }
    EXPECT_EQ(progress, 1);
    EXPECT_FALSE(window->Timers().isActive(CSystemDlg::kTimerStartupCheck));
}

TEST_F(SystemDlgTest, ExitIconSavesEverythingInOrderAndEnds) {
    window->Timers().stop(CSystemDlg::kTimerStartupCheck);
    window->DlgMain()->Config().plant_id = "PLANT-9";
    window->DlgMain()->Config().Spectrum_MAX_DB = 110;
    window->Motor().Motor_pan_speed = 33;
    QSignalSpy finished(window.get(), &CSystemDlg::shutdownFinished);
    QTest::mouseClick(window->ExitIcon(), Qt::LeftButton);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_TRUE(log.contains("App.Exit #1-NG"));
    EXPECT_EQ(window->DlgMain(), nullptr);
    EXPECT_EQ(window->DlgSetup(), nullptr);

    ConfigStore store;
    StationConfig loaded;
    store.load(loaded);
    EXPECT_EQ(loaded.plant_id, "PLANT-9");
    EXPECT_EQ(loaded.Spectrum_MAX_DB, 110);
    MotorConfig motor;
    store.loadMotor(motor);
    EXPECT_EQ(motor.Motor_pan_speed, 33);
}

TEST_F(SystemDlgTest, ChangesAreNotWrittenBeforeShutdown) {
    window->DlgMain()->Config().plant_id = "never saved";
    ConfigStore store;
    StationConfig loaded;
    store.load(loaded);
    EXPECT_TRUE(loaded.plant_id.isEmpty());
}

}  // namespace
