#pragma once
// The decoding worker of one sensor: sends the start commands, drains the receive ring through
// the stream decoder and routes each item to the queues and the pipeline. Run() is the thread
// body; Step() is one pass of its loop, for callers that drive it themselves.

#include "sensor/SensorSettingsStore.h"
#include "sensor/StreamDecoderSink.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class CReceiveRing;
class CStreamDecoder;
class CSpectrogramQueue;
class CWaveFormQueue;
class SensorHost;
class SensorPipeline;

struct SensorWorkerLinks {
    CReceiveRing& ring;
    CStreamDecoder& decoder;
    CSpectrogramQueue& spectrogram;
    CWaveFormQueue& waveform;
    // The settings in force; the worker takes a snapshot per item.
    const CSensorSettingsStore& settings;
    SensorHost& host;
    SensorPipeline& pipeline;
    std::atomic<uint32_t>& sequenceCounter;
    std::atomic<int>& runFlag;
    std::atomic<uint8_t>& aliveFlag;
    // Sends one command to the camera; from the worker thread.
    std::function<bool(const QByteArray&)> send;
    // The framing is lost; the reason is already written to the debug output.
    std::function<void(const QString& reason)> framingLost;
};

class CSensorWorker : public StreamDecoderSink {
  public:
    enum class StepResult { Idle, Progress, FramingLost };

    explicit CSensorWorker(SensorWorkerLinks links);
    ~CSensorWorker() override;

    void Run();
    void SendStartCommands();
    StepResult Step();

    void onItem(const ItemInfo& item) override;

  private:
    void handleSpectrum(const SensorSettings& settings);
    void handleWaveform(const SensorSettings& settings);
    void handleAcousticMap(const SensorSettings& settings);
    bool queueReceivesThinned(uint32_t itemCount, const SensorSettings& settings) const;
    StepResult reportLoss(const QString& reason);

    SensorWorkerLinks m_links;
    std::unique_ptr<uint8_t[]> m_waveformElement;
};
