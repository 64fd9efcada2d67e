// What goes out on a streaming link, byte for byte, and which server commands are acknowledged.
#include "streaming/StreamingMessages.h"

#include <QImage>

#include <gtest/gtest.h>

namespace M = StreamingMessages;

TEST(StreamingMessagesTest, PictureSendsAreTheHeaderWith1024BytesThenAtMost1024) {
    const struct {
        int fileBytes;
        std::vector<int> sends;
    } cases[] = {
        {1000, {1009}},       {1024, {1033}}, {1025, {1033, 1}}, {2500, {1033, 1024, 452}},
        {2048, {1033, 1024}}, {0, {9}},
    };
    for (const auto& c : cases) {
        QByteArray file(c.fileBytes, '\0');
        for (int i = 0; i < c.fileBytes; ++i) {
            file[i] = static_cast<char>(i * 7);
        }
        const std::vector<QByteArray> sends = M::PictureSends(file);
        std::vector<int> sizes;
        QByteArray joined;
        for (const QByteArray& send : sends) {
            sizes.push_back(static_cast<int>(send.size()));
            joined += send;
        }
        EXPECT_EQ(sizes, c.sends) << c.fileBytes;
        const auto n = static_cast<uint32_t>(c.fileBytes);
        QByteArray header("V.160", 5);
        for (int shift = 0; shift < 32; shift += 8) {
            header.append(static_cast<char>((n >> shift) & 0xFF));
        }
        EXPECT_EQ(joined, header + file) << c.fileBytes;
    }
}

TEST(StreamingMessagesTest, IntroductionCarriesTheCodeInCodePage949) {
    EXPECT_EQ(M::Introduction(QStringLiteral("UGV-01")),
              QByteArray("<YELT VERSION=\"1.0\" CMD_ID=\"UGV_INFORMATION\"><ELEMENT><UGV_ID>UGV-01"
                         "</UGV_ID></ELEMENT></YELT>"));
    EXPECT_EQ(M::Introduction(QStringLiteral("차량")),
              QByteArray("<YELT VERSION=\"1.0\" CMD_ID=\"UGV_INFORMATION\"><ELEMENT><UGV_ID>"
                         "\xc2\xf7\xb7\xae</UGV_ID></ELEMENT></YELT>"));
}

TEST(StreamingMessagesTest, ThumbnailIsA160By120Jpeg) {
    QImage pane(640, 480, QImage::Format_RGB32);
    pane.fill(QColor(200, 40, 40));
    const QByteArray jpeg = M::Thumbnail(pane);
    ASSERT_FALSE(jpeg.isEmpty());
    EXPECT_TRUE(jpeg.startsWith("\xff\xd8"));
    const QImage back = QImage::fromData(jpeg, "JPEG");
    EXPECT_EQ(back.size(), QSize(160, 120));
    EXPECT_NEAR(qRed(back.pixel(80, 60)), 200, 8);
    EXPECT_TRUE(M::Thumbnail(QImage()).isEmpty());
}

TEST(StreamingMessagesTest, OneAcknowledgementPerMatchingYelt) {
    const struct {
        const char* text;
        bool wellFormed;
        int acks;
    } cases[] = {
        {"<YELT VERSION=\"1.0\" CMD_ID=\"BROD_CMD_01\"></YELT>", true, 1},
        {"<YELT VERSION=\"1.1\" CMD_ID=\"BROD_CMD_01\"></YELT>", true, 0},
        {"<YELT VERSION=\"1.0\" CMD_ID=\"BROD_CMD_02\"></YELT>", true, 0},
        {"<R><YELT VERSION=\"1.0\" CMD_ID=\"BROD_CMD_01\"/>"
         "<YELT CMD_ID=\"BROD_CMD_01\" VERSION=\"1.0\"/></R>",
         true, 2},
        // The values carry over from one element to the next.
        {"<R><YELT VERSION=\"1.0\" CMD_ID=\"BROD_CMD_01\"/><YELT/></R>", true, 2},
        {"<R><NOT_YELT VERSION=\"1.0\" CMD_ID=\"BROD_CMD_01\"/></R>", true, 0},
        {"<YELT VERSION=\"1.0\"", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        QStringList lines;
        const auto result = M::ReadServerCommand(QString::fromLatin1(c.text),
                                                 [&](const QString& line) { lines << line; });
        EXPECT_EQ(result.wellFormed, c.wellFormed) << c.text;
        EXPECT_EQ(result.acknowledgements, c.acks) << c.text;
        if (!c.wellFormed) {
            EXPECT_EQ(lines, QStringList{QStringLiteral("[XML Load ERROR]")});
        }
    }
    QStringList lines;
    M::ReadServerCommand(QStringLiteral("<YELT VERSION=\"1.0\" CMD_ID=\"BROD_CMD_01\"/>"),
                         [&](const QString& line) { lines << line; });
    EXPECT_EQ(lines.value(0), QStringLiteral("<YELT>Len = 1"));
    EXPECT_EQ(lines.value(1), QStringLiteral("Attribute len = 2"));
    EXPECT_TRUE(lines.contains(QStringLiteral("[0]t_name = VERSION, t_data = 1.0")));
    EXPECT_TRUE(lines.contains(QStringLiteral("[0]t_name = CMD_ID, t_data = BROD_CMD_01")));
}
