#pragma once
// The decoded data of one sensor: the newest item of each kind, as the worker's later steps
// (picture processing, evaluation, graph) and tests read them.

#include <array>
#include <cstdint>
#include <vector>

struct SensorFrames {
    static constexpr int kRawPictureBytes = 1024000;
    static constexpr int kDisplayPictureBytes = 4096000;
    static constexpr int kMapCells = 4000;
    static constexpr int kSpectrumBins = 1024;
    static constexpr int kWaveformSamples = 2048;
    static constexpr int kThermalValues = 19200;
    static constexpr int kStatusBytes = 72;

    SensorFrames() : rawPicture(kRawPictureBytes), displayPicture(kDisplayPictureBytes) {}

    std::vector<uint8_t> rawPicture;  // grey (model 2) or colour mosaic (model 3), row by row
    int pictureWidth = 0;
    int pictureHeight = 0;
    std::vector<uint8_t> displayPicture;         // blue, green, red, alpha per pixel
    std::array<float, kMapCells> acousticMap{};  // dB, row by row
    int mapColumns = 0;
    int mapRows = 0;
    float maxAcousticLevel = 0.0f;
    std::array<float, kSpectrumBins> spectrum{};  // dB
    std::array<std::array<int32_t, kWaveformSamples>, 2> waveform{};
    int waveformBlocks = 0;                          // 2 for model 2, 1 for model 3
    std::array<uint16_t, kThermalValues> thermal{};  // raw values (low 14 bits), row by row
    std::array<uint8_t, kStatusBytes> statusBlock{};

    uint64_t pictureStamp = 0;
    uint64_t mapStamp = 0;
    uint64_t spectrumStamp = 0;
    uint64_t waveformStamp = 0;
    uint64_t thermalStamp = 0;

    // Written by the evaluation when its NG latch is set; handed to the graph while latched.
    std::array<float, kSpectrumBins> ngSpectrum{};
    uint64_t ngSpectrumStamp = 0;
};
