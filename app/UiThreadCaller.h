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
    // owning thread and the call returns when it has run (true), or false when close() answered
    // the caller or `limit_ms` (negative: no limit) passed before the work started; the work is
    // then dropped. Work that has started always finishes first.
    bool call(std::function<void()> work, int limit_ms = -1);

    void close();
    bool isClosed() const;

  private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};
