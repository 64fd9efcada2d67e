#pragma once
// Judges a run recording again: its chunks go through the station's decoder and sensor worker
// into the inspection pipeline, each at its arrival time as the run time, as the station judged
// them while the run was going.

#include "sensor/ReceiveRing.h"
#include "sensor/RunRecording.h"
#include "sensor/SensorSettings.h"
#include "sensor/SpectrogramQueue.h"
#include "sensor/StreamDecoder.h"
#include "sensor/WaveFormQueue.h"

#include <QString>

#include <array>
#include <functional>

// A spectrum that counted towards the L.Pass limit.
struct CountedSpectrum {
    float time_s = 0.0f;
    int count = 0;
    std::array<int, kFilterCount> filterHits{};  // bins at or above the inspection level
    float peakLevel = 0.0f;
};

struct RecordingVerdict {
    QString error;  // not judged (or judged up to the damage) when set
    bool ng = false;
    float ngTime_s = 0.0f;   // as the station records it: 0 for a PASS
    float peakLevel = 0.0f;  // as the station records it: 0 for a PASS
    int counted = 0;         // spectra counted towards the L.Pass limit
    int lpassLimit = 0;
    int spectra = 0;          // spectra evaluated during the run
    qint64 skippedBytes = 0;  // the tail of a message the run began in
    bool judgedAsTop = true;  // false: a "Bottom" run, which the station never judges

    bool ok() const { return error.isEmpty(); }
};

class CRecordingEvaluator {
  public:
    using Trace = std::function<void(const CountedSpectrum&)>;

    CRecordingEvaluator();
    ~CRecordingEvaluator();
    CRecordingEvaluator(const CRecordingEvaluator&) = delete;
    CRecordingEvaluator& operator=(const CRecordingEvaluator&) = delete;

    // `inspectionTime_s` (above 0) ends the run as the station's clock does. A plain capture has
    // no arrival times: all of it is taken at run time 0, as model `plainModel`.
    RecordingVerdict Evaluate(const RunRecordingContents& recording, const SensorSettings& settings,
                              int inspectionTime_s, const Trace& trace = {}, int plainModel = 3);

  private:
    CReceiveRing m_ring;  // the worker's links need one; it stays empty
    CStreamDecoder m_decoder;
    CSpectrogramQueue m_spectrogram;
    CWaveFormQueue m_waveform;
};
