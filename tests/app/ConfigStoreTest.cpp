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

// The station table's keys in their fixed order (index 0 where a key carries one).
const QStringList kStationKeysInOrder = {"Vorn_db_server",
                                         "Vorn_db_server_pw",
                                         "Bridge_db_server",
                                         "Bridge_db_server_pw",
                                         "Vorn_control_server",
                                         "Vorn_Streming_server_0_ip",
                                         "Vorn_Streming_server_1_ip",
                                         "SW_Title",
                                         "Buzzer_Enable",
                                         "plant_id",
                                         "ugv_id",
                                         "ugv_code",
                                         "ugv_type",
                                         "File_Save_Mode",
                                         "Product_Name",
                                         "Motor_Port",
                                         "FolderName_Result",
                                         "FolderName_Network",
                                         "Inspection_View_Mode",
                                         "AI2_OK_Save_Option",
                                         "Inspection_Debug_Flag_Sensor_0",
                                         "Spectrogram_MAX_DB",
                                         "Spectrum_MAX_DB",
                                         "Moving_Option",
                                         "Sensor_title_0",
                                         "Filter_Display",
                                         "Audio_Shift",
                                         "Sensor_Default_Ip_0",
                                         "Camera_Brightness",
                                         "Phonolux_Video_Color",
                                         "Run_Record_Enable"};
const QStringList kMotorKeysInOrder = {"Motor_address", "Motor_pan_speed", "Motor_tilt_speed"};

QStringList Prefixed(const QString& prefix, const QStringList& keys) {
    QStringList result;
    for (const QString& key : keys) {
        result << prefix + key;
    }
    return result;
}

TEST_F(ConfigStoreTest, SaveThenLoadRoundTripsEveryKeyInOrder) {
    StationConfig config;
    config.SW_Title = QString::fromUtf8("검사기 3호");
    config.plant_id = "P-7";
    config.Motor_Port = 4;
    config.Audio_Shift = -2;
    config.FolderName_Result = "/data/결과";
    MotorConfig motor{7, 20, 30};
    QStringList accesses;
    const auto record = [&accesses](ConfigStore::Access access, const QString& key) {
        accesses << (access == ConfigStore::Access::Read ? "read " : "write ") + key;
    };
    {
        ConfigStore store(iniPath());
        store.setAccessObserver(record);
        store.saveMotor(motor);
        store.save(config);
    }
    EXPECT_EQ(accesses, Prefixed("write ", kMotorKeysInOrder + kStationKeysInOrder));

    accesses.clear();
    ConfigStore store(iniPath());
    store.setAccessObserver(record);
    StationConfig loaded;
    store.load(loaded);
    MotorConfig loadedMotor;
    store.loadMotor(loadedMotor);
    EXPECT_EQ(accesses, Prefixed("read ", kStationKeysInOrder + kMotorKeysInOrder));
    EXPECT_EQ(ConfigStore::keyOrder(), kStationKeysInOrder);

    EXPECT_EQ(loaded.SW_Title, config.SW_Title);
    EXPECT_EQ(loaded.plant_id, "P-7");
    EXPECT_EQ(loaded.Motor_Port, 4);
    EXPECT_EQ(loaded.Audio_Shift, -2);
    EXPECT_EQ(loaded.FolderName_Result, config.FolderName_Result);
    EXPECT_EQ(loadedMotor.Motor_address, 7);
    EXPECT_EQ(loadedMotor.Motor_pan_speed, 20);
    EXPECT_EQ(loadedMotor.Motor_tilt_speed, 30);

    QSettings raw(iniPath(), QSettings::IniFormat);
    raw.beginGroup(ConfigStore::kSection);
    EXPECT_EQ(raw.childKeys().size(), kStationKeysInOrder.size() + kMotorKeysInOrder.size());
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
        GarbageCase{"Audio_Shift=-4", &StationConfig::Audio_Shift, -4},
        // A 32-bit sample is shifted by at most 31 bits; any integer may stand in the file.
        GarbageCase{"Audio_Shift=-2147483648", &StationConfig::Audio_Shift, -31},
        GarbageCase{"Audio_Shift=2147483647", &StationConfig::Audio_Shift, 31},
        GarbageCase{"Audio_Shift=-31", &StationConfig::Audio_Shift, -31},
        GarbageCase{"Audio_Shift=32", &StationConfig::Audio_Shift, 31}));

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
