// The run recorder: a run's chunks reach the file in order with their arrival times and the file
// ends up where the verdict puts it; a stopped run leaves nothing; a failing disk gives one
// message, no file, and the recorder goes on with the next run.
#include "sensor/RunRecorder.h"
#include "tests/support/LogCapture.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <mutex>
#include <thread>

namespace {

RunRecordingHeader Header(const char* barcode) {
    RunRecordingHeader header;
    header.cameraModel = 3;
    header.startMsSinceEpoch = 1765400000000;
    header.productName = QStringLiteral("DEMO-A1");
    header.sensorName = QStringLiteral("Top");
    header.barcode = QString::fromLatin1(barcode);
    header.runStamp = QStringLiteral("2026-12-10 22-10-05");
    return header;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Messages {
    std::mutex mutex;
    QStringList texts;
    std::function<void(const QString&)> sink() {
        return [this](const QString& text) {
            std::lock_guard lock(mutex);
            texts << text;
        };
    }
    int count() {
        std::lock_guard lock(mutex);
        return static_cast<int>(texts.size());
    }
};

}  // namespace

TEST(RunRecorderTest, ARunsChunksArriveInOrderAtTheVerdictsPlace) {
    QTemporaryDir dir;
    Messages messages;
    CRunRecorder recorder(messages.sink());
    const QString temp = dir.path() + "/temp/run.rec.part";
    const QString kept = dir.path() + "/NG/Wave/2026/12/10/run.rec";
    recorder.Append("before", 6);  // no run yet: not recorded
    recorder.Begin(Header("[Vorn]A"), temp);
    EXPECT_TRUE(recorder.IsRecording());
    const QByteArray parts[] = {QByteArray(5000, 'a'), QByteArray("b"), QByteArray(70000, 'c')};
    for (const QByteArray& part : parts) {
        recorder.Append(part.constData(), part.size());
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // The decoder told the model during the run.
    EXPECT_TRUE(recorder.Finish(kept, 2));
    recorder.Append("after", 5);
    ASSERT_TRUE(recorder.WaitIdle(5000));
    EXPECT_FALSE(QFile::exists(temp));
    const RunRecordingContents contents = ReadRunRecording(ReadAll(kept));
    ASSERT_TRUE(contents.ok()) << contents.error.toStdString();
    EXPECT_EQ(contents.header.barcode, QStringLiteral("[Vorn]A"));
    EXPECT_EQ(contents.header.cameraModel, 2);
    EXPECT_EQ(contents.header.productName, QStringLiteral("DEMO-A1"));
    ASSERT_EQ(contents.chunks.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(contents.chunks[i].bytes, parts[i]);
    }
    EXPECT_GT(contents.chunks[2].arrival_us, contents.chunks[0].arrival_us);
    EXPECT_EQ(messages.count(), 0);
}

TEST(RunRecorderTest, AStoppedRunLeavesNothingAndANewRunDropsAnOpenOne) {
    QTemporaryDir dir;
    Messages messages;
    CRunRecorder recorder(messages.sink());
    const QString first = dir.path() + "/first.part";
    recorder.Begin(Header("[Vorn]1"), first);
    recorder.Append("xyz", 3);
    recorder.Abort();
    EXPECT_FALSE(recorder.IsRecording());
    EXPECT_FALSE(recorder.Finish(dir.path() + "/never.rec"));
    const QString second = dir.path() + "/second.part";
    recorder.Begin(Header("[Vorn]2"), second);
    recorder.Begin(Header("[Vorn]3"), dir.path() + "/third.part");
    recorder.Append("123", 3);
    EXPECT_TRUE(recorder.Finish(dir.path() + "/third.rec"));
    ASSERT_TRUE(recorder.WaitIdle(5000));
    EXPECT_FALSE(QFile::exists(first));
    EXPECT_FALSE(QFile::exists(second));
    EXPECT_FALSE(QFile::exists(dir.path() + "/never.rec"));
    const RunRecordingContents third = ReadRunRecording(ReadAll(dir.path() + "/third.rec"));
    EXPECT_EQ(third.header.barcode, QStringLiteral("[Vorn]3"));
    EXPECT_EQ(third.totalBytes(), 3);
    EXPECT_EQ(messages.count(), 0);
}

TEST(RunRecorderTest, AFolderThatCannotBeWrittenGivesOneMessageAndNoFile) {
    QTemporaryDir dir;
    QFile blocker(dir.path() + "/not-a-folder");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Messages messages;
    LogCapture log;
    CRunRecorder recorder(messages.sink());
    recorder.Begin(Header("[Vorn]X"), dir.path() + "/not-a-folder/run.part");
    ASSERT_TRUE(recorder.WaitIdle(5000));
    recorder.Append("lost", 4);
    EXPECT_FALSE(recorder.Finish(dir.path() + "/run.rec"));
    ASSERT_TRUE(recorder.WaitIdle(5000));
    EXPECT_EQ(messages.count(), 1);
    EXPECT_FALSE(QFile::exists(dir.path() + "/run.rec"));
    // The next run records again.
    recorder.Begin(Header("[Vorn]Y"), dir.path() + "/ok.part");
    recorder.Append("kept", 4);
    EXPECT_TRUE(recorder.Finish(dir.path() + "/ok.rec"));
    ASSERT_TRUE(recorder.WaitIdle(5000));
    EXPECT_EQ(ReadRunRecording(ReadAll(dir.path() + "/ok.rec")).totalBytes(), 4);
    EXPECT_EQ(messages.count(), 1);
}

TEST(RunRecorderTest, AFullDiskGivesOneMessageAndRemovesThePartialFile) {
    QTemporaryDir dir;
    Messages messages;
    CRunRecorder recorder(messages.sink());
    // Files of this process may not grow beyond 64 KiB: a write past it fails as on a full disk.
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    recorder.Begin(Header("[Vorn]F"), dir.path() + "/full.part");
    const QByteArray block(16 * 1024, 'f');
    for (int i = 0; i < 10; ++i) {
        recorder.Append(block.constData(), block.size());
    }
    recorder.Finish(dir.path() + "/full.rec");
    const bool idle = recorder.WaitIdle(5000);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    ASSERT_TRUE(idle);
    EXPECT_EQ(messages.count(), 1);
    EXPECT_FALSE(QFile::exists(dir.path() + "/full.rec"));
    EXPECT_FALSE(QFile::exists(dir.path() + "/full.part"));
}
