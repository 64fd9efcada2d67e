#include <QTemporaryDir>
#include "sensor/CameraProtocol.h"
#include "sensor/PhonoluxDevice.h"
#include "sensor/RunRecording.h"
#include "tests/sensor/CameraSimProcess.h"
#include "tests/sensor/FakeSensorHost.h"
#include "tests/sensor/RecordingPipeline.h"
#include "tests/sensor/StreamBytes.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingDialogs.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace {

QStringList ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    return QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

QStringList HexLines(const QList<QByteArray>& commands) {
    QStringList lines;
    for (const QByteArray& command : commands) {
        lines << QString::fromLatin1(command.toHex(' '));
    }
    return lines;
}

// A plain listening socket on a free loopback port; -1 when that fails.
int LoopbackListener(int backlog, sockaddr_in* address) {
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    *address = sockaddr_in{};
    address->sin_family = AF_INET;
    address->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(*address);
    if (bind(listener, reinterpret_cast<sockaddr*>(address), sizeof(*address)) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(address), &length) != 0 ||
        listen(listener, backlog) != 0) {
        close(listener);
        return -1;
    }
    return listener;
}

class SensorLinkTest : public ::testing::Test {
  protected:
    SensorLinkTest() : device(host) {
        device.updateSettings([](SensorSettings& s) {
            s.ip_addr = "127.0.0.1";
            s.distance = 1000;
            s.freq_min = 5000;
            s.freq_max = 8000;
            s.brightness = 25;
        });
    }
    void SetPort(int port) {
        device.updateSettings([port](SensorSettings& s) { s.port = port; });
    }
    // Runs `work` on a thread of its own while this (the UI) thread keeps its events going.
    static void RunOnOtherThread(const std::function<void()>& work) {
        std::atomic<bool> done{false};
        std::thread other([&] {
            work();
            done = true;
        });
        WaitUntil([&] { return done.load(); }, 20000);
        other.join();
    }
    QString LogPath() const { return temp.path() + "/commands.txt"; }
    QStringList Commands() const { return ReadLines(LogPath()); }
    // The start commands a worker sends for the model, with the device's counter at 0 or 1.
    QStringList ExpectedStart(int model, uint32_t counterAtStart) const {
        camera::StartValues values;
        values.model = model;
        values.range = device.settings()->freq_range;
        values.distance = 1000;
        values.minimumHz = 5000;
        values.maximumHz = 8000;
        values.parameter7 = 25;
        values.parameter6 = 100;
        values.brightness = 25;
        std::atomic<uint32_t> counter{counterAtStart};
        return HexLines(camera::StartCommands(values, counter));
    }
    bool StreamArrives(int width) {
        return WaitUntil([&] {
            return device.spectrogramQueue().Count() >= 10 &&
                   device.frames().pictureWidth == width && device.waveFormQueue().Count() >= 2;
        });
    }

    QTemporaryDir temp;
    FakeSensorHost host;
    RecordingDialogs dialogs;
    CPhonoluxDevice device;
};

}  // namespace

TEST_F(SensorLinkTest, Model3CameraOnLoopback) {
    CameraSimProcess sim(
        {"--model", "3", "--command-log", LogPath(), "--record", temp.path() + "/stream.bin"});
    ASSERT_GT(sim.port(), 0);
    SetPort(sim.port());
    device.Start();
    ASSERT_TRUE(device.socket().IsConnected());
    ASSERT_TRUE(device.IsWorkerAlive());
    ASSERT_TRUE(StreamArrives(1280));
    EXPECT_EQ(device.cameraModel(), 3);
    EXPECT_EQ(device.frames().mapColumns, 80);
    ASSERT_TRUE(WaitUntil([&] { return Commands().size() >= 6; }));
    EXPECT_EQ(Commands().mid(0, 6), ExpectedStart(3, 0));

    // While the worker runs, a reload sends the measuring parameters and a brightness change
    // goes out at once.
    device.updateSettings([](SensorSettings& s) { s.distance = 2000; });
    ASSERT_TRUE(device.SendMeasuringParameters());
    ASSERT_TRUE(device.SendBrightness(60));
    EXPECT_TRUE(device.Stop());
    EXPECT_FALSE(device.IsWorkerAlive());
    ASSERT_TRUE(WaitUntil([&] { return Commands().size() >= 9; }));
    const QStringList commands = Commands();
    EXPECT_EQ(commands[6],
              "93 01 00 00 18 00 00 00 02 00 00 00 02 00 07 00 d0 07 00 00 03 00 02 "
              "00 88 13 00 00 40 1f 00 00");
    EXPECT_EQ(commands[7], "93 02 00 00 0c 00 00 00 01 00 00 00 05 00 07 00 3c 00 00 00");
    EXPECT_EQ(commands[8], "89 03 00 00 00 00 00 00");
    EXPECT_TRUE(dialogs.messages().empty());

    // What the camera sent decodes the same way in the field engineer's dump.
    QProcess dump;
    dump.start(QStringLiteral(CAMERA_DUMP_PATH), {temp.path() + "/stream.bin"});
    ASSERT_TRUE(dump.waitForFinished(30000));
    EXPECT_EQ(dump.exitCode(), 0);
    const QString text = QString::fromUtf8(dump.readAllStandardOutput());
    EXPECT_TRUE(text.contains("(picture) length=1024016 model=3"));
    EXPECT_TRUE(text.contains("(spectrum) length=16416 model=3"));
}

TEST_F(SensorLinkTest, Model2CameraChangesTheNextStartOrder) {
    CameraSimProcess sim({"--model", "2", "--spectrum-length", "8230", "--status-shift",
                          "--command-log", LogPath()});
    ASSERT_GT(sim.port(), 0);
    SetPort(sim.port());
    device.Start();
    ASSERT_TRUE(StreamArrives(320));
    EXPECT_EQ(device.cameraModel(), 2);
    EXPECT_EQ(device.frames().statusBlock[39], 2);
    EXPECT_TRUE(device.Stop());
    ASSERT_TRUE(WaitUntil([&] { return Commands().size() >= 7; }));
    EXPECT_EQ(Commands().mid(0, 6), ExpectedStart(3, 0)) << "the first start assumes model 3";

    device.Start();
    ASSERT_TRUE(device.IsWorkerAlive());
    ASSERT_TRUE(WaitUntil([&] { return Commands().size() >= 11; }));
    // The stop command took sequence number 1, so the counter stands at 2.
    EXPECT_EQ(Commands().mid(7, 4), ExpectedStart(2, 2));
    EXPECT_TRUE(device.Stop());
}

TEST_F(SensorLinkTest, StartAndStopFromAnotherThreadRunOnTheUiThread) {
    // A remote start request selects the product on its own thread.
    CameraSimProcess sim({"--model", "2"});
    ASSERT_GT(sim.port(), 0);
    SetPort(sim.port());
    RunOnOtherThread([&] { device.Start(); });
    ASSERT_TRUE(device.IsWorkerAlive());
    const auto notifiers = device.socket().findChildren<QSocketNotifier*>();
    ASSERT_EQ(notifiers.size(), 1);
    EXPECT_EQ(notifiers[0]->thread(), QThread::currentThread());
    ASSERT_TRUE(StreamArrives(320));

    bool stopped = false;
    RunOnOtherThread([&] { stopped = device.Stop(); });
    EXPECT_TRUE(stopped);
    EXPECT_EQ(device.socket().Handle(), -1) << "closed before Stop returned";
    // A link started right after a stop asked for on another thread keeps its notifier: nothing
    // of the old link is left queued to tear it down.
    device.Start();
    ASSERT_TRUE(WaitUntil([&] { return device.decoder().spectrumItemCount() >= 10; }));
    EXPECT_TRUE(device.Stop());
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(SensorLinkTest, LateFramingLossOfAnOldLinkLeavesTheNextLinkAlone) {
    LogCapture log;
    CameraSimProcess sim({"--model", "2"});  // the next link's camera
    ASSERT_GT(sim.port(), 0);
    QTcpServer silent;  // the first link's camera: accepts and sends nothing
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    SetPort(silent.serverPort());
    device.Start();
    ASSERT_TRUE(device.IsWorkerAlive());
    // Undecodable bytes reach the ring as if received; the worker loses the framing and reports
    // it to the UI thread, which is busy and does not look at its queue yet.
    device.ring().store(stream_bytes::Message(
        camera::kIdData,
        QByteArray("\1\0\0\0", 4) + CCameraStreamGenerator::ItemHead(15, 9000, 0, 40)));
    device.ring().store(QByteArray(16, '\0'));
    QElapsedTimer clock;
    clock.start();
    while (device.IsWorkerAlive() && clock.elapsed() < 10000) {
        QThread::msleep(2);
    }
    ASSERT_FALSE(device.IsWorkerAlive());

    // Meanwhile the link is stopped and started again to a camera that works.
    device.Stop();
    SetPort(sim.port());
    device.Start();
    ASSERT_TRUE(WaitUntil([&] { return device.decoder().spectrumItemCount() >= 10; }));
    EXPECT_TRUE(device.IsWorkerAlive());
    EXPECT_TRUE(device.socket().IsConnected());
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_EQ(host.lostCalls.load(), 0);
    EXPECT_TRUE(device.Stop());
}

TEST_F(SensorLinkTest, StopCommandReachesACameraThatReadsLate) {
    // A camera that sends a burst and reads its commands only later (a busy one): closing the
    // link while its bytes are still unread here must not reset the connection, or the camera
    // would lose the commands it had not read yet.
    sockaddr_in address{};
    const int listener = LoopbackListener(1, &address);
    ASSERT_GE(listener, 0);
    std::atomic<bool> burstSent{false};
    std::atomic<bool> stopped{false};
    QByteArray received;
    bool resetSeen = false;
    std::thread camera([&] {
        const int peer = accept(listener, nullptr, nullptr);
        const QByteArray burst(2 * 1024 * 1024, '\0');  // zeros read as empty 12-byte headers
        for (qsizetype at = 0; at < burst.size();) {
            const ssize_t n = send(peer, burst.constData() + at, burst.size() - at, MSG_NOSIGNAL);
            if (n <= 0) {
                break;
            }
            at += n;
        }
        burstSent = true;
        while (!stopped.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        char buffer[4096];
        for (;;) {
            const ssize_t n = recv(peer, buffer, sizeof buffer, 0);
            if (n < 0) {
                resetSeen = true;
            }
            if (n <= 0) {
                break;
            }
            received.append(buffer, n);
        }
        close(peer);
    });
    SetPort(ntohs(address.sin_port));
    device.Start();
    ASSERT_TRUE(device.IsWorkerAlive());
    QElapsedTimer clock;
    clock.start();
    while (!burstSent.load() && clock.elapsed() < 10000) {
        QThread::msleep(1);  // no events here: the burst stays unread
    }
    ASSERT_TRUE(burstSent.load());
    EXPECT_TRUE(device.Stop());
    stopped = true;
    camera.join();
    close(listener);
    EXPECT_FALSE(resetSeen);
    ASSERT_GE(received.size(), 8);
    // The stop command is the last thing the camera reads, after the start commands.
    EXPECT_EQ(QString::fromLatin1(received.right(8).toHex(' ')).left(2), "89");
}

TEST_F(SensorLinkTest, SimulatorSpotAndDefectScenario) {
    CameraSimProcess sim({"--model", "2", "--spot", "5,6", "--defect", "1000,30,4000,4500,30,40",
                          "--defect-tone-level", "75", "--defect-spot-level", "66"});
    ASSERT_GT(sim.port(), 0);
    SetPort(sim.port());
    device.Start();
    const auto loudestCell = [&] {
        const SensorFrames& frames = device.frames();
        const auto peak =
            std::max_element(frames.acousticMap.begin(), frames.acousticMap.begin() + 64 * 48);
        return static_cast<int>(peak - frames.acousticMap.begin());
    };
    ASSERT_TRUE(WaitUntil([&] { return loudestCell() == 6 * 64 + 5; }));
    sim.write("spot 20,30\n");
    ASSERT_TRUE(WaitUntil([&] { return loudestCell() == 30 * 64 + 20; }));
    const int toneBin = static_cast<int>(4250 / camera::BinWidthHz(2, 0));
    EXPECT_LT(device.frames().spectrum[toneBin], 30.0f);
    sim.write("defect\n");
    ASSERT_TRUE(WaitUntil([&] {
        return device.frames().spectrum[toneBin] > 74.9f && loudestCell() == 40 * 64 + 30 &&
               device.frames().maxAcousticLevel > 65.9f;
    }));
    device.Stop();
}

TEST_F(SensorLinkTest, CameraClosingTheLinkShowsTheMessageOnce) {
    LogCapture log;
    CameraSimProcess sim({"--model", "3", "--close-after-ms", "700"});
    ASSERT_GT(sim.port(), 0);
    SetPort(sim.port());
    host.state = 2;
    int lostSignals = 0;
    QObject::connect(&device, &CPhonoluxDevice::connectionLost, [&] { ++lostSignals; });
    device.Start();
    ASSERT_TRUE(WaitUntil([&] { return host.lostCalls.load() > 0; }));
    PumpEvents(300);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].caption, QString::fromUtf8("네크워크 연결 해제"));
    EXPECT_EQ(dialogs.messages()[0].text,
              QString::fromUtf8("센서와 네크워크 연결을 확인하고 다시 시작해 주세요."));
    EXPECT_EQ(host.lostCalls.load(), 1);
    EXPECT_EQ(lostSignals, 1);
    EXPECT_EQ(host.state.load(), 0);
    EXPECT_FALSE(device.IsWorkerAlive());
    EXPECT_FALSE(device.socket().IsConnected());
    // A later Stop (at shutdown) finds no worker.
    EXPECT_FALSE(device.Stop());
}

TEST_F(SensorLinkTest, UndecodableStreamEndsInTheConnectionLostProcedure) {
    LogCapture log;
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket* peer = server.nextPendingConnection();
        // A data message whose only item claims more bytes than the message holds.
        peer->write(stream_bytes::Message(
            camera::kIdData,
            QByteArray("\1\0\0\0", 4) + CCameraStreamGenerator::ItemHead(15, 9000, 0, 40)));
        peer->write(QByteArray(6000, '\0'));  // a further chunk, so the first one is taken
    });
    SetPort(server.serverPort());
    device.Start();
    ASSERT_TRUE(WaitUntil([&] { return host.lostCalls.load() > 0; }));
    PumpEvents(200);
    EXPECT_EQ(dialogs.messages().size(), 1u);
    EXPECT_FALSE(device.IsWorkerAlive());
    int framingLines = 0;
    for (const QString& line : log.lines()) {
        framingLines += line.startsWith("[Sensor #0] Framing lost: item 1 of 1 (type 15");
    }
    EXPECT_EQ(framingLines, 1) << log.lines().join('\n').toStdString();
}

TEST_F(SensorLinkTest, ConnectFailuresStartNothing) {
    // Empty address.
    device.updateSettings([](SensorSettings& s) { s.ip_addr.clear(); });
    device.Start();
    EXPECT_FALSE(device.IsWorkerAlive());
    EXPECT_FALSE(device.socket().IsConnected());

    // A port nobody listens on.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const int closedPort = probe.serverPort();
    probe.close();
    device.updateSettings([](SensorSettings& s) { s.ip_addr = "127.0.0.1"; });
    SetPort(closedPort);
    device.Start();
    EXPECT_FALSE(device.IsWorkerAlive());
    EXPECT_FALSE(device.socket().IsConnected());
    EXPECT_FALSE(device.Stop());
}

TEST_F(SensorLinkTest, CameraAcceptingLaterThanOneSecondCountsAsNotConnected) {
    // A listener whose accept queue is full leaves further handshakes unanswered.
    sockaddr_in address{};
    const int listener = LoopbackListener(0, &address);
    ASSERT_GE(listener, 0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        fillers.push_back(filler);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    CReceiveRing ring;
    CConectSocket socket(ring);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(socket.Connect("127.0.0.1", ntohs(address.sin_port)));
    EXPECT_GE(clock.elapsed(), 900);
    for (int filler : fillers) {
        ::close(filler);
    }
    ::close(listener);
}

// The kernel caps a buffer request at its limit and reports twice the granted size.
int ReportedBufferBytes(const char* limitFile) {
    QFile file(QString::fromLatin1(limitFile));
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const int limit = file.readAll().trimmed().toInt();
    return 2 * std::min(CConectSocket::kBufferBytes, limit);
}

TEST_F(SensorLinkTest, ConnectedSocketCarriesItsOptions) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    CReceiveRing ring;
    CConectSocket socket(ring);
    ASSERT_TRUE(socket.Connect("127.0.0.1", server.serverPort()));
    int on = 0, idle = 0, interval = 0, receive = 0, send = 0, blocking = 0;
    socklen_t size = sizeof(int);
    getsockopt(socket.Handle(), SOL_SOCKET, SO_KEEPALIVE, &on, &size);
    getsockopt(socket.Handle(), IPPROTO_TCP, TCP_KEEPIDLE, &idle, &size);
    getsockopt(socket.Handle(), IPPROTO_TCP, TCP_KEEPINTVL, &interval, &size);
    getsockopt(socket.Handle(), SOL_SOCKET, SO_RCVBUF, &receive, &size);
    getsockopt(socket.Handle(), SOL_SOCKET, SO_SNDBUF, &send, &size);
    blocking = fcntl(socket.Handle(), F_GETFL) & O_NONBLOCK;
    EXPECT_EQ(on, 1);
    EXPECT_EQ(idle, 3);
    EXPECT_EQ(interval, 1);
    EXPECT_EQ(receive, ReportedBufferBytes("/proc/sys/net/core/rmem_max"));
    EXPECT_EQ(send, ReportedBufferBytes("/proc/sys/net/core/wmem_max"));
    EXPECT_NE(blocking, 0);
    EXPECT_FALSE(socket.Connect("", 6340));
    EXPECT_FALSE(socket.Connect("127.0.0.1", 0));
}

TEST_F(SensorLinkTest, StopWaitsAtMost500MsForAStalledWorker) {
    struct StallingPipeline : SensorPipeline {
        void ConvertPicture(SensorFrames&, const SensorSettings&) override {
            if (!stalled.exchange(true)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            }
            ++pictures;
        }
        std::atomic<bool> stalled{false};
        std::atomic<int> pictures{0};
    } stalling;
    LogCapture log;
    CameraSimProcess sim({"--model", "2"});
    ASSERT_GT(sim.port(), 0);
    device.setPipeline(&stalling);
    SetPort(sim.port());
    device.Start();
    ASSERT_TRUE(WaitUntil([&] { return stalling.stalled.load(); }));
    EXPECT_TRUE(device.Stop());
    // The wait ends at the 500 ms limit; a loaded machine may overshoot it, never undercut it.
    static const QRegularExpression waitLine(R"(^T\.E Count\[0\] = (\d+), t = (\d+)$)");
    bool found = false;
    for (const QString& line : log.lines()) {
        const QRegularExpressionMatch match = waitLine.match(line);
        found |= match.hasMatch() && match.captured(2).toInt() >= 500;
    }
    EXPECT_TRUE(found) << log.lines().join('\n').toStdString();
    EXPECT_TRUE(WaitUntil([&] { return !device.IsWorkerAlive(); }, 10000));
    device.setPipeline(nullptr);
}

TEST(SensorTools, CameraDumpPrintsMessagesAndItems) {
    QTemporaryDir temp;
    CCameraStreamGenerator model2(2);
    SpectrumShape tone;
    tone.toneOn = true;
    tone.toneMinHz = 4880;
    tone.toneMaxHz = 4890;  // bin 200 only
    tone.toneDb = 72;
    QByteArray stream = CCameraStreamGenerator::StatusMessage(1, {0, 3, 8, 2});
    stream += stream_bytes::Header(0x30, 0);
    stream += stream_bytes::Data({model2.spectrumItem(77, tone, 0), model2.waveformItem(78, 0)});
    const QString path = temp.path() + "/stream.bin";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(stream);
    file.close();

    QProcess dump;
    dump.start(QStringLiteral(CAMERA_DUMP_PATH), {path});
    ASSERT_TRUE(dump.waitForFinished(20000));
    EXPECT_EQ(dump.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(dump.readAllStandardOutput()).split('\n');
    EXPECT_TRUE(lines.contains("message id=0x04 type=status seq=1 length=72 header=12"));
    EXPECT_TRUE(lines.contains("  status bytes36-39=00 03 08 02"));
    EXPECT_TRUE(lines.contains("message id=0x30 type=other seq=0 length=0 header=8"));
    EXPECT_TRUE(
        lines.contains("  item type=15 (spectrum) length=8214 model=2 stamp=77 count=1 "
                       "max=72.00 dB at bin 200"))
        << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains("end: 3 messages, 2 items, 0 bytes undecoded, model 2"));

    // The same stream through standard input.
    dump.start(QStringLiteral(CAMERA_DUMP_PATH), {"-"});
    ASSERT_TRUE(dump.waitForStarted(20000));
    dump.write(stream);
    dump.closeWriteChannel();
    ASSERT_TRUE(dump.waitForFinished(20000));
    EXPECT_EQ(QString::fromUtf8(dump.readAllStandardOutput()).split('\n'), lines);

    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(stream_bytes::Message(camera::kIdData, QByteArray(3, '\0')));
    file.close();
    dump.start(QStringLiteral(CAMERA_DUMP_PATH), {path});
    ASSERT_TRUE(dump.waitForFinished(20000));
    EXPECT_EQ(dump.exitCode(), 2);
    EXPECT_TRUE(dump.readAllStandardOutput().contains("framing lost: data message of 3 bytes"));

    // The same stream as a run recording in three chunks: its run first, its model assumed, the
    // same messages and items.
    RunRecordingHeader run;
    run.cameraModel = 2;
    run.productName = QStringLiteral("엔진-B2");
    run.sensorName = QStringLiteral("Top");
    run.barcode = QStringLiteral("[Vorn]2026-12-10 22-10-05");
    run.runStamp = QStringLiteral("2026-12-10 22-10-05");
    const QByteArray recording = RunRecording::EncodeHeader(run) +
                                 RunRecording::EncodeChunk(0, stream.left(50)) +
                                 RunRecording::EncodeChunk(10000, stream.mid(50, 7000)) +
                                 RunRecording::EncodeChunk(1250000, stream.mid(7050));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(recording);
    file.close();
    dump.start(QStringLiteral(CAMERA_DUMP_PATH), {path});
    ASSERT_TRUE(dump.waitForFinished(20000));
    EXPECT_EQ(dump.exitCode(), 0);
    const QStringList recorded = QString::fromUtf8(dump.readAllStandardOutput()).split('\n');
    ASSERT_FALSE(recorded.isEmpty());
    EXPECT_EQ(recorded[0],
              QStringLiteral("recording: product 엔진-B2, sensor Top, barcode [Vorn]2026-12-10 "
                             "22-10-05, stamp 2026-12-10 22-10-05, model 2, 3 chunks, %1 bytes, "
                             "1.250 s")
                  .arg(stream.size()));
    EXPECT_EQ(recorded.mid(1), lines);

    // A recording cut inside its last chunk: what came before is decoded, and it says where.
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(recording.left(recording.size() - 10));
    file.close();
    dump.start(QStringLiteral(CAMERA_DUMP_PATH), {path});
    ASSERT_TRUE(dump.waitForFinished(20000));
    EXPECT_EQ(dump.exitCode(), 3);
    EXPECT_TRUE(dump.readAllStandardError().contains("camera-dump: damaged recording at byte"));
    EXPECT_TRUE(dump.readAllStandardOutput().contains("2 chunks"));
}

TEST(SensorTools, CameraSimReplaysARecordingAtItsPace) {
    QTemporaryDir temp;
    CCameraStreamGenerator model2(2);
    const QByteArray first = CCameraStreamGenerator::StatusMessage(1, {0, 3, 8, 2});
    const QByteArray second = stream_bytes::Data({model2.waveformItem(7, 0)});
    const QByteArray third = stream_bytes::Data({model2.waveformItem(8, 1)});
    RunRecordingHeader run;
    run.cameraModel = 2;
    const QByteArray recording =
        RunRecording::EncodeHeader(run) + RunRecording::EncodeChunk(0, first) +
        RunRecording::EncodeChunk(300000, second) + RunRecording::EncodeChunk(600000, third);
    const QString path = temp.path() + "/run.rec";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(recording);
    file.close();

    CameraSimProcess camera({"--replay", path});
    ASSERT_GT(camera.port(), 0);
    QTcpSocket station;
    station.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(camera.port()));
    ASSERT_TRUE(station.waitForConnected(5000));
    // Nothing before the station starts the stream.
    EXPECT_FALSE(station.waitForReadyRead(300));
    station.write(stream_bytes::Message(camera::kIdBeginStream, QByteArray()));
    QElapsedTimer clock;
    clock.start();
    QByteArray received;
    qint64 firstAt = -1;
    qint64 lastAt = -1;
    while (received.size() < first.size() + second.size() + third.size() &&
           clock.elapsed() < 5000) {
        if (station.waitForReadyRead(100)) {
            received += station.readAll();
            if (firstAt < 0) {
                firstAt = clock.elapsed();
            }
            lastAt = clock.elapsed();
        }
    }
    EXPECT_EQ(received, first + second + third);
    // The last chunk came about 0.6 s after the first, as recorded.
    EXPECT_GE(lastAt - firstAt, 450);

    // A damaged recording is refused with its reason.
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(recording.left(recording.size() - 5));
    file.close();
    QProcess refused;
    refused.start(QStringLiteral(CAMERA_SIM_PATH), {"--replay", path, "--port", "0"});
    ASSERT_TRUE(refused.waitForFinished(10000));
    EXPECT_EQ(refused.exitCode(), 2);
    EXPECT_TRUE(refused.readAllStandardError().contains("cannot replay"));
}
