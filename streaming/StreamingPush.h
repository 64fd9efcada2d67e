#pragma once
// The picture push to the two streaming servers: link 0 carries the top view, link 1 the bottom
// view. It starts once, when the control server has named the vehicle, and then every second
// tick of the page's 100 ms push timer hands each idle link the pixels its view shows now.

#include "streaming/WebStreamingSocket.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>

class TimerTable;

class CStreamingPush : public QObject {
    Q_OBJECT
  public:
    static constexpr int kTimerPush = 3036;
    static constexpr int kPush_ms = 100;
    static constexpr int kTicksPerRequest = 2;

    // `viewPixels(index)` gives what view 0 (top) or 1 (bottom) shows now; UI thread.
    CStreamingPush(TimerTable& timers, std::function<QImage(int)> viewPixels,
                   QObject* parent = nullptr);
    ~CStreamingPush() override;

    CWebStreamingSocket& Link(int index) { return *m_links[index]; }
    // Starts the push threads and the timer the first time; later calls only change the code.
    void StartPicturePush(const QString& ugvCode);
    bool IsStarted() const { return m_started; }
    QString UgvCode() const;
    // Ends both push threads (at shutdown).
    void Stop();

    void OnPushTimer();

  private:
    TimerTable& m_timers;
    std::function<QImage(int)> m_viewPixels;
    std::unique_ptr<CWebStreamingSocket> m_links[2];
    mutable std::mutex m_codeMutex;
    QString m_ugvCode;
    bool m_started = false;
    int m_ticks = 0;
};
