#include "inspection/SensorEvaluation.h"

#include "inspection/InspectionState.h"

#include "app/DebugLog.h"
#include "sensor/CameraProtocol.h"

#include <QString>

#include <algorithm>
#include <cmath>

float CSensorEvaluation::BinWidth(int cameraModel, int frequencyRange) {
    // The evaluation computes its bin bounds in single precision.
    return static_cast<float>(camera::BinWidthHz(cameraModel, frequencyRange));
}

void CSensorEvaluation::EvaluateSpectrum(const float* levels, uint64_t timeStamp,
                                         const SensorSettings& settings,
                                         const EvaluationInputs& inputs) {
    if (inputs.inspectionState != kInspectionRunning || m_ngLatch.load() != 0 ||
        !inputs.positionMatch) {
        return;
    }
    float peak = 0.0f;
    const float binWidth = BinWidth(inputs.cameraModel, settings.freq_range);
    int filtersHit = 0;
    for (int n = 0; n < kFilterCount; ++n) {
        const SensorFilter& filter = settings.filters[n];
        int hits = 0;
        if (filter.enable == 1 && binWidth > 0.0f) {
            // Bounds in single precision; a band outside 0..1023 is cut to the spectrum.
            const float first = static_cast<float>(filter.freq_min) / binWidth;
            const float last = static_cast<float>(filter.freq_max) / binWidth;
            const int from = std::max(0, static_cast<int>(std::max(first, 0.0f)));
            const int to = static_cast<int>(std::min(last, static_cast<float>(kSpectrumBins - 1)));
            const float threshold = static_cast<float>(filter.inspection_level);
            for (int i = from; i <= to; ++i) {
                if (levels[i] >= threshold) {
                    ++hits;
                    if (levels[i] > peak) {
                        peak = levels[i];
                    }
                }
            }
        }
        m_filterHits[n] = hits;
        filtersHit += hits > 0;
    }
    m_peakLevel.store(peak);

    const bool counting =
        settings.inspection_mode == 1 && filtersHit >= settings.required_filter_count &&
        settings.required_filter_count > 0 && m_ngLatch.load() == 0 && m_peakInArea.load();
    if (!counting) {
        return;
    }
    const float t = inputs.elapsed_s;
    if (settings.initial_exception_time <= t && t < settings.focus_time) {
        const int count = m_lpassCount.fetch_add(1) + 1;
        if (inputs.debugFlag == 1) {
            QString marks;
            for (int n = 0; n < kFilterCount; ++n) {
                marks += QString::asprintf(m_filterHits[n] > 0 ? " [%d]O" : " [%d]X", n + 1);
            }
            DebugLog(QString::asprintf("[%d][L.Pass]Limit = %d, Count = %d, F.Num = %d/%d /",
                                       settings.sensor_index, settings.lpass_limit, count,
                                       filtersHit, settings.required_filter_count) +
                     marks);
        }
        if (count >= settings.lpass_limit) {
            std::copy(levels, levels + kSpectrumBins, m_ngSpectrum.begin());
            m_ngTime.store(t);
            m_ngSpectrumTimeStamp = timeStamp;
            m_ngLatch.store(1);
        }
    } else if (inputs.debugFlag == 1) {
        if (t < settings.initial_exception_time) {
            DebugLog(QString::asprintf("Skip : L.Pass 초기 집중검사 예외 : %.1f/%.1f 초", t,
                                       settings.initial_exception_time));
        }
        if (t >= settings.focus_time) {
            DebugLog(QString::asprintf("Skip : L.Pass 집중검사 예외 : %.1f/%.1f 초", t,
                                       settings.focus_time));
        }
    }
}

bool CSensorEvaluation::CheckSpot(int column, int row, float level,
                                  const SensorSettings& settings) {
    const int pending = m_pendingTrackerReset.exchange(kNoResetPending);
    if (pending != kNoResetPending) {
        ResetSpotTracker(pending);
    }
    const int w = std::clamp(m_compared, 1, kSpotTrackerEntries);
    if (m_examinations == 0) {
        m_spots[0] = {column, row, level};
    } else if (m_examinations >= kSpotTrackerEntries) {
        for (int i = 0; i <= w - 2; ++i) {
            m_spots[i] = m_spots[i + 1];
        }
        m_spots[w - 1] = {column, row, level};
    }
    if (m_examinations < 1 << 30) {
        ++m_examinations;
    }
    if (settings.beamforming_filter != 1) {
        return true;  // the stability check is switched off
    }
    for (int i = 0; i <= w - 2; ++i) {
        const int dc = m_spots[i].column - m_spots[i + 1].column;
        const int dr = m_spots[i].row - m_spots[i + 1].row;
        if (dc * dc + dr * dr > 4) {
            return false;
        }
    }
    return true;
}

void CSensorEvaluation::ResetEvaluation() {
    m_ngLatch.store(0);
    m_ngTime.store(0.0f);
    m_peakLevel.store(0.0f);
    m_lpassCount.store(0);
    m_ngSpectrum.fill(0.0f);
}

void CSensorEvaluation::RequestSpotTrackerReset(int beamformingCount) {
    m_pendingTrackerReset.store(std::max(beamformingCount, 0));
}

void CSensorEvaluation::ResetSpotTracker(int beamformingCount) {
    m_spots.fill(Spot{});
    m_examinations = 0;
    if (beamformingCount > 0) {
        m_compared = std::min(beamformingCount, kSpotTrackerEntries);
    }
}
