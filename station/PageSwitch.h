#pragma once
// What a change of the main window's tab does, decided without a window.

struct PageSwitchPlan {
    bool refused = false;             // put the tab back and tell the operator why
    int newInspectionState = -1;      // -1 leaves the state as it is
    bool saveLiveArea = false;        // live inspection area -> saved copy
    bool restoreLiveArea = false;     // saved copy -> live inspection area
    bool startScreenRefresh = false;  // the inspection page's redraw timer
    bool startSetupRefresh = false;   // the setup container's two refresh timers
    int shownPage = 0;
};

inline constexpr int kInspectionPage = 0;
inline constexpr int kSetupPage = 1;

// requested: the tab asked for; shownPage: the page shown now; setupSubPage: the page the setup
// container shows (0 = its sensor page).
PageSwitchPlan PlanPageSwitch(int requested, int shownPage, int inspectionState, int setupSubPage);
