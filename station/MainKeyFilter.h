#pragma once
// The main window's keyboard rules, decided without a window.

#include <Qt>

enum class MainKeyAction {
    Pass,                // dispatch as usual
    Swallow,             // never reaches the window (it would close or end it)
    SetupCaution,        // detailed sensor settings refused on the setup page
    OpenSensorSettings,  // start the timer that opens the password gate
};

MainKeyAction ClassifyMainKey(int key, Qt::KeyboardModifiers modifiers, int shownPage);
