#pragma once
// A pipeline that counts what the worker hands it; NG latch and graph mode are set by the test.

#include "sensor/SensorPipeline.h"

#include <atomic>

class RecordingPipeline : public SensorPipeline {
  public:
    void ConvertPicture(SensorFrames&, const SensorSettings&) override { ++pictures; }
    void OverlayAcousticMap(SensorFrames&, const SensorSettings&) override { ++overlays; }
    void ShowPicture(const SensorFrames&, const SensorSettings&) override { ++shownPictures; }
    void EvaluateSpectrum(SensorFrames&, const SensorSettings&) override { ++evaluations; }
    void SetCurve(int slot, const float*) override { ++curves[slot]; }
    bool ColourThermal(const SensorFrames&) override { return true; }
    void ShowThermal() override { ++thermals; }
    bool IsNgLatched() const override { return latched.load(); }
    int GraphDisplayMode() const override { return graphMode.load(); }
    bool PictureFrozen(const SensorSettings&) const override { return frozen.load(); }

    std::atomic<int> pictures{0};
    std::atomic<int> overlays{0};
    std::atomic<int> shownPictures{0};
    std::atomic<int> evaluations{0};
    std::atomic<int> curves[4] = {};
    std::atomic<int> thermals{0};
    std::atomic<bool> latched{false};
    std::atomic<bool> frozen{false};
    std::atomic<int> graphMode{0};
};
