#include "station/MainKeyFilter.h"

#include "station/PageSwitch.h"

MainKeyAction ClassifyMainKey(int key, Qt::KeyboardModifiers modifiers, int shownPage) {
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    switch (key) {
        case Qt::Key_F4:
            return alt ? MainKeyAction::Swallow : MainKeyAction::Pass;
        case Qt::Key_F12:
            if (!alt) {
                return MainKeyAction::Pass;
            }
            return shownPage == kSetupPage ? MainKeyAction::SetupCaution
                                           : MainKeyAction::OpenSensorSettings;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            return MainKeyAction::Swallow;
        default:
            return MainKeyAction::Pass;
    }
}
