// streaming-sim: the two streaming servers that receive the station's live thumbnails (top and
// bottom view), on loopback for the station's tests and for manual trials.
#include "tools/streaming-sim/StreamingSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdio>

namespace {

const char kDescription[] =
    "Simulates the two streaming servers of the station's live thumbnails: top view (server 0)\n"
    "and bottom view (server 1). Each takes one station connection at a time; a new connection\n"
    "replaces the old one. The station introduces itself with a UGV_INFORMATION text (code\n"
    "page 949), then sends pictures (\"V.160\", 4-byte little-endian length, 160x120 JPEG) and\n"
    "answers each BROD_CMD_01 with \"ACK\". Bytes that start no such message are skipped and\n"
    "counted.\n"
    "\n"
    "Standard output, one line each:\n"
    "  out folder DIR                       at start\n"
    "  top listening on ADDRESS:PORT        at start, also for bottom (ports 0 = any free port)\n"
    "  top: connected from ADDRESS:PORT     and when the connection is replaced, dropped or\n"
    "                                       closed by the station\n"
    "  top: introduction UGV_ID=CODE        the code in UTF-8\n"
    "  top: 5.0 pictures/s, last 160x120 3412 bytes\n"
    "                                       every --report-seconds for each connected view\n"
    "  top: picture 160x120 3412 bytes      each picture, with --verbose\n"
    "  top: picture of N bytes does not decode as JPEG\n"
    "  top: ACK received / top: BROD_CMD_01 sent / top: skipped N bytes that start no message\n"
    "  both views got at least N pictures: top N, bottom N   the --expect-pictures goal met\n"
    "Problems go to standard error as \"streaming-sim: ...\", among them the missed goal:\n"
    "  streaming-sim: timeout after S s: top got N pictures (N undecodable), bottom got ...\n"
    "The last picture of each view is kept as top.jpg and bottom.jpg in the out folder, replaced\n"
    "atomically.\n"
    "\n"
    "Commands on standard input, one per line:\n"
    "  brod [top|bottom|both]   send BROD_CMD_01 (default both)\n"
    "  close [top|bottom|both]  drop the station's connection (default both)\n"
    "  stats                    counts so far\n"
    "  quit                     exit with status 0 (so do SIGINT and SIGTERM)\n"
    "  help                     list the commands\n"
    "\n"
    "Exit status: 0 quit, signal or the --expect-pictures goal met; 1 a port or the out folder\n"
    "cannot be used; 2 bad arguments; 3 the --timeout passed before the goal was met.";

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

int Fail(const QString& message, int status) {
    StreamingSimulator::PrintProblem(message);
    return status;
}

bool ParsePort(const QString& text, quint16* port) {
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value > 65535) {
        return false;
    }
    *port = static_cast<quint16>(value);
    return true;
}

// Seconds from 0.01 to a day: every timer in the program stays within int milliseconds.
bool ParseSeconds(const QString& text, double* seconds) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0.01 || value > 86400.0) {
        return false;
    }
    *seconds = value;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("streaming-sim"));
    std::signal(SIGPIPE, SIG_IGN);
    // Undecodable pictures get their own line naming the view; the decoder's warnings would only
    // repeat them without it.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.jpeg=false"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addHelpOption();
    const QCommandLineOption bind("bind", "Address to listen on (default 127.0.0.1).", "address",
                                  "127.0.0.1");
    const QCommandLineOption portTop(
        "port-top", "Port of the top view, server 0 (default 13308; 0 = any free port).", "port",
        "13308");
    const QCommandLineOption portBottom(
        "port-bottom", "Port of the bottom view, server 1 (default 13309; 0 = any free port).",
        "port", "13309");
    const QCommandLineOption out(
        "out",
        "Folder for top.jpg and bottom.jpg, created when missing (default: streaming-sim in the "
        "temporary folder).",
        "dir", QDir(QDir::tempPath()).filePath(QStringLiteral("streaming-sim")));
    const QCommandLineOption reportSeconds(
        "report-seconds", "Seconds between picture rate reports (default 5).", "seconds", "5");
    const QCommandLineOption brodEvery(
        "brod-every",
        "Also send BROD_CMD_01 to each connected view this often (default: only on the brod "
        "command).",
        "seconds");
    const QCommandLineOption verbose("verbose", "A line for every picture.");
    const QCommandLineOption expectPictures(
        "expect-pictures",
        "Exit 0 as soon as both views got at least N pictures that decode as JPEG; exit 3 when "
        "--timeout passes first.",
        "N");
    const QCommandLineOption timeout(
        "timeout", "Time limit of --expect-pictures, seconds (default 30).", "seconds");
    parser.addOptions({bind, portTop, portBottom, out, reportSeconds, brodEvery, verbose,
                       expectPictures, timeout});
    if (!parser.parse(QCoreApplication::arguments())) {
        return Fail(parser.errorText(), 2);
    }
    if (parser.isSet(QStringLiteral("help"))) {
        parser.showHelp(0);
    }
    if (!parser.positionalArguments().isEmpty()) {
        return Fail(QStringLiteral("unexpected argument '%1' (see --help)")
                        .arg(parser.positionalArguments().first()),
                    2);
    }

    StreamingSimOptions options;
    if (!options.bind.setAddress(parser.value(bind))) {
        return Fail(QStringLiteral("--bind takes an IP address, not '%1'").arg(parser.value(bind)),
                    2);
    }
    if (!ParsePort(parser.value(portTop), &options.portTop)) {
        return Fail(QStringLiteral("--port-top takes 0 to 65535"), 2);
    }
    if (!ParsePort(parser.value(portBottom), &options.portBottom)) {
        return Fail(QStringLiteral("--port-bottom takes 0 to 65535"), 2);
    }
    if (options.portTop != 0 && options.portTop == options.portBottom) {
        return Fail(QStringLiteral("the top and bottom views need different ports"), 2);
    }
    if (!ParseSeconds(parser.value(reportSeconds), &options.reportSeconds)) {
        return Fail(QStringLiteral("--report-seconds takes 0.01 to 86400"), 2);
    }
    if (parser.isSet(brodEvery) &&
        !ParseSeconds(parser.value(brodEvery), &options.brodEverySeconds)) {
        return Fail(QStringLiteral("--brod-every takes 0.01 to 86400"), 2);
    }
    options.verbose = parser.isSet(verbose);
    if (parser.isSet(expectPictures)) {
        bool ok = false;
        options.expectPictures = parser.value(expectPictures).toInt(&ok);
        if (!ok || options.expectPictures < 1) {
            return Fail(QStringLiteral("--expect-pictures takes a count of 1 or more"), 2);
        }
    }
    if (parser.isSet(timeout)) {
        if (!parser.isSet(expectPictures)) {
            return Fail(QStringLiteral("--timeout only goes with --expect-pictures"), 2);
        }
        if (!ParseSeconds(parser.value(timeout), &options.timeoutSeconds)) {
            return Fail(QStringLiteral("--timeout takes 0.01 to 86400"), 2);
        }
    }
    options.outFolder = QDir(parser.value(out)).absolutePath();
    if (!QDir().mkpath(options.outFolder)) {
        return Fail(QStringLiteral("cannot create the out folder %1").arg(options.outFolder), 1);
    }

    // SIGINT and SIGTERM end the event loop through a pipe, so the exit is a normal one.
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return Fail(QStringLiteral("cannot create the signal pipe"), 1);
    }
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] {
        char bytes[16];
        while (::read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    StreamingSimulator simulator(options);
    QObject::connect(&simulator, &StreamingSimulator::finished, &app,
                     [](int status) { QCoreApplication::exit(status); });
    StreamingSimulator::PrintLine(QStringLiteral("out folder %1").arg(options.outFolder));
    QString error;
    if (!simulator.start(&error)) {
        return Fail(error, 1);
    }

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray console;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof(buffer));
        if (n <= 0) {
            input.setEnabled(false);  // no console: keep running
            return;
        }
        console.append(buffer, n);
        qsizetype end;
        while ((end = console.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(console.left(end));
            console.remove(0, end + 1);
            simulator.runConsoleCommand(line);
        }
    });
    return app.exec();
}
