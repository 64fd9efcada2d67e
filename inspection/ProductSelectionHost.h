#pragma once
// What selecting a product does outside the database, done by the inspection page and its
// sensor device. Called on the thread that selects the product.

#include "sensor/SensorSettings.h"

#include <QColor>
#include <QString>

#include <functional>
#include <memory>

class ProductSelectionHost {
  public:
    virtual ~ProductSelectionHost() = default;
    // The verdict text of the main screen (ShowResultText); a selection clears it with an
    // empty text, font height 48, colour (5, 0, 0).
    virtual void showResultText(const QString& text, int fontHeight, const QColor& color) = 0;
    // RefreshScreen through its 5 ms one-shot timer.
    virtual void startScreenRefresh() = 0;
    // The product record was loaded: the engine row shows its name and inspection time. The
    // screen keeps its own copy, so it never reads the record while a selection writes it.
    virtual void productLoaded(const QString& productName, int inspectionTime_s) {}
    // The inspection state (0 idle, 1 ready, 2 running, 3 finishing, 6 setup shown).
    virtual void setInspectionState(int state) = 0;

    // Copies the settings of the sensor device of that index, changes the copy and publishes it
    // to the device's worker as a whole. Returns what was published; nullptr when there is no
    // such device.
    virtual std::shared_ptr<const SensorSettings> updateSensorSettings(
        int sensorIndex, const std::function<void(SensorSettings&)>& change) = 0;
    // ResetSpotTracker (done by the worker before its next spot check); a count above 0 is
    // handed to the tracker, 0 resets it without one.
    virtual void resetSpotTracker(int beamformingCount) = 0;
    // True while the device's sensor worker runs.
    virtual bool isSensorWorkerAlive() = 0;
    // The measuring parameters command to the running camera (no reconnection).
    virtual void sendMeasuringParameters(int distance, int freqMin, int freqMax) = 0;
    // The device's connection state: 1 answered the ping and started, -1 did not answer.
    virtual void setConnectionState(int state) = 0;
    // Starts the sensor link to the settings' camera address and port.
    virtual void startSensorLink() = 0;
};
