// control-sim: the control server on the other end of the station's control link, for a person
// at a console, for scripted missions and for tests.
#include "tools/control-sim/ConsoleCommand.h"
#include "tools/control-sim/ControlSimulator.h"
#include "tools/control-sim/ScriptRunner.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>

namespace {

int Fail(const QString& message) {
    std::fprintf(stderr, "control-sim: %s\n", message.toUtf8().constData());
    return 2;
}

QString Description() {
    return QStringLiteral(
               "Control server for the station's control link (framed XML, code page 949). It "
               "listens for\nthe station, one at a time (a new connection replaces the old one), "
               "and prints every\nframe both ways: direction, object id, version, length, CMD_ID, "
               "then the XML. The station's\nEQUIPMENT_STATUS is printed on one line. It answers "
               "UGV_INFOR_REQUEST with UGV_INFOR_RESPONSE.\nWith --port 0 it takes a free port; "
               "it always prints 'listening on ADDRESS:PORT'.\n\n") +
           ConsoleCommandParser::HelpText() +
           QStringLiteral(
               "\n\nScript (--script FILE), one step a line; blank lines and lines starting with "
               "# are skipped:\n"
               "  send COMMAND           any command above but help and quit; {n} becomes the "
               "pass number\n"
               "                         (1, 2, ...) so a looping mission gets fresh ids\n"
               "  wait CMD_ID [SECONDS]  wait (60 s unless given) for a station message with "
               "that CMD_ID that\n"
               "                         came after the one the previous wait matched (or after "
               "the start)\n"
               "  wait-connect [SECONDS] wait (60 s unless given) until a station is connected\n"
               "  sleep SECONDS          pause; fractions allowed\n"
               "The whole file is checked before anything runs. A looping script needs a wait "
               "for a CMD_ID or\na sleep above 0. Standard input keeps working while a script "
               "runs.\n\n"
               "Exit status: 0 after quit, SIGINT, SIGTERM or the end of the script; 1 when it "
               "cannot listen;\n2 for a bad argument or script line; 3 when a script wait runs "
               "out of time.");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("control-sim"));
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser parser;
    parser.setApplicationDescription(Description());
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption bind("bind", "Address to listen on (default 127.0.0.1).", "address",
                                  "127.0.0.1");
    const QCommandLineOption port({"p", "port"}, "TCP port (default 13307; 0 = any free port).",
                                  "port", "13307");
    const QCommandLineOption ugvCode(
        "ugv-code", "UGV_CODE of the automatic UGV_INFOR_RESPONSE (default UGV-01).", "code",
        "UGV-01");
    const QCommandLineOption ugvName(
        "ugv-name", "UGV_NAME of the automatic UGV_INFOR_RESPONSE (default \"UGV 01\").", "name",
        "UGV 01");
    const QCommandLineOption noUgv("no-ugv-response", "Leave UGV_INFOR_REQUEST unanswered.");
    const QCommandLineOption quietStatus("quiet-status", "Do not print EQUIPMENT_STATUS.");
    const QCommandLineOption script("script", "Run the steps in FILE (see above).", "file");
    const QCommandLineOption loop("loop", "Repeat the script forever.");
    const QCommandLineOption stay("stay", "Keep serving after the script has ended.");
    parser.addOptions({bind, port, ugvCode, ugvName, noUgv, quietStatus, script, loop, stay});
    if (!parser.parse(QCoreApplication::arguments())) {
        return Fail(parser.errorText());
    }
    if (parser.isSet(help)) {
        parser.showHelp(0);
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Fail(
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    }

    ControlSimOptions options;
    if (!options.server.bind.setAddress(parser.value(bind))) {
        return Fail(QStringLiteral("--bind takes an IP address, not '%1'").arg(parser.value(bind)));
    }
    bool portOk = false;
    const uint portNumber = parser.value(port).toUInt(&portOk);
    if (!portOk || portNumber > 65535) {
        return Fail(QStringLiteral("--port takes 0 to 65535, not '%1'").arg(parser.value(port)));
    }
    options.server.port = static_cast<quint16>(portNumber);
    options.server.ugvCode = parser.value(ugvCode);
    options.server.ugvName = parser.value(ugvName);
    options.server.answerUgvRequest = !parser.isSet(noUgv);
    options.server.quietStatus = parser.isSet(quietStatus);
    options.loop = parser.isSet(loop);
    options.stay = parser.isSet(stay);
    if ((options.loop || options.stay) && !parser.isSet(script)) {
        return Fail(QStringLiteral("--loop and --stay go with --script"));
    }
    if (parser.isSet(script)) {
        const QString path = parser.value(script);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return Fail(
                QStringLiteral("cannot read the script %1: %2").arg(path, file.errorString()));
        }
        const ScriptRunner::Parsed parsed =
            ScriptRunner::Parse(QString::fromUtf8(file.readAll()), options.loop);
        if (parsed.errorLine > 0) {
            return Fail(QStringLiteral("script %1 line %2: %3")
                            .arg(path)
                            .arg(parsed.errorLine)
                            .arg(parsed.error));
        }
        if (!parsed.error.isEmpty()) {
            return Fail(QStringLiteral("script %1: %2").arg(path, parsed.error));
        }
        options.hasScript = true;
        options.script = parsed.steps;
    }

    ControlSimulator simulator(options, StandardOutput());
    QObject::connect(&simulator, &ControlSimulator::exitRequested, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    if (!simulator.start()) {
        std::fprintf(stderr, "control-sim: cannot listen on %s:%u: %s\n",
                     qPrintable(parser.value(bind)), portNumber,
                     qPrintable(simulator.errorString()));
        return 1;
    }
    return app.exec();
}
