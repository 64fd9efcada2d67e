#include "app/Utilities.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kPingPayloadBytes = 1024;
constexpr int kPingTtl = 32;
constexpr int kPingTimeoutMs = 1000;
constexpr int kPingReplyBufferBytes = 32768;

uint16_t InternetChecksum(const uint8_t* data, size_t length) {
    uint32_t sum = 0;
    for (size_t i = 0; i + 1 < length; i += 2) {
        sum += static_cast<uint32_t>(data[i] << 8 | data[i + 1]);
    }
    if (length & 1) {
        sum += static_cast<uint32_t>(data[length - 1] << 8);
    }
    while (sum >> 16) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return htons(static_cast<uint16_t>(~sum));
}

// "%u.%u.%u.%u": missing numbers count as 0; each number gives one byte in network order.
in_addr_t ParseDottedAddress(const QString& text) {
    unsigned parts[4] = {0, 0, 0, 0};
    const QByteArray bytes = text.toLatin1();
    std::sscanf(bytes.constData(), "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]);
    uint8_t address[4];
    for (int i = 0; i < 4; ++i) {
        address[i] = static_cast<uint8_t>(parts[i] & 0xFF);
    }
    in_addr_t result;
    std::memcpy(&result, address, sizeof result);
    return result;
}

struct IcmpHandle {
    int fd = -1;
    bool raw = false;
    ~IcmpHandle() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

}  // namespace

bool PingHost(const QString& address) {
    const in_addr_t target = ParseDottedAddress(address);
    if (target == 0) {
        return false;  // 0.0.0.0 never counts as answered
    }
    IcmpHandle handle;
    handle.fd = ::socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
    handle.raw = handle.fd >= 0;
    if (!handle.raw) {
        handle.fd = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP);
        if (handle.fd < 0) {
            return false;
        }
    }
    const int ttl = kPingTtl;
    ::setsockopt(handle.fd, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl);
    const int pmtu = IP_PMTUDISC_DO;  // don't fragment
    ::setsockopt(handle.fd, IPPROTO_IP, IP_MTU_DISCOVER, &pmtu, sizeof pmtu);

    static std::atomic<uint16_t> sequenceCounter{1};
    const uint16_t identifier = static_cast<uint16_t>(::getpid() & 0xFFFF);
    const uint16_t sequence = sequenceCounter.fetch_add(1);

    std::array<uint8_t, sizeof(icmphdr) + kPingPayloadBytes> request{};
    auto* header = reinterpret_cast<icmphdr*>(request.data());
    header->type = ICMP_ECHO;
    header->code = 0;
    header->un.echo.id = htons(identifier);
    header->un.echo.sequence = htons(sequence);
    for (int i = 0; i < kPingPayloadBytes; ++i) {
        request[sizeof(icmphdr) + i] = static_cast<uint8_t>('a' + i % 23);
    }
    header->checksum = InternetChecksum(request.data(), request.size());

    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_addr.s_addr = target;
    if (::sendto(handle.fd, request.data(), request.size(), 0,
                 reinterpret_cast<sockaddr*>(&destination), sizeof destination) < 0) {
        return false;
    }

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kPingTimeoutMs);
    std::vector<uint8_t> reply(kPingReplyBufferBytes);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            return false;
        }
        pollfd pfd{handle.fd, POLLIN, 0};
        if (::poll(&pfd, 1, static_cast<int>(left)) <= 0) {
            return false;
        }
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t received = ::recvfrom(handle.fd, reply.data(), reply.size(), 0,
                                            reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (received <= 0 || from.sin_addr.s_addr != target) {
            continue;
        }
        size_t offset = 0;
        if (handle.raw) {
            offset = static_cast<size_t>(reply[0] & 0x0F) * 4;  // raw sockets deliver the IP header
        }
        if (static_cast<size_t>(received) < offset + sizeof(icmphdr)) {
            continue;
        }
        const auto* answer = reinterpret_cast<const icmphdr*>(reply.data() + offset);
        if (answer->type != ICMP_ECHOREPLY) {
            continue;
        }
        // Datagram sockets rewrite the identifier, so only raw sockets can check it.
        if (handle.raw && ntohs(answer->un.echo.id) != identifier) {
            continue;
        }
        if (ntohs(answer->un.echo.sequence) != sequence) {
            continue;
        }
        return true;
    }
}

QString StampText(const QDateTime& at) {
    const QDate d = at.date();
    const QTime t = at.time();
    return QString::asprintf("%04d-%02d-%02d %02d-%02d-%02d", d.year(), d.month(), d.day(),
                             t.hour(), t.minute(), t.second());
}

QString NowStampText() {
    return StampText(QDateTime::currentDateTime());
}

QString DayText(const QDate& day) {
    return QString::asprintf("%04d-%02d-%02d", day.year(), day.month(), day.day());
}

QString TodayText() {
    return DayText(QDate::currentDate());
}

QString FolderOf(const QString& executablePath) {
    const qsizetype cut = executablePath.lastIndexOf(QLatin1Char('/'));
    return cut < 0 ? QString() : executablePath.left(cut);
}

QString ModuleFolder() {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        return QCoreApplication::applicationDirPath();
    }
    return FolderOf(QString::fromLocal8Bit(buffer, n));
}

bool FileExists(const QString& path) {
    struct stat status;
    const QByteArray name = path.toLocal8Bit();
    return ::stat(name.constData(), &status) == 0;
}

uint32_t TickCountMs() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}
