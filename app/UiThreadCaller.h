#pragma once
// Runs work on the thread that owns this object (the UI thread) for a caller on another thread,
// and makes the caller wait for it. Closing answers every caller still waiting for work that has
// not started (the work is then dropped) and makes later calls return at once, so a shutdown is
// never held up by a thread that waits for the UI thread.

#include <QObject>

#include <functional>
#include <memory>

class UiThreadCaller : public QObject {
    Q_OBJECT
  public:
    explicit UiThreadCaller(QObject* parent = nullptr);
    // Closes.
    ~UiThreadCaller() override;

    // On the owning thread the work runs at once. From another thread it is queued to the
    // owning thread and the call returns when it has run (true) or when the caller was answered
    // by close() before it started (false). Work that has started always finishes first.
    bool call(std::function<void()> work);

    void close();
    bool isClosed() const;

  private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};
