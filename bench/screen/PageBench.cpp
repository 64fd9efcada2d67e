// One paint of the whole inspection page as an operator sees it during a run: both pictures, the
// graph with a full spectrogram and three curves, every information row, the progress bar and a
// day's result list.
#include "app/ConfigStore.h"
#include "display/DlgMain.h"
#include "display/InspectionOutputs.h"
#include "inspection/InspectionPipeline.h"
#include "sensor/PhonoluxDevice.h"
#include "storage/DayCounters.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

std::vector<float> Spectrum(float peakBin, float seed) {
    std::vector<float> levels(1024);
    for (int i = 0; i < 1024; ++i) {
        const float distance = (static_cast<float>(i) - peakBin) / 40.0f;
        levels[i] = 20.0f + 60.0f * std::exp(-distance * distance) +
                    5.0f * std::sin(static_cast<float>(i) * 0.37f + seed);
    }
    return levels;
}

QImage Picture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            line[x] = qRgb(x % 256, y % 256, (x + y) % 256);
        }
    }
    return image;
}

void FillPage(CDlgMain& page) {
    page.Config().Filter_Display = 1;
    page.UpdateSensor([](SensorSettings& settings) {
        for (int n = 0; n < kFilterCount; ++n) {
            settings.filters[n] = {1, 3000 + 4000 * n, 1000 + 4000 * n, 0, 20 + 10 * n};
        }
    });
    for (int r = 0; r < 171; ++r) {
        page.Device()->spectrogramQueue().PushRow(
            Spectrum(static_cast<float>(r * 5 % 1024), static_cast<float>(r)).data());
    }
    for (int slot = 1; slot <= 2; ++slot) {
        page.Device()->graphCurves().SetCurve(slot, Spectrum(200.0f * slot, 1.0f).data());
    }
    CInspectionOutputs& outputs = page.Outputs();
    outputs.showMissionInfo({"PLANT-1", "L-2", "C-3", "T-4", "Top"});
    outputs.ShowEngine("DEMO-A1", 5);
    outputs.showInspectionId("[Vorn]2026-12-10 18-00-00");
    DayCounters counters;
    counters.today_pass = 20;
    counters.today_ng = 10;
    counters.today_total = 30;
    outputs.showCounters(CounterTextsOf(counters));
    outputs.showResultText("검사진행 중", 42, QColor(255, 255, 0));
    outputs.showProgress(50, 27, "2.7 Sec");
    for (int i = 1; i <= 30; ++i) {
        outputs.appendResultRow({QString::number(i), "2026-12-10 18-00-00", "[Vorn]2026-12-10",
                                 i % 3 ? "OK" : "NG", "Top", "DEMO-A1"});
    }
    outputs.selectLastResultRow();
    emit page.Pipeline().pictureReady(Picture(320, 240), 2, 0);
    emit page.Pipeline().thermalReady(Picture(640, 480));
    QCoreApplication::processEvents();
}

void BM_WholePagePaint(benchmark::State& state) {
    QTemporaryDir settingsHome;
    qputenv("XDG_CONFIG_HOME", settingsHome.path().toUtf8());
    ConfigStore store;
    CDlgMain page(store);
    page.resize(1920, 1020);
    FillPage(page);
    QImage target(1920, 1020, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&target);
        page.render(&painter);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_WholePagePaint)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
