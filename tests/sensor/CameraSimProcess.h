#pragma once
// Runs tools/camera-sim on a free loopback port for one test, and waits on conditions while the
// event loop runs.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QThread>

#include <functional>

inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 30000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

inline void PumpEvents(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
}

class CameraSimProcess {
  public:
    explicit CameraSimProcess(const QStringList& arguments) {
        m_process.setProgram(QStringLiteral(CAMERA_SIM_PATH));
        m_process.setArguments(QStringList{"--port", "0"} + arguments);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start();
        m_process.waitForStarted(10000);
        static const QRegularExpression listening("listening on 127\\.0\\.0\\.1:(\\d+)");
        WaitUntil(
            [&] {
                m_output += QString::fromUtf8(m_process.readAllStandardOutput());
                const QRegularExpressionMatch match = listening.match(m_output);
                if (match.hasMatch()) {
                    m_port = match.captured(1).toInt();
                }
                return m_port > 0 || m_process.state() == QProcess::NotRunning;
            },
            20000);
    }
    ~CameraSimProcess() {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    int port() const { return m_port; }
    void write(const QByteArray& line) { m_process.write(line); }

  private:
    QProcess m_process;
    QString m_output;
    int m_port = 0;
};
