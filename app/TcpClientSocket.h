#pragma once
// A TCP client link whose handle may be connected and written from a worker thread while its
// read and peer-closed events arrive on the owning (UI) thread through a QSocketNotifier. The
// control link and the two streaming links are built on it.
//
// A handle is only closed under the handle lock and only after the notifier that watches it is
// gone, so a send never reaches a number that was closed and given to another connection.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <mutex>

class QSocketNotifier;

class TcpClientSocket : public QObject {
    Q_OBJECT
  public:
    struct Options {
        int connectTimeout_ms = 1500;
        // Keep-alive probes; 0 leaves the system's settings. The platform takes whole seconds.
        int keepAliveIdle_ms = 0;
        int keepAliveInterval_ms = 0;
        // How long one send may wait for room in the socket's buffer.
        int sendTimeout_ms = 1000;
        // The most bytes one read event takes.
        int readBytes = 1460;
    };

    explicit TcpClientSocket(Options options, QObject* parent = nullptr);
    // Closes.
    ~TcpClientSocket() override;

    // Connects within the time limit from any thread; the new handle replaces an older one and
    // is attached for read and close events on the owning thread. False when the address is not
    // a dotted IPv4 address or the connect failed or timed out.
    bool Connect(const QString& address, int port);
    // Sends all bytes from any thread; false when not connected, on an error, or when the peer
    // took nothing for sendTimeout_ms. Sends of different threads never interleave.
    bool Send(const QByteArray& bytes);
    // From any thread; no close event follows.
    void Close();
    bool HasHandle() const { return m_fd.load() >= 0; }

  signals:
    // On the owning thread.
    void received(const QByteArray& bytes);
    // The peer closed the connection or it failed; the handle is already closed.
    void closed();

  private:
    void attach(int fd);
    void onReadable();
    void release(int fd);

    const Options m_options;
    std::mutex m_handleMutex;
    std::atomic<int> m_fd{-1};
    QSocketNotifier* m_notifier = nullptr;
};
