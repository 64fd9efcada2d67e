// The pan/tilt control against the head simulator on a pseudo-terminal: the frames it sends,
// the reply assembly and its checksum check, the confirmed moves and their failures, presence
// and the status poll.

#include "app/StationConfig.h"
#include "app/TimerTable.h"
#include "pantilt/PanTiltControl.h"
#include "pantilt/PanTiltReplySink.h"
#include "pantilt/PelcoFrames.h"
#include "tests/pantilt/PseudoTerminal.h"
#include "tests/pantilt/SimulatedHead.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/WaitUntil.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

namespace {

struct Report {
    PanTiltReply reply;
    double pan;
    double tilt;
    bool operator==(const Report&) const = default;
};

void PrintTo(const Report& report, std::ostream* out) {
    *out << PanTiltReplyName(report.reply) << " pan " << report.pan << " tilt " << report.tilt;
}

class RecordingSink : public PanTiltReplySink {
  public:
    void sendPanTiltReply(PanTiltReply reply, double panDegrees, double tiltDegrees) override {
        sent.push_back({reply, panDegrees, tiltDegrees});
    }

    std::vector<Report> sent;
};

using Reports = std::vector<Report>;

class PanTiltControlTest : public ::testing::Test {
  protected:
    static constexpr int kPort = 3;

    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        qputenv("STATION_SERIAL_DIR", m_folder.path().toLocal8Bit());
        m_control.setReplySink(&m_sink);
        m_control.setPortNumber(kPort);
        QObject::connect(&m_control, &CPanTiltControl::panPositionText,
                         [this](const QString& text) { m_panLabels << text; });
    }
    void TearDown() override {
        m_control.ClosePanTiltPort();
        qunsetenv("STATION_SERIAL_DIR");
    }

    std::unique_ptr<SimulatedHead> startHead(const QStringList& arguments = {}) {
        auto head = std::make_unique<SimulatedHead>(m_folder.path(), kPort, arguments);
        EXPECT_TRUE(head->isReady()) << SimulatedHead::programPath().toStdString();
        return head;
    }
    bool openPort() { return m_control.OpenPanTiltPort(kPort); }
    bool waitForSent(int count, int timeout_ms = 5000) {
        return WaitUntil([&] { return static_cast<int>(m_sink.sent.size()) >= count; }, timeout_ms);
    }

    QTemporaryDir m_folder;
    MotorConfig m_motor;
    TimerTable m_timers;
    CPanTiltControl m_control{m_motor, m_timers};
    RecordingSink m_sink;
    RecordingDialogs m_dialogs;
    LogCapture m_log;
    QStringList m_panLabels;
};

TEST_F(PanTiltControlTest, SendsTheFramesOfEachOperation) {
    auto head = startHead({QStringLiteral("--speed"), QStringLiteral("0")});
    ASSERT_TRUE(openPort());
    const struct {
        const char* name;
        std::function<void()> operation;
        const char* received;
    } cases[] = {
        {"up", [&] { m_control.PanTiltMove(Pelco::kUp); }, "rx ff 01 00 08 32 32 6d move up"},
        {"stop", [&] { m_control.PanTiltMove(Pelco::kStop); }, "rx ff 01 00 00 32 32 65 move stop"},
        {"set pan 90", [&] { m_control.PanTilt_Control_Pos(Pelco::kSetPanPosition, 90); },
         "rx ff 01 00 4b 23 28 97 set-pan 9000"},
        {"set tilt 330", [&] { m_control.PanTilt_Control_Pos(Pelco::kSetTiltPosition, 330); },
         "rx ff 01 00 4d 80 e8 b6 set-tilt 33000"},
        {"query pan", [&] { m_control.PanTiltQuery(Pelco::kQueryPan); },
         "rx ff 01 00 51 00 00 52 query-pan"},
        {"initialise", [&] { m_control.WriteInitialiseFrame(); },
         "rx ff 01 00 07 00 fe 06 go-to-preset 254"},
        {"raw frame text", [&] { m_control.WriteFrameText("ff010010323275"); },
         "rx ff 01 00 10 32 32 75 move down"},
    };
    for (const auto& c : cases) {
        head->clearLines();
        c.operation();
        EXPECT_TRUE(head->waitForLine(QString::fromLatin1(c.received))) << c.name;
        EXPECT_EQ(head->linesStartingWith(QStringLiteral("rx ")).size(), 1) << c.name;
    }
    EXPECT_TRUE(m_log.contains(QStringLiteral("ff01004b232897")));
}

TEST_F(PanTiltControlTest, HeadAtAnotherAddressNeitherAnswersNorMoves) {
    auto head = startHead({QStringLiteral("--address"), QStringLiteral("2"),
                           QStringLiteral("--pan"), QStringLiteral("12")});
    ASSERT_TRUE(openPort());
    m_control.PanTiltQuery(Pelco::kQueryPan);
    // One write at a time: each write purges what the line has not delivered yet.
    EXPECT_TRUE(head->waitForLine(QStringLiteral("ignored ff 01 00 51 00 00 52 address 1")));
    m_control.PanTilt_Control_Pos(Pelco::kSetPanPosition, 90);
    EXPECT_TRUE(head->waitForLine(QStringLiteral("ignored ff 01 00 4b 23 28 97 address 1")));
    EXPECT_EQ(head->linesStartingWith(QStringLiteral("ignored ")).size(), 2);
    EXPECT_TRUE(head->linesStartingWith(QStringLiteral("tx ")).isEmpty());
    EXPECT_EQ(m_control.currentPan(), 0);
    m_motor.Motor_address = 2;
    m_control.PanTiltQuery(Pelco::kQueryPan);
    EXPECT_TRUE(WaitUntil([&] { return m_control.currentPan() == 1200; }))
        << "the configured address is used for every frame";
}

TEST_F(PanTiltControlTest, RefusesPositionsOutOfRange) {
    const struct {
        uint8_t command;
        uint16_t degrees;
        bool accepted;
    } cases[] = {
        {Pelco::kSetPanPosition, 360, true},    {Pelco::kSetPanPosition, 361, false},
        {Pelco::kSetPanPosition, 65535, false}, {Pelco::kSetTiltPosition, 90, true},
        {Pelco::kSetTiltPosition, 91, false},   {Pelco::kSetTiltPosition, 319, false},
        {Pelco::kSetTiltPosition, 320, true},   {Pelco::kSetTiltPosition, 360, true},
        {Pelco::kSetTiltPosition, 361, false},
    };
    auto head = startHead();
    ASSERT_TRUE(openPort());
    for (const auto& c : cases) {
        EXPECT_EQ(m_control.PanTilt_Control_Pos(c.command, c.degrees), c.accepted)
            << int(c.command) << " " << c.degrees;
    }
    EXPECT_TRUE(m_log.contains(QStringLiteral(
        "[CSystemDlg::PanTilt_Control_Pos] Skip : Pan 모터 범위는 0° ~ 360°입니다.")));
    EXPECT_TRUE(
        m_log.contains(QStringLiteral("[CSystemDlg::PanTilt_Control_Pos] Skip : Tilt 모터 범위는 "
                                      "0° ~ 90°, 320° ~ 360° 입니다.")));
}

TEST_F(PanTiltControlTest, AssemblesRepliesAcrossAndWithinReads) {
    const struct {
        const char* name;
        QStringList chunks;  // each one write of the head
        uint16_t pan;
        uint16_t tilt;
        QStringList panLabels;
        int dropped;  // "[PanTilt] Reply dropped" lines
    } cases[] = {
        {"split over two reads", {"ff0100", "592328a5"}, 9000, 0, {"* Position : 90.00"}, 0},
        {"two replies in one read",
         {"ff0100592328a5ff01005b119401"},
         9000,
         4500,
         {"* Position : 90.00"},
         0},
        {"other address ignored",
         {"ff0200592328a6ff0100590064be"},
         100,
         0,
         {"* Position : 1.00"},
         0},
        {"noise before the reply", {"0013ff01005b119401"}, 0, 4500, {}, 0},
        {"bad checksum changes nothing", {"ff0100592328a4"}, 0, 0, {}, 1},
        {"good reply after a bad one",
         {"ff01005b1194eeff0100592328a5"},
         9000,
         0,
         {"* Position : 90.00"},
         1},
    };
    auto head = startHead();
    ASSERT_TRUE(openPort());
    const auto droppedLines = [&] {
        return m_log.lines().filter(QStringLiteral("[PanTilt] Reply dropped")).size();
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(head->send(QStringLiteral("pan 0")));
        head->clearLines();
        // Known position before each case: a query per axis, one at a time (a write purges).
        m_control.PanTiltQuery(Pelco::kQueryPan);
        ASSERT_TRUE(head->waitForLine(QStringLiteral("tx ff 01 00 59")));
        QTest::qWait(100);
        m_control.PanTiltQuery(Pelco::kQueryTilt);
        ASSERT_TRUE(head->waitForLine(QStringLiteral("tx ff 01 00 5b")));
        QTest::qWait(100);
        ASSERT_EQ(m_control.currentPan(), 0);
        ASSERT_EQ(m_control.currentTilt(), 0);
        m_panLabels.clear();
        const auto droppedBefore = droppedLines();
        for (const QString& chunk : c.chunks) {
            ASSERT_TRUE(head->send(QStringLiteral("raw ") + chunk));
            QTest::qWait(100);  // the control reads every 10 ms: each chunk is its own read
        }
        EXPECT_TRUE(WaitUntil([&] {
            return m_control.currentPan() == c.pan && m_control.currentTilt() == c.tilt &&
                   droppedLines() - droppedBefore == c.dropped;
        })) << c.name
            << ": pan " << m_control.currentPan() << " tilt " << m_control.currentTilt()
            << " dropped " << droppedLines() - droppedBefore;
        EXPECT_EQ(m_panLabels, c.panLabels) << c.name;
    }
}

TEST_F(PanTiltControlTest, ReplyFragmentBeforeAWriteIsNotStitchedToTheNextReply) {
    PseudoTerminal head(m_folder.path(), kPort);
    ASSERT_TRUE(openPort());
    const auto fromHex = [](const char* hex) { return QByteArray::fromHex(hex); };
    head.send(fromHex("ff010059"));
    // The bytes are in the port before the control may read them (it reads on this thread).
    QElapsedTimer clock;
    clock.start();
    while (head.unreadOnPort() < 4 && clock.elapsed() < 3000) {
        QThread::msleep(1);
    }
    ASSERT_EQ(head.unreadOnPort(), 4);
    ASSERT_TRUE(WaitUntil([&] { return head.unreadOnPort() == 0; })) << "the fragment was read";

    ASSERT_TRUE(m_control.PanTiltQuery(Pelco::kQueryPan));
    EXPECT_EQ(head.receive(7).toHex(), QByteArray("ff010051000052"));
    head.send(fromHex("ff0100592328a5"));
    ASSERT_TRUE(WaitUntil([&] { return !m_panLabels.isEmpty(); }));
    QTest::qWait(100);
    EXPECT_EQ(m_control.currentPan(), 9000);
    EXPECT_EQ(m_panLabels, QStringList{QStringLiteral("* Position : 90.00")});
    EXPECT_EQ(m_control.currentTilt(), 0);
    EXPECT_TRUE(m_log.lines().filter(QStringLiteral("[PanTilt] Reply dropped")).isEmpty())
        << "the fragment was dropped at the write, not read as a bad frame";
    EXPECT_TRUE(m_sink.sent.empty());
}

TEST_F(PanTiltControlTest, PanCompletesOnTheSecondReplyWithinTolerance) {
    auto head = startHead({QStringLiteral("--speed"), QStringLiteral("0")});
    ASSERT_TRUE(head->send(QStringLiteral("queue-pan 8890 8910 8950")));
    ASSERT_TRUE(openPort());
    m_control.MovePanTiltTo('K', 90, 0);
    EXPECT_TRUE(m_timers.isActive(CPanTiltControl::kPositionPollTimerId));
    ASSERT_TRUE(waitForSent(1));
    EXPECT_EQ(m_sink.sent, (Reports{{PanTiltReply::SetPanComplete, 0, 0}}));
    EXPECT_TRUE(m_log.contains(QStringLiteral("** Wait Pan Setup #1 = 1 (9000/8890)")));
    EXPECT_EQ(m_log.lines().filter(QStringLiteral("** Wait Pan Setup")).size(), 1);
    EXPECT_TRUE(m_log.contains(QStringLiteral("**SET_PAN_TILT_COMPLETE / END : Pan(9000/8950)")));
    EXPECT_FALSE(m_timers.isActive(CPanTiltControl::kPositionPollTimerId));
    EXPECT_EQ(head->linesStartingWith(QStringLiteral("rx ff 01 00 51")).size(), 3);
}

TEST_F(PanTiltControlTest, PanFailsAfterTheFifteenthCountedReply) {
    auto head = startHead({QStringLiteral("--speed"), QStringLiteral("0")});
    ASSERT_TRUE(openPort());
    m_control.MovePanTiltTo('K', 90, 0);
    ASSERT_TRUE(waitForSent(1, 30000));
    EXPECT_EQ(m_sink.sent, (Reports{{PanTiltReply::SetPanNg, 0, 0}}));
    EXPECT_TRUE(m_log.contains(QStringLiteral("** Wait Pan Setup #1 = 16 (9000/0)")));
    EXPECT_TRUE(m_log.lines().filter(QStringLiteral("= 17 (")).isEmpty());
    EXPECT_FALSE(m_timers.isActive(CPanTiltControl::kPositionPollTimerId));
    EXPECT_FALSE(m_control.isSetOperationWaiting());
}

TEST_F(PanTiltControlTest, UnansweredSetOperationFailsAfterItsTimeLimit) {
    auto head = startHead({QStringLiteral("--silent")});
    ASSERT_TRUE(openPort());
    QElapsedTimer clock;
    clock.start();
    m_control.MovePanTiltTo('M', 0, 30);
    ASSERT_TRUE(waitForSent(1, CPanTiltControl::kUnansweredLimitMs + 20000));
    EXPECT_GE(clock.elapsed(), CPanTiltControl::kUnansweredLimitMs - 100);
    EXPECT_EQ(m_sink.sent, (Reports{{PanTiltReply::SetTiltNg, 0, 0}}));
    EXPECT_FALSE(m_timers.isActive(CPanTiltControl::kPositionPollTimerId));
    EXPECT_FALSE(m_control.isSetOperationWaiting());
    EXPECT_GE(head->linesStartingWith(QStringLiteral("rx ff 01 00 53")).size(), 10);
}

TEST_F(PanTiltControlTest, MoveToBothSendsTheTiltAfterThePanArrived) {
    auto head = startHead({QStringLiteral("--speed"), QStringLiteral("400")});
    ASSERT_TRUE(openPort());
    m_control.MovePanTiltTo('N', 10, 20);
    ASSERT_TRUE(waitForSent(1, 15000));
    EXPECT_EQ(m_sink.sent, (Reports{{PanTiltReply::SetPanTiltComplete, 0, 0}}));
    const QStringList received = head->linesStartingWith(QStringLiteral("rx "));
    const int setPan = received.indexOf(QRegularExpression(QStringLiteral(".*set-pan 1000$")));
    const int setTilt = received.indexOf(QRegularExpression(QStringLiteral(".*set-tilt 2000$")));
    ASSERT_GE(setPan, 0);
    ASSERT_GT(setTilt, setPan);
    EXPECT_EQ(received.mid(setPan, setTilt - setPan).filter(QStringLiteral("query-pan")).size(), 2)
        << "two pan replies within tolerance before the tilt";
    EXPECT_EQ(m_control.currentPan(), 1000);
    EXPECT_EQ(m_control.currentTilt(), 2000);
}

TEST_F(PanTiltControlTest, StartUpMovesToItsHomeWithoutTellingTheServer) {
    auto head = startHead({QStringLiteral("--speed"), QStringLiteral("400"),
                           QStringLiteral("--pan"), QStringLiteral("100")});
    ASSERT_TRUE(m_control.StartUp());
    EXPECT_TRUE(m_control.initFlag());
    ASSERT_TRUE(WaitUntil([&] { return !m_control.initFlag(); }, 15000));
    EXPECT_TRUE(m_log.contains(QStringLiteral("[Init] PAN TILT COMPLETE")));
    EXPECT_TRUE(m_log.contains(QStringLiteral("[Skip] SET_PAN_TILT_COMPLETE")));
    EXPECT_TRUE(m_sink.sent.empty());
    EXPECT_EQ(m_control.currentPan(), 0);
    EXPECT_EQ(m_control.currentTilt(), 4500);
    EXPECT_FALSE(m_timers.isActive(CPanTiltControl::kPositionPollTimerId));
}

TEST_F(PanTiltControlTest, PositionQueriesAnswerTheServer) {
    auto head = startHead({QStringLiteral("--pan"), QStringLiteral("12"), QStringLiteral("--tilt"),
                           QStringLiteral("330.5")});
    ASSERT_TRUE(openPort());
    m_control.RequestPanTiltPosition();
    ASSERT_TRUE(waitForSent(1));
    EXPECT_EQ(m_sink.sent.back(), (Report{PanTiltReply::GetPanTiltAck, 12, 330.5}));
    m_control.RequestPanPosition();
    ASSERT_TRUE(waitForSent(2));
    EXPECT_EQ(m_sink.sent.back(), (Report{PanTiltReply::GetPanAck, 12, 0}));
    m_control.RequestTiltPosition();
    ASSERT_TRUE(waitForSent(3));
    EXPECT_EQ(m_sink.sent.back(), (Report{PanTiltReply::GetTiltAck, 0, 330.5}));
    QTest::qWait(200);
    EXPECT_EQ(m_sink.sent.size(), 3u) << "a position reply goes out once";
}

TEST_F(PanTiltControlTest, ReplyWithoutAControlLinkIsLogged) {
    auto head = startHead({QStringLiteral("--pan"), QStringLiteral("12.5")});
    ASSERT_TRUE(openPort());
    m_control.setReplySink(nullptr);
    m_control.RequestPanPosition();
    EXPECT_TRUE(WaitUntil([&] {
        return m_log.contains(
            QStringLiteral("[PanTilt] GET_PAN_ACK (pan 12.50, tilt 0.00) : no control link"));
    })) << m_log.lines().join('\n').toStdString();
    EXPECT_TRUE(m_sink.sent.empty());
}

TEST_F(PanTiltControlTest, PortThatVanishesIsClosedWithItsMessage) {
    auto head = startHead();
    ASSERT_TRUE(openPort());
    EXPECT_TRUE(m_timers.isActive(CPanTiltControl::kReceiveTimerId));
    EXPECT_TRUE(m_timers.isActive(CPanTiltControl::kPresenceTimerId));
    ASSERT_TRUE(head->send(QStringLiteral("vanish")));
    ASSERT_TRUE(WaitUntil([&] { return !m_dialogs.messages().empty(); }, 5000));
    const auto messages = m_dialogs.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, QStringLiteral("[ERROR]Pan/Tilt 모터 연결해제"));
    EXPECT_EQ(messages[0].text, QStringLiteral("'Com3' Pan/Tilt 모터 연결 해제"));
    EXPECT_FALSE(m_control.isConnected());
    EXPECT_FALSE(m_timers.isActive(CPanTiltControl::kReceiveTimerId));
    EXPECT_FALSE(m_timers.isActive(CPanTiltControl::kPresenceTimerId));
    EXPECT_FALSE(m_control.PollStatus()) << "PANTILT reads 0 without the port";
    EXPECT_TRUE(m_log.contains(QStringLiteral("[WriteCommand] Could not send a remote command")));
}

TEST_F(PanTiltControlTest, SimulatorSurvivesARawCommandThatIsNotHex) {
    auto head = startHead();
    head->write(QStringLiteral("raw zz"));
    EXPECT_TRUE(head->waitForLine(QStringLiteral("bad raw zz")));
    EXPECT_TRUE(head->send(QStringLiteral("pan 100"))) << "still running";
}

TEST_F(PanTiltControlTest, StatusPollReopensAClosedPortThenQueriesBothAxes) {
    auto head = startHead({QStringLiteral("--pan"), QStringLiteral("12"), QStringLiteral("--tilt"),
                           QStringLiteral("34")});
    ASSERT_TRUE(openPort());
    auto connected = std::make_shared<bool>(true);
    QObject::connect(&m_control, &CPanTiltControl::connectionChanged,
                     [connected](bool now) { *connected = now; });
    m_control.ClosePanTiltPort();
    EXPECT_FALSE(*connected);
    head->clearLines();
    EXPECT_TRUE(m_control.PollStatus());
    EXPECT_TRUE(m_control.isConnected());
    EXPECT_TRUE(*connected);
    QTest::qWait(200);
    EXPECT_TRUE(head->linesStartingWith(QStringLiteral("rx ")).isEmpty()) << "no query this pass";
    EXPECT_TRUE(m_control.PollStatus());
    EXPECT_TRUE(head->waitForLine(QStringLiteral("rx ff 01 00 53 00 00 54 query-tilt")));
    EXPECT_TRUE(WaitUntil(
        [&] { return m_control.currentPan() == 1200 && m_control.currentTilt() == 3400; }));
    EXPECT_TRUE(m_sink.sent.empty());
}

TEST_F(PanTiltControlTest, OpenFailureOfAPresentPortIsShownOncePerPortState) {
    const QString path = m_folder.path() + QStringLiteral("/COM3");
    auto createPlainFile = [&] {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    };
    createPlainFile();  // present, but no serial line behind it
    EXPECT_FALSE(openPort());
    ASSERT_EQ(m_dialogs.messages().size(), 1u);
    EXPECT_EQ(m_dialogs.messages()[0].caption, QStringLiteral("[ERROR]Pan/Tilt 모터 연결실패"));
    EXPECT_EQ(
        m_dialogs.messages()[0].text,
        QStringLiteral("'Com3' Pan/Tilt 모터 연결 실패, Pan/Tilt 모터 디바이스 확인해 주세요."));
    for (int k = 0; k < 3; ++k) {
        EXPECT_TRUE(m_control.PollStatus());
    }
    EXPECT_EQ(m_dialogs.messages().size(), 1u) << "no repeat while nothing changed";

    QFile::remove(path);
    EXPECT_FALSE(m_control.PollStatus());
    createPlainFile();
    EXPECT_TRUE(m_control.PollStatus());
    EXPECT_EQ(m_dialogs.messages().size(), 2u) << "shown again after the port came back";
    EXPECT_FALSE(m_control.OpenPanTiltPort(0)) << "port numbers start at 1";
    EXPECT_EQ(m_dialogs.messages().size(), 2u);
}

}  // namespace
