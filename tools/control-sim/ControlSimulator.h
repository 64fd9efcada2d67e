#pragma once
// The program around the server: the typed commands on standard input, the script, and an
// orderly end on quit, SIGINT or SIGTERM.

#include "tools/control-sim/ControlConsole.h"
#include "tools/control-sim/ControlServer.h"
#include "tools/control-sim/ScriptRunner.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <memory>

class QSocketNotifier;

struct ControlSimOptions {
    ControlServerOptions server;
    bool hasScript = false;
    QList<ScriptStep> script;
    bool loop = false;
    // Keep serving once the script has ended.
    bool stay = false;
};

class ControlSimulator : public QObject {
    Q_OBJECT
  public:
    ControlSimulator(ControlSimOptions options, OutputFunction output, QObject* parent = nullptr);
    ~ControlSimulator() override;

    // Listens, prints "listening on ADDRESS:PORT", then reads standard input and runs the script.
    bool start();
    QString errorString() const { return m_server.errorString(); }

  signals:
    void exitRequested(int exitStatus);

  private:
    void onInput();
    void onScriptFinished(int exitStatus);
    void finish(int exitStatus);

    ControlSimOptions m_options;
    OutputFunction m_output;
    ControlServer m_server;
    ControlConsole m_console;
    std::unique_ptr<ScriptRunner> m_script;
    QSocketNotifier* m_input = nullptr;
    QSocketNotifier* m_signals = nullptr;
    QByteArray m_typed;
    bool m_finishing = false;
};
