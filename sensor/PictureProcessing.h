#pragma once
// Turns camera frames into the display picture: darkening outside the inspection area, grey or
// colour-mosaic conversion, the area outline, the acoustic overlay, spot markers and the thermal
// colour scale. Plain functions over pixel buffers; every coordinate is clipped to the picture,
// so settings from the database can never reach outside a buffer.

#include "sensor/SensorSettings.h"

#include <QImage>

#include <cstdint>
#include <functional>

// Display pixels are 32-bit 0xAARRGGBB values: in memory blue, green, red, alpha.
using BgraPixel = uint32_t;

inline constexpr int kModel2Width = 320;
inline constexpr int kModel2Height = 240;
inline constexpr int kModel3Width = 1280;
inline constexpr int kModel3Height = 800;
inline constexpr int kThermalWidth = 160;
inline constexpr int kThermalHeight = 120;

// Inclusive pixel rectangle after clipping; empty when nothing of it lies in the picture or
// when its corners are inverted.
struct PixelRect {
    int x1 = 0, y1 = 0, x2 = -1, y2 = -1;
    bool empty() const { return x1 > x2 || y1 > y2; }
};
PixelRect ClipArea(const InspectionArea& area, int width, int height);

// Raw pixels outside the area are divided by 4 (used while a run is going).
void DarkenOutsideArea(uint8_t* raw, int width, int height, const InspectionArea& area);

void GreyToBgra(const uint8_t* raw, int width, int height, BgraPixel* out);

// Bilinear interpolation of the mosaic whose 2 x 2 tile is G B / R G. Neighbours beyond the
// border are taken mirrored about the border pixel (index -1 reads 1, index n reads n - 2),
// which keeps the mosaic's colour pattern, so border pixels are interpolated from real
// samples of the right colour.
void DemosaicToBgra(const uint8_t* raw, int width, int height, BgraPixel* out);

// One pixel wide; `thickness` 2 adds a second line on the inner side.
void DrawAreaOutline(BgraPixel* pixels, int width, int height, const InspectionArea& area,
                     int thickness, bool green);

// Acoustic map geometry for a camera model: cells of 5 x 5 pixels (model 2) or 16 x 16 (model 3).
int CellSize(int model);

// Colours every cell whose level lies within 0.6 dB of the maximum.
void ColourAcousticMap(BgraPixel* pixels, int width, int height, int model, const float* levels,
                       int columns, int rows, float maximum);

enum class SpotStyle { First, Second };
void DrawSpotMarker(BgraPixel* pixels, int width, int height, int model, int column, int row,
                    SpotStyle style);

// The in-area branch while a run is going: every cell inside the area whose level equals the
// maximum goes to `checkSpot`; accepted cells are marked in the first style, rejected ones in
// the second style when `filterDisplay` is 1. Returns true when a cell was accepted.
bool ExamineAreaSpots(BgraPixel* pixels, int width, int height, int model, const float* levels,
                      int columns, int rows, float maximum, const InspectionArea& area,
                      const std::function<bool(int column, int row, float level)>& checkSpot,
                      int filterDisplay);

// Colours a 160 x 120 thermal frame (low 14 bits of each value) on its own minimum..maximum.
// False when fewer than 160 x 120 values are given.
bool ColourThermalFrame(const uint16_t* values, int count, QImage& bitmap);
