#pragma once
// The run controller's rules, decided without a window or a clock: how the inspection state
// moves, what a start request does, and what one tick of the inspection clock does.
//
//   (construction) -> 0
//   any      --link stopped-------------------> 0
//   any      --product loaded or forced-------> 1
//   1, 3, 6  --StartRun-----------------------> 2
//   2        --time limit / stop / restart----> 3
//   3        --2 s after the end (timer 3032)-> 1
//   not 2    --Setup tab shown----------------> 6
//   6        --Inspection tab shown-----------> 1

#include <cstdint>

enum class RunEvent {
    LinkStopped,
    ProductLoaded,
    StartRun,
    TimeLimit,
    Stop,
    RestartRequest,  // a start request while a run has gone on for 3 s or more
    ReadyTimer,
    SetupShown,
    InspectionShown,
};

// The state after the event; the state itself when the event does not apply in that state.
int NextInspectionState(int state, RunEvent event);
// Whether the event applies in that state (StartRun in state 0 or 2 does not, for example).
bool RunEventApplies(int state, RunEvent event);

// Start requests within this many seconds of a run's start are ignored.
inline constexpr int kRestartGuard_s = 3;

struct StartRequestPlan {
    bool ignore = false;         // a run started less than 3 s ago: nothing happens
    bool finishRunning = false;  // a run is going: finish (record and report) it first
    // The camera link is down: load the product again as a forced selection does, so the link
    // starts when the camera answers.
    bool forceReload = false;
};
StartRequestPlan PlanStartRequest(int state, int elapsedSeconds, bool cameraLinkUp);

struct ClockTickPlan {
    int elapsedTenths = 0;
    float elapsed_s = 0.0f;
    int elapsedSeconds = 0;
    bool runningLampOn = false;
    bool savePassPicture[2] = {false, false};
    bool finish = false;  // the time limit is reached
};
// One tick of the 10 ms inspection clock. pictureSaveTime is in tenths of a second (0 or less:
// never); saved[i] tells whether sensor i's PASS picture was saved in this run.
ClockTickPlan PlanClockTick(uint32_t elapsedMs, int pictureSaveTime, const bool saved[2],
                            int timeLimit_s);

// The inspection page's run keys: F2 starts an inspection (only while the inspection page is
// shown), F4 stops a running one.
enum class RunKeyAction { Pass, StartInspection, StopInspection };
RunKeyAction ClassifyRunKey(int key, bool inspectionPageShown);
