#include "tools/streaming-sim/StreamingViewServer.h"

#include "app/Cp949.h"

#include <QDir>
#include <QImage>
#include <QSaveFile>
#include <QTcpServer>
#include <QTcpSocket>

const QByteArray StreamingViewServer::kBroadcastCommand =
    QByteArrayLiteral("<YELT VERSION=\"1.0\" CMD_ID=\"BROD_CMD_01\"></YELT>");

StreamingViewServer::StreamingViewServer(const QString& name, const QString& outFolder,
                                         QObject* parent)
    : QObject(parent), m_name(name), m_outFolder(outFolder), m_server(new QTcpServer(this)) {
    connect(m_server, &QTcpServer::newConnection, this, &StreamingViewServer::onNewConnection);
    m_intervalClock.start();
}

StreamingViewServer::~StreamingViewServer() {
    if (m_client) {
        m_client->disconnect(this);
    }
}

bool StreamingViewServer::listen(const QHostAddress& address, quint16 port) {
    return m_server->listen(address, port);
}

QString StreamingViewServer::errorString() const {
    return m_server->errorString();
}

QHostAddress StreamingViewServer::address() const {
    return m_server->serverAddress();
}

quint16 StreamingViewServer::port() const {
    return m_server->serverPort();
}

QString StreamingViewServer::picturePath() const {
    return QDir(m_outFolder).filePath(m_name + QStringLiteral(".jpg"));
}

void StreamingViewServer::say(const QString& text, bool problem) {
    emit message(m_name + QStringLiteral(": ") + text, problem);
}

QString StreamingViewServer::peerText(QTcpSocket* client) const {
    return QStringLiteral("%1:%2").arg(client->peerAddress().toString()).arg(client->peerPort());
}

void StreamingViewServer::onNewConnection() {
    while (QTcpSocket* next = m_server->nextPendingConnection()) {
        if (m_client) {
            say(QStringLiteral("connection from %1 replaces the one from %2")
                    .arg(peerText(next), peerText(m_client)));
            release(m_client);
        } else {
            say(QStringLiteral("connected from %1").arg(peerText(next)));
        }
        m_client = next;
        m_parser.reset();
        ++m_counts.connections;
        m_connectionPictures = 0;
        m_intervalPictures = 0;
        m_intervalClock.restart();
        connect(next, &QTcpSocket::readyRead, this, &StreamingViewServer::onReadyRead);
        connect(next, &QTcpSocket::disconnected, this, &StreamingViewServer::onDisconnected);
        // Bytes that came with the connection are already waiting.
        if (next->bytesAvailable() > 0) {
            onReadyRead();
        }
    }
}

void StreamingViewServer::release(QTcpSocket* client) {
    client->disconnect(this);
    client->close();
    client->deleteLater();
    if (client == m_client) {
        for (const StreamingEvent& event : m_parser.finish()) {
            handle(event);
        }
        m_client = nullptr;
    }
}

void StreamingViewServer::onReadyRead() {
    if (!m_client) {
        return;
    }
    const QByteArray bytes = m_client->readAll();
    for (const StreamingEvent& event : m_parser.feed(bytes)) {
        handle(event);
    }
}

void StreamingViewServer::onDisconnected() {
    auto* client = qobject_cast<QTcpSocket*>(sender());
    if (client != m_client) {
        return;
    }
    onReadyRead();
    const QString error = client->error() == QAbstractSocket::RemoteHostClosedError ||
                                  client->error() == QAbstractSocket::UnknownSocketError
                              ? QString()
                              : QStringLiteral(" (%1)").arg(client->errorString());
    say(QStringLiteral("connection from %1 closed by the station after %2 pictures%3")
            .arg(peerText(client))
            .arg(m_connectionPictures)
            .arg(error));
    release(client);
}

bool StreamingViewServer::sendBroadcastCommand() {
    if (!m_client) {
        say(QStringLiteral("no station connected, BROD_CMD_01 not sent"));
        return false;
    }
    m_client->write(kBroadcastCommand);
    ++m_counts.commandsSent;
    say(QStringLiteral("BROD_CMD_01 sent"));
    return true;
}

bool StreamingViewServer::dropConnection() {
    if (!m_client) {
        say(QStringLiteral("no station connected"));
        return false;
    }
    say(QStringLiteral("dropped the connection from %1 after %2 pictures")
            .arg(peerText(m_client))
            .arg(m_connectionPictures));
    release(m_client);
    return true;
}

void StreamingViewServer::handle(const StreamingEvent& event) {
    switch (event.kind) {
        case StreamingEvent::Kind::Introduction:
            ++m_counts.introductions;
            say(QStringLiteral("introduction UGV_ID=%1").arg(event.ugvId));
            break;
        case StreamingEvent::Kind::Text:
            ++m_counts.texts;
            say(QStringLiteral("text that is no introduction: %1").arg(FromCp949(event.bytes)));
            break;
        case StreamingEvent::Kind::Picture:
            handlePicture(event.bytes);
            break;
        case StreamingEvent::Kind::Ack:
            ++m_counts.acks;
            say(QStringLiteral("ACK received"));
            break;
        case StreamingEvent::Kind::Garbage:
            m_counts.garbageBytes += event.skipped;
            say(QStringLiteral("skipped %1 bytes that start no message").arg(event.skipped));
            break;
    }
}

void StreamingViewServer::handlePicture(const QByteArray& jpeg) {
    ++m_counts.pictures;
    ++m_connectionPictures;
    ++m_intervalPictures;
    const QImage image = QImage::fromData(jpeg, "JPEG");
    m_haveLast = true;
    m_lastDecoded = !image.isNull();
    m_lastSize = image.size();
    m_lastBytes = jpeg.size();
    if (!m_lastDecoded) {
        ++m_counts.undecodable;
        say(QStringLiteral("picture of %1 bytes does not decode as JPEG").arg(jpeg.size()));
    } else if (m_verbose) {
        say(QStringLiteral("picture %1x%2 %3 bytes")
                .arg(image.width())
                .arg(image.height())
                .arg(jpeg.size()));
    }

    // Written to a temporary file and renamed, so a viewer never sees half a picture.
    QSaveFile file(picturePath());
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(jpeg) == jpeg.size() && file.commit();
    if (!written && !m_writeFailed) {
        say(QStringLiteral("cannot write %1: %2").arg(picturePath(), file.errorString()), true);
    }
    m_writeFailed = !written;
    emit pictureReceived();
}

QString StreamingViewServer::rateReport() {
    const double seconds = m_intervalClock.restart() / 1000.0;
    const double rate = seconds > 0 ? m_intervalPictures / seconds : 0.0;
    m_intervalPictures = 0;
    QString last;
    if (!m_haveLast) {
        last = QStringLiteral("no picture yet");
    } else if (!m_lastDecoded) {
        last = QStringLiteral("last undecodable %1 bytes").arg(m_lastBytes);
    } else {
        last = QStringLiteral("last %1x%2 %3 bytes")
                   .arg(m_lastSize.width())
                   .arg(m_lastSize.height())
                   .arg(m_lastBytes);
    }
    return QStringLiteral("%1: %2 pictures/s, %3").arg(m_name).arg(rate, 0, 'f', 1).arg(last);
}

QString StreamingViewServer::statsReport() const {
    const QString link = m_client ? QStringLiteral("connected from %1").arg(peerText(m_client))
                                  : QStringLiteral("not connected");
    return QStringLiteral(
               "%1: %2, %3 connections, %4 introductions, %5 pictures (%6 undecodable), %7 ACKs "
               "for %8 BROD_CMD_01, %9 other texts, %10 garbage bytes")
        .arg(m_name, link)
        .arg(m_counts.connections)
        .arg(m_counts.introductions)
        .arg(m_counts.pictures)
        .arg(m_counts.undecodable)
        .arg(m_counts.acks)
        .arg(m_counts.commandsSent)
        .arg(m_counts.texts)
        .arg(m_counts.garbageBytes);
}
