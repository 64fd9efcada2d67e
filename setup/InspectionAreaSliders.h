#pragma once
// The inspection-area page's arithmetic between the device's live area (camera picture pixels,
// never mirrored), the two range sliders (the picture as the screen shows it, mirrored at 180
// degrees) and the database row (mirrored at 180 degrees on the 320 x 240 grid, which the
// product load undoes for every camera model).

#include "sensor/SensorSettings.h"

#include <QString>

struct SliderSpan {
    double left = 0.0;
    double right = 0.0;

    bool operator==(const SliderSpan&) const = default;
};

struct AreaSliderValues {
    SliderSpan topBottom;
    SliderSpan leftRight;

    bool operator==(const AreaSliderValues&) const = default;
};

// The sliders' maxima: the last row and column of the camera's picture (model 3 1280 x 800,
// otherwise 320 x 240).
struct SliderMaxima {
    int row = 239;
    int column = 319;
};
SliderMaxima SliderMaximaOf(int cameraModel);

// The sliders' selection for the live area as the picture is shown in `orientation` degrees.
AreaSliderValues SlidersFromArea(const InspectionArea& area, int cameraModel, int orientation);

// A slider moved: the live area's top and bottom (or left and right) from its selection.
void ApplyTopBottomSlider(InspectionArea& area, SliderSpan span, int cameraModel, int orientation);
void ApplyLeftRightSlider(InspectionArea& area, SliderSpan span, int cameraModel, int orientation);

// A value field: the 1-based position on the 640 x 480 screen picture for model 2 ((v + 1) x 2),
// the 1-based picture pixel for model 3.
QString SliderValueText(double value, int cameraModel);

// The rectangle the save writes: for camera model 2 exactly the sliders' values; at 180 degrees
// mirrored on the 320 x 240 grid, so that loading the row gives the same live area back.
struct StoredAreaRect {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;

    bool operator==(const StoredAreaRect&) const = default;
};
StoredAreaRect StoredAreaOf(const InspectionArea& area, int orientation);
