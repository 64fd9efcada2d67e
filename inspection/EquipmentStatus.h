#pragma once
// The values of the once-a-second equipment status, assembled by the run controller and sent
// by the control link.

#include <QMetaType>

struct EquipmentStatus {
    int camera = 0;    // the camera's socket is connected
    int panTilt = 0;   // the head's COM port exists
    int beacon = 0;    // the signal tower reports a state
    float cpu = 0.0f;  // percent; -1 when the times cannot be read
    float temperature = 0.0f;
    double pan_deg = 0.0;
    double tilt_deg = 0.0;
};
Q_DECLARE_METATYPE(EquipmentStatus)
