#pragma once
// The run's state in one place: the inspection state, the run time and which sensor position the
// current run inspects. The run controller owns and writes it; the sensor worker reads it.

#include "inspection/InspectionState.h"

#include <atomic>

struct RunContext {
    std::atomic<int> inspectionState{kInspectionIdle};
    std::atomic<float> elapsed_s{0.0f};  // run time, updated every 10 ms
    // The current sensor name matches this device's index ("Top" for 0).
    std::atomic<bool> positionMatch{false};
    std::atomic<int> debugFlag{0};
    std::atomic<int> videoColor{0};     // Phonolux_Video_Color
    std::atomic<int> filterDisplay{0};  // Filter_Display

    int state() const { return inspectionState.load(); }
    bool running() const { return state() == kInspectionRunning; }
};
