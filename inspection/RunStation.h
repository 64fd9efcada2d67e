#pragma once
// What a run needs from the rest of the station: the product selection (rows read from the
// bridge database and applied to the camera), the camera link, the sensor settings in force and
// the recording of a finished run.

#include "inspection/ResultPictures.h"
#include "sensor/SensorSettingsStore.h"
#include "storage/RunOutcome.h"

#include <QString>

class RunStation {
  public:
    virtual ~RunStation() = default;
    // SelectProduct; may run on the remote-start worker. False when the product was not found.
    virtual bool selectProduct(const QString& productName, bool force) = 0;
    // The selected product's inspection time in seconds.
    virtual int inspectionTimeLimit() const = 0;
    // The camera link runs (its worker is alive). Any thread.
    virtual bool cameraLinkUp() const = 0;
    // The camera's socket is connected (the equipment status).
    virtual bool cameraConnected() const = 0;
    virtual CSensorSettingsStore::Snapshot sensorSettings() const = 0;
    // Empties the spectrogram and waveform queues.
    virtual void clearHistoryQueues() = 0;
    // RecordInspectionResult: false when the local database could not be reached (nothing was
    // recorded, counted or reported).
    virtual bool recordInspectionResult(const RunOutcome& run) = 0;

    // The run's camera bytes, when the station keeps them: a recording starts with the run, is
    // kept under the verdict (the path the result row names; empty when none is kept) or dropped
    // with a stopped run.
    virtual void beginRunRecording(const RunPictureNames& names, const QString& sensorName) {}
    virtual QString finishRunRecording(bool ng, const RunPictureNames& names) { return {}; }
    virtual void dropRunRecording() {}
};
