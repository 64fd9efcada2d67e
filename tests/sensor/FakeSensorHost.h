#pragma once
// A sensor host for tests: every value is an atomic that a test sets before or while it runs.

#include "sensor/SensorHost.h"

#include <atomic>

class FakeSensorHost : public SensorHost {
  public:
    std::atomic<int>& inspectionState() override { return *sharedState; }
    int audioShift() const override { return shift.load(); }
    int fileSaveMode() const override { return saveMode.load(); }
    int phonoluxVideoColor() const override { return videoColor.load(); }
    bool sensorDebugFlag() const override { return debug.load(); }
    void onSensorConnectionLost() override { ++lostCalls; }

    std::atomic<int> state{0};
    // A test that wires a run context points this at the context's state.
    std::atomic<int>* sharedState = &state;
    std::atomic<int> shift{0};
    std::atomic<int> saveMode{2};
    std::atomic<int> videoColor{0};
    std::atomic<bool> debug{false};
    std::atomic<int> lostCalls{0};
};
