#pragma once
// Carries out one command line, typed or from a script, against the server.

#include "tools/control-sim/ConsoleCommand.h"
#include "tools/control-sim/ControlSimOutput.h"

class ControlServer;

class ControlConsole {
  public:
    enum class Outcome { Continue, Quit };

    ControlConsole(ControlServer& server, OutputFunction output);

    // Shared by the typed commands and the script, so both remember the same last mission.
    ConsoleCommandParser& parser() { return m_parser; }
    Outcome execute(const QString& line);

  private:
    ControlServer& m_server;
    OutputFunction m_output;
    ConsoleCommandParser m_parser;
};
