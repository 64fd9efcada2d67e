#pragma once
// Runs a mission script: commands to send, waits for the station's answers and connection, and
// pauses. The whole file is checked before the first step runs.

#include "tools/control-sim/ControlSimOutput.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class ControlConsole;
class ControlServer;

struct ScriptStep {
    enum Kind { Send, Wait, WaitConnect, Sleep };
    Kind kind = Send;
    int line = 0;
    // Send: the command line, {n} still in it; Wait: the CMD_ID.
    QString argument;
    double seconds = 0;
};

class ScriptRunner : public QObject {
    Q_OBJECT
  public:
    static constexpr double kDefaultWaitSeconds = 60;

    struct Parsed {
        QList<ScriptStep> steps;
        int errorLine = 0;  // 0: the script is good
        QString error;
    };
    // A looping script must wait or pause somewhere, or it would flood the station.
    static Parsed Parse(const QString& text, bool loop);

    ScriptRunner(QList<ScriptStep> steps, bool loop, ControlServer& server, ControlConsole& console,
                 OutputFunction output, QObject* parent = nullptr);

    void start();

  signals:
    // 0 at the end of the script, 3 when a wait ran out of time. A looping script never ends.
    void finished(int exitStatus);

  private:
    enum class Pending { None, Message, Connection, Sleep };

    void scheduleNext();
    void runNext();
    void arm(Pending pending, double seconds);
    void stepDone();
    void onMessage(const QString& commandId);
    void onConnected();
    void onTimeout();

    QList<ScriptStep> m_steps;
    bool m_loop;
    ControlServer& m_server;
    ControlConsole& m_console;
    OutputFunction m_output;
    bool m_running = false;
    qsizetype m_index = 0;
    int m_pass = 1;
    // CMD_IDs received after the message the last wait matched, oldest first.
    QStringList m_seen;
    Pending m_pending = Pending::None;
    QTimer m_timer;
    QElapsedTimer m_stepClock;
};
