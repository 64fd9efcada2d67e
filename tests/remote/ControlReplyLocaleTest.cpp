// The control server's texts keep the decimal point under a comma-decimal locale: a "90,25" would
// be misread by the server.
#include "remote/ControlReplyTemplates.h"
#include "remote/PanTiltReplyText.h"
#include "tests/support/CommaLocaleTest.h"

#include <gtest/gtest.h>

namespace {

using ControlReplyLocaleTest = CommaLocaleTest;

TEST_F(ControlReplyLocaleTest, StatusMessageAndPositionsKeepThePoint) {
    EXPECT_EQ(ControlReplyTemplates::EquipmentStatus(1, 1, 0, 12.5, 0.0, 90.25, 45.0),
              "<ELEMENT>\r\n  <CMD_ID>EQUIPMENT_STATUS</CMD_ID>\r\n  <PHONOLUX_1>1</PHONOLUX_1>\r\n"
              "  <PANTILT>1</PANTILT>\r\n  <BEACON_LIGHT>0</BEACON_LIGHT>\r\n  <CPU>12.5</CPU>\r\n"
              "  <TEMPERATURE>0.0</TEMPERATURE>\r\n  <PAN>90.25</PAN>\r\n  <TILT>45.00</TILT>\r\n"
              "</ELEMENT>");
    EXPECT_EQ(ControlReplyTemplates::GetPanTiltAck(359.99, 0.5, "M-1"),
              "<ELEMENT>\r\n  <CMD_ID>GET_PAN_TILT_ACK</CMD_ID>\r\n  <PAN>359.99</PAN>\r\n"
              "  <TILT>0.50</TILT>\r\n  <MISSION_ID>M-1</MISSION_ID>\r\n</ELEMENT>");
}

TEST_F(ControlReplyLocaleTest, HeadRepliesKeepThePoint) {
    EXPECT_EQ(PanTiltReplyText(PanTiltReply::GetTiltAck, 0, 320.75, "M-2"),
              "<ELEMENT>\r\n  <CMD_ID>GET_TILT_ACK</CMD_ID>\r\n  <TILT>320.75</TILT>\r\n"
              "  <MISSION_ID>M-2</MISSION_ID>\r\n</ELEMENT>");
}

}  // namespace
