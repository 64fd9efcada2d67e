#include "sensor/PhonoluxDevice.h"

#include "app/DebugLog.h"
#include "app/StationDialogs.h"
#include "app/Utilities.h"
#include "sensor/CameraProtocol.h"
#include "sensor/SensorHost.h"
#include "sensor/SensorWorker.h"

#include <QMetaObject>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>

namespace {
constexpr int kWorkerNiceLevel = -2;
}

CPhonoluxDevice::CPhonoluxDevice(SensorHost& host, QObject* parent)
    : QObject(parent), m_host(host), m_socket(m_ring, this), m_uiThread(this) {
    connect(&m_socket, &CConectSocket::closed, this, &CPhonoluxDevice::ConnectionLost);
}

CPhonoluxDevice::~CPhonoluxDevice() {
    // A thread still waiting for a start or stop is answered; nothing runs for it any more.
    m_uiThread.close();
    m_run.exchange(0);
    joinWorker();
    m_socket.Close();
}

void CPhonoluxDevice::setPipeline(SensorPipeline* pipeline) {
    m_pipeline = pipeline != nullptr ? pipeline : &m_idlePipeline;
}

void CPhonoluxDevice::joinWorker() {
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

void CPhonoluxDevice::Start() {
    if (!m_uiThread.call([this] { startOnUiThread(); }, kUiThreadWaitMs) &&
        !m_uiThread.isClosed()) {
        DebugLogf("[Sensor] Start not carried out: the UI thread did not take it within %d ms",
                  kUiThreadWaitMs);
    }
}

void CPhonoluxDevice::startOnUiThread() {
    // A worker that outlived the wait of an earlier Stop is finished first.
    joinWorker();
    m_decoder.reset();
    m_ring.reset();
    m_decoder.frames().ngSpectrumStamp = 0;

    const CSensorSettingsStore::Snapshot settings = m_settings.snapshot();
    if (settings->ip_addr.isEmpty()) {
        return;
    }
    if (!m_socket.Connect(settings->ip_addr, settings->port)) {
        m_socket.SetConnected(false);
        return;
    }
    m_socket.SetConnected(true);
    m_linkUp.store(true);
    const unsigned generation = ++m_linkGeneration;

    m_run.exchange(1);
    m_alive.exchange(1);
    if (settings->sensor_index != 0) {
        return;
    }
    SensorWorkerLinks links{m_ring,
                            m_decoder,
                            m_spectrogram,
                            m_waveform,
                            m_settings,
                            m_host,
                            *m_pipeline,
                            m_sequence,
                            m_run,
                            m_alive,
                            [this](const QByteArray& command) { return m_socket.Send(command); },
                            [this, generation](const QString&) {
                                QMetaObject::invokeMethod(
                                    this, [this, generation] { onFramingLost(generation); },
                                    Qt::QueuedConnection);
                            }};
    m_worker = std::thread([links] {
        // Decoding must keep pace with the camera; without the privilege the thread stays at
        // the normal level.
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWorkerNiceLevel);
        CSensorWorker worker(links);
        worker.Run();
    });
}

bool CPhonoluxDevice::Stop() {
    bool found = false;
    if (!m_uiThread.call([this, &found] { found = stopOnUiThread(); }, kUiThreadWaitMs) &&
        !m_uiThread.isClosed()) {
        DebugLogf("[Sensor] Stop not carried out: the UI thread did not take it within %d ms",
                  kUiThreadWaitMs);
    }
    return found;
}

bool CPhonoluxDevice::stopOnUiThread() {
    m_host.inspectionState().store(0);
    bool found = false;
    if (m_run.load() == 1) {
        found = true;
        m_run.exchange(0);
        const uint32_t started = TickCountMs();
        int polls = 0;
        while (m_alive.load() != 0) {
            const uint32_t elapsed = TickCountMs() - started;
            if (elapsed >= static_cast<uint32_t>(kStopWaitMs)) {
                DebugLogf("T.E Count[%d] = %d, t = %d", m_settings.snapshot()->sensor_index, polls,
                          static_cast<int>(elapsed));
                break;
            }
            m_run.exchange(0);
            ++polls;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (m_alive.load() == 0) {
            joinWorker();
        }
    }
    m_socket.Send(camera::EncodeCommand(camera::kIdStop, camera::NextSequence(m_sequence)));
    m_socket.CloseAfterSending();
    m_linkUp.store(false);
    return found;
}

bool CPhonoluxDevice::SendMeasuringParameters() {
    const CSensorSettingsStore::Snapshot settings = m_settings.snapshot();
    return m_socket.Send(
        camera::EncodeCommand(camera::kIdSetParameters, camera::NextSequence(m_sequence),
                              camera::MeasuringParametersPayload(
                                  settings->distance, settings->freq_min, settings->freq_max)));
}

bool CPhonoluxDevice::SendBrightness(int brightness) {
    m_settings.update([brightness](SensorSettings& settings) { settings.brightness = brightness; });
    return m_socket.Send(camera::EncodeCommand(camera::kIdSetParameters,
                                               camera::NextSequence(m_sequence),
                                               camera::BrightnessPayload(brightness)));
}

void CPhonoluxDevice::onFramingLost(unsigned linkGeneration) {
    if (linkGeneration != m_linkGeneration) {
        return;  // the link it was reported for has been stopped and another started since
    }
    m_socket.SetConnected(false);
    ConnectionLost();
}

void CPhonoluxDevice::ConnectionLost() {
    if (!m_linkUp.exchange(false)) {
        return;
    }
    Stop();
    ShowMessage(QStringLiteral("네크워크 연결 해제"),
                QStringLiteral("센서와 네크워크 연결을 확인하고 다시 시작해 주세요."));
    m_host.onSensorConnectionLost();
    emit connectionLost();
}
