#pragma once
// Reads and writes StationConfig and MotorConfig in the per-user settings store. Nothing is
// written before shutdown; a value that cannot be read as its type gives its default.

#include "app/StationConfig.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QSettings;
class QVariant;

class ConfigStore {
  public:
    // The station's own store: organisation = the company key, application = the executable's
    // base name.
    ConfigStore();
    // A store in the given INI file (tools and tests).
    explicit ConfigStore(const QString& iniPath);
    ~ConfigStore();

    void load(StationConfig& config);
    void save(const StationConfig& config);
    void loadMotor(MotorConfig& motor);
    void saveMotor(const MotorConfig& motor);

    // Where the values are kept, for messages and tests.
    QString location() const;

    // Told of every key read or written, in that order (the order is part of how the station
    // keeps its settings).
    enum class Access { Read, Write };
    using AccessObserver = std::function<void(Access access, const QString& key)>;
    void setAccessObserver(AccessObserver observer) { m_observer = std::move(observer); }

    // A 32-bit sample can be shifted by at most this many bits either way.
    static constexpr int kAudioShiftLimit = 31;

    // Keys of the station table in their fixed order (index 0 where a key carries one).
    static QStringList keyOrder();

    static constexpr const char* kCompanyKey = "로컬 애플리케이션 마법사에서 생성된 애플리케이션";
    static constexpr const char* kSection = "Vorn_Test_01_2ch";

  private:
    QVariant read(const char* key);
    void write(const char* key, const QVariant& value);

    std::unique_ptr<QSettings> m_settings;
    AccessObserver m_observer;
};
