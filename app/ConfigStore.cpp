#include "app/ConfigStore.h"

#include "app/DebugLog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <variant>
#include <vector>

namespace {

using Field = std::variant<int StationConfig::*, QString StationConfig::*>;

struct KeyEntry {
    const char* key;
    Field field;
};

// The fixed order in which the station reads and writes its keys.
const std::vector<KeyEntry>& StationKeys() {
    static const std::vector<KeyEntry> keys = {
        {"Vorn_db_server", &StationConfig::Vorn_db_server},
        {"Vorn_db_server_pw", &StationConfig::Vorn_db_server_pw},
        {"Bridge_db_server", &StationConfig::Bridge_db_server},
        {"Bridge_db_server_pw", &StationConfig::Bridge_db_server_pw},
        {"Vorn_control_server", &StationConfig::Vorn_control_server},
        {"Vorn_Streming_server_0_ip", &StationConfig::Vorn_Streming_server_0_ip},
        {"Vorn_Streming_server_1_ip", &StationConfig::Vorn_Streming_server_1_ip},
        {"SW_Title", &StationConfig::SW_Title},
        {"Buzzer_Enable", &StationConfig::Buzzer_Enable},
        {"plant_id", &StationConfig::plant_id},
        {"ugv_id", &StationConfig::ugv_id},
        {"ugv_code", &StationConfig::ugv_code},
        {"ugv_type", &StationConfig::ugv_type},
        {"File_Save_Mode", &StationConfig::File_Save_Mode},
        {"Product_Name", &StationConfig::Product_Name},
        {"Motor_Port", &StationConfig::Motor_Port},
        {"FolderName_Result", &StationConfig::FolderName_Result},
        {"FolderName_Network", &StationConfig::FolderName_Network},
        {"Inspection_View_Mode", &StationConfig::Inspection_View_Mode},
        {"AI2_OK_Save_Option", &StationConfig::AI2_OK_Save_Option},
        {"Inspection_Debug_Flag_Sensor_0", &StationConfig::Inspection_Debug_Flag_Sensor},
        {"Spectrogram_MAX_DB", &StationConfig::Spectrogram_MAX_DB},
        {"Spectrum_MAX_DB", &StationConfig::Spectrum_MAX_DB},
        {"Moving_Option", &StationConfig::Moving_Option},
        {"Sensor_title_0", &StationConfig::Sensor_title},
        {"Filter_Display", &StationConfig::Filter_Display},
        {"Audio_Shift", &StationConfig::Audio_Shift},
        {"Sensor_Default_Ip_0", &StationConfig::Sensor_Default_Ip},
        {"Camera_Brightness", &StationConfig::Camera_Brightness},
        {"Phonolux_Video_Color", &StationConfig::Phonolux_Video_Color},
        {"Run_Record_Enable", &StationConfig::Run_Record_Enable},
    };
    return keys;
}

// An integer value counts only as a plain whole number; anything else keeps the default.
int IntOr(const QVariant& value, int fallback) {
    if (!value.isValid()) {
        return fallback;
    }
    const int type = value.typeId();
    if (type == QMetaType::Int || type == QMetaType::LongLong || type == QMetaType::UInt) {
        bool ok = false;
        const int number = value.toInt(&ok);
        return ok ? number : fallback;
    }
    if (type != QMetaType::QString && type != QMetaType::QByteArray) {
        return fallback;
    }
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    return ok ? number : fallback;
}

// A text value is a plain text (or a number written as one); lists and serialised objects keep
// the default.
QString TextOr(const QVariant& value, const QString& fallback) {
    if (!value.isValid()) {
        return fallback;
    }
    switch (value.typeId()) {
        case QMetaType::QString:
        case QMetaType::QByteArray:
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Double:
            return value.toString();
        default:
            return fallback;
    }
}

QString ApplicationBaseName() {
    const QString path = QCoreApplication::applicationFilePath();
    if (!path.isEmpty()) {
        return QFileInfo(path).completeBaseName();
    }
    return QStringLiteral("acoustic-station");
}

}  // namespace

ConfigStore::ConfigStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QString::fromUtf8(kCompanyKey),
                                             ApplicationBaseName())) {}

ConfigStore::ConfigStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

ConfigStore::~ConfigStore() = default;

QVariant ConfigStore::read(const char* key) {
    if (m_observer) {
        m_observer(Access::Read, QString::fromLatin1(key));
    }
    return m_settings->value(QLatin1String(key));
}

void ConfigStore::write(const char* key, const QVariant& value) {
    if (m_observer) {
        m_observer(Access::Write, QString::fromLatin1(key));
    }
    m_settings->setValue(QLatin1String(key), value);
}

QString ConfigStore::location() const {
    return m_settings->fileName();
}

QStringList ConfigStore::keyOrder() {
    QStringList keys;
    for (const KeyEntry& entry : StationKeys()) {
        keys << QString::fromLatin1(entry.key);
    }
    return keys;
}

void ConfigStore::load(StationConfig& config) {
    const StationConfig defaults;
    m_settings->beginGroup(QLatin1String(kSection));
    for (const KeyEntry& entry : StationKeys()) {
        if (auto* intField = std::get_if<int StationConfig::*>(&entry.field)) {
            config.*(*intField) = IntOr(read(entry.key), defaults.*(*intField));
        } else {
            auto textField = std::get<QString StationConfig::*>(entry.field);
            config.*textField = TextOr(read(entry.key), defaults.*textField);
        }
    }
    m_settings->endGroup();
    if (config.Inspection_View_Mode < 0) {
        config.Inspection_View_Mode = 1;
    }
    // Any integer may stand in the file; the audio samples are shifted by a negated value.
    config.Audio_Shift = std::clamp(config.Audio_Shift, -kAudioShiftLimit, kAudioShiftLimit);
}

void ConfigStore::save(const StationConfig& config) {
    m_settings->beginGroup(QLatin1String(kSection));
    for (const KeyEntry& entry : StationKeys()) {
        if (auto* intField = std::get_if<int StationConfig::*>(&entry.field)) {
            write(entry.key, config.*(*intField));
        } else {
            write(entry.key, config.*std::get<QString StationConfig::*>(entry.field));
        }
    }
    m_settings->endGroup();
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError) {
        DebugLog(QStringLiteral("[Config] Could not write %1").arg(m_settings->fileName()));
    }
}

void ConfigStore::loadMotor(MotorConfig& motor) {
    const MotorConfig defaults;
    m_settings->beginGroup(QLatin1String(kSection));
    motor.Motor_address =
        static_cast<uint8_t>(IntOr(read("Motor_address"), defaults.Motor_address));
    motor.Motor_pan_speed =
        static_cast<uint8_t>(IntOr(read("Motor_pan_speed"), defaults.Motor_pan_speed));
    motor.Motor_tilt_speed =
        static_cast<uint8_t>(IntOr(read("Motor_tilt_speed"), defaults.Motor_tilt_speed));
    m_settings->endGroup();
}

void ConfigStore::saveMotor(const MotorConfig& motor) {
    m_settings->beginGroup(QLatin1String(kSection));
    write("Motor_address", int(motor.Motor_address));
    write("Motor_pan_speed", int(motor.Motor_pan_speed));
    write("Motor_tilt_speed", int(motor.Motor_tilt_speed));
    m_settings->endGroup();
    m_settings->sync();
}
