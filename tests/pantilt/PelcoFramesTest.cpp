// Frame encoding byte for byte, and the reply assembly across reads with its checksum check.

#include "pantilt/PelcoFrames.h"
#include "pantilt/PelcoReplyAssembler.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

QByteArray Bytes(const PelcoFrame& frame) {
    return QByteArray(reinterpret_cast<const char*>(frame.data()), int(frame.size()));
}

TEST(PelcoFramesTest, EncodesTheHeadCommands) {
    const struct {
        const char* name;
        PelcoFrame frame;
        const char* hex;
    } cases[] = {
        {"up", PelcoMoveFrame(1, Pelco::kUp, 50, 50), "ff01000832326d"},
        {"stop", PelcoMoveFrame(1, Pelco::kStop, 50, 50), "ff010000323265"},
        {"left down, address 2", PelcoMoveFrame(2, Pelco::kLeftDown, 0x3f, 0x20), "ff0200143f2075"},
        {"set pan 90", PelcoSetPositionFrame(1, Pelco::kSetPanPosition, 9000), "ff01004b232897"},
        {"set tilt 330", PelcoSetPositionFrame(1, Pelco::kSetTiltPosition, 33000),
         "ff01004d80e8b6"},
        {"query pan", PelcoQueryFrame(1, Pelco::kQueryPan), "ff010051000052"},
        {"query tilt, address 255", PelcoQueryFrame(255, Pelco::kQueryTilt), "ffff0053000052"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Bytes(c.frame).toHex(), QByteArray(c.hex)) << c.name;
        EXPECT_EQ(PelcoFrameText(c.frame), QByteArray(c.hex)) << c.name;
    }
    EXPECT_EQ(PelcoFrameText(PelcoQueryFrame(1, Pelco::kQueryPan)).size(), 14);
}

struct AssemblyCase {
    const char* name;
    std::vector<std::string> reads;   // hex, one read each
    std::vector<std::string> frames;  // hex, in order
    int pending;
    int dropped;  // frames dropped for their checksum, one debug line each
};

TEST(PelcoReplyAssemblerTest, HandsOutEveryFrameWithAGoodChecksumInOrder) {
    // Pan 90.00 "ff0100592328a5", tilt 45.00 "ff01005b119401"; "ff0100592328a4" is the pan
    // reply with a wrong checksum.
    const AssemblyCase cases[] = {
        {"one read", {"ff0100592328a5"}, {"ff0100592328a5"}, 0, 0},
        {"split 3 + 4", {"ff0100", "592328a5"}, {"ff0100592328a5"}, 0, 0},
        {"two in one read",
         {"ff0100592328a5ff01005b119401"},
         {"ff0100592328a5", "ff01005b119401"},
         0,
         0},
        {"noise before sync", {"0013ff01005b119401"}, {"ff01005b119401"}, 0, 0},
        {"started frame waits", {"ff0100592328a5ff01"}, {"ff0100592328a5"}, 2, 0},
        {"only noise", {"00112233445566"}, {}, 0, 0},
        // Pan 90.90 has the checksum 0xff, which is no sync byte.
        {"checksum byte ff",
         {"ff0100592382ffff01005b119401"},
         {"ff0100592382ff", "ff01005b119401"},
         0,
         0},
        {"other address is the reader's business", {"ff0200592328a6"}, {"ff0200592328a6"}, 0, 0},
        {"bad checksum", {"ff0100592328a4"}, {}, 0, 1},
        {"good frame after a bad one", {"ff0100592328a4ff01005b119401"}, {"ff01005b119401"}, 0, 1},
        {"good frame in the read after a bad one",
         {"ff0100592328a4", "ff01005b119401"},
         {"ff01005b119401"},
         0,
         1},
        {"bad frame split over reads",
         {"ff0100", "592328a4ff0100592328a5"},
         {"ff0100592328a5"},
         0,
         1},
        {"fragment stitched to a frame", {"ff010059ff0100592328a5"}, {"ff0100592328a5"}, 0, 1},
        {"fragment stitched over two reads",
         {"ff010059", "ff0100592328a5"},
         {"ff0100592328a5"},
         0,
         1},
        {"started frame after a bad one waits", {"ff0100592328a4ff010059"}, {}, 4, 1},
        {"sync bytes inside a bad frame",
         {"ff01ff0059ff00ff01005b119401"},
         {"ff01005b119401"},
         0,
         3},
    };
    for (const auto& c : cases) {
        LogCapture log;
        CPelcoReplyAssembler assembler;
        std::vector<std::string> frames;
        for (const std::string& hex : c.reads) {
            const QByteArray read = QByteArray::fromHex(QByteArray::fromStdString(hex));
            assembler.append(read.constData(), int(read.size()));
            for (const PelcoFrame& frame : assembler.takeFrames()) {
                frames.push_back(Bytes(frame).toHex().toStdString());
            }
        }
        EXPECT_EQ(frames, c.frames) << c.name;
        EXPECT_EQ(assembler.pending(), c.pending) << c.name;
        EXPECT_EQ(log.lines().filter(QStringLiteral("[PanTilt] Reply dropped")).size(), c.dropped)
            << c.name;
    }
}

TEST(PelcoReplyAssemblerTest, DroppedFrameIsLoggedWithItsBytes) {
    LogCapture log;
    CPelcoReplyAssembler assembler;
    const QByteArray bad = QByteArray::fromHex("ff0100592328a4");
    assembler.append(bad.constData(), int(bad.size()));
    EXPECT_TRUE(assembler.takeFrames().empty());
    EXPECT_EQ(log.lines(),
              QStringList{QStringLiteral(
                  "[PanTilt] Reply dropped, checksum a4 != a5 : ff 01 00 59 23 28 a4")});
}

TEST(PelcoFramesTest, ReplyValueAndChecksum) {
    const PelcoFrame reply = PelcoPositionReply(1, Pelco::kPanReply, 9000);
    EXPECT_EQ(PelcoReplyValue(reply), 9000);
    EXPECT_EQ(PelcoChecksum(reply), 0xa5);
    EXPECT_EQ(reply[6], 0xa5);
}

}  // namespace
