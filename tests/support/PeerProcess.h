#pragma once
// A simulator of tools/ run as its own process for one test: its standard output is kept, and
// the ports it prints are read from it. Waits run the event loop (WaitUntil of the camera
// simulator's helper, which the suites using peers share).

#include "tests/sensor/CameraSimProcess.h"

#include <QByteArray>
#include <QHostAddress>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTcpServer>

class PeerProcess {
  public:
    PeerProcess(const QString& program, const QStringList& arguments) {
        m_process.setProgram(program);
        m_process.setArguments(arguments);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start();
        m_process.waitForStarted(10000);
    }
    ~PeerProcess() {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    QString output() {
        m_output += QString::fromUtf8(m_process.readAllStandardOutput());
        return m_output;
    }
    // The first number the pattern captures in the output (0 when the peer ended first).
    int port(const QString& pattern) {
        int port = 0;
        WaitUntil(
            [&] {
                const auto match = QRegularExpression(pattern).match(output());
                port = match.hasMatch() ? match.captured(1).toInt() : 0;
                return port > 0 || m_process.state() == QProcess::NotRunning;
            },
            20000);
        return port;
    }
    void write(const QString& line) { m_process.write((line + "\n").toUtf8()); }

  private:
    QProcess m_process;
    QString m_output;
};

// A loopback port nobody listens on.
inline QByteArray UnusedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return QByteArray::number(probe.serverPort());
}
