#include "pantilt/SerialPort.h"

#include "app/DebugLog.h"
#include "pantilt/SerialException.h"

#include <QThread>

#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int kWriteTimeoutMs = 1000;
constexpr int kCloseSettleMs = 100;

void Check(int result) {
    if (result < 0) {
        throw CSerialException(errno);
    }
}
}  // namespace

CSerialPort::~CSerialPort() {
    if (m_fd >= 0) {
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
    }
}

QString CSerialPort::SerialFolder() {
    const QString folder = qEnvironmentVariable("STATION_SERIAL_DIR");
    return folder.isEmpty() ? QStringLiteral("/dev") : folder;
}

QString CSerialPort::DevicePath(unsigned port) {
    return SerialFolder() + QStringLiteral("/COM") + QString::number(port);
}

bool CSerialPort::IsPortPresent(unsigned port) {
    struct stat status;
    return ::stat(DevicePath(port).toLocal8Bit().constData(), &status) == 0;
}

bool CSerialPort::Open(int port) {
    // A handle left open here would keep its lock and refuse this and every later open.
    if (m_fd >= 0) {
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
        m_fd = -1;
    }
    m_portNumber = port;
    const QByteArray path = DevicePath(static_cast<unsigned>(port)).toLocal8Bit();
    // Non-blocking so that neither the open (modem lines) nor a read ever waits.
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    m_fd = fd;
    try {
        // Exclusive: another program holding the line (or a second open here) is refused.
        Check(::flock(m_fd, LOCK_EX | LOCK_NB));
        Configure();
        Check(::ioctl(m_fd, TIOCEXCL));
    } catch (const CSerialException&) {
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    return true;
}

void CSerialPort::Configure() {
    termios line{};
    Check(::tcgetattr(m_fd, &line));
    // Binary bytes must pass untouched (0xFF, CR, XON/XOFF values), hence raw mode.
    ::cfmakeraw(&line);
    Check(::cfsetispeed(&line, B9600));
    Check(::cfsetospeed(&line, B9600));
    line.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    line.c_cflag |= CS8 | CREAD | CLOCAL;
    line.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    // A read returns at once with whatever has arrived.
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    Check(::tcsetattr(m_fd, TCSANOW, &line));
}

bool CSerialPort::Close() {
    if (m_fd >= 0) {
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
        m_fd = -1;
        QThread::msleep(kCloseSettleMs);
    }
    DebugLogf("Disconnect OK : Com %d Port.", m_portNumber);
    return true;
}

bool CSerialPort::WriteCommand(const QByteArray& command) {
    if (!IsOpen()) {
        DebugLog(QStringLiteral("[WriteCommand] Could not send a remote command"));
        return false;
    }
    return WriteRaw(command + "\r\n");
}

int CSerialPort::WriteAll(const char* bytes, int count) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    int written = 0;
    while (written < count) {
        const ssize_t n = ::write(m_fd, bytes + written, static_cast<size_t>(count - written));
        if (n > 0) {
            written += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            throw CSerialException(errno);
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd wait{m_fd, POLLOUT, 0};
        if (::poll(&wait, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) {
            throw CSerialException(errno);
        }
    }
    return written;
}

bool CSerialPort::WriteRaw(const QByteArray& text) {
    if (!IsOpen()) {
        return false;
    }
    if (text.isEmpty()) {
        return true;
    }
    Check(::tcflush(m_fd, TCOFLUSH));
    Check(::tcflush(m_fd, TCIFLUSH));

    const int n = static_cast<int>(text.size());
    if (m_writeMode == TextMode) {
        if (WriteAll(text.constData(), n) < n) {
            DebugLog(QStringLiteral("Could not send a remote message."));
            return false;
        }
    } else if (m_writeMode == HexMode) {
        // The last two characters are the CR LF that WriteCommand appended.
        QByteArray bytes(n / 2 - 1 > 0 ? n / 2 - 1 : 0, '\0');
        for (int k = 0; k < bytes.size(); ++k) {
            bytes[k] =
                static_cast<char>(HexDigitValue(text[2 * k]) * 16 + HexDigitValue(text[2 * k + 1]));
        }
        const int written = WriteAll(bytes.constData(), static_cast<int>(bytes.size()));
        if (written + 1 != n / 2) {
            DebugLog(QStringLiteral("Could not send a remote message."));
            return false;
        }
    }
    return true;
}

int CSerialPort::Read(char* buffer, int maxBytes) {
    if (!IsOpen() || maxBytes <= 0) {
        return 0;
    }
    const ssize_t n = ::read(m_fd, buffer, static_cast<size_t>(maxBytes));
    if (n < 0) {
        if (errno == EAGAIN || errno == EINTR) {
            return 0;
        }
        throw CSerialException(errno);
    }
    return static_cast<int>(n);
}

int CSerialPort::HexDigitValue(char digit) {
    if (digit >= '1' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    return 0;
}

char CSerialPort::HexDigitChar(int value) {
    if (value >= 0 && value <= 9) {
        return static_cast<char>('0' + value);
    }
    if (value >= 10 && value <= 15) {
        return static_cast<char>('A' + value - 10);
    }
    return '\0';
}
