#include "app/UiThreadCaller.h"

#include <QMetaObject>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <mutex>

struct UiThreadCaller::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    bool closed = false;
};

namespace {
struct Request {
    bool started = false;
    bool done = false;
    bool abandoned = false;  // its caller stopped waiting before it started
};
}  // namespace

UiThreadCaller::UiThreadCaller(QObject* parent)
    : QObject(parent), m_shared(std::make_shared<Shared>()) {}

UiThreadCaller::~UiThreadCaller() {
    close();
}

bool UiThreadCaller::call(std::function<void()> work, int limit_ms) {
    if (QThread::currentThread() == thread()) {
        work();
        return true;
    }
    const std::shared_ptr<Shared> shared = m_shared;
    auto request = std::make_shared<Request>();
    {
        std::lock_guard lock(shared->mutex);
        if (shared->closed) {
            return false;
        }
    }
    QMetaObject::invokeMethod(
        this,
        [shared, request, work = std::move(work)] {
            {
                std::lock_guard lock(shared->mutex);
                if (shared->closed || request->abandoned) {
                    return;  // its caller has been answered already
                }
                request->started = true;
            }
            work();
            std::lock_guard lock(shared->mutex);
            request->done = true;
            shared->changed.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(shared->mutex);
    const auto answered = [&] { return request->done || (shared->closed && !request->started); };
    if (limit_ms < 0) {
        shared->changed.wait(lock, answered);
    } else if (!shared->changed.wait_for(lock, std::chrono::milliseconds(limit_ms), answered) &&
               !request->started) {
        request->abandoned = true;
        return false;
    }
    // Started work may use what the caller handed it: it is waited for to its end.
    shared->changed.wait(lock, answered);
    return request->done;
}

void UiThreadCaller::close() {
    std::lock_guard lock(m_shared->mutex);
    m_shared->closed = true;
    m_shared->changed.notify_all();
}

bool UiThreadCaller::isClosed() const {
    std::lock_guard lock(m_shared->mutex);
    return m_shared->closed;
}
