#include "tools/control-sim/ControlConsole.h"

#include "tools/control-sim/ControlServer.h"

ControlConsole::ControlConsole(ControlServer& server, OutputFunction output)
    : m_server(server), m_output(std::move(output)) {}

ControlConsole::Outcome ControlConsole::execute(const QString& line) {
    const ConsoleCommand command = m_parser.parse(line);
    switch (command.kind) {
        case ConsoleCommand::Nothing:
            break;
        case ConsoleCommand::Send:
            m_server.send(command.text);
            break;
        case ConsoleCommand::Close:
            m_server.closeStation();
            break;
        case ConsoleCommand::Quit:
            return Outcome::Quit;
        case ConsoleCommand::Help:
            m_output(OutputChannel::Out, ConsoleCommandParser::HelpText());
            break;
        case ConsoleCommand::Invalid:
            m_output(OutputChannel::Err, command.text + QStringLiteral("; nothing sent"));
            break;
    }
    return Outcome::Continue;
}
