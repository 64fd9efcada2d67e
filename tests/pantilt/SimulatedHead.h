#pragma once
// The head simulator (tools/pantilt-sim) as a child process: its frame log is collected, and
// commands on its standard input are acknowledged before send() returns.

#include <QProcess>
#include <QString>
#include <QStringList>

class SimulatedHead {
  public:
    // Starts the simulator with its port in `folder`; waits until the port exists.
    SimulatedHead(const QString& folder, int port, const QStringList& extraArguments = {});
    ~SimulatedHead();

    bool isReady() const { return m_ready; }
    // Sends one command line and waits for its "ok".
    bool send(const QString& command);
    // Sends one command line without waiting for anything.
    void write(const QString& command);
    QStringList lines();
    // Lines that start with `prefix`.
    QStringList linesStartingWith(const QString& prefix);
    bool waitForLine(const QString& prefix, int timeout_ms = 5000);
    void clearLines();

    static QString programPath();

  private:
    void collect();

    QProcess m_process;
    QStringList m_lines;
    QByteArray m_partial;
    bool m_ready = false;
};
