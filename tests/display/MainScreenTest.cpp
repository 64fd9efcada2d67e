#include "app/ConfigStore.h"
#include "display/AxisLabels.h"
#include "display/DlgMain.h"
#include "display/FrequencyGraph.h"
#include "display/ImageButton.h"
#include "display/InfoPanel.h"
#include "display/InspectionOutputs.h"
#include "display/Label.h"
#include "display/PicturePane.h"
#include "display/ResultList.h"
#include "display/TextProgressCtrl.h"
#include "inspection/InspectionPipeline.h"
#include "sensor/PhonoluxDevice.h"
#include "storage/DayCounters.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/TempDir.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The inspection page with its screen, not initialised: no database and no camera are needed to
// show what the run controller and the recording hand it.
class MainScreenTest : public ::testing::Test {
  protected:
    MainScreenTest() { page.resize(1920, 1020); }

    // What the run controller and the recorder write lands on the widgets a moment later.
    void settle() { QCoreApplication::processEvents(); }
    QImage shot() { return page.grab().toImage(); }
    static QColor at(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

    ScopedUserSettings settings;
    RecordingDialogs dialogs;
    ConfigStore store;
    CDlgMain page{store};
};

TEST_F(MainScreenTest, BarsPanesAndRowsStandWhereTheLayoutPutsThem) {
    const QImage image = shot();
    ASSERT_EQ(image.size(), QSize(1920, 1020));
    const struct {
        QPoint where;
        QColor colour;
        const char* what;
    } cases[] = {
        {{300, 2}, QColor(163, 5, 50), "title 1"},
        {{300, 512}, QColor(163, 5, 50), "title 2"},
        {{1000, 2}, QColor(163, 5, 50), "title 3"},
        {{1000, 512}, QColor(163, 5, 50), "title 4"},
        {{320, 240}, QColor(26, 26, 26), "picture 1 default"},
        {{320, 800}, QColor(26, 26, 26), "picture 2 default"},
        {{1, 1}, QColor(163, 5, 50), "lamp 1"},
        {{1, 511}, QColor(163, 5, 50), "lamp 2"},
        {{644, 1}, QColor(163, 5, 50), "spectrum scale button"},
        {{644, 511}, QColor(163, 5, 50), "spectrogram scale button"},
        {{1285, 2}, QColor(55, 55, 55), "row 0 marker"},
        {{1480, 2}, QColor(55, 55, 55), "row 0 caption"},
        {{1915, 2}, QColor(35, 35, 35), "row 0 value"},
        {{1915, 51 * 11 + 2}, QColor(35, 35, 35), "row 11 value"},
        {{1915, 700}, QColor(35, 35, 35), "row 12 value"},
        {{1900, 760}, QColor(163, 5, 50), "list title"},
        {{1286, 725}, QColor(80, 80, 80), "progress background"},
        {{1290, 49}, QColor(55, 55, 55), "row 0 marker's lower part"},
        {{1300, 25}, QColor(55, 55, 55), "beside the marker"},
        {{1295, 50 / 2}, QColor(255, 255, 255), "row 0 white mark"},
        {{1300, 50}, QColor(0, 0, 0), "gap between rows"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(at(image, c.where.x(), c.where.y()).rgb(), c.colour.rgb()) << c.what;
    }
    EXPECT_EQ(page.Title(0).text(), QStringLiteral("Acoustic"));
    EXPECT_EQ(page.Title(1).text(), QStringLiteral("Infrared"));
    EXPECT_EQ(page.Title(2).text(), QStringLiteral("Spectrum"));
    EXPECT_EQ(page.Title(3).text(), QStringLiteral("Spectrogram"));
    EXPECT_EQ(page.Title(0).LabelFont().pixelSize(), 14);
    EXPECT_TRUE(page.Title(0).LabelFont().bold());
    EXPECT_EQ(page.ProgressBar().geometry(), QRect(1283, 705, 637, 35));
    EXPECT_EQ(page.ResultList().geometry(), QRect(1284, 770, 636, 250));
}

TEST_F(MainScreenTest, CaptionsAndTheirFonts) {
    const char* captions[] = {" Vorn ",  " Plant ID", " Locationm ID",  " Course ID", " Target ID",
                              " Engine", " Sensor",   " Inspection ID", " OK",        " NG",
                              " Total",  " 불량률",   " 검사결과"};
    for (int row = 0; row < CInfoPanel::kRowCount; ++row) {
        CLabel* caption = page.InfoPanel().CaptionLabel(row);
        EXPECT_EQ(caption->text(), QString::fromUtf8(captions[row])) << row;
        EXPECT_EQ(caption->mapTo(&page, QPoint(0, 0)), CInfoPanel::CaptionRect(row).topLeft());
        EXPECT_EQ(caption->LabelFont().pixelSize(), 24);
        EXPECT_TRUE(caption->LabelFont().bold());
        EXPECT_EQ(page.InfoPanel().ValueLabel(row)->mapTo(&page, QPoint(0, 0)),
                  CInfoPanel::ValueRect(row).topLeft());
        EXPECT_EQ(page.InfoPanel().ValueLabel(row)->TextColor(), QColor(Qt::white)) << row;
    }
    EXPECT_EQ(CInfoPanel::ValueRect(12), QRect(1488, 612, 432, 93));
    EXPECT_EQ(CInfoPanel::CaptionRect(12), QRect(1308, 612, 180, 100));
}

TEST_F(MainScreenTest, StateAndVerdictTextsSetFontColourAndMarker) {
    const QColor green(112, 173, 71), red(255, 0, 0), white(255, 255, 255);
    const struct {
        const char* text;
        int height;
        QColor colour;
        QColor marker;
    } cases[] = {
        {"검사대기 중", 48, {255, 255, 0}, white},
        {"검사진행 중", 42, {255, 255, 0}, green},
        {"검사중지", 42, {255, 255, 0}, red},
        {"", 48, {5, 0, 0}, white},
        {"NG", 90, {225, 75, 75}, red},
        {"OK", 70, {75, 225, 75}, green},
    };
    CLabel* value = page.InfoPanel().ValueLabel(CInfoPanel::kResultRow);
    for (const auto& c : cases) {
        page.Outputs().showResultText(QString::fromUtf8(c.text), c.height, c.colour);
        settle();
        EXPECT_EQ(value->text(), QString::fromUtf8(c.text));
        EXPECT_EQ(value->LabelFont().pixelSize(), c.height) << c.text;
        EXPECT_EQ(value->TextColor(), c.colour) << c.text;
        EXPECT_EQ(value->alignment(), Qt::AlignCenter);
        const QImage marker = page.InfoPanel().Marker(CInfoPanel::kResultRow)->Image();
        EXPECT_EQ(marker.pixelColor(12, marker.height() / 2), c.marker) << c.text;
        EXPECT_EQ(marker.pixelColor(1, 1), QColor(55, 55, 55));
    }
    // The verdict is drawn in its colour inside the value.
    const QImage image = shot();
    int verdictPixels = 0;
    for (int y = 612; y < 705; ++y) {
        for (int x = 1488; x < 1920; ++x) {
            verdictPixels += at(image, x, y) == QColor(75, 225, 75);
        }
    }
    EXPECT_GT(verdictPixels, 100);
}

TEST_F(MainScreenTest, CountersAndDefectRate) {
    const struct {
        int pass, ng;
        const char* rate;
    } cases[] = {{0, 0, "  0.0%"}, {2, 1, "  33.3%"}, {0, 3, "  100.0%"}};
    for (const auto& c : cases) {
        DayCounters counters;
        counters.today_pass = c.pass;
        counters.today_ng = c.ng;
        counters.today_total = c.pass + c.ng;
        page.Outputs().showCounters(CounterTextsOf(counters));
        settle();
        EXPECT_EQ(page.InfoPanel().Value(CInfoPanel::kPassRow),
                  QStringLiteral("  %1 EA").arg(c.pass));
        EXPECT_EQ(page.InfoPanel().Value(CInfoPanel::kNgRow), QStringLiteral("  %1 EA").arg(c.ng));
        EXPECT_EQ(page.InfoPanel().Value(CInfoPanel::kTotalRow),
                  QStringLiteral("  %1 EA").arg(c.pass + c.ng));
        EXPECT_EQ(page.InfoPanel().Value(CInfoPanel::kDefectRateRow), QString::fromUtf8(c.rate));
    }
}

TEST_F(MainScreenTest, RunRowsAreEmptyUntilWrittenThenPaddedInTheirColours) {
    for (int row = 0; row < CInfoPanel::kResultRow; ++row) {
        EXPECT_TRUE(page.InfoPanel().Value(row).isEmpty()) << row;
    }
    page.Outputs().showMissionInfo({QStringLiteral("P1"), {}, {}, {}, QStringLiteral("Top")});
    page.Outputs().showInspectionId(QStringLiteral("[Vorn]20261210180000"));
    page.Outputs().ShowEngine(QStringLiteral("EN-%2"), 5);
    page.ShowVehicleCode(QStringLiteral("UGV-7"));
    settle();
    const struct {
        int row;
        const char* text;
        QColor colour;
    } cases[] = {
        {CInfoPanel::kVehicleRow, "  UGV-7", {75, 225, 75}},
        {CInfoPanel::kPlantRow, "  P1", {255, 162, 1}},
        {CInfoPanel::kLocationRow, "  ", {255, 162, 1}},
        {CInfoPanel::kCourseRow, "  ", {255, 162, 1}},
        {CInfoPanel::kTargetRow, "  ", {255, 162, 1}},
        {CInfoPanel::kEngineRow, "  EN-%2 (5 Sec)", {255, 162, 1}},
        {CInfoPanel::kSensorRow, "  Top", {255, 162, 1}},
        {CInfoPanel::kInspectionIdRow, "  [Vorn]20261210180000", {255, 255, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(page.InfoPanel().Value(c.row), QString::fromUtf8(c.text)) << c.row;
        EXPECT_EQ(page.InfoPanel().ValueLabel(c.row)->TextColor(), c.colour) << c.row;
    }
}

TEST_F(MainScreenTest, ProgressShowsElapsedTenthsAndItsText) {
    page.Outputs().showProgress(50, 25, QStringLiteral("2.5 Sec"));
    settle();
    CTextProgressCtrl& bar = page.ProgressBar();
    EXPECT_EQ(bar.GetRange(false), 50);
    EXPECT_EQ(bar.GetPos(), 25);
    EXPECT_EQ(bar.DisplayText(), QStringLiteral("2.5 Sec"));
    QImage image = shot();
    EXPECT_EQ(at(image, 1283 + 5, 708), QColor(45, 200, 45));
    EXPECT_EQ(at(image, 1283 + 630, 708), QColor(80, 80, 80));

    page.Outputs().showProgress(50, 0, QString());
    settle();
    image = shot();
    EXPECT_EQ(at(image, 1283 + 5, 708), QColor(80, 80, 80));
    EXPECT_TRUE(bar.DisplayText().isEmpty());
}

TEST_F(MainScreenTest, ResultListAppendsSelectsTheNewestAndStartsOverWhenCleared) {
    CResultList& list = page.ResultList();
    EXPECT_EQ(list.columnCount(), 7);
    const QList<int> widths = {0, 55, 156, 180, 60, 70, 95};
    const QStringList captions = {"", "번호", "검사시간", "검사코드", "결과", "센서", "검사엔진"};
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(list.columnWidth(column), widths[column]) << column;
        EXPECT_EQ(list.horizontalHeaderItem(column)->text(), captions[column]) << column;
    }
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_TRUE(list.showGrid());

    page.Outputs().clearResultList();
    for (int i = 1; i <= 30; ++i) {
        page.Outputs().appendResultRow(
            {QString::number(i), QStringLiteral("2026-12-10 18-00-%1").arg(i),
             QStringLiteral("[Vorn]%1").arg(i), i % 2 ? "OK" : "NG", "Top", "ENGINE"});
    }
    page.Outputs().selectLastResultRow();
    settle();
    ASSERT_EQ(list.rowCount(), 30);
    EXPECT_EQ(list.RowTexts(29).at(2), QStringLiteral("[Vorn]30"));
    EXPECT_EQ(list.item(29, 3)->textAlignment(), int(Qt::AlignCenter));
    ASSERT_EQ(list.selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(list.selectionModel()->selectedRows().first().row(), 29);
    // The newest row is in view.
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    EXPECT_TRUE(list.viewport()->rect().intersects(list.visualItemRect(list.item(29, 1))));

    page.Outputs().appendResultRow({"31", "t", "c", "OK", "Top", "ENGINE"});
    page.Outputs().selectLastResultRow();
    settle();
    EXPECT_EQ(list.rowCount(), 31);
    EXPECT_EQ(list.selectionModel()->selectedRows().first().row(), 30);

    page.Outputs().clearResultList();
    page.Outputs().appendResultRow({"1", "t", "c", "NG", "Top", "ENGINE"});
    settle();
    EXPECT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.RowTexts(0).at(3), QStringLiteral("NG"));
}

TEST_F(MainScreenTest, LampsFollowTheConnectionState) {
    const struct {
        int state;
        QColor dot;
    } cases[] = {{-1, {255, 0, 0}}, {1, {112, 173, 71}}, {0, {191, 191, 191}}};
    for (const auto& c : cases) {
        page.setConnectionState(c.state);
        settle();
        const QImage image = shot();
        EXPECT_EQ(at(image, 15, 15), c.dot) << c.state;
        EXPECT_EQ(at(image, 15, 510 + 15), c.dot) << c.state;
        EXPECT_EQ(at(image, 2, 2), QColor(163, 5, 50));
    }
}

TEST_F(MainScreenTest, PopupCancelChangesOnlyTheViewMode) {
    StationConfig& config = page.Config();
    config.Spectrum_MAX_DB = 130;
    config.Spectrogram_MAX_DB = 80;
    config.Inspection_View_Mode = 5;
    dialogs.scriptLevelChoices({std::nullopt, std::nullopt});
    QTest::mouseClick(&page.SpectrogramScaleButton(), Qt::LeftButton);
    EXPECT_EQ(config.Inspection_View_Mode, 2);
    QTest::mouseClick(&page.SpectrumScaleButton(), Qt::LeftButton);
    EXPECT_EQ(config.Inspection_View_Mode, 1);
    EXPECT_EQ(config.Spectrum_MAX_DB, 130);
    EXPECT_EQ(config.Spectrogram_MAX_DB, 80);
    const std::vector<RecordedDialog> shown = dialogs.recorded();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Spectrogram Max dB Level "));
    EXPECT_EQ(shown[0].text, QStringLiteral("최대레벨 :"));
    EXPECT_EQ(shown[0].steps, 8);  // "80 dB" preselected
    EXPECT_EQ(shown[1].caption, QStringLiteral("Spectrum Max dB Level "));
    EXPECT_EQ(shown[1].steps, 13);
}

TEST_F(MainScreenTest, PopupChoiceSetsTheLevelFromItsIndex) {
    StationConfig& config = page.Config();
    dialogs.scriptLevelChoices({0, 10, 3, -1});
    QTest::mouseClick(&page.SpectrumScaleButton(), Qt::LeftButton);
    EXPECT_EQ(config.Spectrum_MAX_DB, 30);
    QTest::mouseClick(&page.SpectrumScaleButton(), Qt::LeftButton);
    EXPECT_EQ(config.Spectrum_MAX_DB, 130);
    QTest::mouseClick(&page.SpectrogramScaleButton(), Qt::LeftButton);
    EXPECT_EQ(config.Spectrogram_MAX_DB, 60);
    // "확인" without a chosen entry changes nothing.
    QTest::mouseClick(&page.SpectrogramScaleButton(), Qt::LeftButton);
    EXPECT_EQ(config.Spectrogram_MAX_DB, 60);
}

TEST_F(MainScreenTest, OnlyPaintsOfThePageItselfRefreshTheScreen) {
    QSignalSpy refreshed(&page, &CDlgMain::screenRefreshed);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    ASSERT_TRUE(refreshed.wait(1000));
    // No refresh feeds another: the page stays quiet once it has been drawn.
    QTest::qWait(200);
    const qsizetype afterShow = refreshed.size();
    QTest::qWait(200);
    EXPECT_EQ(refreshed.size(), afterShow);

    // Pictures, texts and progress repaint their own panes.
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    for (int i = 0; i < 5; ++i) {
        emit page.Pipeline().pictureReady(picture, 2, 0);
        page.Outputs().showProgress(50, i, QStringLiteral("%1 Sec").arg(i));
        page.Outputs().showResultText(QStringLiteral("검사진행 중"), 42, QColor(255, 255, 0));
        QTest::qWait(20);
    }
    QTest::qWait(50);
    EXPECT_EQ(refreshed.size(), afterShow);

    // An exposure of the page does refresh it.
    page.update();
    EXPECT_TRUE(refreshed.wait(1000));
}

int ShownDbLabels(CDlgMain& page) {
    int shown = 0;
    for (int i = 0; i < AxisLabelLayout::kDbLabels; ++i) {
        shown += page.AxisLabels().DbLabel(i)->isVisibleTo(&page);
    }
    return shown;
}

TEST_F(MainScreenTest, SpectrumPopupPlacesTheDbLabelsOfTheNewScale) {
    const struct {
        int index;
        int maxDb;
        int labels;
        const char* top;
    } cases[] = {{0, 30, 7, "30dB"}, {10, 130, 17, "130dB"}, {5, 80, 12, "80dB"}};
    for (const auto& c : cases) {
        dialogs.scriptLevelChoices({c.index});
        QTest::mouseClick(&page.SpectrumScaleButton(), Qt::LeftButton);
        EXPECT_EQ(page.Config().Spectrum_MAX_DB, c.maxDb);
        EXPECT_EQ(page.Graph()->Range().max, c.maxDb + 30);
        EXPECT_EQ(ShownDbLabels(page), c.labels) << c.maxDb;
        EXPECT_EQ(page.AxisLabels().DbLabel(c.labels - 1)->text(), QString::fromUtf8(c.top));
        // The top label sits on the graph's top grid line, the -30 dB one on the bottom edge.
        EXPECT_EQ(page.AxisLabels().DbLabel(0)->geometry(), QRect(685 - 31, 480 - 8, 25, 16));
    }
}

TEST_F(MainScreenTest, SpectrogramPopupRewritesTheColourScale) {
    dialogs.scriptLevelChoices({9});
    QTest::mouseClick(&page.SpectrogramScaleButton(), Qt::LeftButton);
    EXPECT_EQ(page.Config().Spectrogram_MAX_DB, 120);
    const char* texts[] = {"0 dB", "30 dB", "60 dB", "90 dB", "120 dB"};
    for (int j = 0; j < 5; ++j) {
        EXPECT_EQ(page.AxisLabels().ColourLabel(j)->text(), QString::fromUtf8(texts[j])) << j;
    }
    // The maximum at the top of the bar, 0 dB at its bottom.
    EXPECT_LT(page.AxisLabels().ColourLabel(4)->y(), page.AxisLabels().ColourLabel(0)->y());
}

TEST_F(MainScreenTest, GraphShowsTheLiveSpectrumAndTheRefreshClearsIt) {
    page.Config().Filter_Display = 0;
    std::vector<float> loud(1024, 65.0f);
    page.Device()->graphCurves().SetCurve(1, loud.data());
    for (int i = 0; i < 171; ++i) {
        page.Device()->spectrogramQueue().PushRow(loud.data());
    }
    settle();
    auto countLive = [](const QImage& image) {
        int live = 0;
        for (int x = 685; x < 685 + 577; ++x) {
            for (int y = 45; y < 45 + 435; ++y) {
                live += image.pixelColor(x, y) == QColor(0, 255, 45);
            }
        }
        return live;
    };
    QImage image = shot();
    EXPECT_GT(countLive(image), 500);
    // 65 dB with an 80 dB top is pale yellow, over the whole width inside the grey frame.
    EXPECT_EQ(at(image, 685 + 5, 555 + 200), QColor(255, 255, 207));
    EXPECT_EQ(at(image, 685 + 508, 555 + 200), QColor(255, 255, 207));
    EXPECT_EQ(at(image, 685, 555 + 200), QColor(160, 160, 160));
    EXPECT_EQ(at(image, 1211, 555 + 200), QColor(160, 160, 160));

    // The refresh after a paint of the page lays the labels out and clears the curves.
    QSignalSpy refreshed(&page, &CDlgMain::screenRefreshed);
    page.update();
    page.show();
    ASSERT_TRUE(refreshed.wait(1000));
    image = shot();
    EXPECT_EQ(countLive(image), 0);

    // A run start blackens the spectrogram and empties the queue.
    page.Outputs().clearSpectrogram();
    page.clearHistoryQueues();
    settle();
    image = shot();
    EXPECT_EQ(at(image, 685 + 200, 555 + 200), QColor(0, 0, 0));
    EXPECT_EQ(page.Device()->spectrogramQueue().Count(), 0);
}

TEST_F(MainScreenTest, FrequencyLabelsFollowTheRangeAtTheRefresh) {
    const struct {
        int range;
        const char* first;
        const char* last;
    } cases[] = {{0, "0k", "24k"}, {1, "0k", "96k"}};
    for (const auto& c : cases) {
        page.UpdateSensor([&](SensorSettings& s) { s.freq_range = c.range; });
        QSignalSpy refreshed(&page, &CDlgMain::screenRefreshed);
        page.show();
        page.update();
        ASSERT_TRUE(refreshed.wait(1000));
        EXPECT_EQ(page.AxisLabels().SpectrumFrequencyLabel(0)->text(), QString::fromUtf8(c.first));
        EXPECT_EQ(page.AxisLabels().SpectrumFrequencyLabel(24)->text(), QString::fromUtf8(c.last));
        EXPECT_EQ(page.AxisLabels().SpectrogramFrequencyLabel(24)->text(),
                  QString::fromUtf8(c.last));
        EXPECT_FALSE(page.AxisLabels().SpectrumFrequencyLabel(25)->isVisibleTo(&page));
    }
}

}  // namespace
