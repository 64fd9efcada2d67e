#pragma once
// The TCP link to the camera: a POSIX socket connected with the fixed options, whose read and
// peer-closed events reach the UI thread through a QSocketNotifier. Received chunks go straight
// into the receive ring. Connect and Close belong to the object's (UI) thread; Send may be called
// from any thread.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class CReceiveRing;
class QSocketNotifier;

class CConectSocket : public QObject {
    Q_OBJECT
  public:
    static constexpr int kBufferBytes = 16777216;
    static constexpr int kConnectTimeoutMs = 1000;
    static constexpr int kKeepAliveIdleMs = 3000;
    static constexpr int kKeepAliveIntervalMs = 1000;
    // How long a closing link reads and drops what the camera still sends: at most this long,
    // and no longer than it stays quiet for kCloseQuietMs.
    static constexpr int kCloseDrainMs = 300;
    static constexpr int kCloseQuietMs = 50;

    explicit CConectSocket(CReceiveRing& ring, QObject* parent = nullptr);
    ~CConectSocket() override;

    // Connects with a 1 s limit and attaches the socket for read and close events. On this
    // object's thread only (elsewhere it refuses with a debug line). True when connected.
    bool Connect(const QString& address, int port);
    // Sends the whole command; callable from any thread. False when not connected or failed.
    bool Send(const QByteArray& bytes);
    // Detaches and closes; no close notification follows. On this object's thread (elsewhere
    // the handle is closed at once and the notifier released there later).
    void Close();
    // Close for a link whose last commands must still reach the camera: the end of the stream
    // follows them, and what the camera sends meanwhile is read and dropped (see kCloseDrainMs)
    // before the handle is closed. Closing with unread bytes would reset the connection, and a
    // camera that had not read the commands yet would lose them. On this object's thread.
    void CloseAfterSending();

    // Sees every chunk as it is read, before the worker does (the run recordings). Own thread.
    void SetReceiveTap(std::function<void(const char*, int)> tap) { m_tap = std::move(tap); }

    bool IsConnected() const { return m_connected.load() != 0; }
    void SetConnected(bool connected) { m_connected.store(connected ? 1 : 0); }
    int Handle() const { return m_fd.load(); }

  signals:
    // The peer closed the link (after the connected flag went to 0).
    void closed();

  private slots:
    void OnReceive();
    void OnClose();

  private:
    void attach(int fd);
    void closeHandle(bool letCameraRead);
    void release(int fd);

    CReceiveRing& m_ring;
    // Held while a handle is used for sending or closed, so a send never reaches a handle number
    // that was closed and given to another connection meanwhile.
    std::mutex m_handleMutex;
    std::atomic<int> m_fd{-1};
    std::atomic<uint8_t> m_connected{0};
    QSocketNotifier* m_notifier = nullptr;
    std::unique_ptr<char[]> m_scratch;
    std::function<void(const char*, int)> m_tap;
};
