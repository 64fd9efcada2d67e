#pragma once
// The control link: the station is the client of the control server on port 13307. A thread of
// its own connects and, while the link is down, tries again every 3.1 s; every connect is
// followed at once by the request for the vehicle information. Received bytes are cut into frames
// on the UI thread and every command frame's text goes to `commandReceived`. Messages may be
// sent from any thread; each frame goes out whole.

#include "app/TcpClientSocket.h"
#include "remote/ControlFrame.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class CWebServerSocket : public QObject {
    Q_OBJECT
  public:
    static constexpr int kServerPort = 13307;
    static constexpr int kConnectTimeout_ms = 1500;
    static constexpr int kKeepAliveIdle_ms = 5000;
    static constexpr int kKeepAliveInterval_ms = 3000;
    static constexpr int kConnectedPause_ms = 100;
    static constexpr int kRetryPause_ms = 3000;
    static constexpr int kSendTimeout_ms = 1000;

    explicit CWebServerSocket(QObject* parent = nullptr);
    // Stops and joins the link thread.
    ~CWebServerSocket() override;

    // Dotted IPv4; takes effect at the next connect.
    void SetServerAddress(const QString& address);
    QString ServerAddress() const;
    // The port is fixed in the field; tests run their server on a free port.
    void SetServerPort(int port) { m_port.store(port); }

    // Starts Thread_Web_Server once; `firstMessage` is sent right after every connect.
    void Start(std::function<void()> afterConnect);
    // Ends the thread and closes the link (at shutdown).
    void Stop();

    bool IsConnected() const { return m_connected.load(); }
    void SendControlMessage(const QString& text);
    void SendStatusMessage(const QString& text);

  signals:
    // The text of a command frame, in arrival order (UI thread).
    void commandReceived(const QString& text);

  private:
    void Thread_Web_Server();
    bool ConnectToServer();
    void Send(uint16_t objectId, const QString& text);
    void OnReceive(const QByteArray& bytes);
    void OnClose();
    // Sleeps, or returns early when the thread is asked to end.
    bool Pause(int ms);

    TcpClientSocket m_socket;
    ControlFrameReader m_reader;
    mutable std::mutex m_addressMutex;
    QString m_address = QStringLiteral("127.0.0.1");
    std::atomic<int> m_port{kServerPort};
    std::atomic<bool> m_connected{false};
    std::function<void()> m_afterConnect;

    std::mutex m_runMutex;
    std::condition_variable m_runChanged;
    bool m_running = false;
    std::thread m_thread;
};
