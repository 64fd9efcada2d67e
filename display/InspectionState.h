#pragma once
// Values of the inspection page's run state.

enum InspectionState : int {
    kInspectionIdle = 0,
    kInspectionReady = 1,
    kInspectionRunning = 2,
    kInspectionFinishing = 3,
    kInspectionSetupShown = 6,
};
