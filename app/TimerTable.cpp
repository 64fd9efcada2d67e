#include "app/TimerTable.h"

void TimerTable::start(int id, int interval_ms, bool singleShot) {
    auto& timer = m_timers[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        timer->setTimerType(Qt::PreciseTimer);  // coarse timers may fire 5 % early
        connect(timer.get(), &QTimer::timeout, this, [this, id] { emit fired(id); });
    }
    timer->setSingleShot(singleShot);
    timer->start(interval_ms);
}

void TimerTable::stop(int id) {
    auto it = m_timers.find(id);
    if (it != m_timers.end()) {
        it->second->stop();
    }
}

bool TimerTable::isActive(int id) const {
    auto it = m_timers.find(id);
    return it != m_timers.end() && it->second->isActive();
}

int TimerTable::interval(int id) const {
    auto it = m_timers.find(id);
    return it == m_timers.end() ? 0 : it->second->interval();
}
