#include "tools/control-sim/ConsoleCommand.h"

#include "tools/control-sim/ControlCommandText.h"

#include <QStringList>

#include <optional>

namespace {

struct Form {
    const char* name;
    const char* arguments;
    int minArguments;
    int maxArguments;  // -1: the rest of the line
    const char* sends;
};

// The one list behind parsing, the usage messages and the help text.
constexpr Form kForms[] = {
    {"start", "ENGINE IID MISSION [SENSOR_INDEX]", 3, 4,
     "INSPECTION_START (SENSOR_INDEX 0 = top, the default)"},
    {"stop", "[MISSION]", 0, 1, "INSPECTION_STOP"},
    {"pan", "N [MISSION]", 1, 2, "SET_PAN"},
    {"tilt", "N [MISSION]", 1, 2, "SET_TILT"},
    {"pantilt", "P T [MISSION]", 2, 3, "SET_PAN_TILT"},
    {"get-pan", "[MISSION]", 0, 1, "GET_PAN"},
    {"get-tilt", "[MISSION]", 0, 1, "GET_TILT"},
    {"get-pantilt", "[MISSION]", 0, 1, "GET_PAN_TILT"},
    {"up", "", 0, 0, "TILT_UP"},
    {"down", "", 0, 0, "TILT_DOWN"},
    {"left", "", 0, 0, "PAN_LEFT"},
    {"right", "", 0, 0, "PAN_RIGHT"},
    {"halt", "[MISSION]", 0, 1, "PAN_TILT_STOP"},
    {"init", "", 0, 0, "INIT_PAN_TILT"},
    {"sync-response", "", 0, 0, "EQUIPMENT_ENGINE_DB_SYNC_RESPONSE"},
    {"ugv", "CODE [NAME]", 1, -1,
     "UGV_INFOR_RESPONSE (NAME: the rest of the line, else --ugv-name)"},
    {"raw", "XML", 1, -1, "the rest of the line, as it is"},
    {"close", "", 0, 0, "drops the station's connection"},
    {"quit", "", 0, 0, "ends the program"},
    {"help", "", 0, 0, "this list"},
};

const Form* FindForm(const QString& name) {
    for (const Form& form : kForms) {
        if (name == QLatin1String(form.name)) {
            return &form;
        }
    }
    return nullptr;
}

QString Synopsis(const Form& form) {
    QString text = QString::fromLatin1(form.name);
    if (*form.arguments != '\0') {
        text += u' ' + QString::fromLatin1(form.arguments);
    }
    return text;
}

// Words split on white space; a double-quoted word keeps its spaces. Nothing when a quote is open.
std::optional<QStringList> Words(const QString& line) {
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (const QChar c : line) {
        if (quoted) {
            if (c == u'"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == u'"') {
            quoted = true;
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord) {
                words << word;
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    if (inWord) {
        words << word;
    }
    return words;
}

ConsoleCommand Invalid(const QString& text) {
    return {ConsoleCommand::Invalid, text};
}

ConsoleCommand Send(const QString& text) {
    return {ConsoleCommand::Send, text};
}

bool IsNumber(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && value == value;
}

}  // namespace

ConsoleCommand ConsoleCommandParser::parse(const QString& line) {
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty()) {
        return {};
    }
    qsizetype nameEnd = 0;
    while (nameEnd < trimmed.size() && !trimmed[nameEnd].isSpace()) {
        ++nameEnd;
    }
    const QString name = trimmed.left(nameEnd);
    const Form* form = FindForm(name);
    if (form == nullptr) {
        return Invalid(
            QStringLiteral("unknown command '%1' ('help' lists the commands)").arg(name));
    }
    const QString usage = QStringLiteral("usage: ") + Synopsis(*form);
    if (name == QLatin1String("raw")) {
        // The XML goes out byte for byte, quotes and spacing included.
        const QString xml = trimmed.mid(nameEnd).trimmed();
        return xml.isEmpty() ? Invalid(usage) : Send(xml);
    }
    const std::optional<QStringList> words = Words(trimmed.mid(nameEnd));
    if (!words) {
        return Invalid(QStringLiteral("a double quote is not closed"));
    }
    const QStringList& args = *words;
    if (args.size() < form->minArguments ||
        (form->maxArguments >= 0 && args.size() > form->maxArguments)) {
        return Invalid(usage);
    }
    const auto mission = [&](qsizetype index) {
        return index < args.size() ? args[index] : m_missionId;
    };
    const auto numbers = [&](qsizetype count) {
        for (qsizetype i = 0; i < count; ++i) {
            if (!IsNumber(args[i])) {
                return false;
            }
        }
        return true;
    };

    if (name == QLatin1String("start")) {
        bool idOk = false;
        const int inspectionId = args[1].toInt(&idOk);
        if (!idOk) {
            return Invalid(QStringLiteral("IID '%1' is not a whole number; ").arg(args[1]) + usage);
        }
        int sensorIndex = 0;
        if (args.size() > 3) {
            bool sensorOk = false;
            sensorIndex = args[3].toInt(&sensorOk);
            if (!sensorOk || sensorIndex < 0) {
                return Invalid(QStringLiteral("SENSOR_INDEX '%1' is not 0 or more; ").arg(args[3]) +
                               usage);
            }
        }
        m_missionId = args[2];
        return Send(
            ControlCommandText::InspectionStart(inspectionId, args[0], sensorIndex, m_missionId));
    }
    if (name == QLatin1String("stop")) {
        return Send(ControlCommandText::InspectionStop(mission(0)));
    }
    if (name == QLatin1String("pan") || name == QLatin1String("tilt")) {
        if (!numbers(1)) {
            return Invalid(QStringLiteral("'%1' is not a number; ").arg(args[0]) + usage);
        }
        return Send(name == QLatin1String("pan")
                        ? ControlCommandText::SetPan(args[0], mission(1))
                        : ControlCommandText::SetTilt(args[0], mission(1)));
    }
    if (name == QLatin1String("pantilt")) {
        if (!numbers(2)) {
            return Invalid(QStringLiteral("P and T are numbers; ") + usage);
        }
        return Send(ControlCommandText::SetPanTilt(args[0], args[1], mission(2)));
    }
    if (name == QLatin1String("get-pan")) {
        return Send(ControlCommandText::GetPan(mission(0)));
    }
    if (name == QLatin1String("get-tilt")) {
        return Send(ControlCommandText::GetTilt(mission(0)));
    }
    if (name == QLatin1String("get-pantilt")) {
        return Send(ControlCommandText::GetPanTilt(mission(0)));
    }
    if (name == QLatin1String("up")) {
        return Send(ControlCommandText::TiltUp());
    }
    if (name == QLatin1String("down")) {
        return Send(ControlCommandText::TiltDown());
    }
    if (name == QLatin1String("left")) {
        return Send(ControlCommandText::PanLeft());
    }
    if (name == QLatin1String("right")) {
        return Send(ControlCommandText::PanRight());
    }
    if (name == QLatin1String("halt")) {
        return Send(ControlCommandText::PanTiltStop(mission(0)));
    }
    if (name == QLatin1String("init")) {
        return Send(ControlCommandText::InitPanTilt());
    }
    if (name == QLatin1String("sync-response")) {
        return Send(ControlCommandText::EngineDbSyncResponse());
    }
    if (name == QLatin1String("ugv")) {
        const QString ugvName = args.size() > 1 ? args.mid(1).join(u' ') : m_ugvName;
        return Send(ControlCommandText::UgvInforResponse(args[0], ugvName));
    }
    if (name == QLatin1String("close")) {
        return {ConsoleCommand::Close, {}};
    }
    if (name == QLatin1String("quit")) {
        return {ConsoleCommand::Quit, {}};
    }
    return {ConsoleCommand::Help, {}};
}

QString ConsoleCommandParser::HelpText() {
    QStringList lines;
    lines << QStringLiteral(
                 "Commands on standard input, one a line. MISSION left out: the mission id of the")
          << QStringLiteral(
                 "last start (empty before one). An argument with spaces goes in double quotes.");
    for (const Form& form : kForms) {
        lines << QStringLiteral("  %1 %2")
                     .arg(Synopsis(form), -40)
                     .arg(QString::fromLatin1(form.sends));
    }
    return lines.join(u'\n');
}
