#include "tools/control-sim/ControlServer.h"

#include "app/Cp949.h"
#include "tools/control-sim/ControlCommandText.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

// The header's fields as the person reads them, then the CMD_ID.
QString HeaderLine(const char* direction, const ControlFrameHeader& header,
                   const QString& command) {
    return QString::asprintf("%s 0x%04X ver %d len %d ", direction, header.id, header.ver,
                             header.length) +
           (command.isEmpty() ? QStringLiteral("(no CMD_ID)") : command);
}

// The text below the header line; the station ends lines in CR LF.
QString Body(const QString& text) {
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (body.endsWith(u'\n')) {
        body.chop(1);
    }
    return body;
}

QString FaultText(const ControlFrameHeader& header, ControlHeaderFault fault) {
    switch (fault) {
        case ControlHeaderFault::StartWord:
            return QString::asprintf("start word 0x%04X, not 0x%04X", header.sop,
                                     ControlFrame::kStartWord);
        case ControlHeaderFault::Version:
            return QString::asprintf("version %d, below %d", header.ver, ControlFrame::kVersion);
        case ControlHeaderFault::Length:
            return QString::asprintf("payload length %d, above %d", header.length,
                                     ControlFrame::kMaxPayload);
        case ControlHeaderFault::None:
            break;
    }
    return QString();
}

QString PeerOf(const QTcpSocket* socket) {
    return socket->peerAddress().toString() + u':' + QString::number(socket->peerPort());
}

}  // namespace

ControlServer::ControlServer(ControlServerOptions options, OutputFunction output, QObject* parent)
    : QObject(parent),
      m_options(std::move(options)),
      m_output(std::move(output)),
      m_server(new QTcpServer(this)) {
    connect(m_server, &QTcpServer::newConnection, this, &ControlServer::onNewConnection);
}

ControlServer::~ControlServer() {
    if (m_socket) {
        disconnect(m_socket, nullptr, this, nullptr);
        m_socket->abort();
    }
}

bool ControlServer::listen() {
    return m_server->listen(m_options.bind, m_options.port);
}

QString ControlServer::errorString() const {
    return m_server->errorString();
}

quint16 ControlServer::port() const {
    return m_server->serverPort();
}

QHostAddress ControlServer::address() const {
    return m_server->serverAddress();
}

bool ControlServer::isConnected() const {
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

bool ControlServer::send(const QString& text) {
    if (!isConnected()) {
        complain(QStringLiteral("no station is connected; nothing sent"));
        return false;
    }
    const QByteArray payload = ToCp949(text);
    const std::optional<QByteArray> frame =
        EncodeControlFrame(ControlFrame::kServerObjectId, payload,
                           static_cast<uint32_t>(QDateTime::currentSecsSinceEpoch()));
    if (!frame) {
        complain(QStringLiteral("the message is %1 bytes, a frame carries at most %2; nothing sent")
                     .arg(payload.size())
                     .arg(ControlFrame::kMaxPayload));
        return false;
    }
    if (FromCp949(payload) != text) {
        complain(QStringLiteral("characters code page 949 cannot hold go out as '?'"));
    }
    m_socket->write(*frame);
    const ControlFrameHeader header = *ReadControlFrameHeader(*frame);
    print(HeaderLine("->", header, ControlCommandText::CommandIdOf(text)) + u'\n' + Body(text));
    return true;
}

void ControlServer::closeStation() {
    if (!m_socket) {
        complain(QStringLiteral("no station is connected"));
        return;
    }
    print(QStringLiteral("closing the connection of the station at ") + m_peer);
    QTcpSocket* socket = m_socket;
    m_socket.clear();
    disconnect(socket, nullptr, this, nullptr);
    socket->disconnectFromHost();
    socket->deleteLater();
    m_reader.Clear();
}

void ControlServer::flush(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (m_socket && m_socket->bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!m_socket->waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
            break;
        }
    }
}

void ControlServer::onNewConnection() {
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        const QString peer = PeerOf(socket);
        if (m_socket) {
            print(QStringLiteral("station connection from %1 replaces the one from %2")
                      .arg(peer, m_peer));
            disconnect(m_socket, nullptr, this, nullptr);
            m_socket->abort();
            m_socket->deleteLater();
        } else {
            print(QStringLiteral("station connected from ") + peer);
        }
        m_socket = socket;
        m_peer = peer;
        m_reader.Clear();
        connect(socket, &QTcpSocket::readyRead, this, &ControlServer::onReadyRead);
        connect(socket, &QTcpSocket::disconnected, this, &ControlServer::onDisconnected);
        emit stationConnected();
    }
}

void ControlServer::onReadyRead() {
    const QPointer<QTcpSocket> socket = m_socket;
    if (!socket) {
        return;
    }
    const QByteArray bytes = socket->readAll();
    m_reader.Append(bytes.constData(), bytes.size());
    // A handler may drop the connection; what is left of it then belongs to nobody.
    while (socket && socket == m_socket) {
        const qsizetype pending = m_reader.PendingBytes();
        const std::optional<ControlFrameReader::Item> item = m_reader.TakeNext();
        if (!item) {
            break;
        }
        if (item->kind == ControlFrameReader::Item::Fault) {
            print(QString::asprintf("<- header fault (object id 0x%04X): ", item->header.id) +
                  FaultText(item->header, item->fault) +
                  QStringLiteral("; %1 received bytes dropped").arg(pending));
            continue;
        }
        handleFrame(*item);
    }
}

void ControlServer::handleFrame(const ControlFrameReader::Item& item) {
    const QString text = FromCp949(item.payload);
    const QString command = ControlCommandText::CommandIdOf(text);
    QString head = HeaderLine("<-", item.header, command);
    if (item.header.id != ControlFrame::kControlObjectId &&
        item.header.id != ControlFrame::kStatusObjectId) {
        head += QStringLiteral(" (not a station object id)");
    }
    if (command == QLatin1String("EQUIPMENT_STATUS")) {
        if (!m_options.quietStatus) {
            print(head + u' ' + ControlCommandText::CompactFields(text));
        }
    } else {
        print(head + u'\n' + Body(text));
    }
    emit messageReceived(command);
    if (command == QLatin1String("UGV_INFOR_REQUEST") && m_options.answerUgvRequest && m_socket) {
        send(ControlCommandText::UgvInforResponse(m_options.ugvCode, m_options.ugvName));
    }
}

void ControlServer::onDisconnected() {
    QTcpSocket* socket = qobject_cast<QTcpSocket*>(sender());
    if (socket == nullptr || socket != m_socket) {
        return;
    }
    print(QStringLiteral("station at %1 disconnected").arg(m_peer));
    m_socket.clear();
    socket->deleteLater();
    m_reader.Clear();
}

void ControlServer::print(const QString& text) {
    m_output(OutputChannel::Out, text);
}

void ControlServer::complain(const QString& text) {
    m_output(OutputChannel::Err, text);
}
