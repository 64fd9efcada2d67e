#include "evaluation/RecordingEvaluator.h"

#include "evaluation/OfflinePipeline.h"
#include "inspection/InspectionState.h"
#include "inspection/RunContext.h"
#include "sensor/SensorHost.h"
#include "sensor/SensorSettingsStore.h"
#include "sensor/SensorWorker.h"

#include <cmath>

namespace {

class OfflineHost : public SensorHost {
  public:
    std::atomic<int>& inspectionState() override { return m_state; }
    int audioShift() const override { return 0; }
    int fileSaveMode() const override { return 0; }
    int phonoluxVideoColor() const override { return 0; }
    bool sensorDebugFlag() const override { return false; }

  private:
    std::atomic<int> m_state{kInspectionRunning};
};

// Hands every item to the worker as the station's decoder does, and notes what each spectrum
// did to the evaluation.
class EvaluationSink : public StreamDecoderSink {
  public:
    EvaluationSink(CSensorWorker& worker, CSensorEvaluation& evaluation, const RunContext& run,
                   const CRecordingEvaluator::Trace& trace)
        : m_worker(worker), m_evaluation(evaluation), m_run(run), m_trace(trace) {}

    void onItem(const ItemInfo& item) override {
        const int countBefore = m_evaluation.LPassCount();
        const bool latchedBefore = m_evaluation.NgLatched();
        m_worker.onItem(item);
        if (item.kind != ItemKind::Spectrum || latchedBefore) {
            return;
        }
        ++spectra;
        if (m_evaluation.LPassCount() != countBefore && m_trace) {
            CountedSpectrum counted;
            counted.time_s = m_run.elapsed_s.load();
            counted.count = m_evaluation.LPassCount();
            counted.filterHits = m_evaluation.FilterHits();
            counted.peakLevel = m_evaluation.PeakLevel();
            m_trace(counted);
        }
    }

    int spectra = 0;

  private:
    CSensorWorker& m_worker;
    CSensorEvaluation& m_evaluation;
    const RunContext& m_run;
    const CRecordingEvaluator::Trace& m_trace;
};

}  // namespace

CRecordingEvaluator::CRecordingEvaluator() = default;
CRecordingEvaluator::~CRecordingEvaluator() = default;

RecordingVerdict CRecordingEvaluator::Evaluate(const RunRecordingContents& recording,
                                               const SensorSettings& settings, int inspectionTime_s,
                                               const Trace& trace, int plainModel) {
    RecordingVerdict verdict;
    RunRecordingContents contents = recording;
    if (!contents.plainCapture && !contents.chunks.empty()) {
        verdict.skippedBytes = SkipToFirstMessage(contents);
        if (verdict.skippedBytes < 0) {
            verdict.skippedBytes = 0;
            verdict.error = QStringLiteral("no camera message starts in the recording");
            return verdict;
        }
    }

    RunContext run;
    run.inspectionState.store(kInspectionRunning);
    // The station judges only the position of its one sensor, "Top".
    const QString& sensor = contents.header.sensorName;
    verdict.judgedAsTop =
        contents.plainCapture || sensor.isEmpty() || sensor == QLatin1String("Top");
    run.positionMatch.store(verdict.judgedAsTop);

    COfflinePipeline pipeline(run);
    pipeline.setCameraModelSource([this] { return m_decoder.cameraModel(); });
    CSensorEvaluation& evaluation = pipeline.evaluation();
    evaluation.ResetEvaluation();
    evaluation.ResetSpotTracker(settings.beamforming_count > 0 ? settings.beamforming_count : 0);

    CSensorSettingsStore store;
    store.publish(settings);
    OfflineHost host;
    std::atomic<uint32_t> sequence{0};
    std::atomic<int> runFlag{1};
    std::atomic<uint8_t> alive{1};
    m_decoder.reset();
    m_decoder.setCameraModel(contents.plainCapture ? plainModel : contents.header.cameraModel);
    CSensorWorker worker({m_ring, m_decoder, m_spectrogram, m_waveform, store, host, pipeline,
                          sequence, runFlag, alive, nullptr, nullptr});
    EvaluationSink sink(worker, evaluation, run, trace);

    for (const RunRecordingChunk& chunk : contents.chunks) {
        const double seconds = static_cast<double>(chunk.arrival_us) / 1e6;
        // The station's clock ends the run at its whole second; what came later was not judged.
        if (inspectionTime_s > 0 && std::floor(seconds) >= inspectionTime_s) {
            break;
        }
        run.elapsed_s.store(static_cast<float>(seconds));
        if (!m_decoder.feed(chunk.bytes.constData(), chunk.bytes.size(), &sink)) {
            verdict.error = QStringLiteral("the camera stream breaks off at %1 s: %2")
                                .arg(seconds, 0, 'f', 3)
                                .arg(m_decoder.lostReason());
            break;
        }
    }
    if (verdict.ok() && !contents.ok()) {
        verdict.error = QStringLiteral("damaged recording at byte %1: %2")
                            .arg(contents.errorOffset)
                            .arg(contents.error);
    }

    verdict.spectra = sink.spectra;
    verdict.counted = evaluation.LPassCount();
    verdict.lpassLimit = settings.lpass_limit;
    verdict.ng = settings.inspection_mode == 1 && evaluation.NgLatched();
    if (verdict.ng) {
        verdict.ngTime_s = evaluation.NgTime();
        verdict.peakLevel = evaluation.PeakLevel();
    }
    return verdict;
}
