#include "sensor/CameraProtocol.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace camera;

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(',', ' '));
}

StartValues Model2Values() {
    StartValues values;
    values.model = 2;
    values.range = 0;
    values.distance = 1000;
    values.minimumHz = 5000;
    values.maximumHz = 8000;
    values.parameter7 = 25;  // File_Save_Mode 2
    values.parameter6 = 100;
    values.brightness = 25;
    return values;
}

}  // namespace

TEST(CameraCommands, Model2StartOrderIsByteExact) {
    std::atomic<uint32_t> counter{1};
    const QList<QByteArray> commands = StartCommands(Model2Values(), counter);
    ASSERT_EQ(commands.size(), 4);
    EXPECT_EQ(commands[0].toHex(' '),
              Hex("93 01 00 00 30 00 00 00, 05 00 00 00, 02 00 07 00 e8 03 00 00, 03 00 02 00 88 "
                  "13 00 00 40 1f 00 00, 04 00 00 02 40 01 f0 00, 07 00 07 00 19 00 00 00, 06 00 "
                  "07 00 64 00 00 00")
                  .toHex(' '));
    EXPECT_EQ(commands[1], Hex("86 02 00 00 04 00 00 00 01 00 00 00"));
    EXPECT_EQ(commands[2], Hex("84 03 00 00 04 00 00 00 02 00 00 00"));
    EXPECT_EQ(commands[3], Hex("8a 00 00 00 00 00 00 00"));
    EXPECT_EQ(counter.load(), 1u);
}

TEST(CameraCommands, Model3StartOrderAndPayloads) {
    StartValues values = Model2Values();
    values.model = 3;
    values.range = 1;
    std::atomic<uint32_t> counter{0x1FF};  // only the low byte goes on the wire
    const QList<QByteArray> commands = StartCommands(values, counter);
    ASSERT_EQ(commands.size(), 6);
    EXPECT_EQ(commands[0], Hex("86 ff 00 00 04 00 00 00 05 00 00 00"));
    EXPECT_EQ(commands[1].left(8), Hex("93 00 00 00 30 00 00 00"));
    EXPECT_EQ(commands[2], Hex("93 01 00 00 0c 00 00 00 01 00 00 00 05 00 07 00 19 00 00 00"));
    EXPECT_EQ(commands[3],
              Hex("93 02 00 00 10 00 00 00 01 00 00 00 20 00 04 00 4f 00 00 00 00 00 00 00"));
    EXPECT_EQ(commands[4], Hex("84 03 00 00 04 00 00 00 02 00 00 00"));
    EXPECT_EQ(commands[5], Hex("8a 00 00 00 00 00 00 00"));
    EXPECT_EQ(counter.load(), 1u);
}

TEST(CameraCommands, ReloadAndStopCommands) {
    EXPECT_EQ(EncodeCommand(kIdSetParameters, 7, MeasuringParametersPayload(1000, 5000, 8000)),
              Hex("93 07 00 00 18 00 00 00 02 00 00 00 02 00 07 00 e8 03 00 00 03 00 02 00 88 13 "
                  "00 00 40 1f 00 00"));
    EXPECT_EQ(EncodeCommand(kIdStop, 9), Hex("89 09 00 00 00 00 00 00"));
}

TEST(CameraCommands, MeasureModeByModelAndRange) {
    struct Case {
        int model, range, mode;
    } cases[] = {{2, 0, 1}, {2, 1, 4}, {2, 2, 0}, {3, 0, 2}, {3, 1, 5}, {3, -1, 0}, {4, 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(MeasureModeFor(c.model, c.range), c.mode) << c.model << "/" << c.range;
    }
}

TEST(CameraProtocol, HeaderSizeByIdentifier) {
    for (int id = 0; id < 256; ++id) {
        const bool longHeader =
            id == 0 || id == 4 || id == 6 || id == 7 || id == 9 || id == 10 || id == 18 || id == 19;
        EXPECT_EQ(HeaderBytesFor(static_cast<uint8_t>(id)), longHeader ? 12 : 8) << id;
    }
}

TEST(CameraProtocol, ModelFromItemLength) {
    struct Case {
        uint16_t type;
        uint32_t length;
        int model;
    } cases[] = {{13, 76812, 2}, {13, 1024016, 3},   {14, 12320, 2}, {14, 16032, 3}, {15, 8214, 2},
                 {15, 8230, 2},  {15, 16416, 3},     {16, 16414, 2}, {16, 8232, 3},  {13, 16032, 0},
                 {15, 8215, 0},  {0x0A01, 39056, 0}, {99, 76812, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(ModelFromItemLength(c.type, c.length), c.model) << c.type << "/" << c.length;
    }
}

TEST(CameraProtocol, RawLevelConversionsAndBinWidths) {
    EXPECT_NEAR(AcousticLevelFromRaw(1043970), 59.9999887, 1e-4);
    EXPECT_NEAR(AcousticLevelFromRaw(1), -60.3737717, 1e-4);
    EXPECT_TRUE(std::isinf(AcousticLevelFromRaw(0)));
    EXPECT_NEAR(SpectrumLevelFromRaw(1729410000ull), 29.99999, 1e-4);
    EXPECT_NEAR(SpectrumLevelFromRaw(1), -62.3789897, 1e-4);
    EXPECT_DOUBLE_EQ(BinWidthHz(2, 0), 24.41406);
    EXPECT_DOUBLE_EQ(BinWidthHz(2, 1), 97.65625);
    EXPECT_DOUBLE_EQ(BinWidthHz(3, 0), 23.84186);
    EXPECT_DOUBLE_EQ(BinWidthHz(3, 1), 95.36743);
    EXPECT_DOUBLE_EQ(BinWidthHz(3, 2), 0.0);
}
