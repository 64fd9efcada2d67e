#pragma once
// A pseudo-terminal whose slave side is linked as <folder>/COM<n>: the test plays the device on
// the master side.

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QThread>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

class PseudoTerminal {
  public:
    PseudoTerminal(const QString& folder, int port) {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(m_master);
        ::unlockpt(m_master);
        const char* slaveName = ::ptsname(m_master);
        // Keeps the master readable while the port under test is closed.
        m_slave = ::open(slaveName, O_RDWR | O_NOCTTY);
        termios line{};
        ::tcgetattr(m_slave, &line);
        ::cfmakeraw(&line);
        ::tcsetattr(m_slave, TCSANOW, &line);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_link = (folder + QStringLiteral("/COM") + QString::number(port)).toLocal8Bit();
        ::symlink(slaveName, m_link.constData());
    }
    ~PseudoTerminal() {
        ::unlink(m_link.constData());
        ::close(m_slave);
        ::close(m_master);
    }

    // What the device side received within the wait (stops early once `expected` bytes are in).
    QByteArray receive(int expected, int timeout_ms = 3000) {
        QByteArray bytes;
        QElapsedTimer clock;
        clock.start();
        while (bytes.size() < expected && clock.elapsed() < timeout_ms) {
            char chunk[256];
            const ssize_t n = ::read(m_master, chunk, sizeof chunk);
            if (n > 0) {
                bytes.append(chunk, n);
            } else {
                QThread::msleep(5);
            }
        }
        return bytes;
    }
    // Everything that arrives within a quiet period.
    QByteArray drain(int quiet_ms = 200) {
        QThread::msleep(quiet_ms);
        return receive(1 << 20, 0);
    }
    void send(const QByteArray& bytes) { ::write(m_master, bytes.constData(), bytes.size()); }
    // Bytes sent to the port that its reader has not taken yet.
    int unreadOnPort() const {
        int count = 0;
        ::ioctl(m_slave, FIONREAD, &count);
        return count;
    }

  private:
    int m_master = -1;
    int m_slave = -1;
    QByteArray m_link;
};
