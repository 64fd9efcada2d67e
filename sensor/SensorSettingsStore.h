#pragma once
// The sensor settings as the decoding worker sees them: an immutable snapshot that is replaced
// as a whole. Whoever changes a setting copies, changes and publishes; the worker takes the
// current snapshot for each item, so no field is ever written while the worker reads it.

#include "sensor/SensorSettings.h"

#include <functional>
#include <memory>
#include <mutex>

class CSensorSettingsStore {
  public:
    using Snapshot = std::shared_ptr<const SensorSettings>;

    CSensorSettingsStore() : m_current(std::make_shared<const SensorSettings>()) {}

    // The settings now in force; they never change under the holder.
    Snapshot snapshot() const {
        std::lock_guard lock(m_mutex);
        return m_current;
    }
    Snapshot publish(const SensorSettings& settings) {
        std::lock_guard writers(m_writerMutex);
        return replace(settings);
    }
    // Copy, change and publish in one step, so that two writers never lose each other's change.
    // Returns what was published.
    Snapshot update(const std::function<void(SensorSettings&)>& change) {
        std::lock_guard writers(m_writerMutex);
        SensorSettings next = *snapshot();
        change(next);
        return replace(next);
    }

  private:
    Snapshot replace(const SensorSettings& settings) {
        Snapshot next = std::make_shared<const SensorSettings>(settings);
        std::lock_guard lock(m_mutex);
        m_current = next;
        return next;
    }

    mutable std::mutex m_mutex;
    std::mutex m_writerMutex;
    Snapshot m_current;
};
