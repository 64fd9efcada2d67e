#pragma once
// Runs the real acoustic-station program on the offscreen platform with a home folder of its own
// (settings, runtime folder), and reads its debug lines as they come.

#include "app/ConfigStore.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

class StationProcessFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        QDir(home.path()).mkpath("config");
        QDir(home.path()).mkpath("run");
        QFile::setPermissions(home.filePath("run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_RUNTIME_DIR", home.filePath("run"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // Freed memory is scribbled over (also small blocks, which the thread cache would keep
        // intact), so a use after free shows instead of passing by luck.
        env.insert("MALLOC_PERTURB_", "165");
        env.insert("GLIBC_TUNABLES", "glibc.malloc.tcache_count=0");
    }

    QString program() const { return QStringLiteral(STATION_PROGRAM_PATH); }
    QString configFile() const {
        return home.filePath("config/") + QString::fromUtf8(ConfigStore::kCompanyKey) +
               "/acoustic-station.conf";
    }
    // Writes station settings (key = value in the station's section) before the start.
    void writeSettings(const QList<QPair<QString, QVariant>>& values) {
        QDir().mkpath(QFileInfo(configFile()).path());
        QSettings settings(configFile(), QSettings::IniFormat);
        settings.beginGroup(QString::fromLatin1(ConfigStore::kSection));
        for (const auto& [key, value] : values) {
            settings.setValue(key, value);
        }
        settings.endGroup();
        settings.sync();
    }

    std::unique_ptr<QProcess> start() {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(env);
        process->start(program(), {});
        EXPECT_TRUE(process->waitForStarted(10000));
        return process;
    }
    // Collects standard error until `line` appears or `limit_ms` pass.
    bool waitForLine(QProcess& process, QByteArray& seen, const QByteArray& line,
                     int limit_ms = 30000) {
        QDeadlineTimer deadline(limit_ms);
        while (!deadline.hasExpired()) {
            process.waitForReadyRead(50);
            seen += process.readAllStandardError();
            if (seen.contains(line)) {
                return true;
            }
            if (process.state() == QProcess::NotRunning) {
                return false;
            }
        }
        return false;
    }
    void stop(QProcess& process) {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(10000);
        }
    }

    QTemporaryDir home;
    QProcessEnvironment env;
};
