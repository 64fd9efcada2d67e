#pragma once
// The steps the sensor worker hands decoded data to: picture processing, the evaluation and the
// graph. Called on the worker thread in the order the items arrive, with the settings snapshot
// the worker took for that item. The defaults do nothing, so a device without these parts still
// decodes into its frames and queues.

#include "sensor/SensorFrames.h"
#include "sensor/SensorSettings.h"

class SensorPipeline {
  public:
    virtual ~SensorPipeline() = default;

    // Picture item: convert the raw picture into the display picture and mark the area.
    virtual void ConvertPicture(SensorFrames& frames, const SensorSettings& settings) {}
    // Acoustic map item, before the overlay decision: clear the peak-in-area flag.
    virtual void ClearPeakInArea() {}
    // Acoustic map whose maximum reached acoustic_level: overlay it on the display picture.
    virtual void OverlayAcousticMap(SensorFrames& frames, const SensorSettings& settings) {}
    // After each acoustic map unless the picture is frozen at an NG moment: show the picture.
    virtual void ShowPicture(const SensorFrames& frames, const SensorSettings& settings) {}
    // Spectrum item: evaluate it (may latch NG and copy the NG spectrum into the frames).
    virtual void EvaluateSpectrum(SensorFrames& frames, const SensorSettings& settings) {}
    // The graph's curve slot 1 (live) or 3 (NG spectrum), 1024 levels.
    virtual void SetCurve(int slot, const float* levels) {}
    // Thermal item: colour the frame; true when there is a frame to show.
    virtual bool ColourThermal(const SensorFrames& frames) { return false; }
    virtual void ShowThermal() {}

    // Evaluation and graph state the worker's rules depend on.
    virtual bool IsNgLatched() const { return false; }
    // The picture stays at the NG moment while a judged run is going or finishing.
    virtual bool PictureFrozen(const SensorSettings& settings) const { return false; }
    virtual int GraphDisplayMode() const { return 0; }
};
