#include "app/UiThreadCaller.h"

#include <QMetaObject>
#include <QThread>

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
};
}  // namespace

UiThreadCaller::UiThreadCaller(QObject* parent)
    : QObject(parent), m_shared(std::make_shared<Shared>()) {}

UiThreadCaller::~UiThreadCaller() {
    close();
}

bool UiThreadCaller::call(std::function<void()> work) {
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
                if (shared->closed) {
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
    shared->changed.wait(lock,
                         [&] { return request->done || (shared->closed && !request->started); });
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
