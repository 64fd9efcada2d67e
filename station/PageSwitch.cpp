#include "station/PageSwitch.h"

#include "inspection/InspectionState.h"

PageSwitchPlan PlanPageSwitch(int requested, int shownPage, int inspectionState, int setupSubPage) {
    PageSwitchPlan plan;
    plan.shownPage = requested;
    if (requested == kSetupPage) {
        if (inspectionState == kInspectionRunning) {
            plan.refused = true;
            plan.shownPage = shownPage;
            return plan;
        }
        plan.newInspectionState = kInspectionSetupShown;
        plan.saveLiveArea = true;
        plan.startSetupRefresh = true;
        return plan;
    }
    if (shownPage == kSetupPage) {
        plan.newInspectionState = kInspectionReady;
        // Leaving from the sensor page drops unsaved area edits; the system page keeps them.
        plan.restoreLiveArea = setupSubPage == 0;
        plan.startScreenRefresh = true;
    }
    return plan;
}
