// The client link's sends from several threads against a plain loopback server: every message
// arrives whole and in one piece of the stream, and a send to a peer that went away fails instead
// of waiting.
#include "app/TcpClientSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

// A listening socket on a free loopback port, accepting one peer.
class PlainServer {
  public:
    PlainServer() {
        m_listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        listen(m_listen, 4);
        socklen_t length = sizeof(address);
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~PlainServer() {
        if (m_peer >= 0) {
            close(m_peer);
        }
        close(m_listen);
    }
    int port() const { return m_port; }
    bool accept(int limit_ms = 5000) {
        pollfd pending{m_listen, POLLIN, 0};
        if (poll(&pending, 1, limit_ms) <= 0) {
            return false;
        }
        m_peer = ::accept(m_listen, nullptr, nullptr);
        return m_peer >= 0;
    }
    // Reads until `count` bytes arrived or the peer is quiet for a second.
    std::string read(size_t count) {
        std::string bytes;
        char buffer[4096];
        while (bytes.size() < count) {
            pollfd readable{m_peer, POLLIN, 0};
            if (poll(&readable, 1, 1000) <= 0) {
                break;
            }
            const ssize_t n = ::recv(m_peer, buffer, sizeof(buffer), 0);
            if (n <= 0) {
                break;
            }
            bytes.append(buffer, static_cast<size_t>(n));
        }
        return bytes;
    }
    void dropPeer() {
        close(m_peer);
        m_peer = -1;
    }

  private:
    int m_listen = -1;
    int m_peer = -1;
    int m_port = 0;
};

}  // namespace

TEST(TcpClientSocketTest, SendsFromManyThreadsNeverInterleave) {
    PlainServer server;
    TcpClientSocket socket({1500, 0, 0, 1000, 1460});
    ASSERT_TRUE(socket.Connect(QStringLiteral("127.0.0.1"), server.port()));
    ASSERT_TRUE(server.accept());

    constexpr int kThreads = 4;
    constexpr int kMessages = 200;
    constexpr int kBytes = 1000;
    std::vector<std::thread> senders;
    std::atomic<int> failed{0};
    for (int t = 0; t < kThreads; ++t) {
        senders.emplace_back([&, t] {
            // Each message is one letter repeated, so a cut-in message shows as a mixed run.
            const QByteArray message(kBytes, static_cast<char>('a' + t));
            for (int i = 0; i < kMessages; ++i) {
                failed += socket.Send(message) ? 0 : 1;
            }
        });
    }
    const std::string received = server.read(size_t{kThreads} * kMessages * kBytes);
    for (auto& sender : senders) {
        sender.join();
    }
    EXPECT_EQ(failed.load(), 0);
    ASSERT_EQ(received.size(), size_t{kThreads} * kMessages * kBytes);
    for (size_t offset = 0; offset < received.size(); offset += kBytes) {
        const std::string message = received.substr(offset, kBytes);
        ASSERT_EQ(message, std::string(kBytes, message[0])) << "message at " << offset;
    }
}

TEST(TcpClientSocketTest, RefusedAndMalformedAddressesFailAtOnce) {
    TcpClientSocket socket({1500, 0, 0, 1000, 1460});
    int freePort;
    {
        PlainServer gone;
        freePort = gone.port();
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(socket.Connect(QStringLiteral("127.0.0.1"), freePort));
    EXPECT_FALSE(socket.Connect(QStringLiteral("localhost"), 13307));
    EXPECT_FALSE(socket.Connect(QString(), 13307));
    EXPECT_FALSE(socket.Connect(QStringLiteral("127.0.0.1"), 0));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_FALSE(socket.HasHandle());
    EXPECT_FALSE(socket.Send(QByteArray("x")));
}

TEST(TcpClientSocketTest, SendToAPeerThatWentAwayFails) {
    PlainServer server;
    TcpClientSocket socket({1500, 0, 0, 1000, 1460});
    ASSERT_TRUE(socket.Connect(QStringLiteral("127.0.0.1"), server.port()));
    ASSERT_TRUE(server.accept());
    server.dropPeer();
    // The first send may still be accepted by the kernel; the reset makes a later one fail.
    bool failed = false;
    const QByteArray block(64 * 1024, 'z');
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 50 && !failed; ++i) {
        failed = !socket.Send(block);
    }
    EXPECT_TRUE(failed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}
