#pragma once
// Judges the sensor while a run is going: filter bands above their inspection levels, a stable
// loud spot inside the inspection area and a time inside the focus window, counted up to the
// L.Pass limit, latch the run as NG. The worker thread evaluates; the UI thread resets and
// reads the results, so the values it reads are atomics.

#include "sensor/SensorSettings.h"

#include <array>
#include <atomic>
#include <cstdint>

inline constexpr int kSpectrumBins = 1024;
inline constexpr int kSpotTrackerEntries = 20;

// What the run controller and the worker tell the evaluation about the moment.
struct EvaluationInputs {
    int inspectionState = 0;  // InspectionState
    float elapsed_s = 0.0f;   // run time
    bool positionMatch = false;
    int cameraModel = 3;
    int debugFlag = 0;
};

class CSensorEvaluation {
  public:
    // Hz per spectrum bin for a camera model and frequency range; 0 when unknown.
    static float BinWidth(int cameraModel, int frequencyRange);

    void EvaluateSpectrum(const float* levels, uint64_t timeStamp, const SensorSettings& settings,
                          const EvaluationInputs& inputs);
    // The stability check of a loud spot at cell (column, row): true = accept.
    bool CheckSpot(int column, int row, float level, const SensorSettings& settings);
    void ResetEvaluation();
    // Clears the tracker; a positive count becomes the compared number (at most 20). On the
    // thread that checks spots (the worker).
    void ResetSpotTracker(int beamformingCount);
    // From any other thread (a product selection): the worker resets the tracker before its
    // next spot check, so the tracker is never written while it is read.
    void RequestSpotTrackerReset(int beamformingCount);

    // Results.
    bool NgLatched() const { return m_ngLatch.load() != 0; }
    float NgTime() const { return m_ngTime.load(); }
    float PeakLevel() const { return m_peakLevel.load(); }
    int LPassCount() const { return m_lpassCount.load(); }
    const std::array<float, kSpectrumBins>& NgSpectrum() const { return m_ngSpectrum; }
    uint64_t NgSpectrumTimeStamp() const { return m_ngSpectrumTimeStamp; }
    const std::array<int, kFilterCount>& FilterHits() const { return m_filterHits; }
    int ComparedSpots() const { return m_compared; }

    // Set by each acoustic map: its loudest in-area cell passed the spot check.
    void SetPeakInArea(bool inArea) { m_peakInArea.store(inArea); }
    bool PeakInArea() const { return m_peakInArea.load(); }
    void ClearNgLatch() { m_ngLatch.store(0); }
    // A PASS verdict shows no NG time and no peak level.
    void ClearNgTimeAndPeak() {
        m_ngTime.store(0.0f);
        m_peakLevel.store(0.0f);
    }

  private:
    struct Spot {
        int column = 0;
        int row = 0;
        float level = 0.0f;
    };

    std::array<int, kFilterCount> m_filterHits{};
    std::atomic<float> m_peakLevel{0.0f};
    std::atomic<int> m_lpassCount{0};
    std::atomic<uint8_t> m_ngLatch{0};
    std::atomic<float> m_ngTime{0.0f};
    std::array<float, kSpectrumBins> m_ngSpectrum{};
    uint64_t m_ngSpectrumTimeStamp = 0;
    std::atomic<bool> m_peakInArea{false};

    static constexpr int kNoResetPending = -1;
    std::atomic<int> m_pendingTrackerReset{kNoResetPending};
    std::array<Spot, kSpotTrackerEntries> m_spots{};
    int m_examinations = 0;
    int m_compared = 2;  // until settings are loaded
};
