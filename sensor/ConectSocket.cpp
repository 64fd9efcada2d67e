#include "sensor/ConectSocket.h"

#include "app/DebugLog.h"
#include "sensor/ReceiveRing.h"

#include <QMetaObject>
#include <QSocketNotifier>
#include <QThread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace {

bool SetNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// Waits for writability at most `timeoutMs`; true when connected without a pending error.
bool AwaitConnect(int fd, int timeoutMs) {
    pollfd pending{fd, POLLOUT, 0};
    int ready;
    do {
        ready = poll(&pending, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) {
        return false;
    }
    int error = 0;
    socklen_t length = sizeof(error);
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

void ConfigureKeepAlive(int fd) {
    int on = 1;
    if (setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof(on)) != 0) {
        return;
    }
    // The platform takes whole seconds.
    int idle = CConectSocket::kKeepAliveIdleMs / 1000;
    int interval = CConectSocket::kKeepAliveIntervalMs / 1000;
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof(idle));
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof(interval));
}

// Reads and drops until the peer closes its side, stays quiet, or the drain time is up.
void DrainUntilQuiet(int fd, char* scratch, int scratchBytes) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(CConectSocket::kCloseDrainMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            return;
        }
        pollfd readable{fd, POLLIN, 0};
        const int ready =
            poll(&readable, 1,
                 static_cast<int>(std::min<long long>(left, CConectSocket::kCloseQuietMs)));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return;  // quiet (or failed)
        }
        const ssize_t n = ::recv(fd, scratch, static_cast<size_t>(scratchBytes), 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            return;  // the camera closed its side
        }
    }
}

}  // namespace

CConectSocket::CConectSocket(CReceiveRing& ring, QObject* parent)
    : QObject(parent), m_ring(ring), m_scratch(new char[CReceiveRing::kSlotBytes]) {}

CConectSocket::~CConectSocket() {
    Close();
}

bool CConectSocket::Connect(const QString& address, int port) {
    if (address.isEmpty() || port <= 0) {
        return false;
    }
    if (QThread::currentThread() != thread()) {
        DebugLog(QStringLiteral("[Sensor] Connect refused: not on the link's own thread"));
        return false;
    }
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(static_cast<uint16_t>(port));
    if (inet_pton(AF_INET, address.toLatin1().constData(), &peer.sin_addr) != 1) {
        return false;
    }
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    if (!SetNonBlocking(fd)) {
        ::close(fd);
        return false;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof(peer)) != 0) {
        const bool pending = errno == EINPROGRESS || errno == EWOULDBLOCK;
        if (!pending || !AwaitConnect(fd, kConnectTimeoutMs)) {
            ::close(fd);
            return false;
        }
    }
    int bufferBytes = kBufferBytes;
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bufferBytes, sizeof(bufferBytes));
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bufferBytes, sizeof(bufferBytes));
    Close();
    ConfigureKeepAlive(fd);
    {
        std::lock_guard lock(m_handleMutex);
        m_fd.store(fd);
    }
    attach(fd);
    return true;
}

void CConectSocket::attach(int fd) {
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CConectSocket::OnReceive);
}

bool CConectSocket::Send(const QByteArray& bytes) {
    std::lock_guard lock(m_handleMutex);
    const int fd = m_fd.load();
    if (fd < 0) {
        return false;
    }
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd writable{fd, POLLOUT, 0};
            if (poll(&writable, 1, kConnectTimeoutMs) <= 0) {
                return false;
            }
            continue;
        }
        return false;
    }
    return true;
}

void CConectSocket::Close() {
    closeHandle(false);
}

void CConectSocket::CloseAfterSending() {
    closeHandle(true);
}

void CConectSocket::closeHandle(bool letCameraRead) {
    int fd;
    {
        std::lock_guard lock(m_handleMutex);
        fd = m_fd.exchange(-1);
    }
    if (QThread::currentThread() == thread()) {
        if (letCameraRead && fd >= 0) {
            ::shutdown(fd, SHUT_WR);
            DrainUntilQuiet(fd, m_scratch.get(), CReceiveRing::kSlotBytes);
        }
        release(fd);
        return;
    }
    // The notifier belongs to this object's thread; the handle stays open until the notifier
    // watching it is gone, so its number cannot be reused under a newer link's notifier.
    QMetaObject::invokeMethod(
        this, [this, fd] { release(fd); }, Qt::QueuedConnection);
}

void CConectSocket::release(int fd) {
    if (m_notifier != nullptr && (fd < 0 || m_notifier->socket() == fd)) {
        // Possibly inside the notifier's own signal, so it is silenced now and deleted later.
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (fd >= 0) {
        ::close(fd);
    }
}

void CConectSocket::OnReceive() {
    const int fd = m_fd.load();
    if (fd < 0) {
        return;
    }
    char* slot = m_ring.reserve();
    char* target = slot != nullptr ? slot : m_scratch.get();
    const ssize_t n = ::recv(fd, target, CReceiveRing::kSlotBytes, 0);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
        OnClose();
        return;
    }
    if (n < 0) {
        return;
    }
    if (m_tap) {
        m_tap(target, static_cast<int>(n));
    }
    m_ring.markDataReceived();
    if (slot == nullptr) {
        m_ring.drop(static_cast<int>(n));
        return;
    }
    m_ring.commit(static_cast<int>(n));
}

void CConectSocket::OnClose() {
    SetConnected(false);
    Close();
    emit closed();
}
