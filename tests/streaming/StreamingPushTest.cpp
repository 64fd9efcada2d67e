// The picture push against two real servers on loopback: each link reaches its own port,
// introduces the station first, sends the view it is given as 160 x 120 JPEGs about five times a
// second, acknowledges the server's command and comes back after the server closed it.
#include "app/TimerTable.h"
#include "streaming/StreamingPush.h"
#include "tests/support/LogCapture.h"
#include "tests/support/WaitUntil.h"
#include "tools/streaming-sim/StreamingStreamParser.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <memory>

namespace {

class TestStreamingServer {
  public:
    TestStreamingServer() {
        EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* peer = m_server.nextPendingConnection()) {
                ++connections;
                m_peer.reset(peer);
                m_parser.reset();
                events.clear();
                QObject::connect(peer, &QTcpSocket::readyRead, [this, peer] {
                    for (const StreamingEvent& event : m_parser.feed(peer->readAll())) {
                        events.push_back(event);
                    }
                });
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    void write(const QByteArray& bytes) {
        m_peer->write(bytes);
        m_peer->flush();
    }
    void dropStation() {
        m_peer->disconnectFromHost();
        m_peer.release()->deleteLater();
    }
    int count(StreamingEvent::Kind kind) const {
        return static_cast<int>(std::count_if(events.begin(), events.end(),
                                              [kind](const auto& e) { return e.kind == kind; }));
    }

    int connections = 0;
    std::vector<StreamingEvent> events;

  private:
    QTcpServer m_server;
    std::unique_ptr<QTcpSocket> m_peer;
    StreamingStreamParser m_parser;
};

QImage View(QColor colour) {
    QImage image(640, 480, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

struct Push {
    TimerTable timers;
    QStringList requested;
    CStreamingPush push{timers, [this](int index) {
                            requested << QString::number(index);
                            return View(index == 0 ? QColor(220, 30, 30) : QColor(30, 30, 220));
                        }};
    Push(quint16 top, quint16 bottom) {
        push.Link(0).SetServerPort(top);
        push.Link(1).SetServerPort(bottom);
    }
};

}  // namespace

TEST(StreamingPushTest, EachViewReachesItsServerIntroducedAndAsJpegs) {
    TestStreamingServer top;
    TestStreamingServer bottom;
    LogCapture log;
    Push push(top.port(), bottom.port());
    EXPECT_EQ(CWebStreamingSocket::kFirstPort, 13308);
    EXPECT_EQ(push.push.Link(1).ServerPort(), bottom.port());
    push.push.StartPicturePush(QStringLiteral("차량-1"));
    EXPECT_TRUE(push.timers.isActive(CStreamingPush::kTimerPush));
    EXPECT_EQ(push.timers.interval(CStreamingPush::kTimerPush), 100);
    ASSERT_TRUE(WaitUntil([&] {
        return top.count(StreamingEvent::Kind::Picture) >= 3 &&
               bottom.count(StreamingEvent::Kind::Picture) >= 3;
    }));
    for (TestStreamingServer* server : {&top, &bottom}) {
        ASSERT_FALSE(server->events.empty());
        EXPECT_EQ(server->events.front().kind, StreamingEvent::Kind::Introduction);
        EXPECT_EQ(server->events.front().ugvId, QStringLiteral("차량-1"));
        EXPECT_EQ(server->count(StreamingEvent::Kind::Garbage), 0);
    }
    const QImage topPicture = QImage::fromData(top.events.back().bytes, "JPEG");
    const QImage bottomPicture = QImage::fromData(bottom.events.back().bytes, "JPEG");
    EXPECT_EQ(topPicture.size(), QSize(160, 120));
    EXPECT_GT(qRed(topPicture.pixel(80, 60)), 180);
    EXPECT_GT(qBlue(bottomPicture.pixel(80, 60)), 180);
    EXPECT_TRUE(
        log.contains(QStringLiteral("[Streaming Server : OnWebStreamingTopServerSocketAttach] Send "
                                    "UGV_INFORMATION(VORN_ID)....!!! ")));
    EXPECT_TRUE(log.contains(QStringLiteral("[Streaming Server 1 : 127.0.0.1] Connection OK...!")));

    // At most one picture per 200 ms request (about five a second; fewer on a loaded machine).
    const int before = top.count(StreamingEvent::Kind::Picture);
    QElapsedTimer second;
    second.start();
    WaitUntil([&] { return second.elapsed() >= 2000; }, 3000);
    const int inTwoSeconds = top.count(StreamingEvent::Kind::Picture) - before;
    EXPECT_GE(inTwoSeconds, 1);
    EXPECT_LE(inTwoSeconds, 11);
}

TEST(StreamingPushTest, ALaterStartOnlyChangesTheCode) {
    TestStreamingServer top;
    TestStreamingServer bottom;
    LogCapture log;
    Push push(top.port(), bottom.port());
    push.push.StartPicturePush(QStringLiteral("FIRST"));
    push.push.StartPicturePush(QStringLiteral("SECOND"));
    ASSERT_TRUE(WaitUntil([&] { return top.count(StreamingEvent::Kind::Picture) >= 1; }));
    EXPECT_EQ(
        log.lines().count(QStringLiteral("Start Thread_Streaming_Top ++++++++++++++++++++++!!! ")),
        1);
    EXPECT_EQ(top.events.front().ugvId, QStringLiteral("SECOND"));
    // A new connection introduces the station with the code in force.
    push.push.StartPicturePush(QStringLiteral("THIRD"));
    top.dropStation();
    ASSERT_TRUE(WaitUntil([&] { return top.connections == 2 && !top.events.empty(); }));
    EXPECT_EQ(top.events.front().ugvId, QStringLiteral("THIRD"));
    EXPECT_TRUE(log.contains(QStringLiteral("[OnClose]CWebStreamingSocket 연결해제")));
}

TEST(StreamingPushTest, BroadcastCommandsAreAcknowledgedBetweenPictures) {
    TestStreamingServer top;
    TestStreamingServer bottom;
    Push push(top.port(), bottom.port());
    push.push.StartPicturePush(QStringLiteral("UGV"));
    ASSERT_TRUE(WaitUntil([&] { return top.count(StreamingEvent::Kind::Picture) >= 1; }));
    top.write(
        "<R><YELT VERSION=\"1.0\" CMD_ID=\"BROD_CMD_01\"/>"
        "<YELT VERSION=\"1.0\" CMD_ID=\"BROD_CMD_01\"/></R>");
    ASSERT_TRUE(WaitUntil([&] { return top.count(StreamingEvent::Kind::Ack) == 2; }));
    top.write("<YELT VERSION=\"1.1\" CMD_ID=\"BROD_CMD_01\"/>");
    const int pictures = top.count(StreamingEvent::Kind::Picture);
    ASSERT_TRUE(
        WaitUntil([&] { return top.count(StreamingEvent::Kind::Picture) >= pictures + 3; }));
    EXPECT_EQ(top.count(StreamingEvent::Kind::Ack), 2);
    // The answers never split a picture.
    EXPECT_EQ(top.count(StreamingEvent::Kind::Garbage), 0);
    EXPECT_EQ(bottom.count(StreamingEvent::Kind::Ack), 0);
}

TEST(StreamingPushTest, AnUnreachableServerLeavesTheOtherViewAlone) {
    quint16 freePort = 0;
    {
        QTcpServer gone;
        ASSERT_TRUE(gone.listen(QHostAddress::LocalHost, 0));
        freePort = gone.serverPort();
    }
    TestStreamingServer bottom;
    LogCapture log;
    Push push(freePort, bottom.port());
    push.push.StartPicturePush(QStringLiteral("UGV"));
    ASSERT_TRUE(WaitUntil([&] { return bottom.count(StreamingEvent::Kind::Picture) >= 5; }));
    EXPECT_TRUE(log.contains(QStringLiteral("[Streaming Server 0 : 127.0.0.1] Connection NG...!")));
    // Stopping ends both threads at once, even the one waiting to retry.
    QElapsedTimer timer;
    timer.start();
    push.push.Stop();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_TRUE(
        log.contains(QStringLiteral("End Thread_Streaming_Top ------------------------!!! ")));
}
