// Frame encoding byte for byte, and the reply assembly across reads.

#include "pantilt/PelcoFrames.h"
#include "pantilt/PelcoReplyAssembler.h"

#include <gtest/gtest.h>

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
    std::vector<QByteArray> reads;
    std::vector<QByteArray> frames;  // hex, in order
    int pending;
};

TEST(PelcoReplyAssemblerTest, HandsOutEveryCompleteFrameInOrder) {
    const QByteArray pan = QByteArray::fromHex("ff0100592328a5");
    const QByteArray tilt = QByteArray::fromHex("ff01005b119421");
    const AssemblyCase cases[] = {
        {"one read", {pan}, {pan.toHex()}, 0},
        {"split 3 + 4", {pan.left(3), pan.mid(3)}, {pan.toHex()}, 0},
        {"two in one read", {pan + tilt}, {pan.toHex(), tilt.toHex()}, 0},
        {"noise before sync", {QByteArray::fromHex("0013") + tilt}, {tilt.toHex()}, 0},
        {"started frame waits", {pan + tilt.left(2)}, {pan.toHex()}, 2},
        {"only noise", {QByteArray::fromHex("00112233445566")}, {}, 0},
    };
    for (const auto& c : cases) {
        CPelcoReplyAssembler assembler;
        std::vector<QByteArray> frames;
        for (const QByteArray& read : c.reads) {
            assembler.append(read.constData(), int(read.size()));
            for (const PelcoFrame& frame : assembler.takeFrames()) {
                frames.push_back(Bytes(frame).toHex());
            }
        }
        EXPECT_EQ(frames, c.frames) << c.name;
        EXPECT_EQ(assembler.pending(), c.pending) << c.name;
    }
}

TEST(PelcoFramesTest, ReplyValueIgnoresTheChecksum) {
    PelcoFrame reply = PelcoPositionReply(1, Pelco::kPanReply, 9000);
    reply[6] = 0x00;
    EXPECT_EQ(PelcoReplyValue(reply), 9000);
}

}  // namespace
