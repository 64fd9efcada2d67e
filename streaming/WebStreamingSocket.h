#pragma once
// One streaming link: the station is the client of a streaming server and pushes the live
// thumbnail of one view. The push thread connects, introduces the station and sends a picture for
// every request; the UI thread hands it the pane's pixels with each request and reads the
// server's commands. Link 0 shows the top view, link 1 the bottom view.

#include "app/TcpClientSocket.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class CWebStreamingSocket : public QObject {
    Q_OBJECT
  public:
    static constexpr int kFirstPort = 13308;
    static constexpr int kConnectTimeout_ms = 1500;
    static constexpr int kConnectedPause_ms = 100;
    static constexpr int kRetryPause_ms = 3000;
    static constexpr int kSendTimeout_ms = 1000;
    static constexpr int kReadBytes = 1024;
    static constexpr int kIdlePoll_ms = 1;

    // `ugvCode` is read on the push thread at each connect.
    CWebStreamingSocket(int index, std::function<QString()> ugvCode, QObject* parent = nullptr);
    // Stops and joins the push thread.
    ~CWebStreamingSocket() override;

    int Index() const { return m_index; }
    void SetServerAddress(const QString& address);
    QString ServerAddress() const;
    void SetServerPort(int port) { m_port.store(port); }
    int ServerPort() const { return m_port.load(); }
    bool IsConnected() const { return m_connected.load(); }

    // Starts the push thread once.
    void StartPushThread();
    void Stop();
    // True while the last request has not been taken by the push thread.
    bool IsRequestPending() const { return m_request.load(); }
    // A push request with the pixels the view shows now (UI thread).
    void RequestPush(const QImage& pane);

    // What went out, for tests and the statistics.
    int PicturesSent() const { return m_picturesSent.load(); }

  private:
    void PushThread();
    bool PushPicture(const QImage& pane);
    bool ConnectToServer();
    bool SendAll(const QByteArray& bytes);
    void SendPendingAcknowledgements();
    void OnReceive(const QByteArray& bytes);
    void OnClose();
    bool Pause(int ms);
    QString ThreadName() const;

    const int m_index;
    std::function<QString()> m_ugvCode;
    TcpClientSocket m_socket;
    mutable std::mutex m_addressMutex;
    QString m_address = QStringLiteral("127.0.0.1");
    std::atomic<int> m_port;
    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_request{false};
    std::atomic<int> m_pendingAcks{0};
    std::atomic<int> m_picturesSent{0};
    std::mutex m_paneMutex;
    QImage m_pane;

    std::mutex m_runMutex;
    std::condition_variable m_runChanged;
    bool m_running = false;
    std::thread m_thread;
};
