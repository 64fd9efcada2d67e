#pragma once
// The short command forms a person types (and a script's send lines use), turned into what to do.
// Arguments are separated by spaces; one with spaces goes in double quotes.

#include <QString>

struct ConsoleCommand {
    enum Kind { Nothing, Send, Close, Quit, Help, Invalid };
    Kind kind = Nothing;
    // Send: the message text; Invalid: what is wrong, for the person.
    QString text;
};

class ConsoleCommandParser {
  public:
    // The name `ugv CODE` sends when no name follows the code.
    void setUgvName(const QString& name) { m_ugvName = name; }
    // A start remembers its mission id: later commands that leave MISSION out use it.
    ConsoleCommand parse(const QString& line);
    QString missionId() const { return m_missionId; }

    // Every command, its arguments and the message it sends, one a line.
    static QString HelpText();

  private:
    QString m_ugvName;
    QString m_missionId;
};
