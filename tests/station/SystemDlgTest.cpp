#include "display/DlgMain.h"
#include "display/EnTabCtrl.h"
#include "display/Label.h"
#include "inspection/RunController.h"
#include "setup/DlgPassword.h"
#include "setup/DlgSetup.h"
#include "setup/WidgetDialogs.h"
#include "station/HeaderIcon.h"
#include "station/SystemDlg.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/TempDir.h"
#include "tower/SignalTower.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

namespace {

class SystemDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The tower is the simulator library, whose log shows every pattern written.
        qputenv("STATION_TOWER_LIB", QByteArray(STATION_TOWER_SIM_PATH));
        qputenv("STATION_TOWER_SIM_LOG", towerLog().toLocal8Bit());
        window = std::make_unique<CSystemDlg>();
        window->OnInitDialog();
        window->show();
    }
    void TearDown() override {
        InstallStationDialogs(&dialogs);
        if (!window->IsShutdownRequested()) {
            window->Shutdown();
        }
        QSignalSpy finished(window.get(), &CSystemDlg::shutdownFinished);
        if (!window->IsShutDown()) {
            finished.wait(5000);
        }
        window.reset();
        qunsetenv("STATION_TOWER_LIB");
        qunsetenv("STATION_TOWER_SIM_LOG");
    }
    QString towerLog() const { return towerFolder.filePath(QStringLiteral("tower.log")); }
    // The patterns written to the tower, oldest first ("1 0 0 0 0 4").
    QStringList towerPatterns() const {
        QFile file(towerLog());
        QStringList patterns;
        if (file.open(QIODevice::ReadOnly)) {
            for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
                const int at = line.indexOf(QStringLiteral("pattern="));
                if (at >= 0) {
                    patterns << line.mid(at + 8, 11);
                }
            }
        }
        return patterns;
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

    QTemporaryDir towerFolder;
    ScopedUserSettings settings;
    RecordingDialogs dialogs;
    LogCapture log;
    std::unique_ptr<CSystemDlg> window;
};

// A widget inside the inspection page that notes every key that reaches it.
class KeyProbe : public QWidget {
  public:
    explicit KeyProbe(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }
    QList<int> keys;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() != Qt::Key_Alt) {  // the modifier of Alt+F4 on its own
            keys << event->key();
        }
    }
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
    KeyProbe probe(window->DlgMain());
    probe.show();
    probe.setFocus();
    QTest::keyClick(&probe, Qt::Key_F4, Qt::AltModifier);
    QTest::keyClick(&probe, Qt::Key_Escape);
    QTest::keyClick(&probe, Qt::Key_Return);
    QTest::keyClick(&probe, Qt::Key_Enter);
    QTest::keyClick(&probe, Qt::Key_F5);  // an ordinary key passes
    EXPECT_EQ(probe.keys, QList<int>{Qt::Key_F5});
    window->close();  // a window-manager close
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->IsShutdownRequested());
}

TEST_F(SystemDlgTest, EnterAndEscapeStillDismissAMessageBoxOverTheWindow) {
    window->Timers().stop(CSystemDlg::kTimerStartupCheck);
    for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("2채널 음향검사기"),
                        QStringLiteral("[ERROR]검사결과 Local DB 입력 실패\n[Error]gone"),
                        QMessageBox::Ok, window.get());
        QTimer::singleShot(100, &box, [&box, key] { QTest::keyClick(&box, Qt::Key(key)); });
        // Without the key the box would wait for a click; the test does not.
        QTimer::singleShot(3000, &box, [&box] { box.done(-1); });
        EXPECT_EQ(box.exec(), QMessageBox::Ok) << "key " << key << " did not reach the box";
    }
}

TEST_F(SystemDlgTest, AltF12OpensSensorSettingsOnlyFromTheInspectionPage) {
    QSignalSpy requested(window.get(), &CSystemDlg::sensorSettingsRequested);
    // The gate asks for the password; the operator closes the dialog, which is silent.
    int passwordDialogs = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&passwordDialogs] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<CDlgPassword*>(widget); dialog && dialog->isVisible()) {
                ++passwordDialogs;
                dialog->reject();
            }
        }
    });
    closer.start(20);
    QTest::keyClick(window->DlgMain(), Qt::Key_F12, Qt::AltModifier);
    EXPECT_TRUE(window->Timers().isActive(CSystemDlg::kTimerOpenSensorSettings));
    EXPECT_TRUE(requested.wait(1000));
    EXPECT_FALSE(window->Timers().isActive(CSystemDlg::kTimerOpenSensorSettings));
    EXPECT_EQ(passwordDialogs, 1);
    EXPECT_TRUE(messagesWithCaption("[ERROR]").empty());

    clickTab(1);
    QTest::keyClick(window->DlgSetup(), Qt::Key_F12, Qt::AltModifier);
    EXPECT_FALSE(window->Timers().isActive(CSystemDlg::kTimerOpenSensorSettings));
    const auto caution = messagesWithCaption("[주의]");
    ASSERT_EQ(caution.size(), 1u);
    EXPECT_EQ(caution[0].text, "센서 세부 설정은 검사모드에서만 가능합니다.");
}

TEST_F(SystemDlgTest, StartKeyAsksForAProductOnlyFromTheInspectionPage) {
    // No product is configured: a start request ends in the selection's message.
    const auto selectionMessages = [this] { return messagesWithCaption("시스템설정").size(); };
    window->Timers().stop(CSystemDlg::kTimerStartupCheck);
    QTest::qWait(200);  // the start-up selection has spoken
    const size_t before = selectionMessages();

    clickTab(1);
    QTest::keyClick(window->DlgSetup(), Qt::Key_F2);
    window->DlgMain()->Runs().WaitForStartRequests();
    EXPECT_EQ(selectionMessages(), before);

    clickTab(0);
    QTest::keyClick(window->DlgMain(), Qt::Key_F2);
    window->DlgMain()->Runs().WaitForStartRequests();
    EXPECT_EQ(selectionMessages(), before + 1);
    EXPECT_EQ(window->DlgMain()->Runs().CurrentSensorName(), QStringLiteral("Top"));
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
    // One sequence of what the shutdown does: the keys it writes and the lines it logs.
    QStringList steps;
    window->Store().setAccessObserver([&steps](ConfigStore::Access access, const QString& key) {
        steps << (access == ConfigStore::Access::Write ? "write " : "read ") + key;
    });
    const DebugLogSink previous = SetDebugLogSink([&steps](const QString& line) {
        if (line == "App.Exit #1-NG") {
            steps << line;
        }
    });
    QSignalSpy finished(window.get(), &CSystemDlg::shutdownFinished);
    QTest::mouseClick(window->ExitIcon(), Qt::LeftButton);
    SetDebugLogSink(previous);
    ASSERT_EQ(finished.count(), 1);
    QStringList expected = {"write Motor_address", "write Motor_pan_speed",
                            "write Motor_tilt_speed"};
    for (const QString& key : ConfigStore::keyOrder()) {
        expected << "write " + key;
    }
    expected << "App.Exit #1-NG";
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(ConfigStore::keyOrder().front(), "Vorn_db_server");
    // The run recordings' switch follows the long-standing keys.
    EXPECT_EQ(ConfigStore::keyOrder().back(), "Run_Record_Enable");
    EXPECT_EQ(ConfigStore::keyOrder().at(ConfigStore::keyOrder().size() - 2),
              "Phonolux_Video_Color");
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

TEST_F(SystemDlgTest, ExitRightAfterAnNgVerdictSwitchesTheTowerOff) {
    window->Timers().stop(CSystemDlg::kTimerStartupCheck);
    window->DlgMain()->Tower().ShowVerdict(true);
    ASSERT_EQ(towerPatterns().back(), "1 0 0 0 0 4");
    window->Shutdown();
    ASSERT_TRUE(window->IsShutDown());
    EXPECT_EQ(towerPatterns().back(), "0 0 0 0 0 0");
    // The lamp-off timer died with the page; nothing lights the tower again.
    QTest::qWait(50);
    EXPECT_EQ(towerPatterns().back(), "0 0 0 0 0 0");
}

TEST_F(SystemDlgTest, ShutdownInsideADialogWaitsUntilTheDialogHasReturned) {
    window->Timers().stop(CSystemDlg::kTimerStartupCheck);
    WidgetDialogs real;
    real.SetOwner(window.get());
    InstallStationDialogs(&real);
    // A service stop arrives while a message is up, and a worker waits for its question.
    QTimer::singleShot(200, window.get(), &CSystemDlg::Shutdown);
    std::atomic<bool> workerAnswered{false};
    bool workerAnswer = true;
    std::thread worker([&] {
        workerAnswer = AskYesNo(QStringLiteral("삭제"), QStringLiteral("삭제하시겠습니까?"));
        workerAnswered = true;
    });
    QElapsedTimer clock;
    clock.start();
    ShowMessage(QStringLiteral("네크워크 연결 해제"),
                QStringLiteral("센서와 네크워크 연결을 확인하고 다시 시작해 주세요."));
    EXPECT_LT(clock.elapsed(), 1500) << "the message was closed by the shutdown, not its timer";
    // The code below the dialog still finds everything it uses.
    EXPECT_TRUE(window->IsShutdownRequested());
    EXPECT_FALSE(window->IsShutDown());
    ASSERT_NE(window->DlgMain(), nullptr);
    EXPECT_EQ(window->DlgMain()->Config().SW_Title, QString::fromUtf8("2채널 음향검사기"));

    QSignalSpy finished(window.get(), &CSystemDlg::shutdownFinished);
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(window->DlgMain(), nullptr);
    QElapsedTimer workerClock;
    workerClock.start();
    while (!workerAnswered && workerClock.elapsed() < 5000) {
        QTest::qWait(10);
    }
    worker.join();
    EXPECT_FALSE(workerAnswer) << "a question nobody saw counts as not confirmed";
    // Later dialogs are not shown at all.
    clock.restart();
    ShowMessage(QStringLiteral("x"), QStringLiteral("y"));
    EXPECT_LT(clock.elapsed(), 500);
    InstallStationDialogs(&dialogs);
}

TEST_F(SystemDlgTest, ChangesAreNotWrittenBeforeShutdown) {
    window->DlgMain()->Config().plant_id = "never saved";
    ConfigStore store;
    StationConfig loaded;
    store.load(loaded);
    EXPECT_TRUE(loaded.plant_id.isEmpty());
}

}  // namespace
