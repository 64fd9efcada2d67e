#pragma once
// What the sensor worker does with decoded items: the display picture (conversion, darkening,
// outline, acoustic overlay, spot markers), the thermal colours and the evaluation. Finished
// pictures leave the worker as immutable copies through queued signals; no widget is touched
// here.

#include "inspection/RunContext.h"
#include "inspection/SensorEvaluation.h"
#include "sensor/GraphCurves.h"
#include "sensor/SensorPipeline.h"
#include "sensor/SensorSettings.h"

#include <QImage>
#include <QObject>
#include <QRect>

#include <atomic>
#include <functional>

// Where a picture lands inside the picture area of the page, and whether it is drawn turned by
// 180 degrees.
struct PicturePlacement {
    QRect target;
    bool mirrored = false;
};

class CInspectionPipeline : public QObject, public SensorPipeline {
    Q_OBJECT
  public:
    // The thermal bitmap's place on the shown page.
    static constexpr QRect kThermalRect{0, 540, 640, 480};
    static constexpr int kModel3Margin = 40;

    explicit CInspectionPipeline(RunContext& run, QObject* parent = nullptr);

    static PicturePlacement PlacePicture(const QRect& pictureRect, int model, int rotation);

    void ConvertPicture(SensorFrames& frames, const SensorSettings& settings) override;
    void ClearPeakInArea() override;
    void OverlayAcousticMap(SensorFrames& frames, const SensorSettings& settings) override;
    void ShowPicture(const SensorFrames& frames, const SensorSettings& settings) override;
    void EvaluateSpectrum(SensorFrames& frames, const SensorSettings& settings) override;
    bool ColourThermal(const SensorFrames& frames) override;
    void ShowThermal() override;
    bool IsNgLatched() const override { return m_evaluation.NgLatched(); }
    // The graph's curve slots and display mode; without curves nothing is handed over and the
    // mode reads 0.
    void SetCurve(int slot, const float* levels) override;
    int GraphDisplayMode() const override;
    bool PictureFrozen(const SensorSettings& settings) const override;

    CSensorEvaluation& evaluation() { return m_evaluation; }
    // The camera model the decoder detected (it gives the spectrum's bin width).
    void setCameraModelSource(std::function<int()> source) { m_cameraModel = std::move(source); }
    // Not owned (the device's); set before the worker starts, nullptr detaches.
    void setGraphCurves(CGraphCurves* curves) { m_graphCurves.store(curves); }

  signals:
    // On the worker thread; connect with a queued connection. `model` and `rotation` give the
    // placement (PlacePicture).
    void pictureReady(const QImage& picture, int model, int rotation);
    void thermalReady(const QImage& bitmap);

  private:
    bool OutlineIsGreen(const SensorSettings& settings) const;

    RunContext& m_run;
    CSensorEvaluation m_evaluation;
    QImage m_thermal;
    std::function<int()> m_cameraModel;
    std::atomic<CGraphCurves*> m_graphCurves{nullptr};
};
