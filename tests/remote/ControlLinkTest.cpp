// The control link against a real server on loopback: the request after every connect, the
// object ids, commands cut from the byte stream in order, refused headers, a message too long
// for a frame, and the reconnect after the server went away.
#include "remote/ControlFrame.h"
#include "remote/ControlReplyTemplates.h"
#include "remote/WebServerSocket.h"
#include "tests/support/LogCapture.h"
#include "tests/support/WaitUntil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A control server that keeps what the station sent, frame by frame.
class TestControlServer {
  public:
    explicit TestControlServer(quint16 port = 0) {
        EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost, port));
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* peer = m_server.nextPendingConnection()) {
                ++connections;
                m_peer.reset(peer);
                m_reader = ControlFrameReader();
                QObject::connect(peer, &QTcpSocket::readyRead, [this, peer] {
                    const QByteArray bytes = peer->readAll();
                    m_reader.Append(bytes.constData(), bytes.size());
                    while (auto item = m_reader.TakeNext()) {
                        frames.push_back(*item);
                    }
                });
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    void write(const QByteArray& bytes) {
        ASSERT_TRUE(m_peer);
        m_peer->write(bytes);
        m_peer->flush();
    }
    void dropStation() {
        if (m_peer) {
            m_peer->disconnectFromHost();
            m_peer.release()->deleteLater();
        }
    }
    void close() {
        dropStation();
        m_server.close();
    }
    QStringList texts() const {
        QStringList list;
        for (const auto& frame : frames) {
            list << QString::fromUtf8(frame.payload);
        }
        return list;
    }

    int connections = 0;
    std::vector<ControlFrameReader::Item> frames;

  private:
    QTcpServer m_server;
    std::unique_ptr<QTcpSocket> m_peer;
    ControlFrameReader m_reader;
};

QByteArray Command(const QString& xml, uint16_t id = ControlFrame::kServerObjectId, int ver = 2) {
    QByteArray frame = *EncodeControlFrame(id, xml.toUtf8(), 0);
    frame[4] = static_cast<char>(ver);
    return frame;
}

struct Link {
    CWebServerSocket socket;
    QStringList commands;
    explicit Link(quint16 port) {
        socket.SetServerAddress(QStringLiteral("127.0.0.1"));
        socket.SetServerPort(port);
        QObject::connect(&socket, &CWebServerSocket::commandReceived,
                         [this](const QString& text) { commands << text; });
        socket.Start(
            [this] { socket.SendControlMessage(ControlReplyTemplates::UgvInforRequest()); });
    }
};

}  // namespace

TEST(ControlLinkTest, EveryConnectBeginsWithTheVehicleRequest) {
    TestControlServer server;
    LogCapture log;
    Link link(server.port());
    ASSERT_TRUE(WaitUntil([&] { return !server.frames.empty(); }));
    const auto& first = server.frames.front();
    EXPECT_EQ(first.header.id, ControlFrame::kControlObjectId);
    EXPECT_EQ(first.header.ver, 2);
    EXPECT_EQ(first.payload, ControlReplyTemplates::UgvInforRequest().toUtf8());
    EXPECT_TRUE(WaitUntil([&] {
        return log.contains(QStringLiteral("[Web Control Server : 127.0.0.1] Connection OK...!"));
    }));
    EXPECT_TRUE(log.contains(QStringLiteral("Start Thread_Web_Server....!!! ")));

    // Control messages carry 0xEE11, the status 0xEE22.
    link.socket.SendStatusMessage(QStringLiteral("<ELEMENT>status</ELEMENT>"));
    link.socket.SendControlMessage(QStringLiteral("<ELEMENT>차량</ELEMENT>"));
    ASSERT_TRUE(WaitUntil([&] { return server.frames.size() == 3; }));
    EXPECT_EQ(server.frames[1].header.id, ControlFrame::kStatusObjectId);
    EXPECT_EQ(server.frames[2].header.id, ControlFrame::kControlObjectId);
    // Code page 949 on the wire.
    EXPECT_EQ(server.frames[2].payload, QByteArray("<ELEMENT>\xc2\xf7\xb7\xae</ELEMENT>"));
    // The status is not logged, a control message is.
    EXPECT_FALSE(log.contains(QStringLiteral("<ELEMENT>status</ELEMENT>")));
    EXPECT_TRUE(log.contains(QStringLiteral("<ELEMENT>차량</ELEMENT>")));
}

TEST(ControlLinkTest, CommandsAreCutFromTheStreamInOrder) {
    TestControlServer server;
    Link link(server.port());
    ASSERT_TRUE(WaitUntil([&] { return link.socket.IsConnected() && server.connections == 1; }));
    ASSERT_TRUE(WaitUntil([&] { return !server.frames.empty(); }));
    LogCapture log;
    // Two frames in one write, then one split over two writes.
    server.write(Command("<ELEMENT>one</ELEMENT>") + Command("<ELEMENT>two</ELEMENT>"));
    const QByteArray split = Command("<ELEMENT>three</ELEMENT>");
    server.write(split.left(7));
    ASSERT_TRUE(WaitUntil([&] { return link.commands.size() == 2; }));
    server.write(split.mid(7));
    ASSERT_TRUE(WaitUntil([&] { return link.commands.size() == 3; }));
    EXPECT_EQ(link.commands, (QStringList{"<ELEMENT>one</ELEMENT>", "<ELEMENT>two</ELEMENT>",
                                          "<ELEMENT>three</ELEMENT>"}));
    EXPECT_TRUE(log.contains(QStringLiteral("[ObjectID : 0xe011]")));

    // The station's own object id is dropped without a line; a refused header logs its block
    // and drops the rest of what arrived with it.
    log.lines();
    const int linesBefore = static_cast<int>(log.lines().size());
    server.write(Command("<ELEMENT>own</ELEMENT>", ControlFrame::kControlObjectId) +
                 Command("<ELEMENT>four</ELEMENT>"));
    ASSERT_TRUE(WaitUntil([&] { return link.commands.size() == 4; }));
    EXPECT_EQ(link.commands.last(), QStringLiteral("<ELEMENT>four</ELEMENT>"));
    EXPECT_FALSE(log.lines().mid(linesBefore).join('\n').contains(QStringLiteral("own")));
    server.write(Command("<ELEMENT>old</ELEMENT>", ControlFrame::kServerObjectId, 1) +
                 Command("<ELEMENT>lost</ELEMENT>"));
    ASSERT_TRUE(WaitUntil([&] {
        return log.lines().join('\n').contains(
            QStringLiteral("// 3.ver ERROR : 0x01(Must be greater than or equal to 2)"));
    }));
    server.write(Command("<ELEMENT>five</ELEMENT>"));
    ASSERT_TRUE(WaitUntil([&] { return link.commands.size() == 5; }));
    EXPECT_EQ(link.commands.last(), QStringLiteral("<ELEMENT>five</ELEMENT>"));
}

TEST(ControlLinkTest, AMessageLongerThanAFrameIsNotSent) {
    TestControlServer server;
    Link link(server.port());
    ASSERT_TRUE(WaitUntil([&] { return link.socket.IsConnected() && !server.frames.empty(); }));
    LogCapture log;
    link.socket.SendControlMessage(QString(1449, u'x'));
    link.socket.SendControlMessage(QString(1448, u'y'));
    ASSERT_TRUE(WaitUntil([&] { return server.frames.size() == 2; }));
    EXPECT_EQ(server.frames[1].payload, QByteArray(1448, 'y'));
    EXPECT_TRUE(log.contains(QStringLiteral(
        "[Web Control Server] Message of 1449 bytes not sent: a frame carries at most 1448")));
}

TEST(ControlLinkTest, ReconnectsAfterTheServerWentAwayAndAsksAgain) {
    auto server = std::make_unique<TestControlServer>();
    const quint16 port = server->port();
    LogCapture log;
    Link link(port);
    ASSERT_TRUE(WaitUntil([&] { return !server->frames.empty(); }));
    server->close();
    ASSERT_TRUE(WaitUntil([&] { return !link.socket.IsConnected(); }));
    EXPECT_TRUE(WaitUntil(
        [&] { return log.contains(QStringLiteral("[OnClose]CWebServerSocket 연결해제")); }));
    // While nobody listens, one line per attempt.
    ASSERT_TRUE(WaitUntil([&] {
        return log.contains(QStringLiteral("[Web Control Server : 127.0.0.1] Connection NG...!"));
    }));
    // Messages meanwhile are dropped quietly.
    link.socket.SendControlMessage(QStringLiteral("<ELEMENT>lost</ELEMENT>"));
    server.reset();
    TestControlServer again(port);
    QElapsedTimer back;
    back.start();
    ASSERT_TRUE(WaitUntil([&] { return !again.frames.empty(); }, 6000));
    // The retry comes 3 s after the failed attempt, so the link is back within about 3.1 s.
    EXPECT_LT(back.elapsed(), 4000);
    EXPECT_EQ(again.texts().front(), ControlReplyTemplates::UgvInforRequest());
    EXPECT_FALSE(again.texts().contains(QStringLiteral("<ELEMENT>lost</ELEMENT>")));
}

TEST(ControlLinkTest, StopEndsTheThreadPromptlyEvenWhileItWaitsToRetry) {
    LogCapture log;
    quint16 freePort = 0;
    {
        TestControlServer gone;
        freePort = gone.port();
        gone.close();
    }
    auto link = std::make_unique<Link>(freePort);
    ASSERT_TRUE(WaitUntil([&] {
        return log.contains(QStringLiteral("[Web Control Server : 127.0.0.1] Connection NG...!"));
    }));
    QElapsedTimer timer;
    timer.start();
    link.reset();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_TRUE(log.contains(QStringLiteral("End Thread_Web_Server....!!! ")));
}
