// The serial line against a real pseudo-terminal: hex and text writes byte for byte, the purge
// before each write, opening and closing, and the error texts.

#include "pantilt/SerialException.h"
#include "pantilt/SerialPort.h"
#include "tests/pantilt/PseudoTerminal.h"
#include "tests/support/LogCapture.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

class SerialPortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        qputenv("STATION_SERIAL_DIR", m_folder.path().toLocal8Bit());
    }
    void TearDown() override { qunsetenv("STATION_SERIAL_DIR"); }

    QTemporaryDir m_folder;
};

struct HexCase {
    const char* name;
    const char* command;
    QByteArray bytes;
};

class SerialHexWriteTest : public SerialPortTest, public ::testing::WithParamInterface<HexCase> {};

TEST_P(SerialHexWriteTest, WritesTheBytesTheDigitsDenoteWithoutCrLf) {
    PseudoTerminal device(m_folder.path(), 3);
    CSerialPort port;
    port.SetWriteMode(CSerialPort::HexMode);
    ASSERT_TRUE(port.Open(3));
    ASSERT_TRUE(port.WriteCommand(GetParam().command));
    const QByteArray expected = GetParam().bytes;
    EXPECT_EQ(device.receive(expected.size()).toHex(' '), expected.toHex(' '));
    EXPECT_TRUE(device.drain(100).isEmpty()) << "nothing after the frame, no CR LF";
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SerialHexWriteTest,
    ::testing::Values(
        HexCase{"InitialiseLowerCase", "ff01000700fe06", QByteArray::fromHex("ff01000700fe06")},
        HexCase{"InitialiseUpperCase", "FF01000700FE06", QByteArray::fromHex("ff01000700fe06")},
        HexCase{"MixedCase", "Ff01000700fE06", QByteArray::fromHex("ff01000700fe06")},
        HexCase{"NonHexCountsAsZero", "zz1g", QByteArray::fromHex("0010")},
        HexCase{"OddLengthDropsTheLastDigit", "ff0", QByteArray::fromHex("ff")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SerialPortTest, TextModeWritesTheCommandAndCrLf) {
    PseudoTerminal device(m_folder.path(), 4);
    CSerialPort port;
    ASSERT_EQ(port.WriteMode(), CSerialPort::TextMode);
    ASSERT_TRUE(port.Open(4));
    ASSERT_TRUE(port.WriteCommand("ff01000700fe06"));
    EXPECT_EQ(device.receive(16), QByteArray("ff01000700fe06\r\n"));
    EXPECT_TRUE(device.drain(100).isEmpty());
}

TEST_F(SerialPortTest, AWriteDiscardsBytesThatWereNotRead) {
    PseudoTerminal device(m_folder.path(), 5);
    CSerialPort port;
    port.SetWriteMode(CSerialPort::HexMode);
    ASSERT_TRUE(port.Open(5));
    device.send(QByteArray::fromHex("ff0100592328a4"));
    QThread::msleep(100);
    ASSERT_TRUE(port.WriteCommand("ff01005100005200"));
    char buffer[128];
    EXPECT_EQ(port.Read(buffer, sizeof buffer), 0);
    device.send("ok");
    QByteArray read;
    for (int k = 0; k < 100 && read.size() < 2; ++k) {
        const int n = port.Read(buffer, sizeof buffer);
        read.append(buffer, n);
        QThread::msleep(10);
    }
    EXPECT_EQ(read, QByteArray("ok")) << "bytes after the write still arrive";
}

TEST_F(SerialPortTest, ReadReturnsAtOnceWhenNothingArrived) {
    PseudoTerminal device(m_folder.path(), 6);
    CSerialPort port;
    ASSERT_TRUE(port.Open(6));
    char buffer[128];
    EXPECT_EQ(port.Read(buffer, sizeof buffer), 0);
}

TEST_F(SerialPortTest, OpensPortNumbersAboveNine) {
    PseudoTerminal device(m_folder.path(), 12);
    EXPECT_TRUE(CSerialPort::IsPortPresent(12));
    CSerialPort port;
    ASSERT_TRUE(port.Open(12));
    EXPECT_EQ(port.PortNumber(), 12);
    EXPECT_TRUE(port.WriteCommand("41"));
    EXPECT_EQ(device.receive(4), QByteArray("41\r\n"));
}

TEST_F(SerialPortTest, OpenFailsForMissingBusyAndNonSerialPorts) {
    CSerialPort port;
    EXPECT_FALSE(CSerialPort::IsPortPresent(7));
    EXPECT_FALSE(port.Open(7)) << "missing";

    PseudoTerminal device(m_folder.path(), 7);
    CSerialPort first;
    ASSERT_TRUE(first.Open(7));
    EXPECT_FALSE(port.Open(7)) << "held by another open";
    first.Close();
    EXPECT_TRUE(port.Open(7)) << "free again after close";

    QFile plain(m_folder.path() + QStringLiteral("/COM8"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_TRUE(CSerialPort::IsPortPresent(8));
    CSerialPort other;
    EXPECT_FALSE(other.Open(8)) << "present but not a serial line";
    EXPECT_FALSE(other.IsOpen());
}

TEST_F(SerialPortTest, OpeningAnOpenPortAgainKeepsNoStaleHandle) {
    PseudoTerminal device(m_folder.path(), 11);
    CSerialPort port;
    port.SetWriteMode(CSerialPort::HexMode);
    ASSERT_TRUE(port.Open(11));
    ASSERT_TRUE(port.Open(11)) << "the port's own earlier handle does not hold it";
    ASSERT_TRUE(port.WriteCommand("41"));
    EXPECT_EQ(device.receive(1), QByteArray("A"));
    port.Close();
    CSerialPort other;
    EXPECT_TRUE(other.Open(11)) << "nothing left holding the line after close";
}

TEST_F(SerialPortTest, ClosedPortRefusesWritesAndStillLogsItsClose) {
    LogCapture log;
    CSerialPort port;
    EXPECT_FALSE(port.WriteCommand("ff"));
    EXPECT_TRUE(log.contains(QStringLiteral("[WriteCommand] Could not send a remote command")));
    EXPECT_FALSE(port.WriteRaw("ff\r\n"));
    port.Open(9);  // missing: stays closed but remembers the number
    EXPECT_TRUE(port.Close());
    EXPECT_TRUE(log.contains(QStringLiteral("Disconnect OK : Com 9 Port.")));
}

TEST_F(SerialPortTest, EmptyTextWritesNothingAndSucceeds) {
    PseudoTerminal device(m_folder.path(), 10);
    CSerialPort port;
    ASSERT_TRUE(port.Open(10));
    EXPECT_TRUE(port.WriteRaw(QByteArray()));
    EXPECT_TRUE(device.drain(100).isEmpty());
}

TEST(HexDigitTest, ValuesAndCharacters) {
    const std::pair<char, int> values[] = {{'0', 0},  {'1', 1},  {'9', 9}, {'A', 10}, {'F', 15},
                                           {'a', 10}, {'f', 15}, {'g', 0}, {'G', 0},  {' ', 0}};
    for (const auto& [digit, value] : values) {
        EXPECT_EQ(CSerialPort::HexDigitValue(digit), value) << digit;
    }
    const std::pair<int, char> characters[] = {{0, '0'},  {9, '9'},   {10, 'A'},
                                               {15, 'F'}, {16, '\0'}, {-1, '\0'}};
    for (const auto& [value, digit] : characters) {
        EXPECT_EQ(CSerialPort::HexDigitChar(value), digit) << value;
    }
}

TEST(SerialExceptionTest, GivesTheSystemTextTruncatedToTheBuffer) {
    const CSerialException error(ENOENT);
    EXPECT_EQ(error.errorCode(), ENOENT);
    char text[64];
    unsigned help = 7;
    ASSERT_TRUE(error.GetErrorMessage(text, sizeof text, &help));
    EXPECT_STREQ(text, "No such file or directory");
    EXPECT_EQ(help, 0u);
    char small[5];
    ASSERT_TRUE(error.GetErrorMessage(small, sizeof small));
    EXPECT_STREQ(small, "No s");
}

TEST(SerialExceptionTest, UnknownCodeGivesAnEmptyText) {
    const CSerialException error(987654);
    char text[64] = "previous";
    EXPECT_FALSE(error.GetErrorMessage(text, sizeof text));
    EXPECT_STREQ(text, "");
}

}  // namespace
