#pragma once
// The TCP link to the camera: a POSIX socket connected with the fixed options, whose read and
// peer-closed events reach the UI thread through a QSocketNotifier. Received chunks go straight
// into the receive ring.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>

class CReceiveRing;
class QSocketNotifier;

class CConectSocket : public QObject {
    Q_OBJECT
  public:
    static constexpr int kBufferBytes = 16777216;
    static constexpr int kConnectTimeoutMs = 1000;
    static constexpr int kKeepAliveIdleMs = 3000;
    static constexpr int kKeepAliveIntervalMs = 1000;

    explicit CConectSocket(CReceiveRing& ring, QObject* parent = nullptr);
    ~CConectSocket() override;

    // Connects with a 1 s limit and attaches the socket to this object's thread for read and
    // close events (queued when called from another thread). True when connected.
    bool Connect(const QString& address, int port);
    // Sends the whole command; callable from any thread. False when not connected or failed.
    bool Send(const QByteArray& bytes);
    // Detaches and closes; no close notification follows.
    void Close();

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
    void release(int fd);

    CReceiveRing& m_ring;
    std::atomic<int> m_fd{-1};
    std::atomic<uint8_t> m_connected{0};
    QSocketNotifier* m_notifier = nullptr;
    std::unique_ptr<char[]> m_scratch;
};
