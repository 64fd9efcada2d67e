#include "tools/streaming-sim/StreamingSimulator.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <cstdio>

namespace {

const char kConsoleHelp[] =
    "commands: brod [top|bottom|both]   send BROD_CMD_01 (default both)\n"
    "          close [top|bottom|both]  drop the station's connection (default both)\n"
    "          stats                    counts so far\n"
    "          quit                     exit\n"
    "          help                     this list";

int Milliseconds(double seconds) {
    return static_cast<int>(std::lround(seconds * 1000.0));
}

}  // namespace

void StreamingSimulator::PrintLine(const QString& line) {
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

void StreamingSimulator::PrintProblem(const QString& line) {
    std::fprintf(stderr, "streaming-sim: %s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

StreamingSimulator::StreamingSimulator(const StreamingSimOptions& options, QObject* parent)
    : QObject(parent), m_options(options) {
    m_views << new StreamingViewServer(QStringLiteral("top"), options.outFolder, this)
            << new StreamingViewServer(QStringLiteral("bottom"), options.outFolder, this);
    for (StreamingViewServer* view : m_views) {
        view->setVerbose(options.verbose);
        connect(view, &StreamingViewServer::message, this, [](const QString& line, bool problem) {
            problem ? PrintProblem(line) : PrintLine(line);
        });
        connect(view, &StreamingViewServer::pictureReceived, this, &StreamingSimulator::checkGoal);
    }
    connect(&m_reportTimer, &QTimer::timeout, this, &StreamingSimulator::report);
    connect(&m_brodTimer, &QTimer::timeout, this, &StreamingSimulator::broadcast);
    m_goalTimer.setSingleShot(true);
    connect(&m_goalTimer, &QTimer::timeout, this, &StreamingSimulator::missGoal);
}

bool StreamingSimulator::start(QString* error) {
    const quint16 ports[2] = {m_options.portTop, m_options.portBottom};
    for (int i = 0; i < 2; ++i) {
        StreamingViewServer* view = m_views[i];
        if (!view->listen(m_options.bind, ports[i])) {
            *error = QStringLiteral("%1: cannot listen on %2:%3: %4")
                         .arg(view->name(), m_options.bind.toString())
                         .arg(ports[i])
                         .arg(view->errorString());
            return false;
        }
        PrintLine(QStringLiteral("%1 listening on %2:%3")
                      .arg(view->name(), view->address().toString())
                      .arg(view->port()));
    }
    m_reportTimer.start(Milliseconds(m_options.reportSeconds));
    if (m_options.brodEverySeconds > 0) {
        m_brodTimer.start(Milliseconds(m_options.brodEverySeconds));
    }
    if (m_options.expectPictures > 0) {
        m_goalTimer.start(Milliseconds(m_options.timeoutSeconds));
    }
    return true;
}

void StreamingSimulator::report() {
    for (StreamingViewServer* view : m_views) {
        if (view->connected()) {
            PrintLine(view->rateReport());
        }
    }
}

void StreamingSimulator::broadcast() {
    for (StreamingViewServer* view : m_views) {
        if (view->connected()) {
            view->sendBroadcastCommand();
        }
    }
}

void StreamingSimulator::checkGoal() {
    if (m_options.expectPictures <= 0 || m_finished) {
        return;
    }
    for (StreamingViewServer* view : m_views) {
        if (view->goodPictures() < m_options.expectPictures) {
            return;
        }
    }
    PrintLine(QStringLiteral("both views got at least %1 pictures: top %2, bottom %3")
                  .arg(m_options.expectPictures)
                  .arg(top().goodPictures())
                  .arg(bottom().goodPictures()));
    finish(0);
}

void StreamingSimulator::missGoal() {
    if (m_finished) {
        return;
    }
    QStringList got;
    for (StreamingViewServer* view : m_views) {
        got << QStringLiteral("%1 got %2 pictures (%3 undecodable)")
                   .arg(view->name())
                   .arg(view->goodPictures())
                   .arg(view->counts().undecodable);
    }
    PrintProblem(QStringLiteral("timeout after %1 s: %2, expected %3 each")
                     .arg(m_options.timeoutSeconds)
                     .arg(got.join(QStringLiteral(", ")))
                     .arg(m_options.expectPictures));
    finish(3);
}

void StreamingSimulator::finish(int exitCode) {
    m_finished = true;
    m_reportTimer.stop();
    m_brodTimer.stop();
    m_goalTimer.stop();
    emit finished(exitCode);
}

bool StreamingSimulator::targetViews(const QStringList& words, const QString& command,
                                     QList<StreamingViewServer*>* views) const {
    const QString target = words.size() > 1 ? words[1] : QStringLiteral("both");
    if (words.size() > 2 || (target != QLatin1String("top") && target != QLatin1String("bottom") &&
                             target != QLatin1String("both"))) {
        PrintProblem(QStringLiteral("'%1' takes top, bottom or both").arg(command));
        return false;
    }
    for (StreamingViewServer* view : m_views) {
        if (target == QLatin1String("both") || target == view->name()) {
            views->append(view);
        }
    }
    return true;
}

void StreamingSimulator::runConsoleCommand(const QString& line) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    const QStringList words = line.split(space, Qt::SkipEmptyParts);
    if (words.isEmpty()) {
        return;
    }
    const QString& command = words[0];
    QList<StreamingViewServer*> views;
    if (command == QLatin1String("brod")) {
        if (targetViews(words, command, &views)) {
            for (StreamingViewServer* view : views) {
                view->sendBroadcastCommand();
            }
        }
    } else if (command == QLatin1String("close")) {
        if (targetViews(words, command, &views)) {
            for (StreamingViewServer* view : views) {
                view->dropConnection();
            }
        }
    } else if (words.size() > 1 &&
               (command == QLatin1String("stats") || command == QLatin1String("quit") ||
                command == QLatin1String("help"))) {
        PrintProblem(QStringLiteral("'%1' takes no arguments").arg(command));
    } else if (command == QLatin1String("stats")) {
        for (StreamingViewServer* view : m_views) {
            PrintLine(view->statsReport());
        }
    } else if (command == QLatin1String("quit")) {
        finish(0);
    } else if (command == QLatin1String("help")) {
        PrintLine(QString::fromLatin1(kConsoleHelp));
    } else {
        PrintProblem(QStringLiteral("unknown command '%1' (brod, close, stats, quit or help)")
                         .arg(line.trimmed()));
    }
}
