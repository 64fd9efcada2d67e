#pragma once
// Latches NG through the evaluation itself: one loud band, judged in a run inside its window and
// counted until the evaluation latches. For tests that need an NG run without a camera.

#include "inspection/InspectionState.h"
#include "inspection/SensorEvaluation.h"

#include <vector>

// Returns whether the evaluation latched; `elapsed_s` becomes the NG time.
inline bool LatchNg(CSensorEvaluation& evaluation, float elapsed_s) {
    SensorSettings judged;
    judged.inspection_mode = 1;
    judged.required_filter_count = 1;
    judged.initial_exception_time = 0.0f;
    judged.focus_time = 100.0f;
    judged.lpass_limit = 1;
    judged.filters[0] = {1, 8000, 5000, 0, 60};
    EvaluationInputs inputs;
    inputs.inspectionState = kInspectionRunning;
    inputs.elapsed_s = elapsed_s;
    inputs.positionMatch = true;
    inputs.cameraModel = 2;
    const std::vector<float> loud(kSpectrumBins, 70.0f);
    evaluation.SetPeakInArea(true);
    for (int i = 0; i < 5 && !evaluation.NgLatched(); ++i) {
        evaluation.EvaluateSpectrum(loud.data(), static_cast<uint64_t>(i), judged, inputs);
    }
    return evaluation.NgLatched();
}
