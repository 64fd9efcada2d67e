#pragma once
// The one acoustic camera of the station: its settings, its link (socket and receive ring), the
// decoding worker with its framing state and decoded frames, and the two history queues. The
// link's socket notifier and the ring's reset belong to the UI thread: a start or stop asked for
// on another thread is carried out there while the caller waits.

#include "app/UiThreadCaller.h"
#include "sensor/ConectSocket.h"
#include "sensor/GraphCurves.h"
#include "sensor/ReceiveRing.h"
#include "sensor/SensorPipeline.h"
#include "sensor/SensorSettingsStore.h"
#include "sensor/SpectrogramQueue.h"
#include "sensor/StreamDecoder.h"
#include "sensor/WaveFormQueue.h"

#include <QObject>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

class SensorHost;

class CPhonoluxDevice : public QObject {
    Q_OBJECT
  public:
    static constexpr int kStopWaitMs = 500;
    // How long a start or stop asked for on another thread waits for the UI thread to take it.
    static constexpr int kUiThreadWaitMs = 10000;

    explicit CPhonoluxDevice(SensorHost& host, QObject* parent = nullptr);
    ~CPhonoluxDevice() override;

    // Resets framing and ring, connects to the settings' ip_addr:port and starts the worker.
    // Does nothing more when the address is empty or the connect fails. From any thread.
    void Start();
    // Inspection state 0, the worker stopped (500 ms at most), the stop command, the socket
    // closed. True when a running worker was found. From any thread.
    bool Stop();
    // The measuring parameters (distance, frequencies) while the worker runs, without reconnect.
    bool SendMeasuringParameters();
    // A new brightness: published with the settings and sent to the camera at once.
    bool SendBrightness(int brightness);
    // Stop and tell the operator, once per started link. UI thread.
    void ConnectionLost();

    bool IsWorkerAlive() const { return m_alive.load() != 0; }
    bool IsRunFlagSet() const { return m_run.load() != 0; }

    // 1 = answered the ping and started, 0 = not tried, -1 = did not answer.
    int connectionState() const { return m_connectionState.load(); }
    void setConnectionState(int state) { m_connectionState.store(state); }

    // The settings in force (an immutable snapshot).
    CSensorSettingsStore::Snapshot settings() const { return m_settings.snapshot(); }
    // Copies, changes and publishes the settings; the worker sees them from its next item.
    CSensorSettingsStore::Snapshot updateSettings(
        const std::function<void(SensorSettings&)>& change) {
        return m_settings.update(change);
    }
    CSensorSettingsStore& settingsStore() { return m_settings; }
    // The area as it was when Setup opened, restored when Setup closes. UI thread.
    InspectionArea& savedArea() { return m_savedArea; }

    // Camera model 2 or 3; survives reconnects.
    int cameraModel() const { return m_decoder.cameraModel(); }
    void setCameraModel(int model) { m_decoder.setCameraModel(model); }

    // Not owned; nullptr restores the built-in one that does nothing.
    void setPipeline(SensorPipeline* pipeline);

    CConectSocket& socket() { return m_socket; }
    CReceiveRing& ring() { return m_ring; }
    CStreamDecoder& decoder() { return m_decoder; }
    const SensorFrames& frames() const { return m_decoder.frames(); }
    CSpectrogramQueue& spectrogramQueue() { return m_spectrogram; }
    CWaveFormQueue& waveFormQueue() { return m_waveform; }
    // The graph's curve slots; the graph window reads them, the pipeline writes them.
    CGraphCurves& graphCurves() { return m_graphCurves; }
    std::atomic<uint32_t>& sequenceCounter() { return m_sequence; }

  signals:
    // Emitted on the UI thread once the connection-lost procedure has run.
    void connectionLost();

  private:
    void joinWorker();
    void startOnUiThread();
    bool stopOnUiThread();
    void onFramingLost(unsigned linkGeneration);

    SensorHost& m_host;
    CSensorSettingsStore m_settings;
    InspectionArea m_savedArea;
    std::atomic<int> m_connectionState{0};
    CReceiveRing m_ring;
    CStreamDecoder m_decoder;
    CSpectrogramQueue m_spectrogram;
    CWaveFormQueue m_waveform;
    CGraphCurves m_graphCurves;
    CConectSocket m_socket;
    SensorPipeline m_idlePipeline;
    SensorPipeline* m_pipeline = &m_idlePipeline;
    std::atomic<uint32_t> m_sequence{0};
    std::atomic<int> m_run{0};
    std::atomic<uint8_t> m_alive{0};
    std::atomic<bool> m_linkUp{false};
    // Counts started links, so a framing loss reported late never ends a newer link. UI thread.
    unsigned m_linkGeneration = 0;
    std::thread m_worker;
    UiThreadCaller m_uiThread;
};
