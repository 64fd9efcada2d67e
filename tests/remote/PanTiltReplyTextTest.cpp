// Each report of the pan/tilt head becomes the control server's text for it, with the positions
// the reply carries and the mission id.

#include "remote/ControlReplyTemplates.h"
#include "remote/PanTiltReplyText.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace ControlReplyTemplates;

TEST(PanTiltReplyTextTest, EveryReplyHasItsTemplate) {
    const QString mission = QStringLiteral("M-9");
    // Pan and tilt differ, so a swapped or dropped position shows.
    constexpr double kPan = 12.5;
    constexpr double kTilt = 330.25;
    const struct {
        PanTiltReply reply;
        QString expected;
    } cases[] = {
        {PanTiltReply::SetPanComplete, SetPanComplete(mission)},
        {PanTiltReply::SetPanNg, SetPanNg(mission)},
        {PanTiltReply::SetTiltComplete, SetTiltComplete(mission)},
        {PanTiltReply::SetTiltNg, SetTiltNg(mission)},
        {PanTiltReply::SetPanTiltComplete, SetPanTiltComplete(mission)},
        {PanTiltReply::SetPanTiltNg, SetPanTiltNg(mission)},
        {PanTiltReply::GetPanAck, GetPanAck(kPan, mission)},
        {PanTiltReply::GetTiltAck, GetTiltAck(kTilt, mission)},
        {PanTiltReply::GetPanTiltAck, GetPanTiltAck(kPan, kTilt, mission)},
    };
    std::set<int> covered;
    for (const auto& c : cases) {
        covered.insert(static_cast<int>(c.reply));
        EXPECT_EQ(PanTiltReplyText(c.reply, kPan, kTilt, mission).toStdString(),
                  c.expected.toStdString())
            << PanTiltReplyName(c.reply);
    }
    EXPECT_EQ(covered.size(), 9u) << "one case per reply";
}

TEST(PanTiltReplyTextTest, PositionRepliesAreExact) {
    const struct {
        PanTiltReply reply;
        double pan;
        double tilt;
        const char* expected;
    } cases[] = {
        {PanTiltReply::GetPanAck, 90.0, 0.0,
         "<ELEMENT>\r\n  <CMD_ID>GET_PAN_ACK</CMD_ID>\r\n  <PAN>90.00</PAN>\r\n  "
         "<MISSION_ID>m</MISSION_ID>\r\n</ELEMENT>"},
        {PanTiltReply::GetTiltAck, 0.0, 330.5,
         "<ELEMENT>\r\n  <CMD_ID>GET_TILT_ACK</CMD_ID>\r\n  <TILT>330.50</TILT>\r\n  "
         "<MISSION_ID>m</MISSION_ID>\r\n</ELEMENT>"},
        {PanTiltReply::GetPanTiltAck, 0.5, 45.0,
         "<ELEMENT>\r\n  <CMD_ID>GET_PAN_TILT_ACK</CMD_ID>\r\n  <PAN>0.50</PAN>\r\n  "
         "<TILT>45.00</TILT>\r\n  <MISSION_ID>m</MISSION_ID>\r\n</ELEMENT>"},
        {PanTiltReply::SetPanTiltNg, 7.0, 8.0,
         "<ELEMENT>\r\n  <CMD_ID>SET_PAN_TILT_NG</CMD_ID>\r\n  <MISSION_ID>m</MISSION_ID>\r\n"
         "</ELEMENT>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PanTiltReplyText(c.reply, c.pan, c.tilt, QStringLiteral("m")).toStdString(),
                  std::string(c.expected))
            << PanTiltReplyName(c.reply);
    }
}

}  // namespace
