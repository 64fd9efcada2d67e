#pragma once
// One streaming server (top or bottom view): takes one station connection at a time (a new one
// replaces the old), parses what the station sends, keeps the last picture as <view>.jpg in the
// out folder and counts what arrived. Every line it wants shown comes out of message().

#include "tools/streaming-sim/StreamingStreamParser.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QSize>
#include <QString>

class QTcpServer;
class QTcpSocket;

struct StreamingViewCounts {
    qint64 connections = 0;
    qint64 introductions = 0;
    qint64 texts = 0;
    qint64 pictures = 0;     // all picture messages
    qint64 undecodable = 0;  // of those, the ones that are no JPEG
    qint64 acks = 0;
    qint64 garbageBytes = 0;
    qint64 commandsSent = 0;
};

class StreamingViewServer : public QObject {
    Q_OBJECT
  public:
    // The raw command a server sends; the station answers each with "ACK".
    static const QByteArray kBroadcastCommand;

    StreamingViewServer(const QString& name, const QString& outFolder, QObject* parent = nullptr);
    ~StreamingViewServer() override;

    bool listen(const QHostAddress& address, quint16 port);
    QString errorString() const;
    QHostAddress address() const;
    quint16 port() const;
    const QString& name() const { return m_name; }
    QString picturePath() const;

    void setVerbose(bool verbose) { m_verbose = verbose; }
    bool connected() const { return m_client != nullptr; }
    // Both false when no station is connected.
    bool sendBroadcastCommand();
    bool dropConnection();

    const StreamingViewCounts& counts() const { return m_counts; }
    // Pictures that decoded as JPEG, since the start.
    qint64 goodPictures() const { return m_counts.pictures - m_counts.undecodable; }
    // The picture rate since the previous report (or the connection), and the last picture.
    QString rateReport();
    QString statsReport() const;

  signals:
    // One line for the standard output; `problem` lines (the tool itself failing) go to the
    // standard error.
    void message(const QString& line, bool problem);
    void pictureReceived();

  private slots:
    void onNewConnection();
    void onReadyRead();
    void onDisconnected();

  private:
    void say(const QString& text, bool problem = false);
    void handle(const StreamingEvent& event);
    void handlePicture(const QByteArray& jpeg);
    void release(QTcpSocket* client);
    QString peerText(QTcpSocket* client) const;

    QString m_name;
    QString m_outFolder;
    QTcpServer* m_server = nullptr;
    QTcpSocket* m_client = nullptr;
    StreamingStreamParser m_parser;
    StreamingViewCounts m_counts;
    bool m_verbose = false;
    bool m_writeFailed = false;
    // For the rate report: pictures since the last report and the time since then.
    qint64 m_intervalPictures = 0;
    QElapsedTimer m_intervalClock;
    qint64 m_connectionPictures = 0;
    bool m_haveLast = false;
    bool m_lastDecoded = false;
    QSize m_lastSize;
    qsizetype m_lastBytes = 0;
};
