#include "setup/InspectionAreaSliders.h"

namespace {

// The grid the product load mirrors on (see FillSensorSettings).
constexpr int kGridRowMax = 239;
constexpr int kGridColumnMax = 319;

}  // namespace

SliderMaxima SliderMaximaOf(int cameraModel) {
    if (cameraModel == 3) {
        return {799, 1279};
    }
    return {kGridRowMax, kGridColumnMax};
}

AreaSliderValues SlidersFromArea(const InspectionArea& area, int cameraModel, int orientation) {
    const SliderMaxima max = SliderMaximaOf(cameraModel);
    if (orientation == 180) {
        return {{double(max.row - area.area_rect_y2), double(max.row - area.area_rect_y1)},
                {double(max.column - area.area_rect_x2), double(max.column - area.area_rect_x1)}};
    }
    return {{double(area.area_rect_y1), double(area.area_rect_y2)},
            {double(area.area_rect_x1), double(area.area_rect_x2)}};
}

void ApplyTopBottomSlider(InspectionArea& area, SliderSpan span, int cameraModel, int orientation) {
    const int left = static_cast<int>(span.left);
    const int right = static_cast<int>(span.right);
    if (orientation == 180) {
        const int max = SliderMaximaOf(cameraModel).row;
        area.area_rect_y1 = max - right;
        area.area_rect_y2 = max - left;
    } else {
        area.area_rect_y1 = left;
        area.area_rect_y2 = right;
    }
}

void ApplyLeftRightSlider(InspectionArea& area, SliderSpan span, int cameraModel, int orientation) {
    const int left = static_cast<int>(span.left);
    const int right = static_cast<int>(span.right);
    if (orientation == 180) {
        const int max = SliderMaximaOf(cameraModel).column;
        area.area_rect_x1 = max - right;
        area.area_rect_x2 = max - left;
    } else {
        area.area_rect_x1 = left;
        area.area_rect_x2 = right;
    }
}

QString SliderValueText(double value, int cameraModel) {
    const int v = static_cast<int>(value);
    return QString::number(cameraModel == 3 ? v + 1 : (v + 1) * 2);
}

StoredAreaRect StoredAreaOf(const InspectionArea& area, int orientation) {
    if (orientation == 180) {
        return {kGridColumnMax - area.area_rect_x2, kGridRowMax - area.area_rect_y2,
                kGridColumnMax - area.area_rect_x1, kGridRowMax - area.area_rect_y1};
    }
    return {area.area_rect_x1, area.area_rect_y1, area.area_rect_x2, area.area_rect_y2};
}
