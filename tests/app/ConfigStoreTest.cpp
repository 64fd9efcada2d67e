#include "app/ConfigStore.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ConfigStoreTest : public ::testing::Test {
  protected:
    QString iniPath() const { return dir.filePath("station.ini"); }
    void writeIni(const QByteArray& body) {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Vorn_Test_01_2ch]\n" + body);
    }
    QTemporaryDir dir;
};

TEST_F(ConfigStoreTest, FreshStoreYieldsEveryDefault) {
    ConfigStore store(iniPath());
    StationConfig config;
    config.SW_Title = "changed before load";
    config.Buzzer_Enable = 9;
    store.load(config);

    EXPECT_EQ(config.SW_Title, QString::fromUtf8("2채널 음향검사기"));
    EXPECT_EQ(config.Sensor_title, "Sensor #1");
    EXPECT_EQ(config.Sensor_Default_Ip, "0.0.0.0");
    EXPECT_EQ(config.Vorn_db_server, "127.0.0.1");
    EXPECT_EQ(config.Bridge_db_server, "127.0.0.1");
    EXPECT_EQ(config.Vorn_control_server, "127.0.0.1");
    EXPECT_EQ(config.Vorn_Streming_server_0_ip, "127.0.0.1");
    EXPECT_EQ(config.Vorn_Streming_server_1_ip, "127.0.0.1");
    EXPECT_EQ(config.Vorn_db_server_pw, "7391");
    EXPECT_EQ(config.Bridge_db_server_pw, "7391");
    EXPECT_EQ(config.Buzzer_Enable, 1);
    EXPECT_EQ(config.ugv_type, 1);
    EXPECT_EQ(config.File_Save_Mode, 2);
    EXPECT_EQ(config.Motor_Port, -1);
    EXPECT_EQ(config.Inspection_View_Mode, 1);
    EXPECT_EQ(config.AI2_OK_Save_Option, 1);
    EXPECT_EQ(config.Inspection_Debug_Flag_Sensor, 0);
    EXPECT_EQ(config.Spectrogram_MAX_DB, 80);
    EXPECT_EQ(config.Spectrum_MAX_DB, 130);
    EXPECT_EQ(config.Camera_Brightness, 25);
    EXPECT_EQ(config.Phonolux_Video_Color, 0);
    EXPECT_TRUE(config.plant_id.isEmpty());
    EXPECT_TRUE(config.Product_Name.isEmpty());
    EXPECT_TRUE(config.FolderName_Result.isEmpty());

    MotorConfig motor;
    store.loadMotor(motor);
    EXPECT_EQ(motor.Motor_address, 1);
    EXPECT_EQ(motor.Motor_pan_speed, 50);
    EXPECT_EQ(motor.Motor_tilt_speed, 50);
}

TEST_F(ConfigStoreTest, SaveThenLoadRoundTripsEveryKeyInOrder) {
    StationConfig config;
    config.SW_Title = QString::fromUtf8("검사기 3호");
    config.plant_id = "P-7";
    config.Motor_Port = 4;
    config.Audio_Shift = -2;
    config.FolderName_Result = "/data/결과";
    MotorConfig motor{7, 20, 30};
    {
        ConfigStore store(iniPath());
        store.saveMotor(motor);
        store.save(config);
    }
    ConfigStore store(iniPath());
    StationConfig loaded;
    store.load(loaded);
    EXPECT_EQ(loaded.SW_Title, config.SW_Title);
    EXPECT_EQ(loaded.plant_id, "P-7");
    EXPECT_EQ(loaded.Motor_Port, 4);
    EXPECT_EQ(loaded.Audio_Shift, -2);
    EXPECT_EQ(loaded.FolderName_Result, config.FolderName_Result);
    MotorConfig loadedMotor;
    store.loadMotor(loadedMotor);
    EXPECT_EQ(loadedMotor.Motor_address, 7);
    EXPECT_EQ(loadedMotor.Motor_tilt_speed, 30);

    QSettings raw(iniPath(), QSettings::IniFormat);
    raw.beginGroup(ConfigStore::kSection);
    EXPECT_EQ(raw.childKeys().size(), ConfigStore::keyOrder().size() + 3);
    EXPECT_EQ(ConfigStore::keyOrder().front(), "Vorn_db_server");
    EXPECT_EQ(ConfigStore::keyOrder().back(), "Phonolux_Video_Color");
    EXPECT_EQ(ConfigStore::keyOrder().size(), 30);
}

struct GarbageCase {
    const char* line;
    int StationConfig::*field;
    int expected;
    friend void PrintTo(const GarbageCase& c, std::ostream* os) { *os << c.line; }
};

class ConfigGarbageTest : public ConfigStoreTest,
                          public ::testing::WithParamInterface<GarbageCase> {};

TEST_P(ConfigGarbageTest, UnusableIntegerFallsBackToDefault) {
    writeIni(QByteArray(GetParam().line) + "\nugv_code=kept\n");
    ConfigStore store(iniPath());
    StationConfig config;
    store.load(config);
    EXPECT_EQ(config.*(GetParam().field), GetParam().expected) << GetParam().line;
    EXPECT_EQ(config.ugv_code, "kept");
}

INSTANTIATE_TEST_SUITE_P(
    Values, ConfigGarbageTest,
    ::testing::Values(
        GarbageCase{"Buzzer_Enable=abc", &StationConfig::Buzzer_Enable, 1},
        GarbageCase{"Buzzer_Enable=0", &StationConfig::Buzzer_Enable, 0},
        GarbageCase{"Spectrum_MAX_DB=12x", &StationConfig::Spectrum_MAX_DB, 130},
        GarbageCase{"Spectrum_MAX_DB=99999999999", &StationConfig::Spectrum_MAX_DB, 130},
        GarbageCase{"Spectrum_MAX_DB=1, 2", &StationConfig::Spectrum_MAX_DB, 130},
        GarbageCase{"Motor_Port=@Variant(\\0\\0\\0\\x7f)", &StationConfig::Motor_Port, -1},
        GarbageCase{"Inspection_View_Mode=-3", &StationConfig::Inspection_View_Mode, 1},
        GarbageCase{"Inspection_View_Mode=2", &StationConfig::Inspection_View_Mode, 2},
        GarbageCase{"Audio_Shift=-4", &StationConfig::Audio_Shift, -4}));

TEST_F(ConfigStoreTest, TextKeyHoldingAListFallsBackToDefault) {
    writeIni("SW_Title=a, b\nplant_id=42\nSensor_Default_Ip_0=\"10.0.0.9\"\n\x01\xff=\xfe\n");
    ConfigStore store(iniPath());
    StationConfig config;
    store.load(config);
    EXPECT_EQ(config.SW_Title, QString::fromUtf8("2채널 음향검사기"));
    EXPECT_EQ(config.plant_id, "42");
    EXPECT_EQ(config.Sensor_Default_Ip, "10.0.0.9");
}

TEST(StationConfigTest, FileSaveModeChoosesDeviceParameters) {
    for (auto [mode, expected] : {std::pair{2, 25}, {0, 50}, {1, 50}, {3, 50}}) {
        StationConfig config;
        config.File_Save_Mode = mode;
        EXPECT_EQ(config.deviceParameter7(), expected) << mode;
        EXPECT_EQ(config.deviceParameter6(), 100);
    }
}

}  // namespace
