#include "display/FrequencyGraphRender.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// One 32-bit image written pixel by pixel; every write is clipped to the image.
class PixelCanvas {
  public:
    explicit PixelCanvas(QImage& image)
        : m_bits(image.bits()),
          m_stride(static_cast<int>(image.bytesPerLine() / sizeof(QRgb))),
          m_width(image.width()),
          m_height(image.height()) {}

    void Plot(int x, int y, QRgb colour) {
        if (x >= 0 && y >= 0 && x < m_width && y < m_height) {
            Row(y)[x] = colour;
        }
    }
    QRgb* Row(int y) {
        return reinterpret_cast<QRgb*>(m_bits) + static_cast<ptrdiff_t>(y) * m_stride;
    }

    // From (x0, y0) up to, not including, (x1, y1).
    void Line(int x0, int y0, int x1, int y1, QRgb colour) {
        const int dx = std::abs(x1 - x0);
        const int dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1;
        const int sy = y0 < y1 ? 1 : -1;
        int error = dx + dy;
        while (x0 != x1 || y0 != y1) {
            Plot(x0, y0, colour);
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                x0 += sx;
            }
            if (twice <= dx) {
                error += dx;
                y0 += sy;
            }
        }
    }

    void Fill(QRgb colour) {
        for (int y = 0; y < m_height; ++y) {
            std::fill_n(Row(y), m_width, colour);
        }
    }

    // The outermost rows and columns.
    void Frame(QRgb colour) {
        if (m_width <= 0 || m_height <= 0) {
            return;
        }
        std::fill_n(Row(0), m_width, colour);
        std::fill_n(Row(m_height - 1), m_width, colour);
        for (int y = 0; y < m_height; ++y) {
            Row(y)[0] = colour;
            Row(y)[m_width - 1] = colour;
        }
    }

    int width() const { return m_width; }
    int height() const { return m_height; }

  private:
    uchar* m_bits;
    int m_stride;
    int m_width;
    int m_height;
};

void EnsureImage(QImage& image, int width, int height) {
    if (image.width() != width || image.height() != height ||
        (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)) {
        image = QImage(width, height, QImage::Format_RGB32);
        image.fill(graph::kBlack);
    }
}

// Which of a row's 1024 values colours each pixel row: the value at int(1024 / h * k) colours
// pixel row h - k, so low frequencies sit at the bottom.
const std::array<int, graph::kSpectrogramHeight>& RowSampleIndex() {
    static const std::array<int, graph::kSpectrogramHeight> indices = [] {
        std::array<int, graph::kSpectrogramHeight> table{};
        for (int k = 1; k < graph::kSpectrogramHeight; ++k) {
            table[k] = static_cast<int>(1024.0 / graph::kSpectrogramHeight * k);
        }
        return table;
    }();
    return indices;
}

// A scaled band value: the product truncated, never above 255 (nor undefined for huge levels).
int Channel(float product) {
    if (!(product > 0.0f)) {
        return 0;
    }
    return product >= 255.0f ? 255 : static_cast<int>(product);
}

// Pixel row of a curve value; wildly out-of-range values are pinned well outside the area so
// the line walk stays short.
int CurveY(float level, double pixelsPerDb, int height) {
    const double lifted = (static_cast<double>(level) + graph::kLevelOffsetDb) * pixelsPerDb;
    if (std::isnan(lifted)) {
        return height;
    }
    const double bounded = std::clamp(lifted, -4.0 * height, 4.0 * height);
    return height - static_cast<int>(bounded);
}

// A column for a line: anything beyond the area is drawn from just outside it.
int LineColumn(int frequencyHz, float binWidth) {
    return std::clamp(FrequencyColumn(frequencyHz, binWidth, graph::kSpectrumWidth), -1,
                      graph::kSpectrumWidth);
}

}  // namespace

float BinWidth(int cameraModel, int freqRange) {
    const bool model2 = cameraModel == 2;
    if (freqRange == 1) {
        return model2 ? 97.65625f : 95.36743f;
    }
    return model2 ? 24.41406f : 23.84186f;
}

int FrequencyColumn(int frequencyHz, float binWidth, int width) {
    const float bins = static_cast<float>(frequencyHz) / binWidth;
    const float scale = static_cast<float>(width / 1024.0);
    // Bounded so that a nonsense setting cannot overflow the conversion.
    return static_cast<int>(std::clamp(bins * scale, -1.0e6f, 1.0e6f));
}

SpectrogramScale MakeSpectrogramScale(int spectrogramMaxDb) {
    SpectrogramScale scale;
    scale.z = static_cast<float>(spectrogramMaxDb) * 0.25f;
    scale.blueFactor = 255.0f / scale.z;
    scale.redFactor = 255.0f / (2.0f * scale.z);
    scale.greenFactor = 255.0f / (3.0f * scale.z);
    scale.whiteFactor = 255.0f / (4.0f * scale.z);
    return scale;
}

QRgb SpectrogramColour(float level, const SpectrogramScale& scale) {
    if (!(level > 0.0f)) {
        return graph::kBlack;
    }
    if (level <= scale.z) {
        return qRgb(0, 0, Channel(level * scale.blueFactor));
    }
    if (level <= 2.0f * scale.z) {
        const int red = Channel(level * scale.redFactor);
        return qRgb(red, 0, 255 - red);
    }
    if (level <= 3.0f * scale.z) {
        return qRgb(255, Channel(level * scale.greenFactor), 0);
    }
    return qRgb(255, 255, Channel(level * scale.whiteFactor));
}

void BuildSpectrogram(QImage& image, const float* rows, int rowCount, int spectrogramMaxDb) {
    using namespace graph;
    EnsureImage(image, kSpectrogramWidth, kSpectrogramHeight);
    PixelCanvas canvas(image);
    const SpectrogramScale scale = MakeSpectrogramScale(spectrogramMaxDb);
    const int count = rows ? std::clamp(rowCount, 0, kMaxRows) : 0;
    const auto& sampleIndex = RowSampleIndex();
    const int height = kSpectrogramHeight;
    for (int r = 0; r < count; ++r) {
        const float* row = rows + static_cast<size_t>(r) * CurveSnapshot::kLevels;
        const int x = kColumnsPerRow * (kMaxRows - count + r);
        for (int k = 1; k < height; ++k) {
            const QRgb colour = SpectrogramColour(row[sampleIndex[k]], scale);
            QRgb* pixels = canvas.Row(height - k) + x;
            pixels[0] = colour;
            pixels[1] = colour;
            pixels[2] = colour;
        }
    }
    canvas.Frame(kFrame);
}

void BuildColourBar(QImage& image) {
    using namespace graph;
    EnsureImage(image, kColourBarWidth, kColourBarHeight);
    PixelCanvas canvas(image);
    const int height = kColourBarHeight;
    const int q = height / 4;
    for (int j = 0; j < height; ++j) {
        int red = 0;
        int green = 0;
        int blue = 0;
        if (j == 0) {
        } else if (j <= q) {
            blue = j * 255 / q;
        } else if (j <= 2 * q) {
            red = (j - q) * 255 / q;
            blue = 255 - red;
        } else if (j <= 3 * q) {
            red = 255;
            green = (j - 2 * q) * 255 / q;
        } else {
            red = 255;
            green = 255;
            blue = std::min(j * 255 / (4 * q), 255);
        }
        std::fill_n(canvas.Row(height - 1 - j), kColourBarWidth, qRgb(red, green, blue));
    }
    canvas.Frame(kFrame);
}

void DrawSpectrum(QImage& image, const CurveSnapshot& curves, const GraphSettings& settings,
                  DbRange range) {
    using namespace graph;
    EnsureImage(image, kSpectrumWidth, kSpectrumHeight);
    PixelCanvas canvas(image);
    const int w = kSpectrumWidth;
    const int h = kSpectrumHeight;
    const int span = std::max(range.max - range.min + 1, 1);
    const double pixelsPerDb = static_cast<double>(h) / span;
    const int baseLine = h - static_cast<int>(kLevelOffsetDb * pixelsPerDb);

    canvas.Fill(kBlack);
    canvas.Frame(kSpectrumBorder);

    static constexpr QRgb kCurveColours[CGraphCurves::kSlotCount] = {kLiveCurve, kSecondCurve,
                                                                     kNgCurve};
    for (int slot = 0; slot < CGraphCurves::kSlotCount; ++slot) {
        if (!curves.valid[slot] || (slot == CGraphCurves::kNgSlot - 1 && !settings.ngLatched)) {
            continue;
        }
        const auto& levels = curves.levels[slot];
        int x = 0;
        int y = baseLine;
        for (int i = 1; i < w; ++i) {
            const int index = static_cast<int>(1024.0 / w * i);
            const int nextY = CurveY(levels[index], pixelsPerDb, h);
            canvas.Line(x, y, i, nextY, kCurveColours[slot]);
            x = i;
            y = nextY;
        }
    }

    // The 1 kHz grid keeps the 25 kHz bin width in both ranges.
    const float gridBin = BinWidth(settings.cameraModel, 0);
    for (int f = 1000; f <= 24000; f += 1000) {
        const int x = FrequencyColumn(f, gridBin, w);
        canvas.Line(x, 1, x, h - 1, kGrid);
    }
    const int dbLines = (settings.spectrumMaxDb + kLevelOffsetDb) / 10;
    for (int i = 1; i < dbLines; ++i) {
        const int y = h - static_cast<int>(10 * i * pixelsPerDb);
        canvas.Line(1, y, w - 1, y, kGrid);
    }

    if (settings.filterDisplay == 1) {
        const float bin = BinWidth(settings.cameraModel, settings.freqRange);
        for (int f : {settings.freqMax, settings.freqMin}) {
            const int x = LineColumn(f, bin);
            canvas.Line(x, 1, x, h - 1, kRangeMarker);
        }
        for (const SensorFilter& filter : settings.filters) {
            if (filter.enable != 1) {
                continue;
            }
            const int x1 = LineColumn(filter.freq_max, bin);
            const int x2 = LineColumn(filter.freq_min, bin);
            const int y = CurveY(static_cast<float>(filter.inspection_level), pixelsPerDb, h);
            canvas.Line(x1, h, x1, y, kFilterBox);
            canvas.Line(x2, h, x2, y, kFilterBox);
            canvas.Line(x1, y, x2, y, kFilterBox);
        }
    }

    canvas.Line(1, baseLine, w - 1, baseLine, kRangeMarker);
}
