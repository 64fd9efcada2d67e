// The control-server simulator: the texts its short commands send, its server against a station
// played by a real socket on loopback, and the built program running scripts.

#include "app/Cp949.h"
#include "remote/ControlFrame.h"
#include "tools/control-sim/ConsoleCommand.h"
#include "tools/control-sim/ControlCommandText.h"
#include "tools/control-sim/ControlConsole.h"
#include "tools/control-sim/ControlServer.h"
#include "tools/control-sim/ScriptRunner.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int kWaitMs = 10000;

QByteArray StationFrame(const QString& text, uint16_t objectId = ControlFrame::kControlObjectId) {
    return *EncodeControlFrame(objectId, ToCp949(text),
                               static_cast<uint32_t>(QDateTime::currentSecsSinceEpoch()));
}

QString StationMessage(const QString& command) {
    return QStringLiteral("<ELEMENT>\r\n  <CMD_ID>") + command +
           QStringLiteral("</CMD_ID>\r\n</ELEMENT>");
}

// The station's end of the link: a plain socket that collects the server's frames.
class FakeStation {
  public:
    struct Received {
        ControlFrameHeader header;
        QByteArray payload;
        QString text;
        QString command;
    };

    FakeStation() {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] {
            const QByteArray bytes = socket.readAll();
            m_reader.Append(bytes.constData(), bytes.size());
            while (const std::optional<ControlFrameReader::Item> item = m_reader.TakeNext()) {
                ASSERT_EQ(item->kind, ControlFrameReader::Item::Frame);
                Received frame{item->header, item->payload, FromCp949(item->payload), {}};
                frame.command = ControlCommandText::CommandIdOf(frame.text);
                frames.push_back(frame);
                if (onFrame) {
                    onFrame(frame);
                }
            }
        });
    }

    bool connectTo(quint16 port) {
        socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        return socket.waitForConnected(kWaitMs);
    }
    void write(const QByteArray& bytes) {
        socket.write(bytes);
        socket.flush();
    }
    bool waitForFrames(size_t count) {
        return QTest::qWaitFor([&] { return frames.size() >= count; }, kWaitMs);
    }

    QTcpSocket socket;
    std::vector<Received> frames;
    std::function<void(const Received&)> onFrame;

  private:
    ControlFrameReader m_reader;
};

// What the simulator printed, kept apart by channel.
struct Printed {
    QStringList out;
    QStringList err;

    OutputFunction function() {
        return [this](OutputChannel channel, const QString& text) {
            (channel == OutputChannel::Out ? out : err) << text;
        };
    }
    bool outContains(const QString& part) const {
        return std::any_of(out.begin(), out.end(),
                           [&](const QString& line) { return line.contains(part); });
    }
    bool waitForOut(const QString& part) const {
        return QTest::qWaitFor([&] { return outContains(part); }, kWaitMs);
    }
};

ControlServerOptions AnyPort() {
    ControlServerOptions options;
    options.port = 0;
    return options;
}

// ---------------------------------------------------------------------------------------------
// The short forms

struct TextCase {
    const char* line;
    const char* text;
};

TEST(ControlSimCommandTextTest, ShortFormsSendTheseTextsByteForByte) {
    const TextCase cases[] = {
        {"start \"엔진 A\" 12 M-7 1",
         "<ELEMENT>\r\n  <CMD_ID>INSPECTION_START</CMD_ID>\r\n  "
         "<INSPECTION_ID>12</INSPECTION_ID>\r\n"
         "  <ENGINE_ID>엔진 A</ENGINE_ID>\r\n  <SENSOR_INDEX>1</SENSOR_INDEX>\r\n"
         "  <MISSION_ID>M-7</MISSION_ID>\r\n</ELEMENT>"},
        {"start A&B<1> 3 M-1",
         "<ELEMENT>\r\n  <CMD_ID>INSPECTION_START</CMD_ID>\r\n  "
         "<INSPECTION_ID>3</INSPECTION_ID>\r\n"
         "  <ENGINE_ID>A&amp;B&lt;1&gt;</ENGINE_ID>\r\n  <SENSOR_INDEX>0</SENSOR_INDEX>\r\n"
         "  <MISSION_ID>M-1</MISSION_ID>\r\n</ELEMENT>"},
        {"stop M-7",
         "<ELEMENT>\r\n  <CMD_ID>INSPECTION_STOP</CMD_ID>\r\n  <MISSION_ID>M-7</MISSION_ID>\r\n"
         "</ELEMENT>"},
        {"pan -12.5 M-8",
         "<ELEMENT>\r\n  <CMD_ID>SET_PAN</CMD_ID>\r\n  <PAN>-12.5</PAN>\r\n"
         "  <MISSION_ID>M-8</MISSION_ID>\r\n</ELEMENT>"},
        {"tilt 30 M-8",
         "<ELEMENT>\r\n  <CMD_ID>SET_TILT</CMD_ID>\r\n  <TILT>30</TILT>\r\n"
         "  <MISSION_ID>M-8</MISSION_ID>\r\n</ELEMENT>"},
        {"pantilt 10 330.25 M-9",
         "<ELEMENT>\r\n  <CMD_ID>SET_PAN_TILT</CMD_ID>\r\n  <PAN>10</PAN>\r\n"
         "  <TILT>330.25</TILT>\r\n  <MISSION_ID>M-9</MISSION_ID>\r\n</ELEMENT>"},
        {"get-pantilt M-3",
         "<ELEMENT>\r\n  <CMD_ID>GET_PAN_TILT</CMD_ID>\r\n  <MISSION_ID>M-3</MISSION_ID>\r\n"
         "</ELEMENT>"},
        {"up", "<ELEMENT>\r\n  <CMD_ID>TILT_UP</CMD_ID>\r\n</ELEMENT>"},
        {"right", "<ELEMENT>\r\n  <CMD_ID>PAN_RIGHT</CMD_ID>\r\n</ELEMENT>"},
        {"halt M-4",
         "<ELEMENT>\r\n  <CMD_ID>PAN_TILT_STOP</CMD_ID>\r\n  <MISSION_ID>M-4</MISSION_ID>\r\n"
         "</ELEMENT>"},
        {"init", "<ELEMENT>\r\n  <CMD_ID>INIT_PAN_TILT</CMD_ID>\r\n</ELEMENT>"},
        {"sync-response",
         "<ELEMENT>\r\n  <CMD_ID>EQUIPMENT_ENGINE_DB_SYNC_RESPONSE</CMD_ID>\r\n</ELEMENT>"},
        {"ugv 차량01 UGV 01",
         "<ELEMENT>\r\n  <CMD_ID>UGV_INFOR_RESPONSE</CMD_ID>\r\n  <UGV_CODE>차량01</UGV_CODE>\r\n"
         "  <UGV_NAME>UGV 01</UGV_NAME>\r\n</ELEMENT>"},
        {"  raw <A> <CMD_ID>X</CMD_ID>  \"q\" </A>  ", "<A> <CMD_ID>X</CMD_ID>  \"q\" </A>"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.line);
        ConsoleCommandParser parser;
        const ConsoleCommand command = parser.parse(QString::fromUtf8(c.line));
        EXPECT_EQ(command.kind, ConsoleCommand::Send) << command.text.toStdString();
        EXPECT_EQ(command.text.toStdString(), std::string(c.text));
    }
}

TEST(ControlSimCommandTextTest, LeftOutMissionIsTheLastStartsAndLeftOutNameTheConfiguredOne) {
    ConsoleCommandParser parser;
    parser.setUgvName(QStringLiteral("Vehicle 9"));
    EXPECT_TRUE(parser.parse(QStringLiteral("stop")).text.contains("<MISSION_ID></MISSION_ID>"));
    parser.parse(QStringLiteral("start E 1 M-5"));
    // A mission given to a pan/tilt command does not replace the start's.
    EXPECT_TRUE(parser.parse(QStringLiteral("pan 3 P-1")).text.contains("<MISSION_ID>P-1<"));
    for (const char* line : {"stop", "get-pan", "get-tilt", "halt", "pan 1", "pantilt 1 2"}) {
        SCOPED_TRACE(line);
        EXPECT_TRUE(parser.parse(QString::fromLatin1(line)).text.contains("<MISSION_ID>M-5<"));
    }
    parser.parse(QStringLiteral("start E 2 M-6"));
    EXPECT_TRUE(parser.parse(QStringLiteral("stop")).text.contains("<MISSION_ID>M-6<"));
    EXPECT_TRUE(
        parser.parse(QStringLiteral("ugv X")).text.contains("<UGV_NAME>Vehicle 9</UGV_NAME>"));
}

TEST(ControlSimCommandTextTest, MistakesAreExplainedAndSendNothing) {
    const std::pair<const char*, const char*> cases[] = {
        {"bogus 1", "unknown command 'bogus'"},
        {"start E x M", "IID 'x'"},
        {"start E 1", "usage: start ENGINE IID MISSION [SENSOR_INDEX]"},
        {"start E 1 M 0 extra", "usage: start"},
        {"start E 1 M -1", "SENSOR_INDEX '-1'"},
        {"start \"E 1 M", "double quote"},
        {"pan", "usage: pan N [MISSION]"},
        {"tilt 1,5", "'1,5' is not a number"},
        {"pantilt 1 x", "P and T"},
        {"up now", "usage: up"},
        {"raw   ", "usage: raw XML"},
        {"ugv", "usage: ugv CODE [NAME]"},
    };
    for (const auto& [line, message] : cases) {
        SCOPED_TRACE(line);
        ConsoleCommandParser parser;
        const ConsoleCommand command = parser.parse(QString::fromUtf8(line));
        EXPECT_EQ(command.kind, ConsoleCommand::Invalid);
        EXPECT_TRUE(command.text.contains(QString::fromUtf8(message)))
            << command.text.toStdString();
    }
    ConsoleCommandParser parser;
    EXPECT_EQ(parser.parse(QStringLiteral("   ")).kind, ConsoleCommand::Nothing);
    EXPECT_EQ(parser.parse(QStringLiteral("close")).kind, ConsoleCommand::Close);
    EXPECT_EQ(parser.parse(QStringLiteral("quit")).kind, ConsoleCommand::Quit);
    EXPECT_EQ(parser.parse(QStringLiteral("help")).kind, ConsoleCommand::Help);
}

// ---------------------------------------------------------------------------------------------
// Scripts, checked before they run

TEST(ControlSimScriptTest, ReadsStepsWithTheirDefaults) {
    const ScriptRunner::Parsed parsed = ScriptRunner::Parse(
        QStringLiteral("# mission\r\n\nwait-connect\nsend start E {n} M-{n}\r\n"
                       "wait INSPECTION_START_ACK 2.5\nwait INSPECTION_COMPLETE\nsleep 0.25\n"),
        true);
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    ASSERT_EQ(parsed.steps.size(), 5);
    EXPECT_EQ(parsed.steps[0].kind, ScriptStep::WaitConnect);
    EXPECT_EQ(parsed.steps[0].seconds, ScriptRunner::kDefaultWaitSeconds);
    EXPECT_EQ(parsed.steps[1].kind, ScriptStep::Send);
    EXPECT_EQ(parsed.steps[1].line, 4);
    EXPECT_EQ(parsed.steps[1].argument, QStringLiteral("start E {n} M-{n}"));
    EXPECT_EQ(parsed.steps[2].argument, QStringLiteral("INSPECTION_START_ACK"));
    EXPECT_EQ(parsed.steps[2].seconds, 2.5);
    EXPECT_EQ(parsed.steps[3].seconds, ScriptRunner::kDefaultWaitSeconds);
    EXPECT_EQ(parsed.steps[4].kind, ScriptStep::Sleep);
    EXPECT_EQ(parsed.steps[4].seconds, 0.25);
}

TEST(ControlSimScriptTest, RefusesBadLinesNamingThem) {
    struct Case {
        const char* script;
        bool loop;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"send up\nfly away\n", false, 2, "unknown step 'fly'"},
        {"send\n", false, 1, "send needs a command"},
        {"# c\nsend bogus\n", false, 2, "unknown command 'bogus'"},
        {"send start E x M\n", false, 1, "IID 'x'"},
        {"send quit\n", false, 1, "cannot be sent"},
        {"send help\n", false, 1, "cannot be sent"},
        {"wait\n", false, 1, "usage: wait CMD_ID"},
        {"wait inspection_start_ack\n", false, 1, "not a CMD_ID"},
        {"wait A 0\n", false, 1, "not a time limit"},
        {"wait A 5 6\n", false, 1, "usage: wait CMD_ID"},
        {"wait-connect soon\n", false, 1, "not a time limit"},
        {"sleep\n", false, 1, "usage: sleep"},
        {"sleep -1\n", false, 1, "usage: sleep"},
        {"sleep nan\n", false, 1, "usage: sleep"},
        {"wait-connect\nsend up\nsleep 0\n", true, 0, "looping script"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const ScriptRunner::Parsed parsed =
            ScriptRunner::Parse(QString::fromUtf8(c.script), c.loop);
        EXPECT_TRUE(parsed.steps.isEmpty());
        EXPECT_EQ(parsed.errorLine, c.line);
        EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(c.message)))
            << parsed.error.toStdString();
    }
}

TEST(ControlSimScriptTest, AWaitCountsOnlyMessagesAfterTheOneThePreviousWaitMatched) {
    struct Case {
        const char* order;  // what the station sends, in one write
        int status;
    };
    for (const Case& c : {Case{"AB", 0}, Case{"BA", 3}}) {
        SCOPED_TRACE(c.order);
        Printed printed;
        ControlServer server(AnyPort(), printed.function());
        ASSERT_TRUE(server.listen());
        ControlConsole console(server, printed.function());
        const ScriptRunner::Parsed parsed = ScriptRunner::Parse(
            QStringLiteral("wait-connect 5\nsend up\nwait TILT_A 5\nwait TILT_B 0.3\n"), false);
        ASSERT_TRUE(parsed.error.isEmpty());
        ScriptRunner runner(parsed.steps, false, server, console, printed.function());
        int status = -1;
        QObject::connect(&runner, &ScriptRunner::finished, [&](int s) { status = s; });
        runner.start();

        FakeStation station;
        station.onFrame = [&](const FakeStation::Received&) {
            QByteArray bytes;
            for (const char name : QByteArray(c.order)) {
                bytes += StationFrame(StationMessage(QStringLiteral("TILT_") + QChar(name)));
            }
            station.write(bytes);
        };
        ASSERT_TRUE(station.connectTo(server.port()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return status >= 0; }, kWaitMs));
        EXPECT_EQ(status, c.status) << printed.err.join('|').toStdString();
    }
}

// ---------------------------------------------------------------------------------------------
// The server against a station on loopback

TEST(ControlSimServerTest, AnswersTheVehicleRequestInCodePage949) {
    Printed printed;
    ControlServerOptions options = AnyPort();
    options.ugvCode = QStringLiteral("차량01");
    options.ugvName = QStringLiteral("UGV 01");
    ControlServer server(options, printed.function());
    ASSERT_TRUE(server.listen());
    FakeStation station;
    ASSERT_TRUE(station.connectTo(server.port()));
    station.write(StationFrame(StationMessage(QStringLiteral("UGV_INFOR_REQUEST"))));
    ASSERT_TRUE(station.waitForFrames(1));

    const FakeStation::Received& answer = station.frames[0];
    EXPECT_EQ(answer.header.sop, ControlFrame::kStartWord);
    EXPECT_EQ(answer.header.id, ControlFrame::kServerObjectId);
    EXPECT_EQ(answer.header.ver, 2);
    EXPECT_EQ(answer.header.length, answer.payload.size());
    // 차량 in code page 949, written out so the check does not lean on the codec it tests.
    const QByteArray code(
        "\xC2\xF7\xB7\xAE"
        "01");
    EXPECT_EQ(answer.payload, QByteArray("<ELEMENT>\r\n  <CMD_ID>UGV_INFOR_RESPONSE</CMD_ID>\r\n"
                                         "  <UGV_CODE>") +
                                  code +
                                  QByteArray("</UGV_CODE>\r\n  <UGV_NAME>UGV 01</UGV_NAME>\r\n"
                                             "</ELEMENT>"));
    EXPECT_TRUE(printed.outContains(QStringLiteral("<- 0xEE11 ver 2 len 59 UGV_INFOR_REQUEST")));
    EXPECT_TRUE(printed.outContains(
        QStringLiteral("-> 0xE011 ver 2 len %1 UGV_INFOR_RESPONSE\n").arg(answer.payload.size())));
    EXPECT_TRUE(printed.outContains(QStringLiteral("<UGV_CODE>차량01</UGV_CODE>")));
}

TEST(ControlSimServerTest, LeavesTheVehicleRequestWhenToldTo) {
    Printed printed;
    ControlServerOptions options = AnyPort();
    options.answerUgvRequest = false;
    ControlServer server(options, printed.function());
    ASSERT_TRUE(server.listen());
    ControlConsole console(server, printed.function());
    FakeStation station;
    ASSERT_TRUE(station.connectTo(server.port()));
    station.write(StationFrame(StationMessage(QStringLiteral("UGV_INFOR_REQUEST"))));
    ASSERT_TRUE(printed.waitForOut(QStringLiteral("UGV_INFOR_REQUEST")));
    // The next frame the station sees is the one typed after the request had arrived.
    console.execute(QStringLiteral("left"));
    ASSERT_TRUE(station.waitForFrames(1));
    EXPECT_EQ(station.frames[0].command, QStringLiteral("PAN_LEFT"));
}

TEST(ControlSimServerTest, PrintsFramesWhateverTheTcpWritesCutThemInto) {
    Printed printed;
    ControlServer server(AnyPort(), printed.function());
    ASSERT_TRUE(server.listen());
    QStringList received;
    QObject::connect(&server, &ControlServer::messageReceived,
                     [&](const QString& command) { received << command; });
    FakeStation station;
    ASSERT_TRUE(station.connectTo(server.port()));

    // Two frames in one write.
    station.write(StationFrame(StationMessage(QStringLiteral("INSPECTION_START_ACK"))) +
                  StationFrame(StationMessage(QStringLiteral("INSPECTION_STOP_ACK"))));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() >= 2; }, kWaitMs));
    EXPECT_EQ(received, (QStringList{"INSPECTION_START_ACK", "INSPECTION_STOP_ACK"}));

    // One frame over two writes: nothing until the second part is in.
    const QByteArray split = StationFrame(StationMessage(QStringLiteral("SET_PAN_COMPLETE")));
    station.write(split.left(7));
    ASSERT_TRUE(station.socket.waitForBytesWritten(kWaitMs) || station.socket.bytesToWrite() == 0);
    QTest::qWait(100);
    EXPECT_EQ(received.size(), 2);
    station.write(split.mid(7));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() >= 3; }, kWaitMs));
    EXPECT_EQ(received.value(2), QStringLiteral("SET_PAN_COMPLETE"));

    EXPECT_TRUE(
        printed.outContains(QStringLiteral("<- 0xEE11 ver 2 len 62 INSPECTION_START_ACK\n"
                                           "<ELEMENT>\n  <CMD_ID>INSPECTION_START_ACK")));
    EXPECT_TRUE(
        printed.outContains(QStringLiteral("<- 0xEE11 ver 2 len 61 INSPECTION_STOP_ACK\n")));
    EXPECT_TRUE(printed.outContains(QStringLiteral("<- 0xEE11 ver 2 len 58 SET_PAN_COMPLETE\n")));
    EXPECT_TRUE(printed.err.isEmpty());
}

TEST(ControlSimServerTest, StatusGoesOnOneLineOrNowhere) {
    const QString status = QStringLiteral(
        "<ELEMENT>\r\n  <CMD_ID>EQUIPMENT_STATUS</CMD_ID>\r\n  <PHONOLUX_1>1</PHONOLUX_1>\r\n"
        "  <CPU>12.5</CPU>\r\n  <PAN>3.00</PAN>\r\n</ELEMENT>");
    for (const bool quiet : {false, true}) {
        SCOPED_TRACE(quiet ? "quiet" : "printed");
        Printed printed;
        ControlServerOptions options = AnyPort();
        options.quietStatus = quiet;
        ControlServer server(options, printed.function());
        ASSERT_TRUE(server.listen());
        FakeStation station;
        ASSERT_TRUE(station.connectTo(server.port()));
        station.write(StationFrame(status, ControlFrame::kStatusObjectId) +
                      StationFrame(StationMessage(QStringLiteral("GET_PAN_ACK"))));
        ASSERT_TRUE(printed.waitForOut(QStringLiteral("GET_PAN_ACK")));
        const QString line = QStringLiteral(
                                 "<- 0xEE22 ver 2 len %1 EQUIPMENT_STATUS "
                                 "PHONOLUX_1=1 CPU=12.5 PAN=3.00")
                                 .arg(ToCp949(status).size());
        EXPECT_EQ(printed.out.contains(line), !quiet) << printed.out.join("|").toStdString();
    }
}

TEST(ControlSimServerTest, HeaderFaultIsPrintedAndTheNextFrameStillReads) {
    Printed printed;
    ControlServer server(AnyPort(), printed.function());
    ASSERT_TRUE(server.listen());
    FakeStation station;
    ASSERT_TRUE(station.connectTo(server.port()));
    QByteArray bad = StationFrame(StationMessage(QStringLiteral("TILT_UP_ACK")));
    bad[4] = 1;  // version 1
    station.write(bad);
    ASSERT_TRUE(printed.waitForOut(QStringLiteral("<- header fault")));
    EXPECT_TRUE(printed.outContains(
        QStringLiteral(
            "<- header fault (object id 0xEE11): version 1, below 2; %1 received bytes dropped")
            .arg(bad.size())));
    station.write(StationFrame(StationMessage(QStringLiteral("TILT_DOWN_ACK"))));
    EXPECT_TRUE(printed.waitForOut(QStringLiteral("<- 0xEE11 ver 2 len 55 TILT_DOWN_ACK")));
    EXPECT_FALSE(printed.outContains(QStringLiteral("TILT_UP_ACK")));
}

TEST(ControlSimServerTest, ANewStationReplacesTheOldOne) {
    Printed printed;
    ControlServer server(AnyPort(), printed.function());
    ASSERT_TRUE(server.listen());
    ControlConsole console(server, printed.function());
    FakeStation first;
    ASSERT_TRUE(first.connectTo(server.port()));
    ASSERT_TRUE(printed.waitForOut(QStringLiteral("station connected from")));
    FakeStation second;
    ASSERT_TRUE(second.connectTo(server.port()));
    ASSERT_TRUE(printed.waitForOut(QStringLiteral("replaces the one from")));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return first.socket.state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
    console.execute(QStringLiteral("down"));
    ASSERT_TRUE(second.waitForFrames(1));
    EXPECT_EQ(second.frames[0].command, QStringLiteral("TILT_DOWN"));
    EXPECT_TRUE(first.frames.empty());

    console.execute(QStringLiteral("close"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return second.socket.state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
    EXPECT_FALSE(server.isConnected());
}

TEST(ControlSimServerTest, NothingGoesOutWithoutAStationOrForAMistake) {
    Printed printed;
    ControlServer server(AnyPort(), printed.function());
    ASSERT_TRUE(server.listen());
    ControlConsole console(server, printed.function());
    EXPECT_FALSE(server.send(ControlCommandText::TiltUp()));
    console.execute(QStringLiteral("init"));
    ASSERT_EQ(printed.err.size(), 2);
    EXPECT_TRUE(printed.err[1].contains(QStringLiteral("no station is connected")));

    FakeStation station;
    ASSERT_TRUE(station.connectTo(server.port()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.isConnected(); }, kWaitMs));
    console.execute(QStringLiteral("bogus"));
    console.execute(QStringLiteral("pan x"));
    console.execute(QStringLiteral("raw ") + QString(ControlFrame::kMaxPayload + 1, u'x'));
    console.execute(QStringLiteral("get-tilt M-2"));
    ASSERT_TRUE(station.waitForFrames(1));
    EXPECT_EQ(station.frames[0].command, QStringLiteral("GET_TILT"));
    EXPECT_EQ(station.frames.size(), 1u);
    EXPECT_EQ(printed.err.size(), 5);
}

// ---------------------------------------------------------------------------------------------
// The built program

QString ProgramPath() {
    QString dir = qEnvironmentVariable("STATION_TEST_BINARY_DIR");
    if (dir.isEmpty()) {
        dir = QStringLiteral(STATION_BINARY_DIR);
    }
    return dir + QStringLiteral("/tools/control-sim/control-sim");
}

class SimProcess {
  public:
    explicit SimProcess(const QStringList& arguments) {
        m_process.setProgram(ProgramPath());
        m_process.setArguments(QStringList{"--port", "0"} + arguments);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput,
                         [this] { out += QString::fromUtf8(m_process.readAllStandardOutput()); });
        QObject::connect(&m_process, &QProcess::readyReadStandardError,
                         [this] { err += QString::fromUtf8(m_process.readAllStandardError()); });
        m_process.start();
    }
    ~SimProcess() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kWaitMs);
        }
    }
    // The port it printed; 0 when it ended or printed none in time.
    quint16 port() {
        static const QRegularExpression listening(
            QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d+)$"),
            QRegularExpression::MultilineOption);
        quint16 port = 0;
        (void)QTest::qWaitFor(
            [&] {
                port = static_cast<quint16>(listening.match(out).captured(1).toUInt());
                return port > 0 || m_process.state() == QProcess::NotRunning;
            },
            kWaitMs);
        return port;
    }
    // The exit status, or -1 when it is still running after the limit or crashed.
    int exitStatus(int timeoutMs = 20000) {
        if (!QTest::qWaitFor([&] { return m_process.state() == QProcess::NotRunning; },
                             timeoutMs)) {
            return -1;
        }
        out += QString::fromUtf8(m_process.readAllStandardOutput());
        err += QString::fromUtf8(m_process.readAllStandardError());
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    void signal(int number) { ::kill(static_cast<pid_t>(m_process.processId()), number); }

    QString out;
    QString err;

  private:
    QProcess m_process;
};

QString WriteScript(const QTemporaryDir& dir, const QString& text) {
    const QString path = dir.filePath(QStringLiteral("mission.txt"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(text.toUtf8());
    }
    return path;
}

// Answers every INSPECTION_START with its ACK when `answer` is set.
void AnswerStarts(FakeStation& station, bool answer) {
    station.onFrame = [&station, answer](const FakeStation::Received& frame) {
        if (answer && frame.command == QLatin1String("INSPECTION_START")) {
            station.write(StationFrame(StationMessage(QStringLiteral("INSPECTION_START_ACK"))));
        }
    };
}

TEST(ControlSimProgramTest, ScriptWaitPassesOnTheAnswerAndEndsWithThreeWithoutIt) {
    struct Case {
        bool answer;
        const char* limit;
        int status;
    };
    for (const Case& c : {Case{true, "5", 0}, Case{false, "1", 3}}) {
        SCOPED_TRACE(c.answer ? "answered" : "unanswered");
        QTemporaryDir dir;
        const QString script =
            WriteScript(dir, QStringLiteral("wait-connect 10\nsend start \"Engine 7\" 4{n} M-{n}\n"
                                            "wait INSPECTION_START_ACK %1\n")
                                 .arg(QString::fromLatin1(c.limit)));
        SimProcess sim({"--script", script});
        const quint16 port = sim.port();
        ASSERT_GT(port, 0) << sim.err.toStdString();
        FakeStation station;
        AnswerStarts(station, c.answer);
        ASSERT_TRUE(station.connectTo(port));
        ASSERT_TRUE(station.waitForFrames(1));
        EXPECT_EQ(station.frames[0].command, QStringLiteral("INSPECTION_START"));
        EXPECT_TRUE(station.frames[0].text.contains(QStringLiteral("<INSPECTION_ID>41<")));
        EXPECT_TRUE(station.frames[0].text.contains(QStringLiteral("<MISSION_ID>M-1<")));
        EXPECT_TRUE(station.frames[0].text.contains(QStringLiteral("<ENGINE_ID>Engine 7<")));

        EXPECT_EQ(sim.exitStatus(), c.status) << sim.err.toStdString();
        if (c.answer) {
            EXPECT_TRUE(sim.out.contains(QStringLiteral("script: line 3: INSPECTION_START_ACK")));
            EXPECT_TRUE(sim.err.isEmpty()) << sim.err.toStdString();
        } else {
            EXPECT_TRUE(sim.err.contains(QStringLiteral(
                "control-sim: script line 3: no INSPECTION_START_ACK from the station within 1 s")))
                << sim.err.toStdString();
        }
    }
}

TEST(ControlSimProgramTest, LoopGivesEachPassFreshIdsAndSigtermEndsItCleanly) {
    QTemporaryDir dir;
    const QString script = WriteScript(
        dir, QStringLiteral("wait-connect 10\nsend start E {n} M-{n}\nwait INSPECTION_START_ACK 5\n"
                            "sleep 0.05\n"));
    SimProcess sim({"--script", script, "--loop"});
    const quint16 port = sim.port();
    ASSERT_GT(port, 0) << sim.err.toStdString();
    FakeStation station;
    AnswerStarts(station, true);
    ASSERT_TRUE(station.connectTo(port));
    ASSERT_TRUE(station.waitForFrames(3));
    for (int pass = 1; pass <= 3; ++pass) {
        SCOPED_TRACE(pass);
        EXPECT_TRUE(station.frames[pass - 1].text.contains(
            QStringLiteral("<INSPECTION_ID>%1</INSPECTION_ID>").arg(pass)));
        EXPECT_TRUE(station.frames[pass - 1].text.contains(
            QStringLiteral("<MISSION_ID>M-%1</MISSION_ID>").arg(pass)));
    }
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.exitStatus(), 0) << sim.err.toStdString();
}

TEST(ControlSimProgramTest, BadScriptLineEndsWithTwoBeforeListening) {
    QTemporaryDir dir;
    const QString script =
        WriteScript(dir, QStringLiteral("wait-connect 10\nsend start E 1 M-1\nwiat START_ACK\n"));
    SimProcess sim({"--script", script});
    EXPECT_EQ(sim.exitStatus(), 2);
    EXPECT_TRUE(sim.err.contains(QStringLiteral("line 3: unknown step 'wiat'")))
        << sim.err.toStdString();
    EXPECT_FALSE(sim.out.contains(QStringLiteral("listening on")));
}

TEST(ControlSimProgramTest, BadArgumentsEndWithTwo) {
    for (const QStringList& arguments :
         {QStringList{"--port", "70000"}, QStringList{"--bind", "nowhere"}, QStringList{"--loop"},
          QStringList{"--no-such-option"}, QStringList{"--script", "/nonexistent/mission.txt"}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        SimProcess sim(arguments);
        EXPECT_EQ(sim.exitStatus(), 2);
        EXPECT_TRUE(sim.err.startsWith(QStringLiteral("control-sim: "))) << sim.err.toStdString();
    }
}

}  // namespace
