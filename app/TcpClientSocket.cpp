#include "app/TcpClientSocket.h"

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

namespace {

bool SetNonBlocking(int fd, bool on) {
    const int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, on ? flags | O_NONBLOCK : flags & ~O_NONBLOCK) == 0;
}

int PollFor(int fd, short events, int timeout_ms) {
    pollfd pending{fd, events, 0};
    int ready;
    do {
        ready = poll(&pending, 1, timeout_ms);
    } while (ready < 0 && errno == EINTR);
    return ready;
}

bool AwaitConnect(int fd, int timeout_ms) {
    if (PollFor(fd, POLLOUT, timeout_ms) <= 0) {
        return false;
    }
    int error = 0;
    socklen_t length = sizeof(error);
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

}  // namespace

TcpClientSocket::TcpClientSocket(Options options, QObject* parent)
    : QObject(parent), m_options(options) {}

TcpClientSocket::~TcpClientSocket() {
    Close();
}

bool TcpClientSocket::Connect(const QString& address, int port) {
    if (address.isEmpty() || port <= 0 || port > 65535) {
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
    if (!SetNonBlocking(fd, true)) {
        ::close(fd);
        return false;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof(peer)) != 0) {
        const bool pending = errno == EINPROGRESS || errno == EWOULDBLOCK;
        if (!pending || !AwaitConnect(fd, m_options.connectTimeout_ms)) {
            ::close(fd);
            return false;
        }
    }
    // Reads happen only when the notifier reports data; sends wait with a limit of their own.
    if (m_options.keepAliveIdle_ms > 0) {
        int on = 1;
        if (setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof(on)) == 0) {
            int idle = std::max(1, m_options.keepAliveIdle_ms / 1000);
            int interval = std::max(1, m_options.keepAliveInterval_ms / 1000);
            setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof(idle));
            setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof(interval));
        }
    }
    int old;
    {
        std::lock_guard lock(m_handleMutex);
        old = m_fd.exchange(fd);
    }
    if (QThread::currentThread() == thread()) {
        release(old);
        attach(fd);
    } else {
        QMetaObject::invokeMethod(
            this,
            [this, old, fd] {
                release(old);
                attach(fd);
            },
            Qt::QueuedConnection);
    }
    return true;
}

void TcpClientSocket::attach(int fd) {
    // The handle may have been closed before the attach arrived.
    if (m_fd.load() != fd) {
        return;
    }
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TcpClientSocket::onReadable);
}

bool TcpClientSocket::Send(const QByteArray& bytes) {
    std::lock_guard lock(m_handleMutex);
    const int fd = m_fd.load();
    if (fd < 0) {
        return false;
    }
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n =
            ::send(fd, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent),
                   MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (PollFor(fd, POLLOUT, m_options.sendTimeout_ms) <= 0) {
                return false;
            }
            continue;
        }
        return false;
    }
    return true;
}

void TcpClientSocket::Close() {
    int fd;
    {
        std::lock_guard lock(m_handleMutex);
        fd = m_fd.exchange(-1);
        if (fd >= 0) {
            // Wakes a sender of another thread and ends the connection for the peer at once.
            ::shutdown(fd, SHUT_RDWR);
        }
    }
    if (QThread::currentThread() == thread()) {
        release(fd);
        return;
    }
    // The notifier belongs to the owning thread; the handle stays open until it is gone.
    QMetaObject::invokeMethod(
        this, [this, fd] { release(fd); }, Qt::QueuedConnection);
}

void TcpClientSocket::release(int fd) {
    if (m_notifier != nullptr && (fd < 0 || m_notifier->socket() == fd)) {
        // Possibly inside the notifier's own signal: silenced now, deleted later.
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (fd >= 0) {
        ::close(fd);
    }
}

void TcpClientSocket::onReadable() {
    const int fd = m_fd.load();
    if (fd < 0 || m_notifier == nullptr || m_notifier->socket() != fd) {
        return;
    }
    QByteArray bytes(m_options.readBytes, '\0');
    const ssize_t n = ::recv(fd, bytes.data(), static_cast<size_t>(bytes.size()), MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        return;
    }
    if (n <= 0) {
        Close();
        emit closed();
        return;
    }
    bytes.truncate(n);
    emit received(bytes);
}
