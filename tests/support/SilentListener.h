#pragma once
// A TCP listener that lets clients connect and never sends them a byte: a server host that
// accepts and then hangs. The kernel completes the handshakes from the backlog; nothing here
// ever reads or writes.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

class SilentListener {
  public:
    // port 0 = any free port.
    explicit SilentListener(const char* address = "127.0.0.1", uint16_t port = 0) {
        m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int reuse = 1;
        setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_port = htons(port);
        inet_pton(AF_INET, address, &where.sin_addr);
        if (bind(m_fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 ||
            listen(m_fd, 64) != 0) {
            close(m_fd);
            m_fd = -1;
            return;
        }
        socklen_t length = sizeof where;
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&where), &length);
        m_port = ntohs(where.sin_port);
    }
    ~SilentListener() {
        if (m_fd >= 0) {
            close(m_fd);
        }
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    bool ok() const { return m_fd >= 0; }
    uint16_t port() const { return m_port; }

  private:
    int m_fd = -1;
    uint16_t m_port = 0;
};
