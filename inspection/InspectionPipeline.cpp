#include "inspection/InspectionPipeline.h"

#include "sensor/PictureProcessing.h"
#include "sensor/SensorFrames.h"

#include <cmath>

namespace {

int PictureModel(const SensorFrames& frames) {
    return frames.pictureWidth == kModel3Width ? 3 : 2;
}
int MapModel(const SensorFrames& frames) {
    return frames.mapColumns == 80 ? 3 : 2;
}

BgraPixel* Display(SensorFrames& frames) {
    return reinterpret_cast<BgraPixel*>(frames.displayPicture.data());
}

bool PictureFits(const SensorFrames& frames) {
    const size_t pixels = static_cast<size_t>(frames.pictureWidth) * frames.pictureHeight;
    return frames.pictureWidth > 0 && frames.pictureHeight > 0 &&
           pixels <= frames.rawPicture.size() && pixels * 4 <= frames.displayPicture.size();
}

}  // namespace

CInspectionPipeline::CInspectionPipeline(RunContext& run, QObject* parent)
    : QObject(parent), m_run(run) {}

void CInspectionPipeline::SetCurve(int slot, const float* levels) {
    if (CGraphCurves* curves = m_graphCurves.load()) {
        curves->SetCurve(slot, levels);
    }
}

int CInspectionPipeline::GraphDisplayMode() const {
    const CGraphCurves* curves = m_graphCurves.load();
    return curves ? curves->DisplayMode() : 0;
}

PicturePlacement CInspectionPipeline::PlacePicture(const QRect& pictureRect, int model,
                                                   int rotation) {
    PicturePlacement placement;
    placement.target = pictureRect;
    if (model == 3) {
        placement.target = pictureRect.adjusted(0, kModel3Margin, 0, -kModel3Margin);
    }
    placement.mirrored = rotation == 180;
    return placement;
}

bool CInspectionPipeline::OutlineIsGreen(const SensorSettings& settings) const {
    if (!m_run.running() || !m_run.positionMatch.load()) {
        return false;
    }
    const float seconds = std::floor(m_run.elapsed_s.load());
    return settings.initial_exception_time <= seconds && seconds < settings.focus_time;
}

void CInspectionPipeline::ConvertPicture(SensorFrames& frames, const SensorSettings& settings) {
    if (!PictureFits(frames)) {
        return;
    }
    const int width = frames.pictureWidth, height = frames.pictureHeight;
    const InspectionArea& area = settings.area;
    if (m_run.running()) {
        DarkenOutsideArea(frames.rawPicture.data(), width, height, area);
    }
    const int model = PictureModel(frames);
    if (model == 2) {
        GreyToBgra(frames.rawPicture.data(), width, height, Display(frames));
    } else {
        switch (m_run.videoColor.load()) {
            case 0:
                GreyToBgra(frames.rawPicture.data(), width, height, Display(frames));
                break;
            case 1:
                DemosaicToBgra(frames.rawPicture.data(), width, height, Display(frames));
                break;
            default:
                break;  // other values leave the display picture as it was
        }
    }
    DrawAreaOutline(Display(frames), width, height, area, model == 3 ? 2 : 1,
                    OutlineIsGreen(settings));
}

void CInspectionPipeline::ClearPeakInArea() {
    m_evaluation.SetPeakInArea(false);
}

void CInspectionPipeline::OverlayAcousticMap(SensorFrames& frames, const SensorSettings& settings) {
    if (!PictureFits(frames) || frames.mapColumns <= 0 || frames.mapRows <= 0 ||
        frames.mapColumns * frames.mapRows > static_cast<int>(frames.acousticMap.size())) {
        return;
    }
    const int model = MapModel(frames);
    if (m_run.running() && m_run.positionMatch.load()) {
        const bool accepted = ExamineAreaSpots(
            Display(frames), frames.pictureWidth, frames.pictureHeight, model,
            frames.acousticMap.data(), frames.mapColumns, frames.mapRows, frames.maxAcousticLevel,
            settings.area,
            [this, &settings](int column, int row, float level) {
                return m_evaluation.CheckSpot(column, row, level, settings);
            },
            m_run.filterDisplay.load());
        if (accepted) {
            m_evaluation.SetPeakInArea(true);
        }
        return;
    }
    ColourAcousticMap(Display(frames), frames.pictureWidth, frames.pictureHeight, model,
                      frames.acousticMap.data(), frames.mapColumns, frames.mapRows,
                      frames.maxAcousticLevel);
}

void CInspectionPipeline::ShowPicture(const SensorFrames& frames, const SensorSettings& settings) {
    if (!PictureFits(frames)) {
        return;
    }
    // A deep copy: the worker overwrites its buffer with the next picture.
    const QImage view(frames.displayPicture.data(), frames.pictureWidth, frames.pictureHeight,
                      frames.pictureWidth * 4, QImage::Format_ARGB32);
    emit pictureReady(view.copy(), PictureModel(frames), settings.picture_rotation);
}

void CInspectionPipeline::EvaluateSpectrum(SensorFrames& frames, const SensorSettings& settings) {
    EvaluationInputs inputs;
    inputs.inspectionState = m_run.state();
    inputs.elapsed_s = m_run.elapsed_s.load();
    inputs.positionMatch = m_run.positionMatch.load();
    inputs.cameraModel = m_cameraModel ? m_cameraModel() : PictureModel(frames);
    inputs.debugFlag = m_run.debugFlag.load();
    const bool wasLatched = m_evaluation.NgLatched();
    m_evaluation.EvaluateSpectrum(frames.spectrum.data(), frames.spectrumStamp, settings, inputs);
    if (!wasLatched && m_evaluation.NgLatched()) {
        frames.ngSpectrum = m_evaluation.NgSpectrum();
        frames.ngSpectrumStamp = m_evaluation.NgSpectrumTimeStamp();
    }
}

bool CInspectionPipeline::ColourThermal(const SensorFrames& frames) {
    return ColourThermalFrame(frames.thermal.data(), static_cast<int>(frames.thermal.size()),
                              m_thermal);
}

void CInspectionPipeline::ShowThermal() {
    emit thermalReady(m_thermal.copy());
}

bool CInspectionPipeline::PictureFrozen(const SensorSettings& settings) const {
    const int state = m_run.state();
    return (state == kInspectionRunning || state == kInspectionFinishing) &&
           m_evaluation.NgLatched() && settings.inspection_mode == 1;
}
