#include "streaming/StreamingPush.h"

#include "app/TimerTable.h"

CStreamingPush::CStreamingPush(TimerTable& timers, std::function<QImage(int)> viewPixels,
                               QObject* parent)
    : QObject(parent), m_timers(timers), m_viewPixels(std::move(viewPixels)) {
    for (int index = 0; index < 2; ++index) {
        m_links[index] = std::make_unique<CWebStreamingSocket>(index, [this] { return UgvCode(); });
    }
    connect(&m_timers, &TimerTable::fired, this, [this](int id) {
        if (id == kTimerPush) {
            OnPushTimer();
        }
    });
}

CStreamingPush::~CStreamingPush() {
    Stop();
}

QString CStreamingPush::UgvCode() const {
    std::lock_guard lock(m_codeMutex);
    return m_ugvCode;
}

void CStreamingPush::StartPicturePush(const QString& ugvCode) {
    {
        std::lock_guard lock(m_codeMutex);
        m_ugvCode = ugvCode;
    }
    if (m_started) {
        return;
    }
    m_started = true;
    for (auto& link : m_links) {
        link->StartPushThread();
    }
    m_ticks = 0;
    m_timers.start(kTimerPush, kPush_ms, false);
}

void CStreamingPush::Stop() {
    m_timers.stop(kTimerPush);
    for (auto& link : m_links) {
        link->Stop();
    }
}

void CStreamingPush::OnPushTimer() {
    if (++m_ticks < kTicksPerRequest) {
        return;
    }
    m_ticks = 0;
    for (int index = 0; index < 2; ++index) {
        // A link still busy with the last request is not handed a new picture.
        if (!m_links[index]->IsRequestPending()) {
            m_links[index]->RequestPush(m_viewPixels ? m_viewPixels(index) : QImage());
        }
    }
}
