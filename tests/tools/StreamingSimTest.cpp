// The streaming-server simulator: its parser on tables of byte sequences (whole, cut at every
// boundary, byte by byte), and the built program against a station played on loopback.
#include "tools/streaming-sim/StreamingStreamParser.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <signal.h>

#include <functional>
#include <memory>
#include <ostream>

void PrintTo(const StreamingEvent& event, std::ostream* out) {
    switch (event.kind) {
        case StreamingEvent::Kind::Introduction:
            *out << "Introduction(" << event.ugvId.toStdString() << ")";
            break;
        case StreamingEvent::Kind::Text:
            *out << "Text(" << event.bytes.toStdString() << ")";
            break;
        case StreamingEvent::Kind::Picture:
            *out << "Picture(" << event.bytes.size() << " bytes)";
            break;
        case StreamingEvent::Kind::Ack:
            *out << "Ack";
            break;
        case StreamingEvent::Kind::Garbage:
            *out << "Garbage(" << event.skipped << ")";
            break;
    }
}

namespace {

using Kind = StreamingEvent::Kind;

// The introduction exactly as the station writes it, the code already in code page 949.
QByteArray Introduction(const QByteArray& cp949Code) {
    return "<YELT VERSION=\"1.0\" CMD_ID=\"UGV_INFORMATION\"><ELEMENT><UGV_ID>" + cp949Code +
           "</UGV_ID></ELEMENT></YELT>";
}

QByteArray PictureMessage(const QByteArray& file, quint32 length) {
    QByteArray message("V.160");
    for (int shift = 0; shift < 32; shift += 8) {
        message.append(static_cast<char>((length >> shift) & 0xFF));
    }
    return message + file;
}

QByteArray PictureMessage(const QByteArray& file) {
    return PictureMessage(file, static_cast<quint32>(file.size()));
}

// A real 160x120 JPEG whose content depends on `seed`, so consecutive pictures differ.
QByteArray Jpeg(int seed) {
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((seed * 47) % 360, 200, 200));
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("picture %1").arg(seed));
    for (int i = 0; i < 12; ++i) {
        painter.drawLine(0, (i * 13 + seed) % 120, 159, (i * 29 + seed * 3) % 120);
    }
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 85);
    return bytes;
}

StreamingEvent Intro(const QString& code, const QByteArray& text) {
    StreamingEvent event;
    event.kind = Kind::Introduction;
    event.ugvId = code;
    event.bytes = text;
    return event;
}

StreamingEvent Text(const QByteArray& text) {
    StreamingEvent event;
    event.kind = Kind::Text;
    event.bytes = text;
    return event;
}

StreamingEvent Picture(const QByteArray& file) {
    StreamingEvent event;
    event.kind = Kind::Picture;
    event.bytes = file;
    return event;
}

StreamingEvent Ack() {
    StreamingEvent event;
    event.kind = Kind::Ack;
    return event;
}

StreamingEvent Garbage(qint64 skipped) {
    StreamingEvent event;
    event.kind = Kind::Garbage;
    event.skipped = skipped;
    return event;
}

// Feeds `bytes` in pieces cut at `cuts` (ascending offsets), then ends the stream.
QList<StreamingEvent> Parse(const QByteArray& bytes, const QList<qsizetype>& cuts) {
    StreamingStreamParser parser;
    QList<StreamingEvent> events;
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
        events += parser.feed(bytes.mid(from, cut - from));
        from = cut;
    }
    events += parser.feed(bytes.mid(from));
    events += parser.finish();
    return events;
}

struct ParserCase {
    const char* name;
    QByteArray bytes;
    QList<StreamingEvent> events;
};

QList<ParserCase> ParserCases() {
    const QByteArray picture = Jpeg(1);
    const QByteArray small("\xFF\xD8 not really a jpeg \xFF\xD9");
    const QByteArray intro = Introduction("CODE");
    // "한국-7" in code page 949.
    const QByteArray korean = Introduction("\xC7\xD1\xB1\xB9-7");
    const QByteArray cut = "<YELT VERSION=\"1.0\" CMD_ID=\"UGV_INFORMATION\"><ELEMENT><UGV_ID>AB";
    const QByteArray other = "<YELT VERSION=\"1.0\" CMD_ID=\"OTHER\"></YELT>";
    const QByteArray black = Introduction("BLACK-ACK");
    const QByteArray longText = "<YELT " + QByteArray(4100, 'x');
    return {
        {"intro, picture and ACK in one chunk",
         intro + PictureMessage(picture) + "ACK",
         {Intro("CODE", intro), Picture(picture), Ack()}},
        {"Korean code in code page 949",
         korean + PictureMessage(small),
         {Intro(QString::fromUtf8("\xED\x95\x9C\xEA\xB5\xAD-7"), korean), Picture(small)}},
        {"garbage before a picture is skipped and counted",
         "hello" + PictureMessage(small),
         {Garbage(5), Picture(small)}},
        {"absurd length resyncs at the next picture",
         PictureMessage("", 0xFFFFFFFFu) + "zz" + PictureMessage(small),
         {Garbage(11), Picture(small)}},
        {"one byte over the largest picture is refused",
         PictureMessage("", 1024 * 1024 + 1) + "ACK",
         {Garbage(9), Ack()}},
        {"a bare '<' inside garbage starts nothing", "ACK#<x<YEACK", {Ack(), Garbage(6), Ack()}},
        {"an introduction cut short by the next one",
         cut + intro,
         {Garbage(cut.size()), Intro("CODE", intro)}},
        {"an introduction cut short by a picture",
         cut + PictureMessage(small),
         {Garbage(cut.size()), Picture(small)}},
        {"ACK letters inside a code are no ACK",
         "ACKACK" + black,
         {Ack(), Ack(), Intro("BLACK-ACK", black)}},
        {"a text that is no introduction", other + "ACK", {Text(other), Ack()}},
        {"a text without its end within 4096 bytes",
         longText + PictureMessage(small),
         {Garbage(longText.size()), Picture(small)}},
        {"two pictures back to back, one empty",
         PictureMessage(small) + PictureMessage(""),
         {Picture(small), Picture("")}},
        {"a picture cut off by the end of the stream",
         intro + PictureMessage(small).left(20),
         {Intro("CODE", intro), Garbage(20)}},
    };
}

TEST(StreamingStreamParserTest, TableWholeCutAtEveryBoundaryAndByteByByte) {
    for (const ParserCase& c : ParserCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Parse(c.bytes, {}), c.events);
        for (qsizetype at = 1; at < c.bytes.size(); ++at) {
            const QList<StreamingEvent> events = Parse(c.bytes, {at});
            if (events != c.events) {
                ADD_FAILURE() << "cut at byte " << at << " gives "
                              << ::testing::PrintToString(events);
                break;
            }
        }
        QList<qsizetype> everyByte;
        for (qsizetype at = 1; at < c.bytes.size(); ++at) {
            everyByte.append(at);
        }
        EXPECT_EQ(Parse(c.bytes, everyByte), c.events) << "fed byte by byte";
    }
}

TEST(StreamingStreamParserTest, KeepsPartialMessagesAndForgetsThemOnReset) {
    const QByteArray picture = Jpeg(2);
    const QByteArray message = PictureMessage(picture);
    StreamingStreamParser parser;
    EXPECT_TRUE(parser.feed(message.left(1033)).isEmpty());
    EXPECT_EQ(parser.buffered(), 1033);
    EXPECT_EQ(parser.feed(message.mid(1033)), QList<StreamingEvent>{Picture(picture)});
    EXPECT_EQ(parser.buffered(), 0);

    EXPECT_TRUE(parser.feed(message.left(500)).isEmpty());
    parser.reset();
    EXPECT_EQ(parser.feed("ACK"), QList<StreamingEvent>{Ack()});
    EXPECT_TRUE(parser.finish().isEmpty());
}

TEST(StreamingStreamParserTest, TakesThePictureOfTheLargestLength) {
    const QByteArray largest(1024 * 1024, 'j');
    StreamingStreamParser parser;
    EXPECT_EQ(parser.feed(PictureMessage(largest) + "ACK"),
              (QList<StreamingEvent>{Picture(largest), Ack()}));
}

// --- the built program ---------------------------------------------------------------------

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 15000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

QString ProgramPath() {
    return qEnvironmentVariable("STATION_TEST_BINARY_DIR") +
           QStringLiteral("/tools/streaming-sim/streaming-sim");
}

class SimProcess {
  public:
    explicit SimProcess(const QStringList& arguments) {
        m_process.setProgram(ProgramPath());
        m_process.setArguments(arguments);
        m_process.start();
        m_process.waitForStarted(10000);
    }
    ~SimProcess() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // Waits for both listening lines; false when they do not come.
    bool readPorts() {
        static const QRegularExpression top("^top listening on 127\\.0\\.0\\.1:(\\d+)$",
                                            QRegularExpression::MultilineOption);
        static const QRegularExpression bottom("^bottom listening on 127\\.0\\.0\\.1:(\\d+)$",
                                               QRegularExpression::MultilineOption);
        if (!waitForOutput(
                [&] { return top.match(m_out).hasMatch() && bottom.match(m_out).hasMatch(); })) {
            return false;
        }
        m_topPort = static_cast<quint16>(top.match(m_out).captured(1).toUInt());
        m_bottomPort = static_cast<quint16>(bottom.match(m_out).captured(1).toUInt());
        return m_topPort > 0 && m_bottomPort > 0;
    }
    bool waitForOutput(const std::function<bool()>& condition) {
        return WaitUntil([&] {
                   collect();
                   return condition() || m_process.state() == QProcess::NotRunning;
               }) &&
               condition();
    }
    bool waitForLine(const QString& line) {
        return waitForOutput([&] { return lines().contains(line); });
    }
    int countLines(const QString& line) {
        collect();
        return lines().count(line);
    }
    QStringList lines() const { return m_out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    const QString& out() {
        collect();
        return m_out;
    }
    const QString& err() {
        collect();
        return m_err;
    }
    void command(const QByteArray& line) {
        m_process.write(line + "\n");
        m_process.waitForBytesWritten(5000);
    }
    // The exit code, or -1 when the program is still running after `timeoutMs`.
    int waitForExit(int timeoutMs) {
        if (!WaitUntil([&] { return m_process.state() == QProcess::NotRunning; }, timeoutMs)) {
            return -1;
        }
        collect();
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    qint64 pid() const { return m_process.processId(); }
    quint16 topPort() const { return m_topPort; }
    quint16 bottomPort() const { return m_bottomPort; }

  private:
    void collect() {
        m_out += QString::fromUtf8(m_process.readAllStandardOutput());
        m_err += QString::fromUtf8(m_process.readAllStandardError());
    }

    QProcess m_process;
    QString m_out;
    QString m_err;
    quint16 m_topPort = 0;
    quint16 m_bottomPort = 0;
};

// Plays the station on one view: the introduction, pictures sent like the station sends them
// (header and the first 1024 bytes in one send, then at most 1024 bytes a send) and ACKs.
class StationClient {
  public:
    bool connectTo(quint16 port) {
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        return m_socket.waitForConnected(5000);
    }
    void send(const QByteArray& bytes) {
        m_socket.write(bytes);
        m_socket.waitForBytesWritten(5000);
    }
    void sendPicture(const QByteArray& file) {
        const QByteArray message = PictureMessage(file);
        send(message.left(9 + 1024));
        for (qsizetype at = 9 + 1024; at < message.size(); at += 1024) {
            send(message.mid(at, 1024));
        }
    }
    // Waits until `size` bytes came from the server; false when they do not.
    bool waitForReceived(qsizetype size) {
        return WaitUntil([&] {
            m_received += m_socket.readAll();
            return m_received.size() >= size;
        });
    }
    bool waitForClose() {
        return WaitUntil([&] {
            m_received += m_socket.readAll();
            return m_socket.state() == QAbstractSocket::UnconnectedState;
        });
    }
    const QByteArray& received() {
        m_received += m_socket.readAll();
        return m_received;
    }

  private:
    QTcpSocket m_socket;
    QByteArray m_received;
};

const QByteArray kBroadcast("<YELT VERSION=\"1.0\" CMD_ID=\"BROD_CMD_01\"></YELT>");

class StreamingSimProgramTest : public ::testing::Test {
  protected:
    QStringList arguments(const QStringList& more = {}) const {
        return QStringList{"--port-top", "0", "--port-bottom", "0", "--out", m_out.path()} + more;
    }
    QByteArray fileOf(const QString& name) const {
        QFile file(m_out.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_out;
};

TEST_F(StreamingSimProgramTest, PrintsTheIntroductionAndKeepsTheLastPicture) {
    SimProcess sim(arguments({"--verbose", "--report-seconds", "0.2"}));
    ASSERT_TRUE(sim.readPorts()) << sim.out().toStdString() << sim.err().toStdString();
    EXPECT_TRUE(sim.lines().contains(QStringLiteral("out folder ") + m_out.path()));

    StationClient station;
    ASSERT_TRUE(station.connectTo(sim.topPort()));
    station.send(Introduction("\xC7\xD1\xB1\xB9-7"));
    ASSERT_TRUE(
        sim.waitForLine(QString::fromUtf8("top: introduction UGV_ID=\xED\x95\x9C\xEA\xB5\xAD-7")))
        << sim.out().toStdString();

    QList<QByteArray> pictures;
    for (int i = 0; i < 3; ++i) {
        pictures << Jpeg(10 + i);
        ASSERT_GT(pictures.last().size(), 1024) << "the picture must need several sends";
        station.sendPicture(pictures.last());
    }
    for (const QByteArray& picture : pictures) {
        const QString line = QStringLiteral("top: picture 160x120 %1 bytes").arg(picture.size());
        EXPECT_TRUE(sim.waitForLine(line)) << line.toStdString() << "\n" << sim.out().toStdString();
    }
    EXPECT_TRUE(WaitUntil([&] { return fileOf("top.jpg") == pictures.last(); }));
    EXPECT_FALSE(QFile::exists(m_out.filePath("bottom.jpg")));

    static const QRegularExpression rate("^top: \\d+\\.\\d pictures/s, last 160x120 (\\d+) bytes$",
                                         QRegularExpression::MultilineOption);
    EXPECT_TRUE(sim.waitForOutput([&] {
        const QRegularExpressionMatch match = rate.match(sim.out());
        return match.hasMatch() && match.captured(1).toInt() == pictures.last().size();
    })) << sim.out().toStdString();
    EXPECT_FALSE(sim.out().contains(QStringLiteral("skipped"))) << sim.out().toStdString();
    EXPECT_FALSE(sim.out().contains(QStringLiteral("bottom: "))) << sim.out().toStdString();
}

TEST_F(StreamingSimProgramTest, BrodReachesOnlyTheChosenViewAndItsAckIsPrinted) {
    SimProcess sim(arguments());
    ASSERT_TRUE(sim.readPorts()) << sim.err().toStdString();
    StationClient top;
    StationClient bottom;
    ASSERT_TRUE(top.connectTo(sim.topPort()));
    ASSERT_TRUE(bottom.connectTo(sim.bottomPort()));
    ASSERT_TRUE(sim.waitForOutput([&] {
        return sim.out().contains(QStringLiteral("top: connected from")) &&
               sim.out().contains(QStringLiteral("bottom: connected from"));
    }));

    sim.command("brod top");
    ASSERT_TRUE(top.waitForReceived(kBroadcast.size()));
    EXPECT_EQ(top.received(), kBroadcast);
    top.send("ACK");
    EXPECT_TRUE(sim.waitForLine(QStringLiteral("top: ACK received"))) << sim.out().toStdString();

    sim.command("brod bottom");
    ASSERT_TRUE(bottom.waitForReceived(kBroadcast.size()));
    bottom.send("ACK");
    EXPECT_TRUE(sim.waitForLine(QStringLiteral("bottom: ACK received")));
    EXPECT_EQ(bottom.received(), kBroadcast) << "bottom got the top's command too";
    EXPECT_EQ(top.received(), kBroadcast) << "top got the bottom's command too";
    EXPECT_EQ(sim.countLines(QStringLiteral("top: ACK received")), 1);

    sim.command("brod sideways");
    EXPECT_TRUE(
        sim.waitForOutput([&] { return sim.err().contains(QStringLiteral("'brod' takes")); }));
    sim.command("fly");
    EXPECT_TRUE(sim.waitForOutput(
        [&] { return sim.err().contains(QStringLiteral("unknown command 'fly'")); }));

    sim.command("quit");
    EXPECT_EQ(sim.waitForExit(10000), 0);
}

TEST_F(StreamingSimProgramTest, ANewConnectionReplacesTheOldAndCloseDropsIt) {
    SimProcess sim(arguments());
    ASSERT_TRUE(sim.readPorts());
    StationClient first;
    ASSERT_TRUE(first.connectTo(sim.topPort()));
    ASSERT_TRUE(sim.waitForOutput([&] { return sim.out().contains("top: connected from"); }));

    StationClient second;
    ASSERT_TRUE(second.connectTo(sim.topPort()));
    EXPECT_TRUE(first.waitForClose()) << "the replaced connection stays open";
    EXPECT_TRUE(sim.waitForOutput([&] { return sim.out().contains("replaces the one from"); }));

    second.send(Introduction("B"));
    EXPECT_TRUE(sim.waitForLine(QStringLiteral("top: introduction UGV_ID=B")));
    sim.command("close top");
    EXPECT_TRUE(second.waitForClose()) << "close top left the station connected";
    EXPECT_TRUE(
        sim.waitForOutput([&] { return sim.out().contains("top: dropped the connection"); }));
}

struct GoalCase {
    const char* name;
    int topPictures;
    int bottomPictures;
    int exitCode;
};

TEST_F(StreamingSimProgramTest, ExpectPicturesEndsTheRunWithItsExitStatus) {
    const GoalCase cases[] = {
        {"both views reach the goal", 2, 2, 0},
        {"the bottom view gets nothing", 3, 0, 3},
        {"the bottom view falls one short", 2, 1, 3},
    };
    for (const GoalCase& c : cases) {
        SCOPED_TRACE(c.name);
        SimProcess sim(arguments({"--expect-pictures", "2", "--timeout", "2"}));
        ASSERT_TRUE(sim.readPorts());
        StationClient top;
        StationClient bottom;
        ASSERT_TRUE(top.connectTo(sim.topPort()));
        ASSERT_TRUE(bottom.connectTo(sim.bottomPort()));
        for (int i = 0; i < c.topPictures; ++i) {
            top.sendPicture(Jpeg(i));
        }
        for (int i = 0; i < c.bottomPictures; ++i) {
            bottom.sendPicture(Jpeg(20 + i));
        }
        EXPECT_EQ(sim.waitForExit(15000), c.exitCode)
            << sim.out().toStdString() << sim.err().toStdString();
        if (c.exitCode == 0) {
            EXPECT_TRUE(sim.out().contains("both views got at least 2 pictures"));
        } else {
            EXPECT_TRUE(
                sim.err().contains(QStringLiteral("bottom got %1 pictures").arg(c.bottomPictures)))
                << sim.err().toStdString();
        }
    }
}

TEST_F(StreamingSimProgramTest, SigtermEndsTheRunCleanly) {
    SimProcess sim(arguments());
    ASSERT_TRUE(sim.readPorts());
    ::kill(static_cast<pid_t>(sim.pid()), SIGTERM);
    EXPECT_EQ(sim.waitForExit(10000), 0);
}

TEST(StreamingSimArgumentsTest, BadArgumentsExitWithStatusTwo) {
    const QStringList cases[] = {
        {"--port-top", "70000"},
        {"--port-bottom", "x"},
        {"--port-top", "5000", "--port-bottom", "5000"},
        {"--bind", "not-an-address"},
        {"--report-seconds", "0"},
        {"--expect-pictures", "0"},
        {"--timeout", "3"},
        {"--no-such-option"},
        {"stray"},
    };
    for (const QStringList& arguments : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        SimProcess sim(arguments);
        EXPECT_EQ(sim.waitForExit(10000), 2);
        EXPECT_TRUE(sim.err().startsWith(QStringLiteral("streaming-sim: ")))
            << sim.err().toStdString();
    }
}

}  // namespace
