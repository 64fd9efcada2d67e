#pragma once
// The two streaming servers the station sends its live thumbnails to (top and bottom view), with
// the periodic rate report, the BROD_CMD_01 timer, the console commands and the optional
// picture-count goal that ends the run.

#include "tools/streaming-sim/StreamingViewServer.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>

struct StreamingSimOptions {
    QHostAddress bind = QHostAddress::LocalHost;
    quint16 portTop = 13308;
    quint16 portBottom = 13309;
    QString outFolder;
    double reportSeconds = 5.0;
    double brodEverySeconds = 0.0;  // 0: only on the console command
    bool verbose = false;
    int expectPictures = 0;  // 0: run until told to quit
    double timeoutSeconds = 30.0;
};

class StreamingSimulator : public QObject {
    Q_OBJECT
  public:
    explicit StreamingSimulator(const StreamingSimOptions& options, QObject* parent = nullptr);

    // Listens on both ports and starts the timers; false with `error` set when a port is taken.
    bool start(QString* error);
    StreamingViewServer& top() { return *m_views[0]; }
    StreamingViewServer& bottom() { return *m_views[1]; }
    // One console line: brod, close, stats, quit or help. Unknown ones are reported.
    void runConsoleCommand(const QString& line);

    static void PrintLine(const QString& line);
    static void PrintProblem(const QString& line);

  signals:
    // The run is over: quit (0), the picture goal met (0) or missed (3).
    void finished(int exitCode);

  private:
    // The views a console target names ("top", "bottom", "both" or nothing = both).
    bool targetViews(const QStringList& words, const QString& command,
                     QList<StreamingViewServer*>* views) const;
    void report();
    void broadcast();
    void checkGoal();
    void missGoal();
    void finish(int exitCode);

    StreamingSimOptions m_options;
    QList<StreamingViewServer*> m_views;
    QTimer m_reportTimer;
    QTimer m_brodTimer;
    QTimer m_goalTimer;
    bool m_finished = false;
};
