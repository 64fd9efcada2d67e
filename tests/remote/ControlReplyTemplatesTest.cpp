// The control server's texts byte for byte: line ends, indentation, number formats.

#include "remote/ControlReplyTemplates.h"

#include <gtest/gtest.h>

namespace {

using namespace ControlReplyTemplates;

TEST(ControlReplyTemplatesTest, TextsAreExact) {
    const struct {
        QString text;
        const char* expected;
    } cases[] = {
        {SetPanComplete(QStringLiteral("M7")),
         "<ELEMENT>\r\n  <CMD_ID>SET_PAN_COMPLETE</CMD_ID>\r\n  <MISSION_ID>M7</MISSION_ID>\r\n"
         "</ELEMENT>"},
        {SetTiltNg(QString()),
         "<ELEMENT>\r\n  <CMD_ID>SET_TILT_NG</CMD_ID>\r\n  "
         "<MISSION_ID></MISSION_ID>\r\n</ELEMENT>"},
        {TiltUpAck(), "<ELEMENT>\r\n  <CMD_ID>TILT_UP_ACK</CMD_ID>\r\n</ELEMENT>"},
        {GetPanAck(90.0, QStringLiteral("a")),
         "<ELEMENT>\r\n  <CMD_ID>GET_PAN_ACK</CMD_ID>\r\n  <PAN>90.00</PAN>\r\n  "
         "<MISSION_ID>a</MISSION_ID>\r\n</ELEMENT>"},
        {GetPanTiltAck(0.5, 330.25, QStringLiteral("b")),
         "<ELEMENT>\r\n  <CMD_ID>GET_PAN_TILT_ACK</CMD_ID>\r\n  <PAN>0.50</PAN>\r\n  "
         "<TILT>330.25</TILT>\r\n  <MISSION_ID>b</MISSION_ID>\r\n</ELEMENT>"},
        {InspectionComplete(12, 1, QStringLiteral("m")),
         "<ELEMENT>\r\n  <CMD_ID>INSPECTION_COMPLETE</CMD_ID>\r\n  "
         "<INSPECTION_ID>12</INSPECTION_ID>\r\n  <RESULT>1</RESULT>\r\n  "
         "<MISSION_ID>m</MISSION_ID>\r\n</ELEMENT>"},
        {EquipmentStatus(1, 0, 1, 12.345, 0.0, 90.0, 45.5),
         "<ELEMENT>\r\n  <CMD_ID>EQUIPMENT_STATUS</CMD_ID>\r\n  <PHONOLUX_1>1</PHONOLUX_1>\r\n  "
         "<PANTILT>0</PANTILT>\r\n  <BEACON_LIGHT>1</BEACON_LIGHT>\r\n  <CPU>12.3</CPU>\r\n  "
         "<TEMPERATURE>0.0</TEMPERATURE>\r\n  <PAN>90.00</PAN>\r\n  <TILT>45.50</TILT>\r\n"
         "</ELEMENT>"},
        {EquipmentEngineDbSyncRequest(),
         "<ELEMENT>\r\n <CMD_ID>EQUIPMENT_ENGINE_DB_SYNC_REQUEST</CMD_ID>\r\n</ELEMENT>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text.toStdString(), std::string(c.expected));
    }
}

TEST(ControlReplyTemplatesTest, MissionIdIsInsertedAsReceived) {
    const QString mission = QStringLiteral("임무-1 %s");
    EXPECT_TRUE(
        SetPanTiltNg(mission).contains(QStringLiteral("<MISSION_ID>임무-1 %s</MISSION_ID>")));
}

}  // namespace
