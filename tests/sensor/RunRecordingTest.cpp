// Run recordings: what is written reads back the same, a plain capture reads as one chunk, and a
// damaged file says where and why reading stopped without losing the chunks before it.
#include "sensor/RunRecording.h"
#include "tools/camera-sim/CameraStreamGenerator.h"

#include <gtest/gtest.h>

namespace {

RunRecordingHeader Header() {
    return {2,
            1765400000123,
            QStringLiteral("엔진-B2"),
            QStringLiteral("Top"),
            QStringLiteral("[Vorn]2026-12-10 22-10-05"),
            QStringLiteral("2026-12-10 22-10-05")};
}

QByteArray Recording(const std::vector<RunRecordingChunk>& chunks) {
    QByteArray file = RunRecording::EncodeHeader(Header());
    for (const RunRecordingChunk& chunk : chunks) {
        file += RunRecording::EncodeChunk(chunk.arrival_us, chunk.bytes);
    }
    return file;
}

const std::vector<RunRecordingChunk> kChunks = {{0, QByteArray("\x01\x02\x03", 3)},
                                                {1500, QByteArray(5000, 'x')},
                                                {1500, QByteArray()},
                                                {9000000123ull, QByteArray("tail")}};

}  // namespace

TEST(RunRecordingTest, WhatIsWrittenReadsBack) {
    const RunRecordingContents contents = ReadRunRecording(Recording(kChunks));
    ASSERT_TRUE(contents.ok()) << contents.error.toStdString();
    EXPECT_FALSE(contents.plainCapture);
    EXPECT_EQ(contents.header.cameraModel, 2);
    EXPECT_EQ(contents.header.startMsSinceEpoch, 1765400000123);
    EXPECT_EQ(contents.header.productName, QStringLiteral("엔진-B2"));
    EXPECT_EQ(contents.header.barcode, QStringLiteral("[Vorn]2026-12-10 22-10-05"));
    EXPECT_EQ(contents.header.runStamp, QStringLiteral("2026-12-10 22-10-05"));
    ASSERT_EQ(contents.chunks.size(), kChunks.size());
    for (size_t i = 0; i < kChunks.size(); ++i) {
        EXPECT_EQ(contents.chunks[i].arrival_us, kChunks[i].arrival_us) << i;
        EXPECT_EQ(contents.chunks[i].bytes, kChunks[i].bytes) << i;
    }
    EXPECT_EQ(contents.totalBytes(), 5007);
}

TEST(RunRecordingTest, BytesWithoutTheHeaderAreAPlainCapture) {
    const QByteArray capture("\x55\xaa\x00\x10 camera bytes", 17);
    const RunRecordingContents contents = ReadRunRecording(capture);
    EXPECT_TRUE(contents.ok());
    EXPECT_TRUE(contents.plainCapture);
    ASSERT_EQ(contents.chunks.size(), 1u);
    EXPECT_EQ(contents.chunks[0].arrival_us, 0u);
    EXPECT_EQ(contents.chunks[0].bytes, capture);
}

TEST(RunRecordingTest, EveryCutAfterTheMagicIsReportedWithWhatCameBefore) {
    const QByteArray file = Recording(kChunks);
    const qsizetype headerSize = RunRecording::EncodeHeader(Header()).size();
    for (qsizetype cut = RunRecording::kMagicSize; cut < file.size(); ++cut) {
        const RunRecordingContents contents = ReadRunRecording(file.left(cut));
        if (cut == headerSize || cut == headerSize + 15 || cut == headerSize + 15 + 5012 ||
            cut == headerSize + 15 + 5012 + 12) {
            // A cut at a chunk boundary is a shorter, whole recording.
            EXPECT_TRUE(contents.ok()) << cut;
            continue;
        }
        ASSERT_FALSE(contents.ok()) << cut;
        EXPECT_FALSE(contents.plainCapture);
        EXPECT_GE(contents.errorOffset, 0);
        EXPECT_LE(contents.errorOffset, cut);
        if (cut < headerSize) {
            EXPECT_EQ(contents.error, QStringLiteral("the header is cut short")) << cut;
        } else {
            EXPECT_TRUE(contents.error.contains(QStringLiteral("cut short"))) << cut;
        }
    }
    const RunRecordingContents inSecond = ReadRunRecording(file.left(headerSize + 15 + 100));
    ASSERT_EQ(inSecond.chunks.size(), 1u);
    EXPECT_EQ(inSecond.error,
              QStringLiteral("chunk 2 is cut short: 5000 bytes announced, 88 left"));
}

TEST(RunRecordingTest, DamageThatIsNotACut) {
    const QByteArray header = RunRecording::EncodeHeader(Header());
    QByteArray newer = header;
    newer[8] = 2;
    QByteArray huge = header + RunRecording::EncodeChunk(0, "x");
    huge[huge.size() - 2] = '\x7f';  // the length's top byte
    const struct {
        const char* name;
        QByteArray file;
        QString error;
    } cases[] = {
        {"unknown version", newer,
         QStringLiteral("recording version 2 is not known (this tool reads 1)")},
        {"time going back",
         header + RunRecording::EncodeChunk(500, "a") + RunRecording::EncodeChunk(499, "b"),
         QStringLiteral("chunk 2 arrived before the one it follows")},
        {"absurd length", huge,
         QStringLiteral("chunk 1 claims 2130706433 bytes, more than a read can hold")},
    };
    for (const auto& c : cases) {
        const RunRecordingContents contents = ReadRunRecording(c.file);
        EXPECT_EQ(contents.error, c.error) << c.name;
    }
}

// A run joins and leaves the camera's stream at arbitrary bytes: the reader starts at the first
// whole message (a status or data message) and a replay drops the partial last one.
TEST(RunRecordingTest, RecordingIsCutToWholeCameraMessages) {
    CCameraStreamGenerator generator(2);
    const QByteArray status = CCameraStreamGenerator::StatusMessage(1, {0, 0, 0, 0});
    const QByteArray data1 =
        CCameraStreamGenerator::DataMessage(2, {generator.spectrumItem(5, SpectrumShape{}, 0)});
    const QByteArray data2 = CCameraStreamGenerator::DataMessage(
        3, {generator.acousticMapItem(6, AcousticSpot{}), generator.spectrumItem(6, {}, 1)});
    const QByteArray stream = status + data1 + data2;
    struct Case {
        const char* what;
        qsizetype from;   // where the run joined the stream
        qsizetype to;     // where it left
        qsizetype split;  // a chunk border, relative to `from`
        qint64 skipped;   // -1: no message starts
        qint64 dropped;
    };
    const qsizetype s = status.size(), d1 = data1.size(), all = stream.size();
    const Case cases[] = {
        {"joined at a status message", 0, all, 50, 0, 0},
        {"joined inside the status message", 10, all, 50, s - 10, 0},
        {"joined inside a data message", s + 3, all, 100, d1 - 3, 0},
        {"header split over two chunks", s + 3, all, d1 - 1, d1 - 3, 0},
        {"left inside the last message", 0, all - 100, 500, 0, data2.size() - 100},
        {"left inside a header", 0, s + d1 + 5, 500, 0, 5},
        {"only the tail of a message", s + d1 + 20, all, 30, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray run = stream.mid(c.from, c.to - c.from);
        RunRecordingContents contents;
        contents.chunks = {{100, run.left(c.split)}, {200, run.mid(c.split)}};
        const qint64 skipped = SkipToFirstMessage(contents);
        EXPECT_EQ(skipped, c.skipped);
        if (skipped < 0) {
            EXPECT_EQ(contents.totalBytes(), run.size());  // nothing changed
            continue;
        }
        EXPECT_EQ(DropPartialLastMessage(contents), c.dropped);
        QByteArray kept;
        for (const RunRecordingChunk& chunk : contents.chunks) {
            kept += chunk.bytes;
        }
        EXPECT_EQ(kept, run.mid(skipped, run.size() - skipped - c.dropped));
        EXPECT_TRUE(stream.startsWith(kept) || stream.indexOf(kept) == s ||
                    stream.indexOf(kept) == s + d1);
    }
}
