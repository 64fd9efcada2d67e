#pragma once
// What the sensor device needs from the page that owns it. Values read from the worker thread
// (Audio_Shift, the inspection state) must be safe to read from there.

#include <atomic>

class SensorHost {
  public:
    virtual ~SensorHost() = default;
    // 0 idle, 1 ready, 2 running, 3 finishing, 6 setup shown. Stop sets it to 0.
    virtual std::atomic<int>& inspectionState() = 0;
    virtual int audioShift() const = 0;          // Audio_Shift
    virtual int fileSaveMode() const = 0;        // File_Save_Mode: device parameters 7 and 6
    virtual int phonoluxVideoColor() const = 0;  // Phonolux_Video_Color
    virtual bool sensorDebugFlag() const = 0;    // Inspection_Debug_Flag_Sensor_0
    // After the link was lost and the operator was told (lamps, equipment status).
    virtual void onSensorConnectionLost() {}
};
