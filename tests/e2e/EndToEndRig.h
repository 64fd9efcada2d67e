#pragma once
// The whole station as an integrator meets it: the real acoustic-station program on an X server
// (Xvfb), with the camera, control server, streaming servers, pan/tilt head and signal tower
// simulators as separate processes and the real MariaDB.
#include "tests/sensor/CameraSimProcess.h"
#include "tests/station/StationProcess.h"
#include "tests/storage/DbTestSupport.h"
#include "tests/support/PeerProcess.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace e2e {

// An X server of its own; the display number is the one Xvfb chose.
class XServer {
  public:
    XServer() {
        m_process.start(QStringLiteral("Xvfb"),
                        {"-displayfd", "1", "-screen", "0", "1920x1080x24", "-nolisten", "tcp"});
        WaitUntil(
            [&] {
                m_output += m_process.readAllStandardOutput();
                return m_output.contains('\n') || m_process.state() == QProcess::NotRunning;
            },
            20000);
        m_display = QStringLiteral(":") + QString::fromLatin1(m_output.trimmed());
    }
    ~XServer() {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    QString display() const { return m_display; }

  private:
    QProcess m_process;
    QByteArray m_output;
    QString m_display;
};

struct Completion {
    QString id;
    QString result;
    QString mission;
};

inline std::vector<Completion> Completions(const QString& output) {
    static const QRegularExpression report(
        "<CMD_ID>INSPECTION_COMPLETE</CMD_ID>\\s*<INSPECTION_ID>(\\d+)</INSPECTION_ID>\\s*"
        "<RESULT>(\\d)</RESULT>\\s*<MISSION_ID>([^<]*)</MISSION_ID>");
    std::vector<Completion> found;
    for (auto it = report.globalMatch(output); it.hasNext();) {
        const auto match = it.next();
        found.push_back({match.captured(1), match.captured(2), match.captured(3)});
    }
    return found;
}

class EndToEndTest : public StationProcessFixture {
  protected:
    void SetUp() override {
        StationProcessFixture::SetUp();
        ASSERT_TRUE(db.ok());
        product = UniqueName(QStringLiteral("e2e"));
    }
    void TearDown() override {
        db.query(QStringLiteral("DELETE FROM vorn_local_db.t_inspection_result WHERE "
                                "inspection_id IN (%1, %2)")
                     .arg(firstId)
                     .arg(firstId + 1));
        DeleteTestRows(db, product);
    }
    // Judged on two bands around the camera's defect tone; a run of 5 s; pictures after 1 s.
    void addProduct(int cameraPort) {
        for (const char* database : {"vorn_web_db_v1", "vorn_local_db"}) {
            db.query(QStringLiteral("INSERT INTO %1.t_product(product_name, sensor_type, time, "
                                    "time_max, reserved_str_01) VALUES (%2, 'TOP_BOTTOM', 5, 0, "
                                    "'E2E')")
                         .arg(database, Quoted(product)));
            db.query(QStringLiteral(
                         "INSERT INTO %1.t_sensor(product_name, sensor_type, port, ip_addr, "
                         "inspection_mode, acoustic_level, area_mode, area_rect_x1, area_rect_y1, "
                         "area_rect_x2, area_rect_y2, filter_01_enable, filter_01_freq_max, "
                         "filter_01_freq_min, filter_01_inspection_level, filter_02_enable, "
                         "filter_02_freq_max, filter_02_freq_min, filter_02_inspection_level, "
                         "reserved_int_01, reserved_int_02, reserved_int_04, reserved_int_05, "
                         "reserved_int_08, reserved_int_09) VALUES (%2, 'Top', %3, '', 1, 30, 0, "
                         "10, 10, 309, 229, 1, 6000, 5000, 75, 1, 8000, 6500, 75, 50, 2, 0, 10, "
                         "1, 0)")
                         .arg(database, Quoted(product))
                         .arg(cameraPort));
        }
    }

    void startControl(int port = 0) {
        control =
            std::make_unique<PeerProcess>(QStringLiteral(CONTROL_SIM_PATH),
                                          QStringList{"--port", QString::number(port), "--ugv-code",
                                                      "UGV-E2E", "--ugv-name", "E2E"});
        controlPort = control->port("listening on 127\\.0\\.0\\.1:(\\d+)");
    }
    void startStreaming(int top = 0, int bottom = 0) {
        streaming = std::make_unique<PeerProcess>(
            QStringLiteral(STREAMING_SIM_PATH),
            QStringList{"--port-top", QString::number(top), "--port-bottom",
                        QString::number(bottom), "--out", work.filePath("views"),
                        "--report-seconds", "1"});
        topPort = streaming->port("top listening on 127\\.0\\.0\\.1:(\\d+)");
        bottomPort = streaming->port("bottom listening on 127\\.0\\.0\\.1:(\\d+)");
    }
    void startHead() {
        head = std::make_unique<PeerProcess>(
            QStringLiteral(PANTILT_SIM_PATH),
            QStringList{"--dir", serialFolder(), "--port", "1", "--address", "1", "--speed", "90"});
    }
    QString results() const { return work.filePath("results"); }
    QString serialFolder() const { return work.filePath("serial"); }
    // Every peer, the product on this test's camera, and the station on its own X server.
    // `towerLibrary` false: the tower library named does not exist.
    void startEverything(bool towerLibrary) {
        QDir().mkpath(serialFolder());
        // The defect sounds only when the test says so ("defect" on the camera's input), for 6 s.
        camera = std::make_unique<CameraSimProcess>(QStringList{
            "--model", "2", "--defect", "100000,6,5000,8000,30,20", "--defect-tone-level", "85"});
        ASSERT_GT(camera->port(), 0);
        startControl();
        ASSERT_GT(controlPort, 0);
        startStreaming();
        ASSERT_GT(bottomPort, 0);
        startHead();
        x = std::make_unique<XServer>();
        ASSERT_FALSE(x->display().isEmpty());
        addProduct(camera->port());
        writeSettings({{"Product_Name", product},
                       {"Sensor_Default_Ip_0", "127.0.0.1"},
                       {"Motor_Port", 1},
                       {"FolderName_Result", results()},
                       {"FolderName_Network", work.filePath("network")}});
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("DISPLAY", x->display());
        env.insert("STATION_CONTROL_PORT", QString::number(controlPort));
        env.insert("STATION_STREAMING_PORTS",
                   QString::number(topPort) + "," + QString::number(bottomPort));
        env.insert("STATION_SERIAL_DIR", serialFolder());
        env.insert("STATION_TOWER_LIB", towerLibrary ? QStringLiteral(STATION_TOWER_SIM_PATH)
                                                     : work.filePath("no-tower.so"));
        env.insert("STATION_TOWER_SIM_LOG", work.filePath("tower.log"));
        station = start();
        ASSERT_TRUE(waitForLine(*station, log, "[System] Main window shown")) << log.toStdString();
        ASSERT_TRUE(
            WaitUntil([&] { return control->output().contains("UGV_INFOR_RESPONSE"); }, 20000));
    }
    // The station's standard error so far.
    QString stationLog() {
        log += station->readAllStandardError();
        return QString::fromUtf8(log);
    }
    std::string rowCount() {
        return db.value(QStringLiteral("SELECT COUNT(*) FROM vorn_alpha_v1_ch2.t_inspection "
                                       "WHERE product_name = %1")
                            .arg(Quoted(product)));
    }

    AdminDb db;
    QString product;
    int firstId = 900000 + static_cast<int>(QCoreApplication::applicationPid() % 90000);
    QTemporaryDir work;
    std::unique_ptr<CameraSimProcess> camera;
    std::unique_ptr<PeerProcess> control;
    std::unique_ptr<PeerProcess> streaming;
    std::unique_ptr<PeerProcess> head;
    std::unique_ptr<XServer> x;
    std::unique_ptr<QProcess> station;
    QByteArray log;
    int controlPort = 0;
    int topPort = 0;
    int bottomPort = 0;
};

}  // namespace e2e
