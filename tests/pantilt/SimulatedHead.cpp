#include "tests/pantilt/SimulatedHead.h"

#include "tests/support/WaitUntil.h"

QString SimulatedHead::programPath() {
    const QString buildRoot = qEnvironmentVariable("STATION_TEST_BINARY_DIR");
    if (!buildRoot.isEmpty()) {
        return buildRoot + QStringLiteral("/tools/pantilt-sim/pantilt-sim");
    }
    return QStringLiteral(STATION_PANTILT_SIM_PATH);
}

SimulatedHead::SimulatedHead(const QString& folder, int port, const QStringList& extraArguments) {
    QStringList arguments{QStringLiteral("--dir"), folder, QStringLiteral("--port"),
                          QString::number(port)};
    arguments << extraArguments;
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(programPath(), arguments);
    m_ready = m_process.waitForStarted(5000) && waitForLine(QStringLiteral("ready "), 10000);
}

SimulatedHead::~SimulatedHead() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.write("quit\n");
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}

void SimulatedHead::collect() {
    m_partial += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_partial.indexOf('\n')) >= 0) {
        m_lines << QString::fromUtf8(m_partial.left(end));
        m_partial.remove(0, end + 1);
    }
}

QStringList SimulatedHead::lines() {
    collect();
    return m_lines;
}

QStringList SimulatedHead::linesStartingWith(const QString& prefix) {
    QStringList found;
    for (const QString& line : lines()) {
        if (line.startsWith(prefix)) {
            found << line;
        }
    }
    return found;
}

bool SimulatedHead::waitForLine(const QString& prefix, int timeout_ms) {
    return WaitUntil([&] { return !linesStartingWith(prefix).isEmpty(); }, timeout_ms);
}

void SimulatedHead::clearLines() {
    collect();
    m_lines.clear();
}

bool SimulatedHead::send(const QString& command) {
    const QString ack = QStringLiteral("ok ") + command;
    const int before = linesStartingWith(ack).size();
    m_process.write((command + QLatin1Char('\n')).toUtf8());
    return WaitUntil([&] { return linesStartingWith(ack).size() > before; }, 5000);
}

void SimulatedHead::write(const QString& command) {
    m_process.write((command + QLatin1Char('\n')).toUtf8());
}
