// Per-picture cost of the display pipeline and of the spectrum evaluation. With OpenCV present,
// its bilinear mosaic conversion of the same frame runs as the reference, and the interior
// pixels of both results are compared before timing.
#include "inspection/SensorEvaluation.h"
#include "sensor/PictureProcessing.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#ifdef STATION_BENCH_OPENCV
#include <opencv2/imgproc.hpp>
#endif

namespace {

std::vector<uint8_t> Frame(int width, int height) {
    std::vector<uint8_t> raw(static_cast<size_t>(width) * height);
    std::mt19937 random(42);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            raw[y * width + x] = static_cast<uint8_t>((x * 7 + y * 3 + (random() & 31)) & 0xFF);
    return raw;
}

InspectionArea Area() {
    InspectionArea a;
    a.area_rect_x1 = 10, a.area_rect_y1 = 10, a.area_rect_x2 = 309, a.area_rect_y2 = 229;
    return a;
}

// The run-time path of one picture item and the acoustic map after it: darkening, conversion,
// outline, and the in-area overlay that marks an accepted spot.
void ProcessPicture(benchmark::State& state, int model) {
    const int width = model == 3 ? kModel3Width : kModel2Width;
    const int height = model == 3 ? kModel3Height : kModel2Height;
    const int columns = model == 3 ? 80 : 64, rows = model == 3 ? 50 : 48;
    const std::vector<uint8_t> source = Frame(width, height);
    std::vector<uint8_t> raw(source.size());
    std::vector<BgraPixel> display(source.size());
    std::vector<float> levels(columns * rows, 40.0f);
    levels[8 * columns + 9] = 62.0f;
    const InspectionArea area = Area();
    auto accept = [](int, int, float) { return true; };
    for (auto _ : state) {
        std::copy(source.begin(), source.end(), raw.begin());
        DarkenOutsideArea(raw.data(), width, height, area);
        if (model == 3) {
            DemosaicToBgra(raw.data(), width, height, display.data());
        } else {
            GreyToBgra(raw.data(), width, height, display.data());
        }
        DrawAreaOutline(display.data(), width, height, area, model == 3 ? 2 : 1, true);
        ExamineAreaSpots(display.data(), width, height, model, levels.data(), columns, rows, 62.0f,
                         area, accept, 1);
        benchmark::DoNotOptimize(display.data());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Model3ColourPicture(benchmark::State& state) {
    ProcessPicture(state, 3);
}
void BM_Model2GreyPicture(benchmark::State& state) {
    ProcessPicture(state, 2);
}

void BM_Model3Demosaic(benchmark::State& state) {
    const std::vector<uint8_t> raw = Frame(kModel3Width, kModel3Height);
    std::vector<BgraPixel> display(raw.size());
    for (auto _ : state) {
        DemosaicToBgra(raw.data(), kModel3Width, kModel3Height, display.data());
        benchmark::DoNotOptimize(display.data());
    }
}

void BM_Model3ColourOverlay(benchmark::State& state) {
    std::vector<BgraPixel> display(kModel3Width * kModel3Height, 0xFF808080u);
    std::vector<float> levels(80 * 50);
    for (size_t i = 0; i < levels.size(); ++i)
        levels[i] = 55.0f + (i % 9) * 0.1f;
    for (auto _ : state) {
        ColourAcousticMap(display.data(), kModel3Width, kModel3Height, 3, levels.data(), 80, 50,
                          55.8f);
        benchmark::DoNotOptimize(display.data());
    }
}

#ifdef STATION_BENCH_OPENCV
// Our tile is G B / R G; OpenCV names a pattern by the second row's second and third pixels.
constexpr int kOpenCvCode = cv::COLOR_BayerGR2BGRA;

void BM_OpenCvBilinearDemosaic(benchmark::State& state) {
    std::vector<uint8_t> raw = Frame(kModel3Width, kModel3Height);
    cv::Mat source(kModel3Height, kModel3Width, CV_8UC1, raw.data());
    cv::Mat result;
    for (auto _ : state) {
        cv::cvtColor(source, result, kOpenCvCode);
        benchmark::DoNotOptimize(result.data);
    }
}
BENCHMARK(BM_OpenCvBilinearDemosaic)->Unit(benchmark::kMillisecond);

// Largest channel difference between ours and OpenCV's on pixels two or more from the border.
int InteriorDifference() {
    std::vector<uint8_t> raw = Frame(kModel3Width, kModel3Height);
    std::vector<BgraPixel> ours(raw.size());
    DemosaicToBgra(raw.data(), kModel3Width, kModel3Height, ours.data());
    cv::Mat source(kModel3Height, kModel3Width, CV_8UC1, raw.data());
    cv::Mat theirs;
    cv::cvtColor(source, theirs, kOpenCvCode);
    int worst = 0;
    for (int y = 2; y < kModel3Height - 2; ++y)
        for (int x = 2; x < kModel3Width - 2; ++x) {
            const BgraPixel p = ours[y * kModel3Width + x];
            const cv::Vec4b q = theirs.at<cv::Vec4b>(y, x);
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(static_cast<int>((p >> (8 * c)) & 0xFF) - q[c]));
        }
    return worst;
}
#endif

void BM_EvaluateSpectrum(benchmark::State& state) {
    SensorSettings settings;
    settings.inspection_mode = 1;
    settings.required_filter_count = 2;
    settings.lpass_limit = 1 << 30;
    settings.focus_time = 1e9f;
    for (int n = 0; n < kFilterCount; ++n) {
        settings.filters[n] = {1, 4000 + 4000 * n + 3000, 4000 + 4000 * n, 0, 60};
    }
    EvaluationInputs inputs;
    inputs.inspectionState = 2;
    inputs.elapsed_s = 1.0f;
    inputs.positionMatch = true;
    inputs.cameraModel = 3;
    std::vector<float> spectrum(kSpectrumBins);
    for (int i = 0; i < kSpectrumBins; ++i)
        spectrum[i] = 40.0f + (i % 37);
    CSensorEvaluation evaluation;
    evaluation.SetPeakInArea(true);
    uint64_t stamp = 0;
    for (auto _ : state) {
        evaluation.EvaluateSpectrum(spectrum.data(), ++stamp, settings, inputs);
        benchmark::DoNotOptimize(evaluation.PeakLevel());
    }
}

}  // namespace

BENCHMARK(BM_Model3ColourPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Model3Demosaic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Model3ColourOverlay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Model2GreyPicture)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EvaluateSpectrum)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
#ifdef STATION_BENCH_OPENCV
    std::printf("OpenCV %s: largest interior channel difference from ours: %d\n", CV_VERSION,
                InteriorDifference());
#else
    std::printf("OpenCV not installed: the reference demosaic is not run\n");
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
