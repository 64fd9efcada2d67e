#pragma once
// The installation settings kept in the per-user settings store, as they live in memory.

#include <QString>

#include <cstdint>

// Built-in defaults: every server address points at this machine until an installer sets it.
inline constexpr const char* kDefaultServerAddress = "127.0.0.1";
inline constexpr const char* kDefaultDatabasePassword = "7391";
inline constexpr const char* kDefaultSoftwareTitle = "2채널 음향검사기";
inline constexpr const char* kVersionText = "Ver 2.98d";

struct StationConfig {
    QString Vorn_db_server = kDefaultServerAddress;
    QString Vorn_db_server_pw = kDefaultDatabasePassword;
    QString Bridge_db_server = kDefaultServerAddress;
    QString Bridge_db_server_pw = kDefaultDatabasePassword;
    QString Vorn_control_server = kDefaultServerAddress;
    QString Vorn_Streming_server_0_ip = kDefaultServerAddress;
    QString Vorn_Streming_server_1_ip = kDefaultServerAddress;
    QString SW_Title = QString::fromUtf8(kDefaultSoftwareTitle);
    int Buzzer_Enable = 1;
    QString plant_id;
    int ugv_id = 0;
    QString ugv_code;
    int ugv_type = 1;
    int File_Save_Mode = 2;
    QString Product_Name;
    int Motor_Port = -1;
    QString FolderName_Result;
    QString FolderName_Network;
    int Inspection_View_Mode = 1;
    int AI2_OK_Save_Option = 1;
    int Inspection_Debug_Flag_Sensor = 0;  // index 0
    int Spectrogram_MAX_DB = 80;
    int Spectrum_MAX_DB = 130;
    int Moving_Option = 0;
    QString Sensor_title = QStringLiteral("Sensor #1");  // index 0
    int Filter_Display = 0;
    int Audio_Shift = 0;
    QString Sensor_Default_Ip = QStringLiteral("0.0.0.0");  // index 0
    int Camera_Brightness = 25;
    int Phonolux_Video_Color = 0;
    // 1: every run's camera bytes are kept as a recording in the verdict's Wave day folder.
    int Run_Record_Enable = 0;

    // Camera device parameters chosen by File_Save_Mode.
    int deviceParameter6() const { return 100; }
    int deviceParameter7() const { return File_Save_Mode == 2 ? 25 : 50; }
};

// The pan/tilt head's frame parameters, one byte each.
struct MotorConfig {
    uint8_t Motor_address = 1;
    uint8_t Motor_pan_speed = 50;
    uint8_t Motor_tilt_speed = 50;
};
