// A run recording judged offline: any bytes give a verdict or a reason, never a crash, and the
// trimming to whole camera messages never invents bytes.

#include "evaluation/RecordingEvaluator.h"
#include "sensor/RunRecording.h"
#include "tests/fuzz/FuzzChecks.h"

#include <cstddef>
#include <cstdint>

namespace {

SensorSettings JudgingSettings() {
    SensorSettings settings;
    settings.inspection_mode = 1;
    settings.required_filter_count = 1;
    settings.lpass_limit = 2;
    settings.focus_time = 100.0f;
    settings.filters[0] = {1, 8000, 5000, 40, 40};
    settings.filters[1] = {1, 20000, 100, 40, 40};
    settings.beamforming_filter = 1;
    settings.beamforming_count = 3;
    return settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Built once: its decoder's buffer and the worker's ring are large mappings.
    static CRecordingEvaluator evaluator;
    static const SensorSettings settings = JudgingSettings();
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    RunRecordingContents contents = ReadRunRecording(file);
    const qint64 total = contents.totalBytes();
    if (!contents.plainCapture) {
        RunRecordingContents trimmed = contents;
        const qint64 skipped = SkipToFirstMessage(trimmed);
        fuzz::Check(skipped >= -1 && skipped <= total);
        if (skipped >= 0) {
            fuzz::Check(trimmed.totalBytes() == total - skipped);
            const qint64 dropped = DropPartialLastMessage(trimmed);
            fuzz::Check(dropped >= 0 && trimmed.totalBytes() == total - skipped - dropped);
        }
    }
    const RecordingVerdict verdict = evaluator.Evaluate(contents, settings, 30);
    fuzz::Check(verdict.counted >= 0 && verdict.spectra >= 0);
    fuzz::Check(!verdict.ng || verdict.counted >= settings.lpass_limit);
    fuzz::Keep(static_cast<uint64_t>(verdict.ng));
    return 0;
}
