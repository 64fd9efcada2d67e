#pragma once
// The control server's side of the link: it listens for the station, keeps one connection (a new
// one replaces the old), prints every frame both ways and answers the station's vehicle
// information request by itself.

#include "remote/ControlFrame.h"
#include "tools/control-sim/ControlSimOutput.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

class QTcpServer;
class QTcpSocket;

struct ControlServerOptions {
    QHostAddress bind = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 13307;
    QString ugvCode = QStringLiteral("UGV-01");
    QString ugvName = QStringLiteral("UGV 01");
    bool answerUgvRequest = true;
    bool quietStatus = false;
};

class ControlServer : public QObject {
    Q_OBJECT
  public:
    ControlServer(ControlServerOptions options, OutputFunction output, QObject* parent = nullptr);
    ~ControlServer() override;

    bool listen();
    QString errorString() const;
    quint16 port() const;
    QHostAddress address() const;

    bool isConnected() const;
    // Frames and sends the text in code page 949. False, with the reason printed, when no station
    // is connected or the text does not fit in a frame.
    bool send(const QString& text);
    void closeStation();
    // Waits at most `timeoutMs` for what is still queued to reach the station's socket.
    void flush(int timeoutMs);

  signals:
    void stationConnected();
    // Every station message, the periodic status included, by its CMD_ID (empty when it has none).
    void messageReceived(const QString& commandId);

  private:
    void onNewConnection();
    void onReadyRead();
    void onDisconnected();
    void handleFrame(const ControlFrameReader::Item& item);
    void print(const QString& text);
    void complain(const QString& text);

    ControlServerOptions m_options;
    OutputFunction m_output;
    QTcpServer* m_server;
    QPointer<QTcpSocket> m_socket;
    QString m_peer;
    ControlFrameReader m_reader;
};
