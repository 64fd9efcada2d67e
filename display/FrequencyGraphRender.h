#pragma once
// Pixel rendering of the live acoustic graph, free of widgets so that tests and the benchmark can
// drive it directly: the scrolling spectrogram, its colour bar and the spectrum with its grids,
// measurement band and filter boxes. Images are 32-bit (blue, green, red, 255 in memory).
//
// Lines follow the classic raster convention of move-to/line-to drawing: a line covers its start
// pixel and stops one pixel short of its end point, so a line ending on the area's edge leaves
// the border alone.

#include "sensor/GraphCurves.h"
#include "sensor/SensorSettings.h"

#include <QImage>
#include <QRect>
#include <QRgb>

#include <array>

namespace graph {

inline constexpr int kSpectrumWidth = 577;
inline constexpr int kSpectrumHeight = 435;
inline constexpr int kSpectrogramWidth = 513;
inline constexpr int kSpectrogramHeight = 435;
inline constexpr int kColourBarWidth = 20;
inline constexpr int kColourBarHeight = 435;
// Each row takes three pixel columns; 171 rows span the spectrogram.
inline constexpr int kMaxRows = 171;
inline constexpr int kColumnsPerRow = 3;
// Curve values are plotted this many dB above the bottom edge.
inline constexpr int kLevelOffsetDb = 30;
// The frequency axis labels always use the model-3 bin width of the 25 kHz range.
inline constexpr float kLabelBinWidth = 23.84186f;

inline constexpr QRgb kSpectrumBorder = qRgb(255, 255, 255);
inline constexpr QRgb kLiveCurve = qRgb(0, 255, 45);
inline constexpr QRgb kSecondCurve = qRgb(153, 255, 255);
inline constexpr QRgb kNgCurve = qRgb(255, 0, 0);
inline constexpr QRgb kGrid = qRgb(90, 90, 90);
inline constexpr QRgb kRangeMarker = qRgb(255, 255, 0);
inline constexpr QRgb kFilterBox = qRgb(255, 128, 95);
inline constexpr QRgb kFrame = qRgb(160, 160, 160);
inline constexpr QRgb kBlack = qRgb(0, 0, 0);

}  // namespace graph

// Where the graph and its two images sit on the page (x, y, width, height).
struct GraphRects {
    QRect spectrum{685, 45, graph::kSpectrumWidth, graph::kSpectrumHeight};
    QRect spectrogram{685, 555, graph::kSpectrogramWidth, graph::kSpectrogramHeight};
    QRect colourBar{1211, 555, graph::kColourBarWidth, graph::kColourBarHeight};
};

// Everything a paint reads besides the curves and rows, taken once per paint.
struct GraphSettings {
    int spectrumMaxDb = 130;
    int spectrogramMaxDb = 80;
    int filterDisplay = 0;  // 1 = measurement band and filter boxes drawn
    int cameraModel = 3;    // 2 or 3
    int freqRange = 0;      // 0 = 25 kHz range, 1 = 100 kHz range
    int freqMin = 5000;     // Hz, measurement band
    int freqMax = 8000;     // Hz
    std::array<SensorFilter, kFilterCount> filters{};
    bool ngLatched = false;
};

// The spectrum's vertical scale; the screen keeps the minimum at 0 and the maximum at
// spectrumMaxDb + 30.
struct DbRange {
    int min = 0;
    int max = 160;
};

// Hz per spectrum value by camera model and range (1 = 100 kHz, anything else the 25 kHz one).
float BinWidth(int cameraModel, int freqRange);
// Spectrum column of a frequency, with the float steps the axis labels share.
int FrequencyColumn(int frequencyHz, float binWidth, int width);

// The five colour bands of the spectrogram for one top value (dB).
struct SpectrogramScale {
    float z = 20.0f;  // a quarter of the top value
    float blueFactor = 0.0f;
    float redFactor = 0.0f;
    float greenFactor = 0.0f;
    float whiteFactor = 0.0f;
};
SpectrogramScale MakeSpectrogramScale(int spectrogramMaxDb);
QRgb SpectrogramColour(float level, const SpectrogramScale& scale);
inline QRgb SpectrogramColour(float level, int spectrogramMaxDb) {
    return SpectrogramColour(level, MakeSpectrogramScale(spectrogramMaxDb));
}

// Rebuilds the spectrogram in place from `rowCount` rows of 1024 levels, oldest first: the
// newest row ends at the right edge, columns left of the oldest row keep their pixels, and the
// outermost pixels become the grey frame. A null or wrongly sized image starts black.
void BuildSpectrogram(QImage& image, const float* rows, int rowCount, int spectrogramMaxDb);
// Rebuilds the colour bar (always the same bands) with its grey frame.
void BuildColourBar(QImage& image);
// Draws the whole spectrum area over `image` (resized to 577 x 435 when needed).
void DrawSpectrum(QImage& image, const CurveSnapshot& curves, const GraphSettings& settings,
                  DbRange range);
