#pragma once
// What the setup pages work on: the inspection page with the device, the profiles and the links,
// and the main window's head, motor parameters and title line.

#include <functional>

class CDlgMain;
class CPanTiltControl;
struct MotorConfig;

struct SetupStation {
    CDlgMain& main;
    CPanTiltControl& panTilt;
    MotorConfig& motor;
    // The main window's title line after the title or the debug option changed.
    std::function<void()> refreshTitle;
};
