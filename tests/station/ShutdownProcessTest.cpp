// A service stop (SIGTERM) that arrives while the station shows a message, or while it waits for
// a database host that never answers: the real program must end normally and save its settings.
#include "tests/sensor/CameraSimProcess.h"
#include "tests/station/StationProcess.h"
#include "tests/storage/DbTestSupport.h"
#include "tests/support/SilentListener.h"

#include <QElapsedTimer>
#include <QThread>

#include <unistd.h>
#include <csignal>

namespace {

class ShutdownProcessTest : public StationProcessFixture {
  protected:
    void TearDown() override {
        if (!prefix.isEmpty()) {
            DeleteTestRows(db, prefix);
        }
    }

    // The settings every case starts from: the plant id shows they were saved at the end.
    QList<QPair<QString, QVariant>> baseSettings() const {
        return {{"plant_id", "SAVED-AT-STOP"}, {"FolderName_Result", home.filePath("results")}};
    }
    // Sends SIGTERM `delay_ms` after `line` is logged and expects a normal end with the settings
    // saved. Returns what the station logged.
    QByteArray stopWhenLogged(const QByteArray& line, int delay_ms = 0) {
        auto process = start();
        QByteArray seen;
        EXPECT_TRUE(waitForLine(*process, seen, line)) << seen.constData();
        QThread::msleep(static_cast<unsigned long>(delay_ms));
        ::kill(static_cast<pid_t>(process->processId()), SIGTERM);
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(process->waitForFinished(20000)) << "still running after SIGTERM";
        seen += process->readAllStandardError();
        stopped_ms = clock.elapsed();
        EXPECT_EQ(process->exitStatus(), QProcess::NormalExit) << seen.constData();
        EXPECT_EQ(process->exitCode(), 0) << seen.constData();
        stop(*process);
        QSettings saved(configFile(), QSettings::IniFormat);
        EXPECT_EQ(saved.value("Vorn_Test_01_2ch/plant_id").toString(), "SAVED-AT-STOP");
        EXPECT_EQ(saved.value("Vorn_Test_01_2ch/Motor_address").toString(), "1");
        return seen;
    }

    AdminDb db;
    QString prefix;
    qint64 stopped_ms = 0;
};

TEST_F(ShutdownProcessTest, StopWhileTheNetworkDisconnectedMessageIsUp) {
    ASSERT_TRUE(db.ok());
    CameraSimProcess camera({"--model", "2", "--close-after-ms", "1500"});
    ASSERT_GT(camera.port(), 0);
    prefix = UniqueName("stop");
    const QString product = prefix + "-cam";
    db.query(QStringLiteral("INSERT INTO vorn_local_db.t_product(product_name, sensor_type, time, "
                            "time_max, reserved_str_01) VALUES (%1, 'TOP_BOTTOM', 30, 0, 'STOP')")
                 .arg(Quoted(product)));
    db.query(QStringLiteral("INSERT INTO vorn_local_db.t_sensor(product_name, sensor_type, port, "
                            "ip_addr, acoustic_level) VALUES (%1, 'Top', %2, '10.9.9.9', 30)")
                 .arg(Quoted(product))
                 .arg(camera.port()));
    auto settings = baseSettings();
    settings << qMakePair(QString("Product_Name"), QVariant(product))
             << qMakePair(QString("Sensor_Default_Ip_0"), QVariant("127.0.0.1"));
    writeSettings(settings);
    const QByteArray seen = stopWhenLogged(
        QString::fromUtf8("[Message] 네크워크 연결 해제 : 센서와 네크워크 연결을 확인하고 다시 "
                          "시작해 주세요.")
            .toUtf8());
    EXPECT_TRUE(seen.contains("App.Exit #1-NG")) << seen.constData();
}

TEST_F(ShutdownProcessTest, StopWhileThePanTiltOpenFailureIsUpAtStartUp) {
    QDir(home.path()).mkpath("serial");  // no COM7 in it
    env.insert("STATION_SERIAL_DIR", home.filePath("serial"));
    auto settings = baseSettings();
    settings << qMakePair(QString("Motor_Port"), QVariant(7));
    writeSettings(settings);
    const QByteArray seen = stopWhenLogged(
        QString::fromUtf8("[Message] [ERROR]Pan/Tilt 모터 연결실패 : 'Com7' Pan/Tilt 모터 연결 "
                          "실패, Pan/Tilt 모터 디바이스 확인해 주세요.")
            .toUtf8());
    QSettings saved(configFile(), QSettings::IniFormat);
    EXPECT_EQ(saved.value("Vorn_Test_01_2ch/Motor_Port").toString(), "7");
}

TEST_F(ShutdownProcessTest, StopWhileTheStartUpSelectionReportsTheBridgeDatabase) {
    auto settings = baseSettings();
    settings << qMakePair(QString("Bridge_db_server"), QVariant("127.0.0.2"))  // refuses at once
             << qMakePair(QString("Product_Name"), QVariant("ANY"));
    writeSettings(settings);
    // Half-way through the message's two seconds, when the start-up check has opened its progress
    // dialog above it as well.
    stopWhenLogged(
        QString::fromUtf8("[Message] Web DB Server : 데이터베이스 연결에 실패했습니다.").toUtf8(),
        1000);
}

TEST_F(ShutdownProcessTest, StopWhileTheBridgeHostAcceptsAndNeverAnswers) {
    // A loopback address of this test's own, with a listener on the database port that never
    // sends the server's greeting.
    const int n = static_cast<int>(getpid() % 200);
    const QByteArray address =
        QStringLiteral("127.0.%1.%2").arg(1 + n / 50).arg(10 + n % 50).toLatin1();
    SilentListener silent(address.constData(), 3306);
    ASSERT_TRUE(silent.ok()) << address.constData();
    auto settings = baseSettings();
    settings << qMakePair(QString("Bridge_db_server"), QVariant(QString::fromLatin1(address)))
             << qMakePair(QString("Product_Name"), QVariant("ANY"));
    writeSettings(settings);
    const QByteArray seen = stopWhenLogged("[System] Main window shown");
    // The selection waited at most its connect limit, reported it, and the stop followed.
    EXPECT_TRUE(seen.contains(
        QString::fromUtf8("[Message] Web DB Server : 데이터베이스 연결에 실패했습니다.").toUtf8()))
        << seen.constData();
    EXPECT_LT(stopped_ms, 10000);
}

}  // namespace
