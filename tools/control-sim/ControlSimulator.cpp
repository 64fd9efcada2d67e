#include "tools/control-sim/ControlSimulator.h"

#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

namespace {

// Time the last frames get to leave before the program ends.
constexpr int kFlushMs = 2000;

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &byte, 1);
}

}  // namespace

ControlSimulator::ControlSimulator(ControlSimOptions options, OutputFunction output,
                                   QObject* parent)
    : QObject(parent),
      m_options(std::move(options)),
      m_output(std::move(output)),
      m_server(m_options.server, m_output),
      m_console(m_server, m_output) {
    m_console.parser().setUgvName(m_options.server.ugvName);
}

ControlSimulator::~ControlSimulator() {
    if (m_signals != nullptr) {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
    }
}

bool ControlSimulator::start() {
    if (!m_server.listen()) {
        return false;
    }
    m_output(OutputChannel::Out, QStringLiteral("listening on %1:%2")
                                     .arg(m_server.address().toString())
                                     .arg(m_server.port()));

    // A signal only writes a byte; the quit itself happens in the event loop.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        m_signals = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
        connect(m_signals, &QSocketNotifier::activated, this, [this] {
            char byte;
            [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[1], &byte, 1);
            m_output(OutputChannel::Out, QStringLiteral("stopping on a signal"));
            finish(0);
        });
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
    }

    m_input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_input, &QSocketNotifier::activated, this, &ControlSimulator::onInput);

    if (m_options.hasScript) {
        m_script = std::make_unique<ScriptRunner>(m_options.script, m_options.loop, m_server,
                                                  m_console, m_output);
        connect(m_script.get(), &ScriptRunner::finished, this, &ControlSimulator::onScriptFinished);
        m_script->start();
    }
    return true;
}

void ControlSimulator::onInput() {
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        // No console (closed or redirected from nothing): keep serving.
        m_input->setEnabled(false);
        return;
    }
    m_typed.append(buffer, n);
    qsizetype end;
    while (!m_finishing && (end = m_typed.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_typed.left(end));
        m_typed.remove(0, end + 1);
        if (m_console.execute(line) == ControlConsole::Outcome::Quit) {
            finish(0);
        }
    }
}

void ControlSimulator::onScriptFinished(int exitStatus) {
    if (exitStatus == 0 && m_options.stay) {
        m_output(OutputChannel::Out, QStringLiteral("script ended; still serving"));
        return;
    }
    finish(exitStatus);
}

void ControlSimulator::finish(int exitStatus) {
    if (m_finishing) {
        return;
    }
    m_finishing = true;
    m_server.flush(kFlushMs);
    emit exitRequested(exitStatus);
}
