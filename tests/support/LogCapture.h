#pragma once
// Collects the station's debug lines for the lifetime of the object.

#include "app/DebugLog.h"

#include <QString>
#include <QStringList>

#include <mutex>

class LogCapture {
  public:
    LogCapture() {
        m_previous = SetDebugLogSink([this](const QString& line) {
            std::lock_guard lock(m_mutex);
            m_lines << line;
        });
    }
    ~LogCapture() { SetDebugLogSink(m_previous); }

    QStringList lines() const {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    bool contains(const QString& line) const { return lines().contains(line); }

  private:
    mutable std::mutex m_mutex;
    QStringList m_lines;
    DebugLogSink m_previous;
};
