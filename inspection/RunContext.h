#pragma once
// The run controller's view of the moment, shared with the sensor worker: state, elapsed time
// and which sensor position the current run inspects.

#include <atomic>

struct RunContext {
    std::atomic<int>* inspectionState = nullptr;  // the inspection page's state
    std::atomic<float> elapsed_s{0.0f};           // run time, updated every 10 ms
    // The current sensor name matches this device's index ("Top" for 0).
    std::atomic<bool> positionMatch{false};
    std::atomic<int> debugFlag{0};
    std::atomic<int> videoColor{0};     // Phonolux_Video_Color
    std::atomic<int> filterDisplay{0};  // Filter_Display

    int state() const { return inspectionState ? inspectionState->load() : 0; }
};
