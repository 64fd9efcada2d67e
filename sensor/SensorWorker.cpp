#include "sensor/SensorWorker.h"

#include "app/DebugLog.h"
#include "sensor/CameraProtocol.h"
#include "sensor/ReceiveRing.h"
#include "sensor/SensorHost.h"
#include "sensor/SensorPipeline.h"
#include "sensor/SpectrogramQueue.h"
#include "sensor/StreamDecoder.h"
#include "sensor/WaveFormQueue.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace {
constexpr int kRunning = 1;
constexpr int kFrozenGraphMode = 2;
constexpr int kNgCurveSlot = 3;
constexpr int kLiveCurveSlot = 1;
constexpr int kDeviceParameter6 = 100;
}  // namespace

CSensorWorker::CSensorWorker(SensorWorkerLinks links)
    : m_links(std::move(links)), m_waveformElement(new uint8_t[CWaveFormQueue::kElementBytes]()) {
    m_links.decoder.setAudioShiftSource([this] { return m_links.host.audioShift(); });
}

CSensorWorker::~CSensorWorker() = default;

void CSensorWorker::Run() {
    SendStartCommands();
    while (m_links.runFlag.load() == kRunning) {
        const StepResult result = Step();
        if (result == StepResult::FramingLost) {
            break;
        }
        if (result == StepResult::Idle) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    m_links.aliveFlag.exchange(0);
}

void CSensorWorker::SendStartCommands() {
    std::memset(m_waveformElement.get(), 0, CWaveFormQueue::kElementBytes);
    const CSensorSettingsStore::Snapshot snapshot = m_links.settings.snapshot();
    const SensorSettings& settings = *snapshot;
    camera::StartValues values;
    values.model = m_links.decoder.cameraModel();
    values.range = settings.freq_range;
    values.distance = settings.distance;
    values.minimumHz = settings.freq_min;
    values.maximumHz = settings.freq_max;
    values.parameter7 = m_links.host.fileSaveMode() == 2 ? 25 : 50;
    values.parameter6 = kDeviceParameter6;
    values.brightness = settings.brightness;
    for (const QByteArray& command : camera::StartCommands(values, m_links.sequenceCounter)) {
        if (m_links.send) {
            m_links.send(command);
        }
    }
}

CSensorWorker::StepResult CSensorWorker::Step() {
    CStreamDecoder& decoder = m_links.decoder;
    if (decoder.needsData()) {
        if (!m_links.ring.dataReceived()) {
            return StepResult::Idle;
        }
        const char* chunk = nullptr;
        bool gapFollows = false;
        const int length = m_links.ring.take(&chunk, &gapFollows);
        if (length < 0) {
            return StepResult::Idle;
        }
        decoder.append(chunk, length);
        if (gapFollows) {
            return reportLoss(QStringLiteral("chunks were dropped by the full receive ring"));
        }
        return StepResult::Progress;
    }
    if (decoder.decodeStep(this) == CStreamDecoder::Step::FramingLost) {
        return reportLoss(decoder.lostReason());
    }
    return StepResult::Progress;
}

CSensorWorker::StepResult CSensorWorker::reportLoss(const QString& reason) {
    DebugLogf("[Sensor #%d] Framing lost: %s", m_links.settings.snapshot()->sensor_index,
              reason.toUtf8().constData());
    if (m_links.framingLost) {
        m_links.framingLost(reason);
    }
    return StepResult::FramingLost;
}

void CSensorWorker::onItem(const ItemInfo& item) {
    SensorFrames& frames = m_links.decoder.frames();
    // One item, one set of settings, however often they are changed meanwhile.
    const CSensorSettingsStore::Snapshot snapshot = m_links.settings.snapshot();
    const SensorSettings& settings = *snapshot;
    switch (item.kind) {
        case ItemKind::Picture:
            m_links.pipeline.ConvertPicture(frames, settings);
            break;
        case ItemKind::AcousticMap:
            handleAcousticMap(settings);
            break;
        case ItemKind::Spectrum:
            handleSpectrum(settings);
            break;
        case ItemKind::Waveform:
            handleWaveform(settings);
            break;
        case ItemKind::Thermal:
            if (m_links.pipeline.ColourThermal(frames)) {
                m_links.pipeline.ShowThermal();
            }
            break;
        case ItemKind::Skipped:
            break;
    }
}

void CSensorWorker::handleAcousticMap(const SensorSettings& settings) {
    SensorFrames& frames = m_links.decoder.frames();
    SensorPipeline& pipeline = m_links.pipeline;
    pipeline.ClearPeakInArea();
    if (frames.maxAcousticLevel >= static_cast<float>(settings.acoustic_level)) {
        pipeline.OverlayAcousticMap(frames, settings);
    }
    if (!pipeline.PictureFrozen(settings)) {
        pipeline.ShowPicture(frames, settings);
    }
}

bool CSensorWorker::queueReceivesThinned(uint32_t itemCount, const SensorSettings& settings) const {
    // The faster model is thinned in the high range: every fourth item reaches the queue.
    if (m_links.decoder.cameraModel() == camera::kModel320Grey) {
        return true;
    }
    switch (settings.freq_range) {
        case 0:
            return true;
        case 1:
            return itemCount % 4 == 0;
        default:
            return false;
    }
}

void CSensorWorker::handleSpectrum(const SensorSettings& settings) {
    SensorFrames& frames = m_links.decoder.frames();
    SensorPipeline& pipeline = m_links.pipeline;
    pipeline.EvaluateSpectrum(frames, settings);
    if (queueReceivesThinned(m_links.decoder.spectrumItemCount(), settings)) {
        m_links.spectrogram.PushRow(frames.spectrum.data());
    }
    pipeline.SetCurve(kLiveCurveSlot, frames.spectrum.data());
    if (pipeline.IsNgLatched() && pipeline.GraphDisplayMode() == kFrozenGraphMode) {
        pipeline.SetCurve(kNgCurveSlot, frames.ngSpectrum.data());
    }
}

void CSensorWorker::handleWaveform(const SensorSettings& settings) {
    if (m_links.pipeline.IsNgLatched()) {
        return;
    }
    const SensorFrames& frames = m_links.decoder.frames();
    uint8_t* element = m_waveformElement.get();
    constexpr int partBytes = CWaveFormQueue::kPartBytes;
    if (m_links.decoder.cameraModel() == camera::kModel320Grey) {
        std::memcpy(element, frames.waveform[0].data(), partBytes);
        std::memcpy(element + partBytes, frames.waveform[1].data(), partBytes);
    } else {
        if (!queueReceivesThinned(m_links.decoder.waveformItemCount(), settings)) {
            return;
        }
        std::memcpy(element + 2 * partBytes, frames.waveform[0].data(), partBytes);
    }
    m_links.waveform.PushDiscardingOldest(element);
}
