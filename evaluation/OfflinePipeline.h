#pragma once
// The inspection pipeline without its display work: the same spot checks, inspection area and
// spectrum evaluation as the station, while pictures and thermal frames are neither converted
// nor handed on. Nothing it skips changes a verdict.

#include "inspection/InspectionPipeline.h"

class COfflinePipeline : public CInspectionPipeline {
  public:
    using CInspectionPipeline::CInspectionPipeline;

    void ConvertPicture(SensorFrames& frames, const SensorSettings& settings) override {}
    void ShowPicture(const SensorFrames& frames, const SensorSettings& settings) override {}
    bool ColourThermal(const SensorFrames& frames) override { return false; }
    void ShowThermal() override {}
    void SetCurve(int slot, const float* levels) override {}
};
