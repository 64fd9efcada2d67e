// The rules of the setup pages without a window: the sensor settings save's checks in their order
// and the settings password of the day, the system page's checks.
#include "setup/InspectionAreaSliders.h"
#include "setup/SensorSettingsRules.h"
#include "setup/SettingsGate.h"
#include "setup/SettingsPassword.h"
#include "setup/SystemSettingsRules.h"
#include "storage/DbRow.h"
#include "storage/SensorColumns.h"
#include "storage/SensorTable.h"
#include "tests/support/QStringPrinter.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <climits>

#include <functional>

namespace {

SensorSettingsValues Valid() {
    SensorSettingsValues v;
    v.freq_range = 0;
    v.freq_max = 8000;
    v.freq_min = 5000;
    v.distance = 1000;
    v.acoustic_level = 30;
    for (auto& filter : v.filters) {
        filter = {8000, 5000, 40};
    }
    v.initial_exception_index = 0;
    v.focus_time_index = 99;
    v.focus_option_index = 2;
    v.block_gain_index = 0;
    v.beamforming_index = 0;
    v.beamforming_count_index = 0;
    return v;
}

}  // namespace

TEST(SensorSettingsRulesTest, FirstFailingCheckGivesItsTitleAndText) {
    struct Case {
        const char* what;
        std::function<void(SensorSettingsValues&)> change;
        const char* caption;  // nullptr: accepted
        const char* text;
    };
    const Case cases[] = {
        {"valid", [](auto&) {}, nullptr, nullptr},
        {"24001 in 25Khz", [](auto& v) { v.freq_max = 24001; }, "최대 주파수 설정",
         "Frequency Max값은 24000Hz를 초과할 수 없습니다."},
        {"24000 in 25Khz", [](auto& v) { v.freq_max = 24000; }, nullptr, nullptr},
        {"24001 in 100Khz",
         [](auto& v) {
             v.freq_range = 1;
             v.freq_max = 24001;
         },
         nullptr, nullptr},
        {"90001 in 100Khz",
         [](auto& v) {
             v.freq_range = 1;
             v.freq_max = 90001;
         },
         "최대 주파수 설정", "Frequency Max값은 90000Hz를 초과할 수 없습니다."},
        {"minimum 99", [](auto& v) { v.freq_min = 99; }, "최소 주파수 설정",
         "Frequency Min값은 100Hz보다 같거나 커야 합니다."},
        {"minimum equals maximum", [](auto& v) { v.freq_min = 8000; }, "주파수 설정",
         "Frequency Max값은 Frequency Min보다 커야 합니다."},
        {"distance 99", [](auto& v) { v.distance = 99; }, "Distance 범위 설정",
         "Distance 범위는 100mm ~ 3500mm 입니다."},
        {"distance 3501", [](auto& v) { v.distance = 3501; }, "Distance 범위 설정",
         "Distance 범위는 100mm ~ 3500mm 입니다."},
        {"distance 100", [](auto& v) { v.distance = 100; }, nullptr, nullptr},
        {"distance 3500", [](auto& v) { v.distance = 3500; }, nullptr, nullptr},
        {"acoustic 9", [](auto& v) { v.acoustic_level = 9; }, "Acoustic 레벨",
         "Acoustic 레벨값의 범위는 10dB~ 100dB입니다."},
        {"filter 3 above the maximum", [](auto& v) { v.filters[2].freq_max = 8001; },
         "Frequency Filter 설정", "Frequency Filter #3의 Max값은 8000Hz를 초과할 수 없습니다."},
        {"filter 1 below the minimum", [](auto& v) { v.filters[0].freq_min = 4999; },
         "Frequency Filter 설정", "Frequency Filter #1의 Min값은 5000보다 같거나 커야 합니다."},
        {"filter 2 min = max = 3000 after filter 1 passed",
         [](auto& v) {
             v.freq_min = 1000;
             v.filters[1] = {3000, 3000, 40};
         },
         "Frequency Filter 설정", "Frequency Filter #2의 Max값은 Frequency Min보다 커야 합니다."},
        {"filter 1's alarm level is checked before filter 2's band",
         [](auto& v) {
             v.filters[0].level = 4;
             v.filters[1].freq_max = 9000;
         },
         "Frequency Filter 설정", "Frequency Filter #1의 Alram Level 범위는 5dB ~ 100dB 입니다."},
        {"alarm 101", [](auto& v) { v.filters[4].level = 101; }, "Frequency Filter 설정",
         "Frequency Filter #5의 Alram Level 범위는 5dB ~ 100dB 입니다."},
        {"alarm 5 and 100",
         [](auto& v) {
             v.filters[0].level = 5;
             v.filters[1].level = 100;
         },
         nullptr, nullptr},
        {"no initial exception time", [](auto& v) { v.initial_exception_index = -1; }, "제품설정",
         "초기 집중검사 예외 시간을 선택해 주세요"},
        {"no focus time", [](auto& v) { v.focus_time_index = -1; }, "제품설정",
         "집중검사 시간을 선택해 주세요"},
        {"no focus option", [](auto& v) { v.focus_option_index = -1; }, "제품설정",
         "집중검사 옵션을 선택해 주세요"},
        {"no block gain", [](auto& v) { v.block_gain_index = -1; }, "제품설정",
         "Block Gain 옵션을 선택해 주세요"},
        {"no beamforming", [](auto& v) { v.beamforming_index = -1; }, "Beamforing",
         "Beamforing Filter 옵션을 선택해 주세요"},
        {"no beamforming count", [](auto& v) { v.beamforming_count_index = -1; }, "Beamforing",
         "Beamforing Count 옵션을 선택해 주세요"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SensorSettingsValues values = Valid();
        c.change(values);
        const std::optional<RuleFailure> failure = CheckSensorSettings(values);
        if (c.caption == nullptr) {
            EXPECT_FALSE(failure) << failure->text.toStdString();
            continue;
        }
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->caption, QString::fromUtf8(c.caption));
        EXPECT_EQ(failure->text, QString::fromUtf8(c.text));
    }
}

TEST(SettingsPasswordTest, TheWordAndTheDateOfTheDayExactly) {
    const QDate day(2026, 12, 11);
    EXPECT_EQ(SettingsPassword(day), QStringLiteral("tonewise1211"));
    EXPECT_EQ(SettingsPassword(QDate(2027, 1, 5)), QStringLiteral("tonewise0105"));
    EXPECT_TRUE(SettingsPasswordAccepted(QStringLiteral("tonewise1211"), day));
    const char* refused[] = {"TONEWISE1211", "Tonewise1211", "tonewise1211 ",
                             "tonewise121",  "tonewise1112", ""};
    for (const char* entered : refused) {
        EXPECT_FALSE(SettingsPasswordAccepted(QString::fromLatin1(entered), day)) << entered;
    }
    // The day field turns at midnight, the month field at the turn of a month.
    EXPECT_FALSE(SettingsPasswordAccepted(QStringLiteral("tonewise1211"), QDate(2026, 12, 12)));
    EXPECT_EQ(SettingsPassword(QDate(2026, 11, 30)), QStringLiteral("tonewise1130"));
    EXPECT_EQ(SettingsPassword(QDate(2026, 12, 1)), QStringLiteral("tonewise1201"));
    EXPECT_FALSE(SettingsPasswordAccepted(QStringLiteral("tonewise1211"), QDate()));
}

TEST(SystemSettingsRulesTest, HeadSettingsAreCheckedEachOnItsOwn) {
    struct Case {
        PanTiltSettingValues values;
        bool address, pan, tilt;
        std::vector<const char*> texts;
    };
    const Case cases[] = {
        {{0, 50, 50}, false, true, true, {"Pan/Tilt Address(0) Error : Addrsss 범위 '1 ~ 10'"}},
        {{11, 50, 50}, false, true, true, {"Pan/Tilt Address(11) Error : Addrsss 범위 '1 ~ 10'"}},
        {{10, 10, 100}, true, true, true, {}},
        {{1, 9, 40}, true, false, true, {"Pan Speed(9) Error : 범위 '10 ~ 100'"}},
        {{1, 101, 40}, true, false, true, {"Pan Speed(101) Error : 범위 '10 ~ 100'"}},
        {{-3, 101, 5},
         false,
         false,
         false,
         {"Pan/Tilt Address(-3) Error : Addrsss 범위 '1 ~ 10'",
          "Pan Speed(101) Error : 범위 '10 ~ 100'", "Tilt Speed(5) Error : 범위 '10 ~ 100'"}},
    };
    for (const Case& c : cases) {
        const PanTiltSettingChecks checks = CheckPanTiltSettings(c.values);
        EXPECT_EQ(checks.addressAccepted, c.address);
        EXPECT_EQ(checks.panSpeedAccepted, c.pan);
        EXPECT_EQ(checks.tiltSpeedAccepted, c.tilt);
        ASSERT_EQ(checks.failures.size(), c.texts.size());
        for (std::size_t i = 0; i < c.texts.size(); ++i) {
            EXPECT_EQ(checks.failures[i].text, QString::fromUtf8(c.texts[i]));
        }
    }
    EXPECT_EQ(CheckPanTiltSettings({0, 50, 50}).failures[0].caption,
              QStringLiteral("[ERROR]Pan/Tilt Address(Default : 0x01)"));
    EXPECT_EQ(CheckPanTiltSettings({1, 9, 50}).failures[0].caption,
              QStringLiteral("[ERROR]Pan Speed"));
}

TEST(SystemSettingsRulesTest, PositionCommandsAndTheirRanges) {
    const RuleFailure pan{QStringLiteral("Pan 모터 설정"),
                          QStringLiteral("Pan 모터 범위는 0° ~ 360°입니다.")};
    const RuleFailure tilt{QStringLiteral("Tilt 모터 설정"),
                           QStringLiteral("Tilt 모터 범위는 0° ~ 90°, 320° ~ 360°입니다.")};
    EXPECT_EQ(CheckSetPan(361), pan);
    EXPECT_FALSE(CheckSetPan(360));
    EXPECT_FALSE(CheckSetPan(0));
    for (const int accepted : {0, 90, 320, 330, 360}) {
        EXPECT_FALSE(CheckSetTilt(accepted)) << accepted;
    }
    for (const int refused : {91, 319, 361}) {
        EXPECT_EQ(CheckSetTilt(refused), tilt) << refused;
    }
    // "Set Pan/Tilt" knows only the upper tilt range: 330 is refused there.
    EXPECT_EQ(CheckSetPanTilt(100, 330), tilt);
    EXPECT_EQ(CheckSetPanTilt(361, 330), pan);
    EXPECT_FALSE(CheckSetPanTilt(360, 90));
    // The edits are read as unsigned 16-bit numbers: "-1" is 65535 and out of range.
    EXPECT_EQ(PositionFromEdit(QStringLiteral("-1")), 65535);
    EXPECT_EQ(CheckSetPan(PositionFromEdit(QStringLiteral("-1"))), pan);
    EXPECT_EQ(PositionFromEdit(QStringLiteral(" 45deg")), 45);
    EXPECT_EQ(PositionFromEdit(QStringLiteral("65896")), 360);
    EXPECT_EQ(DecimalFromEdit(QStringLiteral("abc")), 0);
    EXPECT_EQ(DecimalFromEdit(QStringLiteral("99999999999")), INT_MAX);
}

TEST(SystemSettingsRulesTest, ServerFieldsAndTheBottomSave) {
    const auto web =
        CheckServerFields(DatabaseServer::Web, QStringLiteral(" 0.0.0.0 "), QStringLiteral("7391"));
    ASSERT_TRUE(web);
    EXPECT_EQ(*web, (RuleFailure{QStringLiteral("Vorn DB Server IP"),
                                 QStringLiteral("IP를 입력해 주세요")}));
    const auto bridge =
        CheckServerFields(DatabaseServer::Bridge, QStringLiteral("10.0.0.5"), QStringLiteral("  "));
    ASSERT_TRUE(bridge);
    EXPECT_EQ(*bridge, (RuleFailure{QStringLiteral("Bridge DB Server PW"),
                                    QStringLiteral("PW를 입력해 주세요")}));
    EXPECT_FALSE(
        CheckServerFields(DatabaseServer::Web, QStringLiteral("10.0.0.5"), QStringLiteral("x")));

    EXPECT_EQ(CheckSystemSave(QStringLiteral(" \t"), QStringLiteral("/data"))->text,
              QStringLiteral("음향검사기 타이틀를 입력하세요."));
    EXPECT_EQ(CheckSystemSave(QStringLiteral("A"), QStringLiteral(" "))->text,
              QStringLiteral("저장폴더를 설정해 주세요."));
    EXPECT_EQ(CheckSystemSave(QStringLiteral("A"), QString())->caption,
              QStringLiteral("저장폴더 설정"));
    EXPECT_FALSE(CheckSystemSave(QStringLiteral("A"), QStringLiteral("/data")));
}

namespace {

// The page and its dialogs as the gate meets them; every call is noted in order.
class FakeGateHost : public SettingsGateHost {
  public:
    bool inspectionRunning() const override { return running; }
    void showMessage(const QString& caption, const QString& text) override {
        calls << QStringLiteral("message %1 %2").arg(caption, text);
    }
    std::optional<QString> askPassword() override {
        calls << QStringLiteral("password");
        return typed;
    }
    QDate localDate() const override { return today; }
    QString currentProduct() const override { return QStringLiteral("DEMO-A1"); }
    void prepareForSettings() override { calls << QStringLiteral("prepare"); }
    std::optional<QString> showSensorSettings(const QString& product) override {
        calls << QStringLiteral("settings %1").arg(product);
        return chosen;
    }
    void selectProduct(const QString& product) override {
        calls << QStringLiteral("select %1").arg(product);
    }
    void restartStatusTimer() override { calls << QStringLiteral("status timer"); }

    bool running = false;
    std::optional<QString> typed;
    std::optional<QString> chosen;
    QDate today{2026, 12, 11};
    QStringList calls;
};

}  // namespace

TEST(SettingsGateTest, StepsInTheirOrderAndWhereEachWayEnds) {
    struct Case {
        const char* what;
        bool running;
        std::optional<QString> typed;
        std::optional<QString> chosen;
        SettingsGateResult result;
        QStringList calls;
    };
    const Case cases[] = {
        {"during a run, without asking",
         true,
         QStringLiteral("tonewise1211"),
         std::nullopt,
         SettingsGateResult::RefusedDuringRun,
         {QStringLiteral("message [검사중] 제품검사중에는 설정을 할 수 없습니다.")}},
        {"cancelled silently",
         false,
         std::nullopt,
         std::nullopt,
         SettingsGateResult::Cancelled,
         {QStringLiteral("password")}},
        {"upper case refused",
         false,
         QStringLiteral("TONEWISE1211"),
         std::nullopt,
         SettingsGateResult::WrongPassword,
         {QStringLiteral("password"),
          QStringLiteral("message [ERROR] 비밀번호가 틀렸습니다..!!!")}},
        {"OK with another product",
         false,
         QStringLiteral("tonewise1211"),
         QStringLiteral("엔진-B2"),
         SettingsGateResult::SettingsClosed,
         {QStringLiteral("password"), QStringLiteral("prepare"), QStringLiteral("settings DEMO-A1"),
          QStringLiteral("select 엔진-B2"), QStringLiteral("status timer")}},
        {"closed without OK",
         false,
         QStringLiteral("tonewise1211"),
         std::nullopt,
         SettingsGateResult::SettingsClosed,
         {QStringLiteral("password"), QStringLiteral("prepare"), QStringLiteral("settings DEMO-A1"),
          QStringLiteral("select DEMO-A1"), QStringLiteral("status timer")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeGateHost host;
        host.running = c.running;
        host.typed = c.typed;
        host.chosen = c.chosen;
        EXPECT_EQ(RunSettingsGate(host), c.result);
        EXPECT_EQ(host.calls, c.calls);
    }
    // Yesterday's password is refused today.
    FakeGateHost host;
    host.typed = QStringLiteral("tonewise1210");
    EXPECT_EQ(RunSettingsGate(host), SettingsGateResult::WrongPassword);
}

// The inspection-area page: sliders, device area, value fields and the stored row.
namespace area_sliders {

InspectionArea AreaOf(int top, int bottom, int left, int right) {
    InspectionArea area;
    area.area_rect_y1 = top;
    area.area_rect_y2 = bottom;
    area.area_rect_x1 = left;
    area.area_rect_x2 = right;
    return area;
}

DbRow StoredRow(const StoredAreaRect& stored, int orientation) {
    DbRow row(kSensorColumnCount, QByteArray("0"));
    row[0] = "p";
    row[1] = "Top";
    row[SensorColumn::area_rect_x1] = QByteArray::number(stored.x1);
    row[SensorColumn::area_rect_y1] = QByteArray::number(stored.y1);
    row[SensorColumn::area_rect_x2] = QByteArray::number(stored.x2);
    row[SensorColumn::area_rect_y2] = QByteArray::number(stored.y2);
    row[SensorColumn::reserved_int_10] = QByteArray::number(orientation);
    return row;
}

TEST(InspectionAreaSlidersTest, ModelTwoUprightSliderWritesTheAreaAndShowsScreenPositions) {
    InspectionArea area = AreaOf(0, 0, 0, 0);
    ApplyTopBottomSlider(area, {10, 229}, 2, 0);
    EXPECT_EQ(area.area_rect_y1, 10);
    EXPECT_EQ(area.area_rect_y2, 229);
    EXPECT_EQ(SliderValueText(10, 2), "22");
    EXPECT_EQ(SliderValueText(229, 2), "460");
    EXPECT_EQ(SliderValueText(229.9, 2), "460");  // truncated, as the slider's int()
    ApplyLeftRightSlider(area, {5.7, 300.2}, 2, 0);
    EXPECT_EQ(area.area_rect_x1, 5);
    EXPECT_EQ(area.area_rect_x2, 300);
    EXPECT_EQ(SliderValueText(799, 3), "800");
}

TEST(InspectionAreaSlidersTest, TurnedPictureMirrorsTheSlidersNotTheArea) {
    struct Case {
        int model;
        InspectionArea area;
        AreaSliderValues shown;
    };
    const Case cases[] = {
        {2, AreaOf(10, 229, 10, 309), {{10, 229}, {10, 309}}},  // symmetric: looks unchanged
        {2, AreaOf(0, 100, 0, 100), {{139, 239}, {219, 319}}},
        {3, AreaOf(0, 100, 0, 100), {{699, 799}, {1179, 1279}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SlidersFromArea(c.area, c.model, 180), c.shown) << "model " << c.model;
        EXPECT_EQ(SlidersFromArea(c.area, c.model, 0),
                  (AreaSliderValues{{double(c.area.area_rect_y1), double(c.area.area_rect_y2)},
                                    {double(c.area.area_rect_x1), double(c.area.area_rect_x2)}}));
        // Moving the shown sliders back to where they are gives the same area.
        InspectionArea moved = AreaOf(-1, -1, -1, -1);
        ApplyTopBottomSlider(moved, c.shown.topBottom, c.model, 180);
        ApplyLeftRightSlider(moved, c.shown.leftRight, c.model, 180);
        EXPECT_EQ(moved, c.area) << "model " << c.model;
    }
}

TEST(InspectionAreaSlidersTest, SavedAreaLoadsBackAsTheSameDeviceArea) {
    // For model 2 the row holds exactly what the sliders show; for model 3 at 180 degrees the
    // row is mirrored on the grid the product load undoes.
    struct Case {
        int model;
        int orientation;
        InspectionArea area;
    };
    const Case cases[] = {{2, 0, AreaOf(10, 229, 20, 300)},
                          {2, 180, AreaOf(0, 100, 30, 200)},
                          {3, 0, AreaOf(100, 700, 50, 1200)},
                          {3, 180, AreaOf(100, 700, 50, 1200)},
                          {3, 180, AreaOf(0, 100, 0, 100)}};
    for (const Case& c : cases) {
        const StoredAreaRect stored = StoredAreaOf(c.area, c.orientation);
        if (c.model == 2) {
            const AreaSliderValues shown = SlidersFromArea(c.area, 2, c.orientation);
            EXPECT_EQ(stored,
                      (StoredAreaRect{int(shown.leftRight.left), int(shown.topBottom.left),
                                      int(shown.leftRight.right), int(shown.topBottom.right)}));
        }
        SensorSettings loaded;
        FillSensorSettings(StoredRow(stored, c.orientation), loaded);
        EXPECT_EQ(loaded.area.area_rect_x1, c.area.area_rect_x1);
        EXPECT_EQ(loaded.area.area_rect_y1, c.area.area_rect_y1);
        EXPECT_EQ(loaded.area.area_rect_x2, c.area.area_rect_x2);
        EXPECT_EQ(loaded.area.area_rect_y2, c.area.area_rect_y2)
            << "model " << c.model << " at " << c.orientation;
    }
}

}  // namespace area_sliders
