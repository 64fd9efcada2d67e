// The setup pages on the real main window and the real databases: the product and sensor
// settings dialog, the inspection-area page, the system page, the container and the settings
// gate behind Alt+F12.
#include "app/ConfigStore.h"
#include "display/DlgMain.h"
#include "display/EnTabCtrl.h"
#include "display/Label.h"
#include "display/PicturePane.h"
#include "display/RangeSlider.h"
#include "inspection/InspectionState.h"
#include "inspection/RunController.h"
#include "pantilt/PanTiltControl.h"
#include "remote/ControlLink.h"
#include "sensor/PhonoluxDevice.h"
#include "setup/DlgPassword.h"
#include "setup/DlgSetup.h"
#include "setup/DlgSetupSC.h"
#include "setup/SettingsPassword.h"
#include "setup/SetupPositionDlg.h"
#include "setup/SetupVornDlg.h"
#include "station/SystemDlg.h"
#include "storage/DbProfile.h"
#include "storage/StationStorage.h"
#include "streaming/StreamingPush.h"
#include "tests/pantilt/PseudoTerminal.h"
#include "tests/sensor/CameraSimProcess.h"
#include "tests/storage/DbTestSupport.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class SetupPagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(admin.ok());
        prefix = UniqueName(QStringLiteral("setup"));
        // No server of this machine is reached unless a test starts its own.
        qputenv("STATION_CONTROL_PORT", UnusedPort());
        qputenv("STATION_STREAMING_PORTS", UnusedPort() + "," + UnusedPort());
        StationConfig config;
        config.FolderName_Result = results.path() + "/result";
        config.FolderName_Network = results.path() + "/network";
        ConfigStore().save(config);
        StartStation();
    }
    void StartStation() {
        window = std::make_unique<CSystemDlg>();
        window->OnInitDialog();
        window->Timers().stop(CSystemDlg::kTimerStartupCheck);
        window->show();
        // The start-up selection of the configured product has run.
        QTest::qWait(200);
        dialogs.clear();
    }
    void StopStation() {
        if (!window->IsShutdownRequested()) {
            window->Shutdown();
        }
        QSignalSpy finished(window.get(), &CSystemDlg::shutdownFinished);
        if (!window->IsShutDown()) {
            finished.wait(5000);
        }
        window.reset();
    }
    void TearDown() override {
        StopStation();
        qunsetenv("STATION_CONTROL_PORT");
        qunsetenv("STATION_STREAMING_PORTS");
        DeleteTestRows(admin, prefix);
    }

    SetupStation Station() {
        return SetupStation{*window->DlgMain(), window->PanTilt(), window->Motor(), [] {}};
    }
    std::vector<RecordedDialog> messagesWithCaption(const QString& caption) const {
        std::vector<RecordedDialog> found;
        for (const auto& d : dialogs.recorded()) {
            if (d.caption == caption) {
                found.push_back(d);
            }
        }
        return found;
    }
    // A product with a "Top" row in the web and the bridge database.
    void AddProduct(const QString& name, int freqMax, int time = 20, int port = 6340) {
        for (const char* database : {kWebDatabaseName, kBridgeDatabaseName}) {
            admin.query(QStringLiteral("INSERT INTO %1.t_product(product_name, sensor_type, time, "
                                       "reserved_str_01) VALUES (%2, 'TOP_BOTTOM', %3, 'T')")
                            .arg(database, Quoted(name))
                            .arg(time));
            admin.query(QStringLiteral("INSERT INTO %1.t_sensor(product_name, sensor_type, "
                                       "freq_max, filter_01_level, filter_02_level, "
                                       "filter_01_inspection_level, port) VALUES (%2, 'Top', %3, "
                                       "41, 42, 70, %4)")
                            .arg(database, Quoted(name))
                            .arg(freqMax)
                            .arg(port));
        }
    }
    std::string SensorValue(const char* database, const QString& product, const QString& column,
                            const QString& type = QStringLiteral("Top")) {
        return admin.value(QStringLiteral("SELECT %1 FROM %2.t_sensor WHERE product_name = %3 "
                                          "AND sensor_type = '%4'")
                               .arg(column, database, Quoted(product), type));
    }
    int RowOf(QTableWidget* list, int column, const QString& text) {
        for (int row = 0; row < list->rowCount(); ++row) {
            if (list->item(row, column) != nullptr && list->item(row, column)->text() == text) {
                return row;
            }
        }
        return -1;
    }

    AdminDb admin;
    QString prefix;
    QTemporaryDir results;
    ScopedUserSettings settings;
    RecordingDialogs dialogs;
    std::unique_ptr<CSystemDlg> window;
};

// Runs `act` on the first shown dialog of type D from inside its modal loop (polling, 5 s).
template <class D>
void WhenShown(std::function<void(D&)> act, int remaining_ms = 5000) {
    QTimer::singleShot(20, [act = std::move(act), remaining_ms]() mutable {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<D*>(widget); dialog != nullptr && dialog->isVisible()) {
                act(*dialog);
                return;
            }
        }
        if (remaining_ms > 0) {
            WhenShown<D>(std::move(act), remaining_ms - 20);
        }
    });
}

TEST_F(SetupPagesTest, AddingAProductWritesBothDatabasesAndItsTopRow) {
    const QString tool = prefix + QStringLiteral("A");
    const QString product = tool + QStringLiteral("-1");
    CDlgSetupSC page(Station());
    page.Initialize();
    page.BaseToolBox()->setEditText(tool);
    page.ProductBox()->setEditText(product);
    page.TimeBox()->setCurrentIndex(page.TimeBox()->findText(QStringLiteral("30 초")));
    page.DefaultIpEdit()->setText(QStringLiteral("127.0.0.1"));
    QTest::mouseClick(page.Button(QStringLiteral("추가")), Qt::LeftButton);

    for (const char* database : {kWebDatabaseName, kBridgeDatabaseName}) {
        EXPECT_EQ(admin.value(QStringLiteral("SELECT CONCAT(time, '/', reserved_str_01, '/', "
                                             "sensor_type) FROM %1.t_product WHERE "
                                             "product_name = %2")
                                  .arg(database, Quoted(product))),
                  "30/" + tool.toStdString() + "/TOP_BOTTOM")
            << database;
        EXPECT_EQ(SensorValue(database, product, QStringLiteral("reserved_int_01")), "300");
        EXPECT_EQ(SensorValue(database, product, QStringLiteral("reserved_int_02")), "2");
        EXPECT_EQ(SensorValue(database, product, QStringLiteral("ip_addr")), "127.0.0.1");
    }
    // The new product is the page's product, its row is shown and the station is told to restart.
    EXPECT_EQ(page.CurrentProduct(), product);
    EXPECT_EQ(page.FocusTimeBox()->currentText(), "30.0 초");
    EXPECT_EQ(page.FocusOptionBox()->currentText(), "3EA");
    EXPECT_EQ(page.EngineList()->item(page.SelectedRow(), 3)->text(), product);
    EXPECT_EQ(window->DlgMain()->Config().Sensor_Default_Ip, "127.0.0.1");
    const auto told = messagesWithCaption(QStringLiteral("[Tool 등록]"));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].text, "'센서정보' 설정 후 '2채널 음향검사기'를 재시작 해 주세요.");
}

TEST_F(SetupPagesTest, ProductFieldsAreCheckedBeforeAnythingIsWritten) {
    CDlgSetupSC page(Station());
    page.Initialize();
    page.ResetFields();
    struct Case {
        QString tool;
        QString product;
        bool time;
        QString text;
    };
    const Case cases[] = {
        {QStringLiteral("  "), prefix + QStringLiteral("x"), true,
         QStringLiteral("'1.Tool(Org)'를 선택해 주세요")},
        {QStringLiteral("T"), QStringLiteral(" "), true,
         QStringLiteral("'2.Tool + Option' 입력해 주세요")},
        {QStringLiteral("T"), prefix + QStringLiteral("x"), false,
         QStringLiteral("검사시간을 선택해 주세요")},
    };
    for (const Case& c : cases) {
        dialogs.clear();
        page.BaseToolBox()->setEditText(c.tool);
        page.ProductBox()->setEditText(c.product);
        page.TimeBox()->setCurrentIndex(c.time ? 0 : -1);
        QTest::mouseClick(page.Button(QStringLiteral("추가")), Qt::LeftButton);
        const auto shown = dialogs.messages();
        ASSERT_EQ(shown.size(), 1u) << c.text.toStdString();
        EXPECT_EQ(shown[0].caption, "제품설정");
        EXPECT_EQ(shown[0].text, c.text);
    }
    EXPECT_EQ(admin.value(QStringLiteral("SELECT COUNT(*) FROM %1.t_product WHERE product_name "
                                         "LIKE %2")
                              .arg(kWebDatabaseName, Quoted(prefix + "%"))),
              "0");
}

TEST_F(SetupPagesTest, DeletingAProductKeepsItsSensorRows) {
    const QString product = prefix + QStringLiteral("gone");
    AddProduct(product, 7000);
    CDlgSetupSC page(Station());
    page.SetCurrentProduct(product);
    page.Initialize();
    ASSERT_EQ(page.ProductBox()->currentText(), product);
    dialogs.scriptAnswers({true});
    QTest::mouseClick(page.Button(QStringLiteral("삭제")), Qt::LeftButton);

    for (const char* database : {kWebDatabaseName, kBridgeDatabaseName}) {
        EXPECT_EQ(admin.value(QStringLiteral("SELECT COUNT(*) FROM %1.t_product WHERE "
                                             "product_name = %2")
                                  .arg(database, Quoted(product))),
                  "0");
        EXPECT_EQ(SensorValue(database, product, QStringLiteral("freq_max")), "7000");
    }
    EXPECT_EQ(RowOf(page.EngineList(), 3, product), -1);
    const auto told = messagesWithCaption(QStringLiteral("[Tool 삭제]"));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].text, "'2채널 음향검사기'를 재시작 해 주세요.");
}

TEST_F(SetupPagesTest, CopyReachesTheCheckedProductsInTheWebDatabaseOnly) {
    const QString source = prefix + QStringLiteral("src");
    AddProduct(source, 9100);
    QStringList targets;
    for (int i = 0; i < 3; ++i) {
        targets << prefix + QStringLiteral("dst%1").arg(i);
        AddProduct(targets.back(), 5000 + i);
    }
    const QString untouched = prefix + QStringLiteral("other");
    AddProduct(untouched, 4000);
    CDlgSetupSC page(Station());
    page.SetCurrentProduct(source);
    page.Initialize();

    QTest::mouseClick(page.Button(QStringLiteral("업데이트")), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "업데이트 항목을 체크해 주세요.!!!");

    for (const QString& target : targets) {
        page.ToolList()->item(RowOf(page.ToolList(), 2, target), 0)->setCheckState(Qt::Checked);
    }
    dialogs.clear();
    dialogs.scriptAnswers({true});
    QTest::mouseClick(page.Button(QStringLiteral("업데이트")), Qt::LeftButton);
    ASSERT_FALSE(dialogs.recorded().empty());
    EXPECT_EQ(dialogs.recorded()[0].text, "3개의 Tool 정보 업데이트를 업데이트 하시겠습니까?");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(SensorValue(kWebDatabaseName, targets[i], QStringLiteral("freq_max")), "9100");
        EXPECT_EQ(SensorValue(kBridgeDatabaseName, targets[i], QStringLiteral("freq_max")),
                  std::to_string(5000 + i));
    }
    EXPECT_EQ(SensorValue(kWebDatabaseName, untouched, QStringLiteral("freq_max")), "4000");
}

TEST_F(SetupPagesTest, BridgeDownWritesNothingAnywhere) {
    window->DlgMain()->Storage().profiles().setBridge(
        UnreachableProfile(window->DlgMain()->Storage().profiles().bridge()));
    const QString product = prefix + QStringLiteral("nobridge");
    CDlgSetupSC page(Station());
    page.Initialize();
    page.BaseToolBox()->setEditText(QStringLiteral("T"));
    page.ProductBox()->setEditText(product);
    page.TimeBox()->setCurrentIndex(0);
    QTest::mouseClick(page.Button(QStringLiteral("추가")), Qt::LeftButton);

    const auto shown = dialogs.messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Bridge 데이터베이스 연결에 실패했습니다.");
    for (const char* database : {kWebDatabaseName, kBridgeDatabaseName}) {
        EXPECT_EQ(admin.value(QStringLiteral("SELECT COUNT(*) FROM %1.t_product WHERE "
                                             "product_name = %2")
                                  .arg(database, Quoted(product))),
                  "0");
    }
}

TEST_F(SetupPagesTest, SensorSaveIsCheckedThenWritesEveryColumnToBothDatabases) {
    const QString product = prefix + QStringLiteral("sensor");
    AddProduct(product, 8000);
    CDlgSetupSC page(Station());
    page.SetCurrentProduct(product);
    page.Initialize();
    page.ChooseFrequencyRange(0);
    page.FreqMinEdit()->setText(QStringLiteral("100"));
    page.FreqMaxEdit()->setText(QStringLiteral("24001"));
    page.DistanceEdit()->setText(QStringLiteral("1000"));
    page.AcousticLevelEdit()->setText(QStringLiteral("30"));
    for (int k = 0; k < 5; ++k) {
        page.FilterMinEdit(k)->setText(QString::number(1000 + k * 1000));
        page.FilterMaxEdit(k)->setText(QString::number(1500 + k * 1000));
        page.FilterLevelEdit(k)->setText(QString::number(50 + k));
    }
    dialogs.scriptAnswers({true});
    QTest::mouseClick(page.Button(QStringLiteral("센서정보 및 기타옵션 저장")), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "Frequency Max값은 24000Hz를 초과할 수 없습니다.");
    EXPECT_EQ(SensorValue(kWebDatabaseName, product, QStringLiteral("freq_max")), "8000");

    page.FreqMaxEdit()->setText(QStringLiteral("24000"));
    page.FocusTimeBox()->setCurrentIndex(49);        // 5.0 s
    page.InitialExceptionBox()->setCurrentIndex(5);  // 0.5 s
    page.FocusOptionBox()->setCurrentIndex(4);       // 5EA
    page.BlockGainBox()->setCurrentIndex(3);
    page.ChooseBeamforming(true);
    page.BeamformingCountBox()->setCurrentIndex(2);  // 5EA
    page.AudioLevelBox()->setCurrentIndex(7);        // +2
    page.FilterDisplayOn()->setChecked(true);
    page.DebugTop()->setChecked(true);
    dialogs.clear();
    dialogs.scriptAnswers({true});
    QTest::mouseClick(page.Button(QStringLiteral("센서정보 및 기타옵션 저장")), Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages().empty());
    for (const char* database : {kWebDatabaseName, kBridgeDatabaseName}) {
        EXPECT_EQ(
            admin.value(QStringLiteral("SELECT CONCAT_WS(',', freq_max, freq_min, distance, "
                                       "acoustic_level, reserved_int_01, reserved_int_02, "
                                       "reserved_int_03, reserved_int_04, reserved_int_06, "
                                       "reserved_int_08, reserved_int_09, inspection_mode, "
                                       "filter_03_freq_min, filter_03_freq_max, filter_03_level, "
                                       "filter_03_inspection_level) FROM %1.t_sensor WHERE "
                                       "product_name = %2 AND sensor_type = 'Top'")
                            .arg(database, Quoted(product))),
            "24000,100,1000,30,50,4,0,5,3,1,2,1,3000,3500,52,52")
            << database;
    }
    const StationConfig& config = window->DlgMain()->Config();
    EXPECT_EQ(config.Audio_Shift, 2);
    EXPECT_EQ(config.Filter_Display, 1);
    EXPECT_EQ(config.Inspection_Debug_Flag_Sensor, 1);
    EXPECT_EQ(page.FilterText(2)->text(), "dB  *Gain=0dB / 검사레벨 52dB");
}

TEST_F(SetupPagesTest, AreaPageWritesTheDeviceAtOnceAndSavesWhatTheSlidersShow) {
    const QString product = prefix + QStringLiteral("area");
    CameraSimProcess camera({"--model", "2"});
    ASSERT_GT(camera.port(), 0);
    AddProduct(product, 8000, 10, camera.port());
    CDlgMain& main = *window->DlgMain();
    main.Config().Sensor_Default_Ip = QStringLiteral("127.0.0.1");
    ASSERT_TRUE(main.selectProduct(product, true));
    ASSERT_TRUE(WaitUntil([&main] {
        return main.Device()->connectionState() == 1 && main.Device()->cameraModel() == 2;
    }));
    CSetupPositionDlg& page = window->DlgSetup()->PositionPage();
    // The Setup tab as the operator opens it: the page refreshes 10 ms later.
    QTest::mouseClick(window->TabCtrl(), Qt::LeftButton, {},
                      window->TabCtrl()->GetItemRect(1).center());
    ASSERT_TRUE(WaitUntil([&] {
        const int row = page.EngineList()->currentRow();
        return row >= 0 && page.EngineList()->item(row, 2)->text() == product;
    }));
    ASSERT_TRUE(page.SaveButton()->isEnabled());
    EXPECT_EQ(page.SaveTimeList()->count(), 100);  // 0.1 ... 10.0 s

    page.TopBottomSlider()->setFocus();
    page.TopBottomSlider()->SetRange(10, 229);
    emit page.TopBottomSlider()->rangeChanged(CRangeSlider::Middle);
    EXPECT_EQ(main.Sensor()->area.area_rect_y1, 10);
    EXPECT_EQ(main.Sensor()->area.area_rect_y2, 229);
    EXPECT_EQ(page.ValueField(0)->text(), "22");
    EXPECT_EQ(page.ValueField(1)->text(), "460");

    // Turned: the sliders mirror, the area stays.
    main.UpdateSensor([](SensorSettings& s) {
        s.area.area_rect_y1 = 0;
        s.area.area_rect_y2 = 100;
    });
    QTest::mouseClick(page.Orientation180(), Qt::LeftButton, {}, QPoint(8, 15));
    EXPECT_EQ(main.Sensor()->picture_rotation, 180);
    EXPECT_EQ(page.TopBottomSlider()->GetLeft(), 139);
    EXPECT_EQ(page.TopBottomSlider()->GetRight(), 239);
    EXPECT_EQ(main.Sensor()->area.area_rect_y2, 100);

    // Without a save time nothing is saved.
    page.SaveTimeList()->setCurrentIndex(-1);
    QTest::mouseClick(page.SaveButton(), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "동작 이미지 저장시간을 선택해 주세요");

    page.SaveTimeList()->setCurrentIndex(14);  // 1.5 s
    const InspectionArea area = main.Sensor()->area;
    dialogs.scriptAnswers({true});
    QTest::mouseClick(page.SaveButton(), Qt::LeftButton);
    for (const char* database : {kWebDatabaseName, kBridgeDatabaseName}) {
        EXPECT_EQ(SensorValue(database, product,
                              QStringLiteral("CONCAT_WS(',', area_rect_y1, area_rect_y2, "
                                             "reserved_int_05, reserved_int_10, "
                                             "filter_01_inspection_level, "
                                             "filter_02_inspection_level)")),
                  "139,239,15,180,41,42")
            << database;
    }
    EXPECT_EQ(main.Sensor()->filters[0].inspection_level, 41);
    EXPECT_EQ(main.Sensor()->filters[1].inspection_level, 42);
    EXPECT_EQ(main.Sensor()->picture_save_time, 15);
    // Runs after the save are still judged: the filter counts are those of the loaded product.
    EXPECT_EQ(main.Sensor()->filter_step_count, 3);
    EXPECT_EQ(main.Sensor()->required_filter_count, 2);
    EXPECT_EQ(main.SavedArea(), area);

    // Loading the product again gives back the same device area.
    main.UpdateSensor([](SensorSettings& s) { s.area.area_rect_y1 = s.area.area_rect_y2 = 7; });
    ASSERT_TRUE(main.selectProduct(product, true));
    EXPECT_EQ(main.Sensor()->area.area_rect_y1, area.area_rect_y1);
    EXPECT_EQ(main.Sensor()->area.area_rect_y2, area.area_rect_y2);
    EXPECT_EQ(main.Sensor()->area.area_rect_x1, area.area_rect_x1);
    EXPECT_EQ(main.Sensor()->area.area_rect_x2, area.area_rect_x2);
}

TEST_F(SetupPagesTest, AreaPageIsGreyedWhenTheCameraDidNotAnswer) {
    window->DlgMain()->Device()->setConnectionState(0);
    CSetupPositionDlg& page = window->DlgSetup()->PositionPage();
    page.Refresh();
    EXPECT_FALSE(page.SaveButton()->isEnabled());
    EXPECT_FALSE(page.TopBottomSlider()->isEnabled());
    EXPECT_FALSE(page.SaveTimeList()->isEnabled());
    EXPECT_EQ(page.TopBottomSlider()->GetRangeColor(), QColor(128, 128, 128));
    EXPECT_EQ(page.LeftRightSlider()->GetMax(), 100);
    EXPECT_EQ(page.LeftRightSlider()->GetRight(), 100);
}

TEST_F(SetupPagesTest, SystemPageHeadSettingsAreCheckedEachOnItsOwn) {
    CSetupVornDlg& page = window->DlgSetup()->SystemPage();
    MotorConfig& motor = window->Motor();
    motor = MotorConfig{};
    struct Case {
        const char* address;
        const char* pan;
        const char* tilt;
        MotorConfig expected;
        QStringList captions;
    };
    const Case cases[] = {
        {"0", "50", "50", {1, 50, 50}, {QStringLiteral("[ERROR]Pan/Tilt Address(Default : 0x01)")}},
        {"11",
         "50",
         "50",
         {1, 50, 50},
         {QStringLiteral("[ERROR]Pan/Tilt Address(Default : 0x01)")}},
        {"10", "9", "77", {10, 50, 77}, {QStringLiteral("[ERROR]Pan Speed")}},
        {"10", "101", "10", {10, 50, 10}, {QStringLiteral("[ERROR]Pan Speed")}},
        {"3", "100", "101", {3, 100, 10}, {QStringLiteral("[ERROR]Tilt Speed")}},
    };
    for (const Case& c : cases) {
        dialogs.clear();
        page.AddressEdit()->setText(QString::fromLatin1(c.address));
        page.PanSpeedEdit()->setText(QString::fromLatin1(c.pan));
        page.TiltSpeedEdit()->setText(QString::fromLatin1(c.tilt));
        QTest::mouseClick(page.Button(QStringLiteral("저장"), 0), Qt::LeftButton);
        EXPECT_EQ(motor.Motor_address, c.expected.Motor_address) << c.address;
        EXPECT_EQ(motor.Motor_pan_speed, c.expected.Motor_pan_speed) << c.pan;
        EXPECT_EQ(motor.Motor_tilt_speed, c.expected.Motor_tilt_speed) << c.tilt;
        QStringList captions;
        for (const auto& d : dialogs.messages()) {
            captions << d.caption;
        }
        EXPECT_EQ(captions, c.captions);
    }
    EXPECT_EQ(dialogs.messages()[0].text, "Tilt Speed(101) Error : 범위 '10 ~ 100'");
}

TEST_F(SetupPagesTest, SystemPagePositionCommandsShowTheirRanges) {
    CSetupVornDlg& page = window->DlgSetup()->SystemPage();
    page.PanSetEdit()->setText(QStringLiteral("361"));
    QTest::mouseClick(page.Button(QStringLiteral("Set Pan")), Qt::LeftButton);
    page.PanSetEdit()->setText(QStringLiteral("100"));
    page.TiltSetEdit()->setText(QStringLiteral("330"));
    QTest::mouseClick(page.Button(QStringLiteral("Set Pan/Tilt")), Qt::LeftButton);
    QTest::mouseClick(page.Button(QStringLiteral("Set Tilt")), Qt::LeftButton);
    page.TiltSetEdit()->setText(QStringLiteral("-1"));  // 65535 as the page reads it
    QTest::mouseClick(page.Button(QStringLiteral("Set Tilt")), Qt::LeftButton);
    const auto shown = dialogs.messages();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].caption, "Pan 모터 설정");
    EXPECT_EQ(shown[0].text, "Pan 모터 범위는 0° ~ 360°입니다.");
    EXPECT_EQ(shown[1].caption, "Tilt 모터 설정");
    EXPECT_EQ(shown[1].text, "Tilt 모터 범위는 0° ~ 90°, 320° ~ 360°입니다.");
    EXPECT_EQ(shown[2].caption, "Tilt 모터 설정");
}

TEST_F(SetupPagesTest, SystemPageSaveTakesOverOnlyWithTitleAndFolder) {
    CSetupVornDlg& page = window->DlgSetup()->SystemPage();
    CDlgMain& main = *window->DlgMain();
    const StationConfig before = main.Config();
    page.TitleEdit()->setText(QStringLiteral("   "));
    page.FolderLabel()->setText(QStringLiteral("/tmp/results"));
    page.PortList()->setCurrentIndex(6);  // COM7
    page.AlarmOff()->setChecked(true);
    QTest::mouseClick(page.Button(QStringLiteral("저장"), 1), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "음향검사기 타이틀를 입력하세요.");
    EXPECT_EQ(main.Config().Motor_Port, before.Motor_Port);
    EXPECT_EQ(main.Config().Buzzer_Enable, before.Buzzer_Enable);
    EXPECT_EQ(window->PanTilt().portNumber(), before.Motor_Port);

    page.TitleEdit()->setText(QStringLiteral("검사기 1호"));
    page.FolderLabel()->setText(QString());
    dialogs.clear();
    QTest::mouseClick(page.Button(QStringLiteral("저장"), 1), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, "저장폴더를 설정해 주세요.");

    page.FolderLabel()->setText(QStringLiteral("/tmp/results"));
    page.StreamingIp()->setText(QStringLiteral(" 127.0.0.9 "));
    page.ControlIp()->setText(QStringLiteral("127.0.0.8"));
    dialogs.clear();
    QTest::mouseClick(page.Button(QStringLiteral("저장"), 1), Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(main.Config().SW_Title, "검사기 1호");
    EXPECT_EQ(main.Config().FolderName_Result, "/tmp/results");
    EXPECT_EQ(main.Config().FolderName_Network, "/tmp/results");
    EXPECT_EQ(main.Config().Motor_Port, 7);
    EXPECT_EQ(window->PanTilt().portNumber(), 7);
    EXPECT_EQ(main.Config().Buzzer_Enable, 0);
    EXPECT_EQ(main.Streaming().Link(0).ServerAddress(), "127.0.0.9");
    EXPECT_EQ(main.Streaming().Link(1).ServerAddress(), "127.0.0.9");
    EXPECT_EQ(main.ControlLink().Socket().ServerAddress(), "127.0.0.8");
}

TEST_F(SetupPagesTest, SystemPageServerChecks) {
    CSetupVornDlg& page = window->DlgSetup()->SystemPage();
    page.WebIp()->setText(QStringLiteral("0.0.0.0"));
    QTest::mouseClick(page.Button(QStringLiteral("서버 체크"), 0), Qt::LeftButton);
    page.BridgeIp()->setText(QStringLiteral("127.0.0.1"));
    page.BridgePassword()->setText(QStringLiteral("  "));
    QTest::mouseClick(page.Button(QStringLiteral("서버 체크"), 1), Qt::LeftButton);
    auto shown = dialogs.messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Vorn DB Server IP");
    EXPECT_EQ(shown[0].text, "IP를 입력해 주세요");
    EXPECT_EQ(shown[1].caption, "Bridge DB Server PW");

    // A reachable server: the ping, then the connection test on its own thread.
    dialogs.clear();
    page.WebIp()->setText(QStringLiteral("127.0.0.1"));
    page.WebPassword()->setText(QString::fromLatin1(kDefaultDatabasePassword));
    QTest::mouseClick(page.Button(QStringLiteral("서버 체크"), 0), Qt::LeftButton);
    page.FinishConnectionTests();
    shown = dialogs.messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Web DB Server");
    EXPECT_EQ(shown[0].text, "'127.0.0.1' Ping OK");
    EXPECT_EQ(shown[1].caption, "Vorn DB 서버");
    EXPECT_EQ(shown[1].text, "Vorn DB 서버 연결 성공");

    dialogs.clear();
    page.StreamingIp()->setText(QStringLiteral("127.0.0.1"));
    QTest::mouseClick(page.Button(QStringLiteral("서버 체크"), 3), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].caption, "WebVorn Streming Server");
    EXPECT_EQ(window->DlgMain()->Streaming().Link(1).ServerAddress(), "127.0.0.1");
}

TEST_F(SetupPagesTest, ContainerShowsExactlyOnePageAndTheLivePictures) {
    CDlgSetup& setup = *window->DlgSetup();
    QTest::mouseClick(window->TabCtrl(), Qt::LeftButton, {},
                      window->TabCtrl()->GetItemRect(1).center());
    ASSERT_TRUE(setup.isVisible());
    EXPECT_EQ(setup.TabCtrl()->geometry(), QRect(640, 0, 1280, 1041));
    EXPECT_EQ(setup.Title(0).geometry(), QRect(30, 0, 610, 30));
    EXPECT_EQ(setup.Title(1).text(), "Infrared");
    EXPECT_EQ(setup.Picture(1).geometry(), QRect(0, 540, 640, 480));
    for (int index : {1, 0, 1, 1, 0}) {
        QTest::mouseClick(setup.TabCtrl(), Qt::LeftButton, {},
                          setup.TabCtrl()->GetItemRect(index).center());
        EXPECT_EQ(setup.CurrentPage(), index);
        EXPECT_EQ(setup.PositionPage().isVisible(), index == 0);
        EXPECT_EQ(setup.SystemPage().isVisible(), index == 1);
    }
}

TEST_F(SetupPagesTest, AltF12DuringARunIsRefusedWithoutAskingForThePassword) {
    window->DlgMain()->SetInspectionState(kInspectionRunning);
    bool asked = false;
    WhenShown<CDlgPassword>(
        [&asked](CDlgPassword& d) {
            asked = true;
            d.reject();
        },
        600);
    QTest::keyClick(window->DlgMain(), Qt::Key_F12, Qt::AltModifier);
    ASSERT_TRUE(WaitUntil([this] { return !messagesWithCaption("[검사중]").empty(); }));
    EXPECT_EQ(messagesWithCaption("[검사중]")[0].text, "제품검사중에는 설정을 할 수 없습니다.");
    QTest::qWait(700);
    EXPECT_FALSE(asked);
    window->DlgMain()->SetInspectionState(kInspectionIdle);
}

TEST_F(SetupPagesTest, PasswordOfTheDayOpensTheSettingsAndTheChosenProductIsSelected) {
    const QString first = prefix + QStringLiteral("first");
    const QString second = prefix + QStringLiteral("second");
    AddProduct(first, 7000);
    AddProduct(second, 7500);
    CDlgMain& main = *window->DlgMain();
    ASSERT_TRUE(main.selectProduct(first, true));
    window->SetSettingsDateSource([] { return QDate(2026, 12, 31); });
    TimerTable& timers = main.Timers();

    // A wrong password (the right word in upper case) is refused.
    WhenShown<CDlgPassword>([](CDlgPassword& d) {
        d.Edit()->setText(QStringLiteral("TONEWISE1231"));
        QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    });
    QTest::keyClick(main.window(), Qt::Key_F12, Qt::AltModifier);
    ASSERT_TRUE(WaitUntil([this] { return !messagesWithCaption("[ERROR]").empty(); }));
    EXPECT_EQ(messagesWithCaption("[ERROR]")[0].text, "비밀번호가 틀렸습니다..!!!");

    bool statusTimerWhileOpen = true;
    QString shownProduct;
    bool closed = false;
    WhenShown<CDlgPassword>([](CDlgPassword& d) {
        d.Edit()->setText(QStringLiteral("tonewise1231"));
        QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    });
    WhenShown<CDlgSetupSC>([&](CDlgSetupSC& d) {
        statusTimerWhileOpen = timers.isActive(CRunController::kTimerEquipmentStatus);
        shownProduct = d.CurrentProduct();
        d.SelectRow(d.ProductBox()->findText(second));
        QTest::mouseClick(d.Button(QStringLiteral("확인")), Qt::LeftButton);
        closed = true;
    });
    QTest::keyClick(main.window(), Qt::Key_F12, Qt::AltModifier);
    ASSERT_TRUE(WaitUntil([&closed] { return closed; }));
    EXPECT_EQ(shownProduct, first);
    EXPECT_FALSE(statusTimerWhileOpen);
    ASSERT_TRUE(WaitUntil([&] {
        return main.Storage().productRecord().product_name == second &&
               timers.isActive(CRunController::kTimerEquipmentStatus);
    }));
    EXPECT_EQ(main.Sensor()->freq_max, 7500);
}

TEST_F(SetupPagesTest, ProductAddedOnThePageIsInspectedAtOnceByARemoteStart) {
    CameraSimProcess camera({"--model", "2"});
    ASSERT_GT(camera.port(), 0);
    PeerProcess control(QStringLiteral(CONTROL_SIM_PATH), {"--port", "0"});
    const int controlPort = control.port("listening on 127\\.0\\.0\\.1:(\\d+)");
    ASSERT_GT(controlPort, 0);
    StopStation();
    qputenv("STATION_CONTROL_PORT", QByteArray::number(controlPort));
    StartStation();
    ASSERT_TRUE(WaitUntil([&] { return control.output().contains("UGV_INFOR_REQUEST"); }, 10000));
    // "DB 동기화" on the system page asks the control server to synchronise its engines.
    QTest::mouseClick(window->DlgSetup()->SystemPage().Button(QStringLiteral("DB 동기화")),
                      Qt::LeftButton);
    ASSERT_TRUE(WaitUntil(
        [&] { return control.output().contains("EQUIPMENT_ENGINE_DB_SYNC_REQUEST"); }, 5000));

    const QString product = prefix + QStringLiteral("remote");
    {
        CDlgSetupSC page(Station());
        page.Initialize();
        page.BaseToolBox()->setEditText(prefix);
        page.ProductBox()->setEditText(product);
        page.TimeBox()->setCurrentIndex(0);  // 5 s
        page.DefaultIpEdit()->setText(QStringLiteral("127.0.0.1"));
        QTest::mouseClick(page.Button(QStringLiteral("추가")), Qt::LeftButton);
    }
    // This test's camera listens on a port of its own, not the row's default.
    for (const char* database : {kWebDatabaseName, kBridgeDatabaseName}) {
        admin.query(QStringLiteral("UPDATE %1.t_sensor SET port = %2 WHERE product_name = %3")
                        .arg(database)
                        .arg(camera.port())
                        .arg(Quoted(product)));
    }
    const int id = 700000 + static_cast<int>(QCoreApplication::applicationPid() % 90000);
    control.write(QStringLiteral("start %1 %2 MIS-SETUP").arg(product).arg(id));
    ASSERT_TRUE(WaitUntil(
        [&] { return control.output().contains("<CMD_ID>INSPECTION_COMPLETE</CMD_ID>"); }, 20000));
    EXPECT_TRUE(
        control.output().contains(QStringLiteral("<INSPECTION_ID>%1</INSPECTION_ID>").arg(id)));
    EXPECT_EQ(window->DlgMain()->Storage().productRecord().product_name, product);
    EXPECT_EQ(admin.value(QStringLiteral("SELECT COUNT(*) FROM vorn_alpha_v1_ch2.t_inspection "
                                         "WHERE product_name = %1")
                              .arg(Quoted(product))),
              "1");
}

TEST_F(SetupPagesTest, SystemPageConnectsTheHeadAndShowsThePollReopeningIt) {
    QTemporaryDir serial;
    StopStation();
    qputenv("STATION_SERIAL_DIR", serial.path().toLocal8Bit());
    PseudoTerminal head(serial.path(), 3);
    StartStation();
    CSetupVornDlg& page = window->DlgSetup()->SystemPage();
    ASSERT_EQ(page.PortState()->text(), "- 연결상태 : 연결해제");

    page.PortList()->setCurrentIndex(2);  // COM3
    QTest::mouseClick(page.ConnectButton(), Qt::LeftButton);
    EXPECT_EQ(page.PortState()->text(), "- 연결상태 : 연결");
    EXPECT_FALSE(page.ConnectButton()->isEnabled());
    EXPECT_TRUE(page.DisconnectButton()->isEnabled());
    head.drain();
    QTest::mouseClick(page.Button(QStringLiteral("Up")), Qt::LeftButton);
    const QByteArray frame = head.receive(7);
    ASSERT_EQ(frame.size(), 7);
    EXPECT_EQ(static_cast<uint8_t>(frame[3]), 0x08);

    QTest::mouseClick(page.DisconnectButton(), Qt::LeftButton);
    EXPECT_EQ(page.PortState()->text(), "- 연결상태 : 연결해제");
    EXPECT_TRUE(page.ConnectButton()->isEnabled());
    // The port is still there: the once-a-second status poll opens it again, and the page says so.
    EXPECT_TRUE(
        WaitUntil([&page] { return page.PortState()->text() == "- 연결상태 : 연결"; }, 3000));
    StopStation();
    qunsetenv("STATION_SERIAL_DIR");
    StartStation();
}

TEST_F(SetupPagesTest, BrightnessAndColourActAtOnce) {
    CSetupVornDlg& page = window->DlgSetup()->SystemPage();
    CDlgMain& main = *window->DlgMain();
    page.BrightnessList()->setCurrentIndex(60);
    EXPECT_EQ(main.Config().Camera_Brightness, 60);
    EXPECT_EQ(main.Sensor()->brightness, 60);
    page.ChooseColour(1);
    EXPECT_EQ(main.phonoluxVideoColor(), 1);
    page.ChooseColour(0);
    EXPECT_EQ(main.Config().Phonolux_Video_Color, 0);
    EXPECT_EQ(main.phonoluxVideoColor(), 0);
    EXPECT_TRUE(page.Gray()->isChecked());
}

}  // namespace
