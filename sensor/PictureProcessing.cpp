#include "sensor/PictureProcessing.h"

#include <algorithm>
#include <cmath>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

inline BgraPixel Pack(int blue, int green, int red) {
    return 0xFF000000u | static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 |
           static_cast<uint32_t>(blue);
}

inline int Clamp255(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

inline int Reflect(int i, int n) {
    if (i < 0) {
        return n > 1 ? -i : 0;
    }
    if (i >= n) {
        return n > 1 ? 2 * n - 2 - i : 0;
    }
    return i;
}

// One pixel with border handling; used on the outer frame of the picture only.
BgraPixel DemosaicPixel(const uint8_t* raw, int width, int height, int x, int y) {
    auto at = [&](int dx, int dy) -> int {
        return raw[static_cast<size_t>(Reflect(y + dy, height)) * width + Reflect(x + dx, width)];
    };
    const int p = at(0, 0);
    const bool evenRow = (y & 1) == 0;
    const bool evenColumn = (x & 1) == 0;
    if (evenRow && !evenColumn) {  // blue site
        const int g = (at(-1, 0) + at(1, 0) + at(0, -1) + at(0, 1)) / 4;
        const int r = (at(-1, -1) + at(1, -1) + at(-1, 1) + at(1, 1)) / 4;
        return Pack(p, g, r);
    }
    if (!evenRow && evenColumn) {  // red site
        const int g = (at(-1, 0) + at(1, 0) + at(0, -1) + at(0, 1)) / 4;
        const int b = (at(-1, -1) + at(1, -1) + at(-1, 1) + at(1, 1)) / 4;
        return Pack(b, g, p);
    }
    const int horizontal = (at(-1, 0) + at(1, 0)) / 2;
    const int vertical = (at(0, -1) + at(0, 1)) / 2;
    return evenRow ? Pack(horizontal, p, vertical) : Pack(vertical, p, horizontal);
}

// Interior pixels of interior rows, one at a time; every neighbour exists.
void DemosaicInteriorSpan(const uint8_t* up, const uint8_t* row, const uint8_t* down, int from,
                          int to, bool evenRow, BgraPixel* out) {
    for (int x = from; x < to; ++x) {
        const int p = row[x];
        const bool evenColumn = (x & 1) == 0;
        if (evenRow == evenColumn) {  // green site
            const int horizontal = (row[x - 1] + row[x + 1]) >> 1;
            const int vertical = (up[x] + down[x]) >> 1;
            out[x] = evenRow ? Pack(horizontal, p, vertical) : Pack(vertical, p, horizontal);
        } else {
            const int cross = (row[x - 1] + row[x + 1] + up[x] + down[x]) >> 2;
            const int diagonal = (up[x - 1] + up[x + 1] + down[x - 1] + down[x + 1]) >> 2;
            out[x] = evenRow ? Pack(p, cross, diagonal) : Pack(diagonal, cross, p);
        }
    }
}

#ifdef __SSE2__
// Sixteen pixels from an even column, all in 8-bit lanes. Truncated means of two values are
// the rounding-up average less the dropped half; the mean of four is the mean of two such
// means, plus one exactly when both pair sums were odd and the two means differ in parity.
inline __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

struct HalfSum {
    __m128i mean;  // floor((a + b) / 2)
    __m128i odd;   // (a + b) & 1
};

inline HalfSum MeanOfTwo(__m128i a, __m128i b, __m128i ones) {
    const __m128i odd = _mm_and_si128(_mm_xor_si128(a, b), ones);
    return {_mm_sub_epi8(_mm_avg_epu8(a, b), odd), odd};
}

inline __m128i MeanOfFour(const HalfSum& p, const HalfSum& q, __m128i ones) {
    const HalfSum pq = MeanOfTwo(p.mean, q.mean, ones);
    return _mm_add_epi8(pq.mean, _mm_and_si128(pq.odd, _mm_and_si128(p.odd, q.odd)));
}

inline __m128i Select(__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

inline __attribute__((always_inline)) void Demosaic16(const uint8_t* up, const uint8_t* row,
                                                      const uint8_t* down, int x, bool evenRow,
                                                      BgraPixel* out) {
    const __m128i ones = _mm_set1_epi8(1);
    const __m128i evenLanes = _mm_set1_epi16(0x00FF);
    const __m128i c = Load(row + x);
    const HalfSum h = MeanOfTwo(Load(row + x - 1), Load(row + x + 1), ones);
    const HalfSum v = MeanOfTwo(Load(up + x), Load(down + x), ones);
    const HalfSum hu = MeanOfTwo(Load(up + x - 1), Load(up + x + 1), ones);
    const HalfSum hd = MeanOfTwo(Load(down + x - 1), Load(down + x + 1), ones);
    const __m128i cross = MeanOfFour(h, v, ones);
    const __m128i diagonal = MeanOfFour(hu, hd, ones);
    __m128i blue, green, red;
    if (evenRow) {  // even columns green, odd columns blue
        blue = Select(evenLanes, h.mean, c);
        green = Select(evenLanes, c, cross);
        red = Select(evenLanes, v.mean, diagonal);
    } else {  // even columns red, odd columns green
        blue = Select(evenLanes, diagonal, v.mean);
        green = Select(evenLanes, cross, c);
        red = Select(evenLanes, c, h.mean);
    }
    const __m128i alpha = _mm_set1_epi8(static_cast<char>(0xFF));
    const __m128i bgLo = _mm_unpacklo_epi8(blue, green), bgHi = _mm_unpackhi_epi8(blue, green);
    const __m128i raLo = _mm_unpacklo_epi8(red, alpha), raHi = _mm_unpackhi_epi8(red, alpha);
    auto* target = reinterpret_cast<__m128i*>(out + x);
    _mm_storeu_si128(target + 0, _mm_unpacklo_epi16(bgLo, raLo));
    _mm_storeu_si128(target + 1, _mm_unpackhi_epi16(bgLo, raLo));
    _mm_storeu_si128(target + 2, _mm_unpacklo_epi16(bgHi, raHi));
    _mm_storeu_si128(target + 3, _mm_unpackhi_epi16(bgHi, raHi));
}
#endif

// Built twice; the loader picks the AVX2 form where the processor has it (fewer register moves).
// Not under the sanitizers: the loader runs the picking code before their runtime is ready.
#if defined(__SSE2__) && defined(__GNUC__) && !defined(__clang__) && \
    !defined(__SANITIZE_THREAD__) && !defined(__SANITIZE_ADDRESS__)
__attribute__((target_clones("avx2", "default")))
#endif
void DemosaicInteriorRow(const uint8_t* up, const uint8_t* row, const uint8_t* down, int width,
                         bool evenRow, BgraPixel* out) {
    int x = 1;
#ifdef __SSE2__
    // Blocks start on even columns so that lane parity equals column parity; the last block
    // must leave the final column (which reads beyond the row) to the border code.
    DemosaicInteriorSpan(up, row, down, 1, std::min(2, width - 1), evenRow, out);
    for (x = 2; x + 16 <= width - 1; x += 16) {
        Demosaic16(up, row, down, x, evenRow, out);
    }
#endif
    DemosaicInteriorSpan(up, row, down, x, width - 1, evenRow, out);
}

void AddToPixel(BgraPixel& pixel, int dBlue, int dGreen, int dRed) {
    const int b = Clamp255(static_cast<int>(pixel & 0xFF) + dBlue);
    const int g = Clamp255(static_cast<int>((pixel >> 8) & 0xFF) + dGreen);
    const int r = Clamp255(static_cast<int>((pixel >> 16) & 0xFF) + dRed);
    pixel = Pack(b, g, r);
}

}  // namespace

PixelRect ClipArea(const InspectionArea& area, int width, int height) {
    PixelRect r{area.area_rect_x1, area.area_rect_y1, area.area_rect_x2, area.area_rect_y2};
    if (r.empty()) {
        return PixelRect{};
    }
    r.x1 = std::max(r.x1, 0);
    r.y1 = std::max(r.y1, 0);
    r.x2 = std::min(r.x2, width - 1);
    r.y2 = std::min(r.y2, height - 1);
    return r.empty() ? PixelRect{} : r;
}

void DarkenOutsideArea(uint8_t* raw, int width, int height, const InspectionArea& area) {
    const PixelRect inside = ClipArea(area, width, height);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = raw + static_cast<size_t>(y) * width;
        const bool rowInside = !inside.empty() && y >= inside.y1 && y <= inside.y2;
        if (!rowInside) {
            for (int x = 0; x < width; ++x) {
                row[x] >>= 2;
            }
            continue;
        }
        for (int x = 0; x < inside.x1; ++x) {
            row[x] >>= 2;
        }
        for (int x = inside.x2 + 1; x < width; ++x) {
            row[x] >>= 2;
        }
    }
}

void GreyToBgra(const uint8_t* raw, int width, int height, BgraPixel* out) {
    const size_t count = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t g = raw[i];
        out[i] = 0xFF000000u | g << 16 | g << 8 | g;
    }
}

void DemosaicToBgra(const uint8_t* raw, int width, int height, BgraPixel* out) {
    if (width <= 0 || height <= 0) {
        return;
    }
    for (int y = 0; y < height; ++y) {
        BgraPixel* outRow = out + static_cast<size_t>(y) * width;
        if (y == 0 || y == height - 1 || width < 3) {
            for (int x = 0; x < width; ++x) {
                outRow[x] = DemosaicPixel(raw, width, height, x, y);
            }
            continue;
        }
        const uint8_t* row = raw + static_cast<size_t>(y) * width;
        DemosaicInteriorRow(row - width, row, row + width, width, (y & 1) == 0, outRow);
        outRow[0] = DemosaicPixel(raw, width, height, 0, y);
        outRow[width - 1] = DemosaicPixel(raw, width, height, width - 1, y);
    }
}

void DrawAreaOutline(BgraPixel* pixels, int width, int height, const InspectionArea& area,
                     int thickness, bool green) {
    const BgraPixel colour = green ? Pack(0, 255, 0) : Pack(0, 0, 255);
    for (int line = 0; line < thickness; ++line) {
        const int x1 = area.area_rect_x1 + line, y1 = area.area_rect_y1 + line;
        const int x2 = area.area_rect_x2 - line, y2 = area.area_rect_y2 - line;
        if (x1 > x2 || y1 > y2) {
            return;
        }
        auto put = [&](int x, int y) {
            if (x >= 0 && x < width && y >= 0 && y < height) {
                pixels[static_cast<size_t>(y) * width + x] = colour;
            }
        };
        for (int x = std::max(x1, 0); x <= std::min(x2, width - 1); ++x) {
            put(x, y1);
            put(x, y2);
        }
        for (int y = std::max(y1, 0); y <= std::min(y2, height - 1); ++y) {
            put(x1, y);
            put(x2, y);
        }
    }
}

int CellSize(int model) {
    return model == 3 ? 16 : 5;
}

void ColourAcousticMap(BgraPixel* pixels, int width, int height, int model, const float* levels,
                       int columns, int rows, float maximum) {
    const int cell = CellSize(model);
    const int s = model == 3 ? 20 : 50;
    const int h = s / 2;
    const double m = maximum;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const double level = levels[r * columns + c];
            if (!(level >= m - 0.6)) {
                continue;
            }
            const int x0 = c * cell, y0 = r * cell;
            const int x1 = std::min(x0 + cell, width), y1 = std::min(y0 + cell, height);
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) {
                    BgraPixel& pixel = pixels[static_cast<size_t>(y) * width + x];
                    const int a = static_cast<int>(pixel & 0xFF);
                    const int k = a > 200 ? a / 2 : a > 150 ? a / 3 : a > 100 ? a / 4 : 0;
                    if (level == m) {
                        AddToPixel(pixel, -k, -k, s);
                    } else if (level >= m - 0.1) {
                        AddToPixel(pixel, -k, -k, h);
                    } else if (level >= m - 0.2) {
                        AddToPixel(pixel, -k, s, s);
                    } else if (level >= m - 0.4) {
                        AddToPixel(pixel, -k, h, h);
                    } else {
                        AddToPixel(pixel, -k, s, -k);
                    }
                }
            }
        }
    }
}

void DrawSpotMarker(BgraPixel* pixels, int width, int height, int model, int column, int row,
                    SpotStyle style) {
    const int cell = CellSize(model);
    const int centreX = cell / 2 + cell * column;
    const int centreY = cell / 2 + cell * row;
    const int step = model == 3 ? 8 : 2;
    const int sign = style == SpotStyle::First ? 1 : -1;
    for (int n = 8; n >= 1; --n) {
        const int radius = step * n;
        const int m = 3 * (8 - n);
        if (m == 0) {
            continue;
        }
        const int yFrom = std::max(centreY - radius, 0),
                  yTo = std::min(centreY + radius, height - 1);
        const int xFrom = std::max(centreX - radius, 0),
                  xTo = std::min(centreX + radius, width - 1);
        for (int y = yFrom; y <= yTo; ++y) {
            const int dy = y - centreY;
            for (int x = xFrom; x <= xTo; ++x) {
                const int dx = x - centreX;
                if (dx * dx + dy * dy <= radius * radius) {
                    AddToPixel(pixels[static_cast<size_t>(y) * width + x], -m, -sign * m, sign * m);
                }
            }
        }
    }
}

bool ExamineAreaSpots(BgraPixel* pixels, int width, int height, int model, const float* levels,
                      int columns, int rows, float maximum, const InspectionArea& area,
                      const std::function<bool(int, int, float)>& checkSpot, int filterDisplay) {
    const int cell = CellSize(model);
    const InspectionArea& a = area;
    if (a.area_rect_x1 > a.area_rect_x2 || a.area_rect_y1 > a.area_rect_y2) {
        return false;
    }
    const int c1 = std::max(a.area_rect_x1 / cell, 0),
              c2 = std::min(a.area_rect_x2 / cell, columns - 1);
    const int r1 = std::max(a.area_rect_y1 / cell, 0),
              r2 = std::min(a.area_rect_y2 / cell, rows - 1);
    bool accepted = false;
    for (int r = r1; r <= r2; ++r) {
        for (int c = c1; c <= c2; ++c) {
            const float level = levels[r * columns + c];
            if (level != maximum) {
                continue;
            }
            if (checkSpot(c, r, level)) {
                accepted = true;
                DrawSpotMarker(pixels, width, height, model, c, r, SpotStyle::First);
            } else if (filterDisplay == 1) {
                DrawSpotMarker(pixels, width, height, model, c, r, SpotStyle::Second);
            }
        }
    }
    return accepted;
}

bool ColourThermalFrame(const uint16_t* values, int count, QImage& bitmap) {
    constexpr int kValues = kThermalWidth * kThermalHeight;
    if (values == nullptr || count < kValues) {
        return false;
    }
    int lo = values[0] & 0x3FFF, hi = lo;
    for (int i = 1; i < kValues; ++i) {
        const int v = values[i] & 0x3FFF;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    if (hi <= lo) {
        hi = lo + 1;
    }
    if (bitmap.size() != QSize(kThermalWidth, kThermalHeight) ||
        bitmap.format() != QImage::Format_RGB888) {
        bitmap = QImage(kThermalWidth, kThermalHeight, QImage::Format_RGB888);
    }
    const double span = hi - lo;
    for (int y = 0; y < kThermalHeight; ++y) {
        uchar* line = bitmap.scanLine(y);
        for (int x = 0; x < kThermalWidth; ++x) {
            const int v = values[y * kThermalWidth + x] & 0x3FFF;
            const double e = std::clamp((v - lo) / span, 0.0, 1.0);
            int blue, green, red;
            if (e < 0.25) {
                blue = 255, green = static_cast<int>(1020 * e), red = 0;
            } else if (e < 0.5) {
                blue = static_cast<int>(255 - 1020 * (e - 0.25)), green = 255, red = 0;
            } else if (e < 0.75) {
                blue = 0, green = 255, red = static_cast<int>(1020 * (e - 0.5));
            } else {
                blue = 0, green = static_cast<int>(255 - 1020 * (e - 0.75)), red = 255;
            }
            line[x * 3 + 0] = static_cast<uchar>(Clamp255(red));
            line[x * 3 + 1] = static_cast<uchar>(Clamp255(green));
            line[x * 3 + 2] = static_cast<uchar>(Clamp255(blue));
        }
    }
    return true;
}
