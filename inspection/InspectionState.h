#pragma once
// Values of the inspection state. The run controller owns the state (in its RunContext); the
// sensor worker and the main window read it.

enum InspectionState : int {
    kInspectionIdle = 0,
    kInspectionReady = 1,
    kInspectionRunning = 2,
    kInspectionFinishing = 3,
    kInspectionSetupShown = 6,
};
