// Reading a control command's fields from its XML text.
#include "remote/ControlCommand.h"

#include <gtest/gtest.h>

TEST(ControlCommandTest, LeadingIntegerReadsFromTheStart) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"360", 360},
        {"  42", 42},
        {"\t\n7", 7},
        {"-1", -1},
        {"+15", 15},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"3.9", 3},
        {" - 5", 0},
        {"0042", 42},
        {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LeadingInteger(QString::fromUtf8(c.text)), c.value) << c.text;
    }
}

TEST(ControlCommandTest, AFieldCountsOnlyWhenItsElementIsThereExactlyOnce) {
    ControlCommand command;
    ASSERT_EQ(ParseControlCommand(
                  QStringLiteral("<ROOT><ELEMENT><CMD_ID>INSPECTION_START</CMD_ID>"
                                 "<INSPECTION_ID>17x</INSPECTION_ID><ENGINE_ID>엔진-A</ENGINE_ID>"
                                 "<MISSION_ID>M1</MISSION_ID><MISSION_ID>M2</MISSION_ID></ELEMENT>"
                                 "<SENSOR_INDEX> 0</SENSOR_INDEX></ROOT>"),
                  command),
              ControlParseResult::Command);
    EXPECT_EQ(command.cmdId, QStringLiteral("INSPECTION_START"));
    EXPECT_EQ(command.inspectionId, 17);
    EXPECT_EQ(command.engineId, QStringLiteral("엔진-A"));
    // Two mission ids: the field does not count.
    EXPECT_FALSE(command.missionId);
    // Elements are found anywhere in the document.
    EXPECT_TRUE(command.sensorIndexZero);
    EXPECT_FALSE(command.ugvCode);
}

TEST(ControlCommandTest, FieldsThatDoNotCountTakeTheirDefaults) {
    ControlCommand command;
    ASSERT_EQ(ParseControlCommand(QStringLiteral("<ELEMENT><CMD_ID>A</CMD_ID><CMD_ID>B</CMD_ID>"
                                                 "<PAN>1</PAN><PAN>2</PAN></ELEMENT>"),
                                  command),
              ControlParseResult::Command);
    EXPECT_TRUE(command.cmdId.isEmpty());
    EXPECT_EQ(command.pan, 0);
    EXPECT_EQ(command.inspectionId, 0);
    // A missing sensor index is not 0.
    EXPECT_FALSE(command.sensorIndexZero);
}

TEST(ControlCommandTest, PanAndTiltAreUnsigned16Bit) {
    const struct {
        const char* text;
        uint16_t value;
    } cases[] = {{"360", 360}, {"-1", 65535}, {"65536", 0}, {"65897", 361}, {"x", 0}};
    for (const auto& c : cases) {
        ControlCommand command;
        ASSERT_EQ(
            ParseControlCommand(QStringLiteral("<ELEMENT><PAN>%1</PAN><TILT>%1</TILT></ELEMENT>")
                                    .arg(QString::fromUtf8(c.text)),
                                command),
            ControlParseResult::Command);
        EXPECT_EQ(command.pan, c.value) << c.text;
        EXPECT_EQ(command.tilt, c.value) << c.text;
    }
}

TEST(ControlCommandTest, MalformedTextAndDocumentsWithoutElement) {
    ControlCommand command;
    EXPECT_EQ(ParseControlCommand(QStringLiteral("<ELEMENT><CMD_ID>X</ELEMENT>"), command),
              ControlParseResult::MalformedXml);
    EXPECT_EQ(ParseControlCommand(QString(), command), ControlParseResult::MalformedXml);
    EXPECT_EQ(ParseControlCommand(QStringLiteral("<CMD_ID>INSPECTION_STOP</CMD_ID>"), command),
              ControlParseResult::NoElement);
}
