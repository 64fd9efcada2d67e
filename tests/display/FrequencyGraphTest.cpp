// The live graph on a page under the offscreen platform: every check reads pixels of a grab of
// the page at the graph's three rectangles.
#include "display/AxisLabels.h"
#include "display/FrequencyGraph.h"
#include "display/Label.h"
#include "inspection/InspectionPipeline.h"
#include "inspection/RunContext.h"
#include "sensor/GraphCurves.h"
#include "sensor/SpectrogramQueue.h"

#include <QCoreApplication>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr QRgb kGreen = qRgb(0, 255, 45);
constexpr QRgb kCyan = qRgb(153, 255, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kGrey = qRgb(90, 90, 90);
constexpr QRgb kYellow = qRgb(255, 255, 0);
constexpr QRgb kSalmon = qRgb(255, 128, 95);
constexpr QRgb kFrameGrey = qRgb(160, 160, 160);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlackPixel = qRgb(0, 0, 0);
constexpr QRgb kPageColour = qRgb(12, 34, 56);

// A page that counts its own paints, so a graph update can be told apart from a page repaint.
class CountingPage : public QWidget {
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

std::array<float, 1024> Flat(float level) {
    std::array<float, 1024> row;
    row.fill(level);
    return row;
}

struct Pixels {
    QImage image;
    QRgb at(int x, int y) const { return image.pixel(x, y) | 0xff000000u; }
    int countInColumn(int x, QRgb colour, int fromY = 0, int toY = -1) const {
        const int last = toY < 0 ? image.height() - 1 : toY;
        int count = 0;
        for (int y = fromY; y <= last; ++y) {
            count += at(x, y) == colour;
        }
        return count;
    }
    int count(QRgb colour, int fromX = 0, int toX = -1) const {
        const int last = toX < 0 ? image.width() - 1 : toX;
        int total = 0;
        for (int x = fromX; x <= last; ++x) {
            total += countInColumn(x, colour);
        }
        return total;
    }
};

QString Hex(QRgb rgb) {
    return QStringLiteral("#%1").arg(rgb & 0xffffffu, 6, 16, QLatin1Char('0'));
}

class FrequencyGraphTest : public ::testing::Test {
  protected:
    void SetUp() override {
        page.resize(1920, 1020);
        page.setAutoFillBackground(true);
        QPalette palette = page.palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(kPageColour));
        page.setPalette(palette);
        graph = new CFrequencyGraph(&page, curves, rows, [this] { return settings; });
    }

    QImage GrabPage() { return page.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    Pixels Spectrum() { return {GrabPage().copy(685, 45, 577, 435)}; }
    Pixels Spectrogram() { return {GrabPage().copy(685, 555, 513, 435)}; }
    Pixels ColourBar() { return {GrabPage().copy(1211, 555, 20, 435)}; }

    void SetSpectrumMax(int maxDb) {
        settings.spectrumMaxDb = maxDb;
        graph->SetRange(0, maxDb + 30);
    }
    // Live curve only, out of sight below the bottom edge.
    void HideCurves() {
        curves.ClearCurves();
        curves.SetCurve(1, Flat(-30.0f).data());
        curves.SetCurve(2, Flat(-30.0f).data());
    }
    void PushRows(int count, float level) {
        const auto row = Flat(level);
        for (int i = 0; i < count; ++i) {
            rows.PushRow(row.data());
        }
    }

    // Declared before the page: the page deletes the graph, which lets go of these.
    CGraphCurves curves;
    CSpectrogramQueue rows;
    GraphSettings settings;
    CountingPage page;
    CFrequencyGraph* graph = nullptr;
};

// --- Spectrogram --------------------------------------------------------------------------

TEST_F(FrequencyGraphTest, SpectrogramColoursFollowTheFiveBands) {
    struct Case {
        int maxDb;
        float level;
        QRgb expected;
    };
    const Case cases[] = {
        {80, 20.0f, qRgb(0, 0, 255)},
        {80, 40.0f, qRgb(255, 0, 0)},
        {80, 60.0f, qRgb(255, 255, 0)},
        {80, 70.0f, qRgb(255, 255, 223)},
        {80, 80.0f, kWhite},
        {80, 500.0f, kWhite},
        {80, 0.0f, kBlackPixel},
        {80, -12.0f, kBlackPixel},
        {80, 10.0f, qRgb(0, 0, 127)},
        {80, 30.0f, qRgb(191, 0, 64)},
        {80, 50.0f, qRgb(255, 212, 0)},
        {40, 10.0f, qRgb(0, 0, 255)},
        {40, 40.0f, kWhite},
        {120, 60.0f, qRgb(255, 0, 0)},
    };
    curves.ClearCurves();
    for (const Case& c : cases) {
        settings.spectrogramMaxDb = c.maxDb;
        rows.ClearRows();
        PushRows(1, c.level);
        const Pixels spectrogram = Spectrogram();
        for (int x : {510, 511}) {
            EXPECT_EQ(Hex(spectrogram.at(x, 200)), Hex(c.expected))
                << "max " << c.maxDb << " level " << c.level << " x " << x;
        }
        EXPECT_EQ(Hex(SpectrogramColour(c.level, c.maxDb)), Hex(c.expected));
    }
}

TEST_F(FrequencyGraphTest, ColourBarShowsTheBandsBottomUpInAGreyFrame) {
    struct Case {
        int j;  // counted from the bottom
        QRgb expected;
    };
    const Case cases[] = {
        {1, qRgb(0, 0, 2)},         {108, qRgb(0, 0, 255)}, {109, qRgb(2, 0, 253)},
        {216, qRgb(255, 0, 0)},     {217, qRgb(255, 2, 0)}, {324, qRgb(255, 255, 0)},
        {325, qRgb(255, 255, 191)}, {433, kWhite},
    };
    curves.ClearCurves();
    const Pixels bar = ColourBar();
    for (const Case& c : cases) {
        for (int x : {1, 10, 18}) {
            EXPECT_EQ(Hex(bar.at(x, 434 - c.j)), Hex(c.expected)) << "j " << c.j << " x " << x;
        }
    }
    for (const QPoint& edge : {QPoint(0, 200), QPoint(19, 200), QPoint(10, 0), QPoint(10, 434)}) {
        EXPECT_EQ(Hex(bar.at(edge.x(), edge.y())), Hex(kFrameGrey)) << edge.x() << "," << edge.y();
    }
}

TEST_F(FrequencyGraphTest, EmptyQueueKeepsThePreviousPixelsInsideTheGreyFrame) {
    curves.ClearCurves();
    PushRows(171, 40.0f);
    const Pixels before = Spectrogram();
    EXPECT_EQ(Hex(before.at(1, 200)), Hex(kRed));

    rows.ClearRows();
    const Pixels kept = Spectrogram();
    for (const QPoint& inside : {QPoint(1, 1), QPoint(256, 200), QPoint(511, 433)}) {
        EXPECT_EQ(Hex(kept.at(inside.x(), inside.y())), Hex(kRed));
    }
    for (const QPoint& edge :
         {QPoint(0, 200), QPoint(512, 200), QPoint(256, 0), QPoint(256, 434)}) {
        EXPECT_EQ(Hex(kept.at(edge.x(), edge.y())), Hex(kFrameGrey));
    }

    // A run start blanks the pixels; the frame stays.
    graph->ClearSpectrogram();
    const Pixels blank = Spectrogram();
    EXPECT_EQ(blank.count(kRed), 0);
    EXPECT_EQ(Hex(blank.at(256, 200)), Hex(kBlackPixel));
    EXPECT_EQ(Hex(blank.at(0, 200)), Hex(kFrameGrey));
}

TEST_F(FrequencyGraphTest, RowsFillFromTheRightEdgeOldestLeftmost) {
    curves.ClearCurves();
    for (int n : {1, 10, 170, 171}) {
        graph->ClearSpectrogram();
        rows.ClearRows();
        // The oldest row is blue, the others red.
        PushRows(1, 20.0f);
        PushRows(n - 1, 40.0f);
        const Pixels spectrogram = Spectrogram();
        const int first = 3 * (171 - n);
        // Column 0 belongs to the frame.
        for (int x = std::max(first, 1); x < std::min(first + 3, 512); ++x) {
            EXPECT_EQ(Hex(spectrogram.at(x, 200)), Hex(qRgb(0, 0, 255))) << n << " x " << x;
        }
        if (first > 0) {
            EXPECT_EQ(Hex(spectrogram.at(first - 1, 200)), Hex(kBlackPixel)) << n;
        }
        if (n > 1) {
            EXPECT_EQ(Hex(spectrogram.at(first + 3, 200)), Hex(kRed)) << n;
            EXPECT_EQ(Hex(spectrogram.at(511, 200)), Hex(kRed)) << n;
        }
        EXPECT_EQ(Hex(spectrogram.at(512, 200)), Hex(kFrameGrey)) << n;
    }

    // A 172nd row drops the oldest: the blue row is gone, red covers the whole width.
    graph->ClearSpectrogram();
    rows.ClearRows();
    PushRows(1, 20.0f);
    PushRows(171, 40.0f);
    EXPECT_EQ(rows.Count(), 171);
    const Pixels full = Spectrogram();
    EXPECT_EQ(full.count(qRgb(0, 0, 255)), 0);
    EXPECT_EQ(Hex(full.at(1, 200)), Hex(kRed));
}

TEST_F(FrequencyGraphTest, LowFrequenciesSitAtTheBottom) {
    struct Case {
        int k;  // pixel row 435 - k shows value int(1024 / 435 * k)
        int index;
    };
    curves.ClearCurves();
    for (const Case c : {Case{2, 4}, Case{100, 235}, Case{434, 1021}}) {
        rows.ClearRows();
        auto row = Flat(0.0f);
        row[c.index] = 40.0f;
        rows.PushRow(row.data());
        const Pixels spectrogram = Spectrogram();
        EXPECT_EQ(Hex(spectrogram.at(511, 435 - c.k)), Hex(kRed)) << c.k;
        EXPECT_EQ(spectrogram.countInColumn(511, kRed), 1) << c.k;
    }
}

// --- Spectrum ------------------------------------------------------------------------------

TEST_F(FrequencyGraphTest, CurveLevelsSitAboveTheBottomByThirtyDb) {
    struct Case {
        int maxDb;
        float level;
        int row;  // -1: below the area
    };
    const Case cases[] = {
        {130, -30.0f, -1}, {130, 5.0f, 341}, {130, 25.0f, 287}, {130, 130.0f, 3},
        {30, 5.0f, 186},   {30, 25.0f, 43},  {30, 30.0f, 8},
    };
    for (const Case& c : cases) {
        SetSpectrumMax(c.maxDb);
        curves.ClearCurves();
        curves.SetCurve(1, Flat(c.level).data());
        curves.SetCurve(2, Flat(-30.0f).data());
        const Pixels spectrum = Spectrum();
        if (c.row < 0) {
            EXPECT_EQ(spectrum.count(kGreen, 2, 575), 0) << c.level;
            EXPECT_EQ(Hex(spectrum.at(300, 434)), Hex(kWhite));
        } else {
            EXPECT_EQ(Hex(spectrum.at(300, c.row)), Hex(kGreen)) << c.maxDb << " " << c.level;
            EXPECT_EQ(spectrum.countInColumn(300, kGreen), 1) << c.maxDb << " " << c.level;
        }
    }

    // 0 dB lies on the yellow base line, which is drawn over the curve.
    SetSpectrumMax(130);
    curves.ClearCurves();
    const Pixels zero = Spectrum();
    EXPECT_EQ(zero.count(kGreen, 2, 575), 0);
    EXPECT_EQ(zero.count(kCyan, 2, 575), 0);
    EXPECT_EQ(Hex(zero.at(300, 354)), Hex(kYellow));
    EXPECT_EQ(Hex(zero.at(0, 0)), Hex(kWhite));
    EXPECT_EQ(Hex(zero.at(576, 200)), Hex(kWhite));
    EXPECT_EQ(Hex(zero.at(300, 200)), Hex(kBlackPixel));
}

TEST_F(FrequencyGraphTest, DbGridAndLabelsFollowSpectrumMax) {
    struct Case {
        int maxDb;
        int gridLines;
        int labels;
    };
    CAxisLabels labels(&page, [this] { HideCurves(); });
    for (const Case c : {Case{130, 15, 17}, Case{30, 5, 7}, Case{80, 10, 12}}) {
        SetSpectrumMax(c.maxDb);
        labels.LayoutAxisLabels(c.maxDb);
        const Pixels spectrum = Spectrum();
        // The 0 dB base line covers the grid line of 0 dB.
        std::vector<int> gridRows;
        for (int y = 1; y < 434; ++y) {
            const QRgb pixel = spectrum.at(300, y);
            if (pixel == kGrey || pixel == kYellow) {
                gridRows.push_back(y);
            }
        }
        ASSERT_EQ(static_cast<int>(gridRows.size()), c.gridLines) << c.maxDb;
        int shown = 0;
        for (int i = 0; i < 17; ++i) {
            shown += labels.DbLabel(i)->isVisibleTo(&page);
        }
        EXPECT_EQ(shown, c.labels) << c.maxDb;
        // Label i (10 i - 30 dB) is centred on its grid line; the lines run from -20 dB up.
        for (int i = 1; i <= c.gridLines; ++i) {
            const QRect label = labels.DbLabel(i)->geometry();
            EXPECT_EQ(label.y() + 8 - 45, gridRows[c.gridLines - i]) << c.maxDb << " label " << i;
        }
    }
}

TEST_F(FrequencyGraphTest, MeasurementBandAndFilterBoxesFollowDisplayFlagAndRange) {
    struct Case {
        int filterDisplay;
        int freqRange;
        std::vector<int> markerColumns;  // freqMin 3000 and freqMax 6000
        int boxMax;                      // columns of the enabled 10000..12500 Hz filter
        int boxMin;
    };
    const Case cases[] = {
        {0, 0, {}, -1, -1},
        {1, 0, {70, 141}, 295, 236},
        {1, 1, {17, 35}, 73, 59},
        {0, 1, {}, -1, -1},
    };
    SetSpectrumMax(130);
    settings.freqMin = 3000;
    settings.freqMax = 6000;
    settings.filters[0] = {1, 12500, 10000, 0, 25};
    // Disabled: never drawn, whatever its band.
    settings.filters[1] = {0, 22000, 18000, 0, 60};
    HideCurves();
    for (const Case& c : cases) {
        settings.filterDisplay = c.filterDisplay;
        settings.freqRange = c.freqRange;
        const Pixels spectrum = Spectrum();
        const std::string name =
            std::to_string(c.filterDisplay) + "/" + std::to_string(c.freqRange);
        // Yellow outside the base line row only where markers stand.
        int yellowColumns = 0;
        for (int x = 0; x < 577; ++x) {
            yellowColumns += spectrum.at(x, 100) == kYellow;
        }
        EXPECT_EQ(yellowColumns, static_cast<int>(c.markerColumns.size())) << name;
        for (int x : c.markerColumns) {
            EXPECT_EQ(spectrum.countInColumn(x, kYellow, 1, 433), 433) << name << " x " << x;
            EXPECT_EQ(Hex(spectrum.at(x, 434)), Hex(kWhite)) << name << " x " << x;
        }
        EXPECT_EQ(Hex(spectrum.at(300, 354)), Hex(kYellow)) << name;
        // The 1 kHz grid keeps the 25 kHz bin width in both ranges.
        for (int x : {23, 47, 70, 567}) {
            const QRgb pixel = spectrum.at(x, 200);
            EXPECT_TRUE(pixel == kGrey || pixel == kYellow) << name << " x " << x;
        }
        if (c.boxMax < 0) {
            EXPECT_EQ(spectrum.count(kSalmon), 0) << name;
            continue;
        }
        // Sides rise from the bottom edge to the inspection level (25 dB, row 287), joined by
        // a top edge; the disabled filter leaves nothing.
        // Each line stops short of its end point and the base line crosses both sides, so the
        // high side keeps rows 287..434 and the low side 288..434, less row 354 each.
        EXPECT_EQ(spectrum.countInColumn(c.boxMax, kSalmon), 147) << name;
        EXPECT_EQ(spectrum.countInColumn(c.boxMin, kSalmon), 146) << name;
        for (int x : {c.boxMax, c.boxMin}) {
            EXPECT_EQ(Hex(spectrum.at(x, 434)), Hex(kSalmon)) << name << " x " << x;
            EXPECT_EQ(Hex(spectrum.at(x, 288)), Hex(kSalmon)) << name << " x " << x;
            EXPECT_EQ(Hex(spectrum.at(x, 354)), Hex(kYellow)) << name << " x " << x;
        }
        for (int x = c.boxMin + 1; x <= c.boxMax; ++x) {
            EXPECT_EQ(Hex(spectrum.at(x, 287)), Hex(kSalmon)) << name << " x " << x;
        }
        EXPECT_EQ(Hex(spectrum.at((c.boxMax + c.boxMin) / 2, 286)), Hex(kBlackPixel)) << name;
        EXPECT_EQ(spectrum.count(kSalmon), 147 + 146 + (c.boxMax - c.boxMin - 1)) << name;
    }
}

TEST_F(FrequencyGraphTest, NgCurveOnlyWhileLatched) {
    SetSpectrumMax(130);
    curves.ClearCurves();
    curves.SetCurve(1, Flat(5.0f).data());
    curves.SetCurve(3, Flat(45.0f).data());
    for (bool latched : {false, true, false}) {
        settings.ngLatched = latched;
        const Pixels spectrum = Spectrum();
        EXPECT_EQ(Hex(spectrum.at(300, 341)), Hex(kGreen)) << latched;
        // Columns 2..575 of a flat line, less the 24 frequency grid lines drawn over it.
        EXPECT_EQ(spectrum.count(kRed, 2, 575), latched ? 574 - 24 : 0) << latched;
        if (latched) {
            EXPECT_EQ(Hex(spectrum.at(300, 233)), Hex(kRed));
        }
    }
}

TEST_F(FrequencyGraphTest, SecondSlotIsDrawnInItsOwnColour) {
    SetSpectrumMax(130);
    curves.ClearCurves();
    curves.SetCurve(1, Flat(-30.0f).data());
    curves.SetCurve(2, Flat(25.0f).data());
    const Pixels spectrum = Spectrum();
    EXPECT_EQ(Hex(spectrum.at(300, 287)), Hex(kCyan));
    EXPECT_EQ(spectrum.count(kGreen, 2, 575), 0);
}

TEST_F(FrequencyGraphTest, FrequencyGridFollowsTheCameraModel) {
    struct Case {
        int model;
        std::vector<int> gridColumns;  // 1, 13 and 24 kHz
        int freeColumn;
    };
    SetSpectrumMax(130);
    HideCurves();
    for (const Case& c : {Case{3, {23, 307, 567}, 300}, Case{2, {23, 300, 553}, 307}}) {
        settings.cameraModel = c.model;
        const Pixels spectrum = Spectrum();
        for (int x : c.gridColumns) {
            EXPECT_EQ(Hex(spectrum.at(x, 200)), Hex(kGrey)) << c.model << " x " << x;
            EXPECT_EQ(Hex(spectrum.at(x, 434)), Hex(kWhite)) << c.model << " x " << x;
        }
        EXPECT_EQ(Hex(spectrum.at(c.freeColumn, 200)), Hex(kBlackPixel)) << c.model;
        int gridColumns = 0;
        for (int x = 1; x < 576; ++x) {
            gridColumns += spectrum.at(x, 200) == kGrey;
        }
        EXPECT_EQ(gridColumns, 24) << c.model;
    }
}

// --- Life cycle ----------------------------------------------------------------------------

TEST_F(FrequencyGraphTest, NothingIsDrawnBeforeTheFirstCurve) {
    PushRows(171, 40.0f);
    const QImage before = GrabPage();
    for (const QRect& rect :
         {GraphRects().spectrum, GraphRects().spectrogram, GraphRects().colourBar}) {
        const Pixels area{before.copy(rect)};
        EXPECT_EQ(area.count(kPageColour), rect.width() * rect.height())
            << rect.x() << "," << rect.y();
    }

    curves.SetCurve(1, Flat(5.0f).data());
    const QImage after = GrabPage();
    EXPECT_EQ(Hex(after.pixel(685, 45) | 0xff000000u), Hex(kWhite));
    EXPECT_EQ(Hex(after.pixel(685, 555) | 0xff000000u), Hex(kFrameGrey));
    EXPECT_EQ(Hex(after.pixel(1211, 555) | 0xff000000u), Hex(kFrameGrey));
    EXPECT_EQ(Hex(after.pixel(685 + 300, 555 + 200) | 0xff000000u), Hex(kRed));
}

TEST_F(FrequencyGraphTest, DetachedGraphDrawsNothingAndOutlivesItsSources) {
    auto ownCurves = std::make_unique<CGraphCurves>();
    auto ownRows = std::make_unique<CSpectrogramQueue>();
    auto* detached = new CFrequencyGraph(&page, *ownCurves, *ownRows, [this] { return settings; });
    graph->hide();
    graph->SpectrogramPane()->hide();
    graph->ColourBarPane()->hide();
    ownCurves->ClearCurves();
    EXPECT_EQ(Hex(GrabPage().pixel(685, 45) | 0xff000000u), Hex(kWhite));

    detached->Detach();
    ownCurves.reset();
    ownRows.reset();
    const QImage image = GrabPage();
    for (const QRect& rect :
         {GraphRects().spectrum, GraphRects().spectrogram, GraphRects().colourBar}) {
        const Pixels area{image.copy(rect)};
        EXPECT_EQ(area.count(kPageColour), rect.width() * rect.height());
    }
    delete detached;
}

TEST_F(FrequencyGraphTest, CurveBurstFromTheWorkerCoalescesIntoOneGraphPaint) {
    curves.ClearCurves();
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    QTest::qWait(50);
    const int pagePaints = page.paints;
    const int graphPaints = graph->PaintCount();
    const int requests = graph->UpdateRequestCount();
    const int changes = graph->ChangeCount();

    std::thread worker([this] {
        for (int i = 0; i < 200; ++i) {
            curves.SetCurve(1, Flat(static_cast<float>(i % 100)).data());
        }
    });
    worker.join();
    EXPECT_EQ(graph->ChangeCount() - changes, 200);
    EXPECT_EQ(graph->UpdateRequestCount() - requests, 1);

    QTRY_VERIFY_WITH_TIMEOUT(graph->PaintCount() > graphPaints, 2000);
    QTest::qWait(50);
    EXPECT_EQ(graph->PaintCount() - graphPaints, 1);
    // The graph and its panes repaint alone; the page beneath is not repainted.
    EXPECT_EQ(page.paints, pagePaints);
    const QImage shown = GrabPage();
    EXPECT_EQ(Hex(shown.pixel(685 + 300, 45 + 435 - static_cast<int>((99 + 30) * 435.0 / 161)) |
                  0xff000000u),
              Hex(kGreen));
}

TEST_F(FrequencyGraphTest, WorkerPipelineFeedsTheCurves) {
    RunContext run;
    CInspectionPipeline pipeline(run);
    EXPECT_EQ(pipeline.GraphDisplayMode(), 0);
    pipeline.SetCurve(1, Flat(5.0f).data());
    EXPECT_FALSE(curves.HasCurves());

    pipeline.setGraphCurves(&curves);
    EXPECT_EQ(pipeline.GraphDisplayMode(), 1);
    curves.SetDisplayMode(2);
    EXPECT_EQ(pipeline.GraphDisplayMode(), 2);
    SetSpectrumMax(130);
    pipeline.SetCurve(1, Flat(5.0f).data());
    EXPECT_EQ(Hex(Spectrum().at(300, 341)), Hex(kGreen));
}

// --- Axis labels ---------------------------------------------------------------------------

TEST(AxisLabelLayoutTest, PlacesEverySetFromTheGraphRectangles) {
    const AxisLabelLayout layout = ComputeAxisLabelLayout(GraphRects(), 130);
    struct Case {
        const char* name;
        QRect actual;
        QRect expected;
    };
    const Case cases[] = {
        {"spectrum 0 Hz", layout.spectrumFrequency[0], QRect(681, 484, 18, 16)},
        {"spectrum 1 kHz", layout.spectrumFrequency[1], QRect(704, 484, 18, 16)},
        {"spectrum 24 kHz", layout.spectrumFrequency[24], QRect(1248, 484, 18, 16)},
        {"dB -30", layout.db[0], QRect(654, 472, 25, 16)},
        {"dB 0", layout.db[3], QRect(654, 391, 25, 16)},
        {"dB 130", layout.db[16], QRect(654, 40, 25, 16)},
        {"spectrogram 24 kHz", layout.spectrogramFrequency[24], QRect(654, 555, 18, 16)},
        {"spectrogram 23 kHz", layout.spectrogramFrequency[23], QRect(654, 572, 18, 16)},
        {"spectrogram 0 Hz", layout.spectrogramFrequency[0], QRect(654, 982, 18, 16)},
        {"7 Sec", layout.time[7], QRect(685, 994, 24, 16)},
        {"6 Sec", layout.time[6], QRect(758, 994, 24, 16)},
        {"0 Sec", layout.time[0], QRect(1196, 994, 24, 16)},
        {"colour top", layout.colour[4], QRect(1236, 555, 30, 16)},
        {"colour 1", layout.colour[1], QRect(1236, 879, 30, 16)},
        {"colour 0 dB", layout.colour[0], QRect(1236, 987, 30, 16)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.actual, c.expected) << c.name;
    }
    EXPECT_EQ(std::count(layout.dbShown.begin(), layout.dbShown.end(), true), 17);

    const AxisLabelLayout low = ComputeAxisLabelLayout(GraphRects(), 30);
    EXPECT_EQ(std::count(low.dbShown.begin(), low.dbShown.end(), true), 7);
    EXPECT_EQ(low.db[6], QRect(654, 45, 25, 16));
    EXPECT_EQ(low.db[3], QRect(654, 259, 25, 16));
}

TEST(AxisLabelsTest, CreatesTheFiveSetsWithTheirTextsAndLook) {
    QWidget page;
    CAxisLabels labels(&page, {}, 80);
    EXPECT_EQ(labels.SpectrumFrequencyLabel(0)->text(), "0");
    EXPECT_EQ(labels.SpectrumFrequencyLabel(25)->text(), "25k");
    EXPECT_EQ(labels.SpectrogramFrequencyLabel(7)->text(), "7k");
    EXPECT_EQ(labels.DbLabel(0)->text(), "-30dB");
    EXPECT_EQ(labels.DbLabel(16)->text(), "130dB");
    EXPECT_EQ(labels.TimeLabel(7)->text(), "7 Sec");
    const char* colour[] = {"0 dB", "20 dB", "40 dB", "60 dB", "80 dB"};
    for (int j = 0; j < 5; ++j) {
        EXPECT_EQ(labels.ColourLabel(j)->text(), colour[j]);
    }
    const CLabel* label = labels.DbLabel(3);
    EXPECT_EQ(label->LabelFont().family(), "Tahoma");
    EXPECT_EQ(label->LabelFont().pixelSize(), 9);
    EXPECT_EQ(label->FontWeight(), 400);
    EXPECT_EQ(label->TextColor(), QColor(255, 255, 255));
    EXPECT_EQ(label->BkColor(), QColor(0, 0, 0));
    EXPECT_EQ(label->parentWidget(), &page);
}

TEST(AxisLabelsTest, LayoutPlacesShowsAndEndsByClearingTheCurves) {
    QWidget page;
    CGraphCurves curves;
    int clears = 0;
    CAxisLabels labels(&page, [&] {
        ++clears;
        curves.ClearCurves();
    });
    labels.LayoutAxisLabels(130);
    EXPECT_EQ(clears, 1);
    EXPECT_TRUE(curves.HasCurves());
    EXPECT_FALSE(labels.SpectrumFrequencyLabel(25)->isVisibleTo(&page));
    EXPECT_FALSE(labels.SpectrogramFrequencyLabel(25)->isVisibleTo(&page));
    EXPECT_TRUE(labels.SpectrumFrequencyLabel(24)->isVisibleTo(&page));
    EXPECT_EQ(labels.SpectrumFrequencyLabel(1)->geometry(), QRect(704, 484, 18, 16));
    EXPECT_EQ(labels.TimeLabel(0)->geometry(), QRect(1196, 994, 24, 16));
    EXPECT_EQ(labels.ColourLabel(4)->geometry(), QRect(1236, 555, 30, 16));

    // The spectrum popup's 30 dB: only -30 .. 30 dB stay.
    labels.PlaceDbLabels(30);
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(labels.DbLabel(i)->isVisibleTo(&page), i <= 6) << i;
    }
    EXPECT_EQ(clears, 1);
}

TEST(AxisLabelsTest, TextsFollowRangeAndSpectrogramMax) {
    QWidget page;
    CAxisLabels labels(&page, {});
    struct Case {
        int range;
        int index;
        const char* text;
    };
    const Case cases[] = {{0, 0, "0k"}, {0, 13, "13k"}, {0, 25, "25k"},
                          {1, 0, "0k"}, {1, 1, "4k"},   {1, 24, "96k"}};
    for (const Case& c : cases) {
        labels.SetFrequencyTexts(c.range);
        EXPECT_EQ(labels.SpectrumFrequencyLabel(c.index)->text(), c.text) << c.range;
        EXPECT_EQ(labels.SpectrogramFrequencyLabel(c.index)->text(), c.text) << c.range;
    }
    labels.SetColourScaleTexts(130);
    const char* expected[] = {"0 dB", "32 dB", "65 dB", "97 dB", "130 dB"};
    for (int j = 0; j < 5; ++j) {
        EXPECT_EQ(labels.ColourLabel(j)->text(), expected[j]) << j;
    }
}

TEST(AxisLabelsTest, LabelsPaintWhiteTextOnBlack) {
    QWidget page;
    page.resize(1920, 1020);
    CAxisLabels labels(&page, {});
    labels.LayoutAxisLabels(130);
    const QRect rect = labels.DbLabel(16)->geometry();
    const QImage image = page.grab(rect).toImage().convertToFormat(QImage::Format_RGB32);
    int white = 0;
    int black = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y) | 0xff000000u;
            white += qGray(pixel) > 200;
            black += pixel == kBlackPixel;
        }
    }
    EXPECT_GT(white, 0);
    EXPECT_GT(black, image.width() * image.height() / 2);
}

}  // namespace
