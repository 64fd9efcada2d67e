#include "inspection/RunPlan.h"

#include "inspection/InspectionState.h"

#include <Qt>

bool RunEventApplies(int state, RunEvent event) {
    switch (event) {
        case RunEvent::LinkStopped:
        case RunEvent::ProductLoaded:
            return true;
        case RunEvent::StartRun:
            return state == kInspectionReady || state == kInspectionFinishing ||
                   state == kInspectionSetupShown;
        case RunEvent::TimeLimit:
        case RunEvent::Stop:
        case RunEvent::RestartRequest:
            return state == kInspectionRunning;
        case RunEvent::ReadyTimer:
            return state == kInspectionFinishing;
        case RunEvent::SetupShown:
            return state != kInspectionRunning;
        case RunEvent::InspectionShown:
            return state == kInspectionSetupShown;
    }
    return false;
}

int NextInspectionState(int state, RunEvent event) {
    if (!RunEventApplies(state, event)) {
        return state;
    }
    switch (event) {
        case RunEvent::LinkStopped:
            return kInspectionIdle;
        case RunEvent::ProductLoaded:
        case RunEvent::ReadyTimer:
        case RunEvent::InspectionShown:
            return kInspectionReady;
        case RunEvent::StartRun:
            return kInspectionRunning;
        case RunEvent::TimeLimit:
        case RunEvent::Stop:
        case RunEvent::RestartRequest:
            return kInspectionFinishing;
        case RunEvent::SetupShown:
            return kInspectionSetupShown;
    }
    return state;
}

StartRequestPlan PlanStartRequest(int state, int elapsedSeconds, bool cameraLinkUp) {
    StartRequestPlan plan;
    if (state == kInspectionRunning) {
        if (elapsedSeconds < kRestartGuard_s) {
            plan.ignore = true;
            return plan;
        }
        plan.finishRunning = true;
    }
    plan.forceReload = !cameraLinkUp;
    return plan;
}

ClockTickPlan PlanClockTick(uint32_t elapsedMs, int pictureSaveTime, const bool saved[2],
                            int timeLimit_s) {
    ClockTickPlan plan;
    // Single precision, as the run time has always been kept.
    plan.elapsedTenths = static_cast<int>(static_cast<float>(elapsedMs) / 100.0f);
    plan.elapsed_s = static_cast<float>(static_cast<double>(elapsedMs) / 1000.0);
    plan.runningLampOn = plan.elapsedTenths % 10 == 0 || plan.elapsedTenths % 10 == 1;
    for (int index = 0; index < 2; ++index) {
        plan.savePassPicture[index] = pictureSaveTime > 0 &&
                                      plan.elapsed_s > static_cast<float>(pictureSaveTime / 10) &&
                                      !saved[index];
    }
    plan.elapsedSeconds = plan.elapsedTenths / 10;
    plan.finish = plan.elapsedSeconds >= timeLimit_s;
    return plan;
}

RunKeyAction ClassifyRunKey(int key, bool inspectionPageShown) {
    if (key == Qt::Key_F2) {
        return inspectionPageShown ? RunKeyAction::StartInspection : RunKeyAction::Pass;
    }
    if (key == Qt::Key_F4) {
        return RunKeyAction::StopInspection;
    }
    return RunKeyAction::Pass;
}
