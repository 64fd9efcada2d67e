// One paint of the live graph with a full spectrogram (171 rows), three curves, the grids and
// five filter boxes: the pixel rendering alone, and the widget's paint with its blits under the
// offscreen platform. The burst case shows whether curve updates from a worker coalesce.
#include "display/FrequencyGraph.h"
#include "display/FrequencyGraphRender.h"
#include "sensor/GraphCurves.h"
#include "sensor/SpectrogramQueue.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace {

std::array<float, 1024> Spectrum(std::mt19937& random, float peakBin) {
    std::array<float, 1024> levels{};
    std::uniform_real_distribution<float> noise(-5.0f, 5.0f);
    for (int i = 0; i < 1024; ++i) {
        const float distance = (static_cast<float>(i) - peakBin) / 40.0f;
        levels[i] = 20.0f + 60.0f * std::exp(-distance * distance) + noise(random);
    }
    return levels;
}

GraphSettings BusySettings() {
    GraphSettings settings;
    settings.filterDisplay = 1;
    settings.ngLatched = true;
    for (int n = 0; n < kFilterCount; ++n) {
        settings.filters[n] = {1, 3000 + 4000 * n, 1000 + 4000 * n, 0, 20 + 10 * n};
    }
    return settings;
}

// The graph's data as the worker leaves it: a full queue and all three curves.
struct Feed {
    CGraphCurves curves;
    CSpectrogramQueue rows;
    Feed() {
        std::mt19937 random(7);
        for (int r = 0; r < 171; ++r) {
            rows.PushRow(Spectrum(random, static_cast<float>(r * 5 % 1024)).data());
        }
        for (int slot = 1; slot <= 3; ++slot) {
            curves.SetCurve(slot, Spectrum(random, 200.0f * slot).data());
        }
    }
};

void BM_RenderFrame(benchmark::State& state) {
    Feed feed;
    const GraphSettings settings = BusySettings();
    std::vector<float> rowCopy(static_cast<size_t>(graph::kMaxRows) * 1024);
    auto curves = std::make_unique<CurveSnapshot>();
    QImage spectrogram;
    QImage bar;
    QImage spectrum;
    for (auto _ : state) {
        const int count = feed.rows.CopyRows(rowCopy.data(), graph::kMaxRows);
        BuildSpectrogram(spectrogram, rowCopy.data(), count, settings.spectrogramMaxDb);
        BuildColourBar(bar);
        feed.curves.CopyCurves(*curves);
        DrawSpectrum(spectrum, *curves, settings, DbRange{0, settings.spectrumMaxDb + 30});
        benchmark::DoNotOptimize(spectrum.constBits());
    }
}

// The widget's paint, blitting into the page's backing store, and the two panes that follow it.
void BM_GraphPaint(benchmark::State& state) {
    Feed feed;
    QWidget page;
    page.resize(1920, 1020);
    page.setStyleSheet(QStringLiteral("background: black"));
    auto* frequencyGraph =
        new CFrequencyGraph(&page, feed.curves, feed.rows, [] { return BusySettings(); });
    page.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        frequencyGraph->repaint();
        frequencyGraph->SpectrogramPane()->repaint();
        frequencyGraph->ColourBarPane()->repaint();
    }
    state.counters["paints"] = frequencyGraph->PaintCount();
}

// A worker hands over 50 spectra while the UI thread is busy, then the UI thread catches up:
// the counters tell how many queued updates and paints that cost.
void BM_CurveBurst(benchmark::State& state) {
    Feed feed;
    QWidget page;
    page.resize(1920, 1020);
    auto* frequencyGraph =
        new CFrequencyGraph(&page, feed.curves, feed.rows, [] { return BusySettings(); });
    page.show();
    QCoreApplication::processEvents();
    std::mt19937 random(3);
    const auto levels = Spectrum(random, 300.0f);
    const int paintsBefore = frequencyGraph->PaintCount();
    const int requestsBefore = frequencyGraph->UpdateRequestCount();
    int bursts = 0;
    for (auto _ : state) {
        std::thread worker([&] {
            for (int i = 0; i < 50; ++i) {
                feed.curves.SetCurve(1, levels.data());
            }
        });
        worker.join();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        ++bursts;
    }
    state.counters["requests_per_burst"] =
        static_cast<double>(frequencyGraph->UpdateRequestCount() - requestsBefore) / bursts;
    state.counters["paints_per_burst"] =
        static_cast<double>(frequencyGraph->PaintCount() - paintsBefore) / bursts;
}

}  // namespace

BENCHMARK(BM_RenderFrame)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_GraphPaint)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_CurveBurst)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
