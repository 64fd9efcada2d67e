#include "tools/control-sim/ScriptRunner.h"

#include "tools/control-sim/ControlConsole.h"
#include "tools/control-sim/ControlServer.h"

#include <QRegularExpression>

#include <cmath>

namespace {

// Longer than any mission and still a valid timer interval.
constexpr double kMaxSeconds = 24 * 3600;
// A long wait beside the periodic status must not keep every CMD_ID forever.
constexpr qsizetype kMaxSeen = 10000;

bool ReadSeconds(const QString& text, bool allowZero, double* seconds) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || (!allowZero && value == 0) ||
        value > kMaxSeconds) {
        return false;
    }
    *seconds = value;
    return true;
}

QString SecondsText(double seconds) {
    return QString::number(seconds, 'g', 6);
}

}  // namespace

ScriptRunner::Parsed ScriptRunner::Parse(const QString& text, bool loop) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    static const QRegularExpression commandId(QStringLiteral("^[A-Z][A-Z0-9_]*$"));
    Parsed parsed;
    const auto fail = [&](int line, const QString& error) {
        parsed.steps.clear();
        parsed.errorLine = line;
        parsed.error = error;
        return parsed;
    };
    // Commands are checked with their own parser, so checking leaves no mission id behind.
    ConsoleCommandParser check;
    bool paces = false;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        const QStringList words = line.split(space);
        const QString& keyword = words[0];
        ScriptStep step;
        step.line = number;
        if (keyword == QLatin1String("send")) {
            step.kind = ScriptStep::Send;
            step.argument = line.mid(keyword.size()).trimmed();
            QString sample = step.argument;
            const ConsoleCommand command =
                check.parse(sample.replace(QStringLiteral("{n}"), QStringLiteral("1")));
            if (command.kind == ConsoleCommand::Nothing) {
                return fail(number, QStringLiteral("send needs a command"));
            }
            if (command.kind == ConsoleCommand::Invalid) {
                return fail(number, command.text);
            }
            if (command.kind == ConsoleCommand::Quit || command.kind == ConsoleCommand::Help) {
                return fail(number, QStringLiteral("'%1' cannot be sent").arg(words.value(1)));
            }
        } else if (keyword == QLatin1String("wait")) {
            step.kind = ScriptStep::Wait;
            step.seconds = kDefaultWaitSeconds;
            if (words.size() < 2 || words.size() > 3) {
                return fail(number, QStringLiteral("usage: wait CMD_ID [SECONDS]"));
            }
            if (!commandId.match(words[1]).hasMatch()) {
                return fail(number,
                            QStringLiteral("'%1' is not a CMD_ID (upper case letters, digits, _)")
                                .arg(words[1]));
            }
            step.argument = words[1];
            if (words.size() == 3 && !ReadSeconds(words[2], false, &step.seconds)) {
                return fail(number, QStringLiteral("'%1' is not a time limit in seconds "
                                                   "(above 0, at most %2)")
                                        .arg(words[2])
                                        .arg(kMaxSeconds));
            }
            paces = true;
        } else if (keyword == QLatin1String("wait-connect")) {
            step.kind = ScriptStep::WaitConnect;
            step.seconds = kDefaultWaitSeconds;
            if (words.size() > 2) {
                return fail(number, QStringLiteral("usage: wait-connect [SECONDS]"));
            }
            if (words.size() == 2 && !ReadSeconds(words[1], false, &step.seconds)) {
                return fail(number, QStringLiteral("'%1' is not a time limit in seconds "
                                                   "(above 0, at most %2)")
                                        .arg(words[1])
                                        .arg(kMaxSeconds));
            }
        } else if (keyword == QLatin1String("sleep")) {
            step.kind = ScriptStep::Sleep;
            if (words.size() != 2 || !ReadSeconds(words[1], true, &step.seconds)) {
                return fail(number, QStringLiteral("usage: sleep SECONDS (0 or more, at most %1)")
                                        .arg(kMaxSeconds));
            }
            paces = paces || step.seconds > 0;
        } else {
            return fail(number, QStringLiteral("unknown step '%1' (send, wait, wait-connect, "
                                               "sleep)")
                                    .arg(keyword));
        }
        parsed.steps << step;
    }
    if (loop && !paces) {
        return fail(0, QStringLiteral("a looping script needs a wait for a CMD_ID or a sleep "
                                      "above 0"));
    }
    return parsed;
}

ScriptRunner::ScriptRunner(QList<ScriptStep> steps, bool loop, ControlServer& server,
                           ControlConsole& console, OutputFunction output, QObject* parent)
    : QObject(parent),
      m_steps(std::move(steps)),
      m_loop(loop),
      m_server(server),
      m_console(console),
      m_output(std::move(output)) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ScriptRunner::onTimeout);
    connect(&m_server, &ControlServer::messageReceived, this, &ScriptRunner::onMessage);
    connect(&m_server, &ControlServer::stationConnected, this, &ScriptRunner::onConnected);
}

void ScriptRunner::start() {
    m_running = true;
    m_index = 0;
    m_pass = 1;
    m_seen.clear();
    if (m_loop) {
        m_output(OutputChannel::Out, QStringLiteral("script: pass 1"));
    }
    scheduleNext();
}

// Steps run from the event loop, never inside the server's handlers: a step may close the very
// connection whose frame ended the wait.
void ScriptRunner::scheduleNext() {
    QMetaObject::invokeMethod(this, &ScriptRunner::runNext, Qt::QueuedConnection);
}

void ScriptRunner::runNext() {
    if (!m_running || m_pending != Pending::None) {
        return;
    }
    if (m_index >= m_steps.size()) {
        if (!m_loop) {
            m_running = false;
            m_output(OutputChannel::Out, QStringLiteral("script: done"));
            emit finished(0);
            return;
        }
        m_index = 0;
        ++m_pass;
        m_output(OutputChannel::Out, QStringLiteral("script: pass %1").arg(m_pass));
    }
    const ScriptStep& step = m_steps[m_index];
    switch (step.kind) {
        case ScriptStep::Send: {
            QString line = step.argument;
            line.replace(QStringLiteral("{n}"), QString::number(m_pass));
            m_console.execute(line);
            stepDone();
            return;
        }
        case ScriptStep::Wait: {
            const qsizetype at = m_seen.indexOf(step.argument);
            if (at >= 0) {
                m_seen.remove(0, at + 1);
                m_output(OutputChannel::Out, QStringLiteral("script: line %1: %2 had arrived")
                                                 .arg(step.line)
                                                 .arg(step.argument));
                stepDone();
                return;
            }
            arm(Pending::Message, step.seconds);
            return;
        }
        case ScriptStep::WaitConnect:
            if (m_server.isConnected()) {
                stepDone();
                return;
            }
            arm(Pending::Connection, step.seconds);
            return;
        case ScriptStep::Sleep:
            arm(Pending::Sleep, step.seconds);
            return;
    }
}

void ScriptRunner::arm(Pending pending, double seconds) {
    m_pending = pending;
    m_stepClock.start();
    m_timer.start(static_cast<int>(std::llround(seconds * 1000)));
}

void ScriptRunner::stepDone() {
    m_pending = Pending::None;
    m_timer.stop();
    ++m_index;
    scheduleNext();
}

void ScriptRunner::onMessage(const QString& commandId) {
    if (!m_running) {
        return;
    }
    if (m_pending == Pending::Message && commandId == m_steps[m_index].argument) {
        // This is the newest message, so everything seen so far is used up.
        m_seen.clear();
        m_output(OutputChannel::Out, QStringLiteral("script: line %1: %2 after %3 s")
                                         .arg(m_steps[m_index].line)
                                         .arg(commandId)
                                         .arg(m_stepClock.elapsed() / 1000.0, 0, 'f', 2));
        stepDone();
        return;
    }
    m_seen << commandId;
    if (m_seen.size() > kMaxSeen) {
        m_seen.remove(0, m_seen.size() - kMaxSeen);
    }
}

void ScriptRunner::onConnected() {
    if (!m_running || m_pending != Pending::Connection) {
        return;
    }
    m_output(OutputChannel::Out,
             QStringLiteral("script: line %1: station connected").arg(m_steps[m_index].line));
    stepDone();
}

void ScriptRunner::onTimeout() {
    const ScriptStep& step = m_steps[m_index];
    switch (m_pending) {
        case Pending::Sleep:
            stepDone();
            return;
        case Pending::Message:
            m_output(OutputChannel::Err,
                     QStringLiteral("script line %1: no %2 from the station within %3 s")
                         .arg(step.line)
                         .arg(step.argument, SecondsText(step.seconds)));
            break;
        case Pending::Connection:
            m_output(OutputChannel::Err,
                     QStringLiteral("script line %1: no station connected within %2 s")
                         .arg(step.line)
                         .arg(SecondsText(step.seconds)));
            break;
        case Pending::None:
            return;
    }
    m_pending = Pending::None;
    m_running = false;
    emit finished(3);
}
