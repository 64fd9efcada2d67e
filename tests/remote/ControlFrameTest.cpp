// The control frame: byte-exact encoding, the receiver's header checks with their log blocks, and
// the cutting of a byte stream into frames.
#include "remote/ControlFrame.h"

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values) {
        bytes.append(static_cast<char>(v));
    }
    return bytes;
}

// A header as a server could send it, with every field chosen by the test.
QByteArray Header(int sopLow, int sopHigh, uint16_t id, int ver, int reserved, uint16_t length) {
    return Bytes({sopLow, sopHigh, id & 0xFF, id >> 8, ver, reserved, 0x10, 0x20, 0x30, 0x40,
                  length & 0xFF, length >> 8});
}

QByteArray ServerFrame(const QByteArray& payload, int ver = 2) {
    return Header(0xBB, 0xAA, 0xE011, ver, 0, static_cast<uint16_t>(payload.size())) + payload;
}

std::vector<ControlFrameReader::Item> ReadAll(ControlFrameReader& reader) {
    std::vector<ControlFrameReader::Item> items;
    while (auto item = reader.TakeNext()) {
        items.push_back(*item);
    }
    return items;
}

const QString kRule = QStringLiteral("//") + QString(60, u'=');

}  // namespace

TEST(ControlFrameTest, EncodesHeaderLittleEndianThenPayload) {
    const QByteArray payload("<ELEMENT/>");
    const auto frame = EncodeControlFrame(ControlFrame::kControlObjectId, payload, 0x5F3E2D1C);
    ASSERT_TRUE(frame);
    EXPECT_EQ(
        *frame,
        Bytes({0xBB, 0xAA, 0x11, 0xEE, 0x02, 0x00, 0x1C, 0x2D, 0x3E, 0x5F, 0x0A, 0x00}) + payload);
    const auto status = EncodeControlFrame(ControlFrame::kStatusObjectId, payload, 0);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->mid(2, 2), Bytes({0x22, 0xEE}));
}

TEST(ControlFrameTest, PayloadLimitIs1448Bytes) {
    const auto longest =
        EncodeControlFrame(ControlFrame::kControlObjectId, QByteArray(1448, 'x'), 0);
    ASSERT_TRUE(longest);
    EXPECT_EQ(longest->size(), 1460);
    EXPECT_EQ(longest->mid(10, 2), Bytes({0xA8, 0x05}));
    EXPECT_FALSE(EncodeControlFrame(ControlFrame::kControlObjectId, QByteArray(1449, 'x'), 0));
}

TEST(ControlFrameTest, HeaderChecksInOrderWithTheirBlocks) {
    struct Case {
        const char* name;
        QByteArray header;
        ControlHeaderFault fault;
        QString line;
    };
    const Case cases[] = {
        {"start word in the wrong byte order", Header(0xAA, 0xBB, 0xE011, 2, 0, 4),
         ControlHeaderFault::StartWord,
         QStringLiteral("\r\n// 1.sop ERROR : 0xbbaa((Must Be : 0xaabb) ")},
        {"version 1", Header(0xBB, 0xAA, 0xE011, 1, 0, 4), ControlHeaderFault::Version,
         QStringLiteral("\r\n// 3.ver ERROR : 0x01(Must be greater than or equal to 2)")},
        {"length 1449", Header(0xBB, 0xAA, 0xE011, 2, 0, 1449), ControlHeaderFault::Length,
         QStringLiteral("\r\n// 6.length ERROR : 0x05a9(1449), : Max Lenght is 1448")},
        // The start word is checked before the version.
        {"both wrong", Header(0x00, 0x00, 0x1234, 0, 0, 4), ControlHeaderFault::StartWord,
         QStringLiteral("\r\n// 1.sop ERROR : 0x0000((Must Be : 0xaabb) ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlFrameReader reader;
        reader.Append(c.header.constData(), c.header.size());
        const auto items = ReadAll(reader);
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].kind, ControlFrameReader::Item::Fault);
        EXPECT_EQ(items[0].fault, c.fault);
        const QString id =
            QStringLiteral("\r\n// * Header(ID : 0x%1)").arg(items[0].header.id, 0, 16);
        EXPECT_EQ(ControlHeaderErrorBlock(items[0].header, items[0].fault),
                  kRule + id + QStringLiteral("\r\n") + kRule + c.line);
        // Nothing after a refused header is trusted.
        EXPECT_EQ(reader.PendingBytes(), 0);
    }
}

TEST(ControlFrameTest, AcceptedHeaders) {
    struct Case {
        const char* name;
        QByteArray frame;
    };
    const QByteArray longest(1448, 'y');
    const Case cases[] = {
        {"version 2", ServerFrame("<a/>", 2)},
        {"version 3", ServerFrame("<a/>", 3)},
        {"reserved byte set", Header(0xBB, 0xAA, 0xE011, 2, 0xFF, 4) + QByteArray("<a/>")},
        {"length 1448", ServerFrame(longest)},
        {"empty payload", ServerFrame(QByteArray())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlFrameReader reader;
        reader.Append(c.frame.constData(), c.frame.size());
        const auto items = ReadAll(reader);
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].kind, ControlFrameReader::Item::Frame);
        EXPECT_EQ(items[0].payload, c.frame.mid(12));
        EXPECT_EQ(reader.PendingBytes(), 0);
    }
}

TEST(ControlFrameTest, EveryFrameOfAStreamInOrderWhateverTheReadBoundaries) {
    const QByteArray stream = ServerFrame("<ELEMENT>first</ELEMENT>") +
                              ServerFrame("<ELEMENT>second</ELEMENT>") +
                              ServerFrame(QByteArray(700, 'z'));
    // Each split point, then one byte at a time.
    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        ControlFrameReader reader;
        std::vector<ControlFrameReader::Item> items;
        reader.Append(stream.constData(), cut);
        for (auto& item : ReadAll(reader)) {
            items.push_back(item);
        }
        reader.Append(stream.constData() + cut, stream.size() - cut);
        for (auto& item : ReadAll(reader)) {
            items.push_back(item);
        }
        ASSERT_EQ(items.size(), 3u) << "cut at " << cut;
        EXPECT_EQ(items[0].payload, QByteArray("<ELEMENT>first</ELEMENT>"));
        EXPECT_EQ(items[1].payload, QByteArray("<ELEMENT>second</ELEMENT>"));
        EXPECT_EQ(items[2].payload, QByteArray(700, 'z'));
    }
    ControlFrameReader bytewise;
    int frames = 0;
    for (char byte : stream) {
        bytewise.Append(&byte, 1);
        frames += static_cast<int>(ReadAll(bytewise).size());
    }
    EXPECT_EQ(frames, 3);
}

TEST(ControlFrameTest, FramesOfEveryObjectIdAreCutTheReceiverChoosesWhichCount) {
    const QByteArray own = Header(0xBB, 0xAA, 0xEE11, 2, 0, 3) + QByteArray("abc");
    const QByteArray stream = own + ServerFrame("def");
    ControlFrameReader reader;
    reader.Append(stream.constData(), stream.size());
    const auto items = ReadAll(reader);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].header.id, 0xEE11);
    EXPECT_EQ(items[1].header.id, 0xE011);
    EXPECT_EQ(items[1].payload, QByteArray("def"));
}

TEST(ControlFrameTest, AFaultDropsWhatFollowedInTheSameRead) {
    const QByteArray stream =
        Header(0xBB, 0xAA, 0xE011, 1, 0, 3) + QByteArray("abc") + ServerFrame("def");
    ControlFrameReader reader;
    reader.Append(stream.constData(), stream.size());
    const auto items = ReadAll(reader);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].kind, ControlFrameReader::Item::Fault);
    // The next read starts afresh.
    const QByteArray next = ServerFrame("ghi");
    reader.Append(next.constData(), next.size());
    const auto after = ReadAll(reader);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].payload, QByteArray("ghi"));
}
