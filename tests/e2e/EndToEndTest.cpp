// The whole station as an integrator meets it: the real acoustic-station program on an X server
// (Xvfb), with the camera, control server, streaming servers, pan/tilt head and signal tower
// simulators as separate processes and the real MariaDB. A remote NG run and a remote OK run are
// checked at every place they leave a trace.
#include "tests/sensor/CameraSimProcess.h"
#include "tests/station/StationProcess.h"
#include "tests/storage/DbTestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A simulator of tools/ whose standard output is kept; the ports it prints are read from it.
class Peer {
  public:
    Peer(const QString& program, const QStringList& arguments) {
        m_process.setProgram(program);
        m_process.setArguments(arguments);
        m_process.start();
        m_process.waitForStarted(10000);
    }
    ~Peer() {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    QString output() {
        m_output += QString::fromUtf8(m_process.readAllStandardOutput());
        return m_output;
    }
    int port(const QString& pattern) {
        int port = 0;
        WaitUntil(
            [&] {
                const auto match = QRegularExpression(pattern).match(output());
                port = match.hasMatch() ? match.captured(1).toInt() : 0;
                return port > 0 || m_process.state() == QProcess::NotRunning;
            },
            20000);
        return port;
    }
    void write(const QString& line) { m_process.write((line + "\n").toUtf8()); }

  private:
    QProcess m_process;
    QString m_output;
};

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

std::vector<Completion> Completions(const QString& output) {
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

    AdminDb db;
    QString product;
    int firstId = 900000 + static_cast<int>(QCoreApplication::applicationPid() % 90000);
};

TEST_F(EndToEndTest, RemoteNgAndOkRunsLeaveEveryTrace) {
    QTemporaryDir work;
    const QString results = work.filePath("results");
    const QString serial = work.filePath("serial");
    QDir().mkpath(serial);

    // The defect sounds only when the test says so ("defect" on the camera's input), for 6 s.
    CameraSimProcess camera(
        {"--model", "2", "--defect", "100000,6,5000,8000,30,20", "--defect-tone-level", "85"});
    ASSERT_GT(camera.port(), 0);
    Peer control(QStringLiteral(CONTROL_SIM_PATH),
                 {"--port", "0", "--ugv-code", "UGV-E2E", "--ugv-name", "E2E"});
    const int controlPort = control.port("listening on 127\\.0\\.0\\.1:(\\d+)");
    ASSERT_GT(controlPort, 0);
    Peer streaming(QStringLiteral(STREAMING_SIM_PATH),
                   {"--port-top", "0", "--port-bottom", "0", "--out", work.filePath("views"),
                    "--report-seconds", "1"});
    const int topPort = streaming.port("top listening on 127\\.0\\.0\\.1:(\\d+)");
    const int bottomPort = streaming.port("bottom listening on 127\\.0\\.0\\.1:(\\d+)");
    ASSERT_GT(bottomPort, 0);
    Peer head(QStringLiteral(PANTILT_SIM_PATH),
              {"--dir", serial, "--port", "1", "--address", "1", "--speed", "90"});
    XServer x;
    ASSERT_FALSE(x.display().isEmpty());
    addProduct(camera.port());

    writeSettings({{"Product_Name", product},
                   {"Sensor_Default_Ip_0", "127.0.0.1"},
                   {"Motor_Port", 1},
                   {"FolderName_Result", results},
                   {"FolderName_Network", work.filePath("network")}});
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("DISPLAY", x.display());
    env.insert("STATION_CONTROL_PORT", QString::number(controlPort));
    env.insert("STATION_STREAMING_PORTS",
               QString::number(topPort) + "," + QString::number(bottomPort));
    env.insert("STATION_SERIAL_DIR", serial);
    env.insert("STATION_TOWER_LIB", QStringLiteral(STATION_TOWER_SIM_PATH));
    env.insert("STATION_TOWER_SIM_LOG", work.filePath("tower.log"));
    auto station = start();
    QByteArray log;
    ASSERT_TRUE(waitForLine(*station, log, "[System] Main window shown")) << log.toStdString();

    ASSERT_TRUE(WaitUntil([&] { return control.output().contains("UGV_INFOR_RESPONSE"); }, 20000));
    ASSERT_TRUE(WaitUntil([&] { return control.output().contains("EQUIPMENT_STATUS"); }, 5000));

    camera.write("defect\n");
    control.write(QStringLiteral("start %1 %2 MIS-NG").arg(product).arg(firstId));
    ASSERT_TRUE(WaitUntil([&] { return Completions(control.output()).size() == 1; }, 30000))
        << control.output().toStdString();
    // The defect is over before the second run starts.
    QTest::qWait(3000);
    control.write(QStringLiteral("start %1 %2 MIS-OK").arg(product).arg(firstId + 1));
    ASSERT_TRUE(WaitUntil([&] { return Completions(control.output()).size() == 2; }, 30000));

    const auto completions = Completions(control.output());
    EXPECT_EQ(completions[0].id, QString::number(firstId));
    EXPECT_EQ(completions[0].result, "1");
    EXPECT_EQ(completions[0].mission, "MIS-NG");
    EXPECT_EQ(completions[1].id, QString::number(firstId + 1));
    EXPECT_EQ(completions[1].result, "0");
    EXPECT_EQ(completions[1].mission, "MIS-OK");
    EXPECT_EQ(control.output().count("<CMD_ID>INSPECTION_START_ACK</CMD_ID>"), 2);

    // The rows: one each, with the verdict, and the day's summary of the product.
    EXPECT_EQ(db.value(QStringLiteral("SELECT COUNT(*) FROM vorn_alpha_v1_ch2.t_inspection "
                                      "WHERE product_name = %1")
                           .arg(Quoted(product))),
              "2");
    EXPECT_EQ(db.value(QStringLiteral("SELECT GROUP_CONCAT(error ORDER BY num) FROM "
                                      "vorn_alpha_v1_ch2.t_inspection WHERE product_name = %1")
                           .arg(Quoted(product))),
              "1,0");
    EXPECT_EQ(db.value(QStringLiteral("SELECT CONCAT_WS(',', total_count, pass_count, "
                                      "error_count) FROM vorn_alpha_v1_ch2.t_summary WHERE "
                                      "product_name = %1")
                           .arg(Quoted(product))),
              "2,1,1");
    // The NG picture at the path the row names; each run's picture in the network folder (an OK
    // row names none); and the blob of each run.
    const QString ngPath = QString::fromStdString(
        db.value(QStringLiteral("SELECT t_filename_img FROM vorn_alpha_v1_ch2.t_inspection WHERE "
                                "product_name = %1 AND error = 1")
                     .arg(Quoted(product))));
    EXPECT_TRUE(ngPath.startsWith(results + "/NG/Image/")) << ngPath.toStdString();
    EXPECT_FALSE(QImage(ngPath).isNull()) << ngPath.toStdString();
    int networkPictures = 0;
    for (QDirIterator it(work.filePath("network"), {QStringLiteral("*.jpg")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext(); it.next()) {
        ++networkPictures;
    }
    EXPECT_GE(networkPictures, 2);
    ASSERT_TRUE(WaitUntil(
        [&] {
            return db.value(QStringLiteral("SELECT COUNT(*) FROM vorn_local_db.t_inspection_result "
                                           "WHERE inspection_id IN (%1, %2) AND "
                                           "LENGTH(image_data) > 1000")
                                .arg(firstId)
                                .arg(firstId + 1)) == "2";
        },
        10000));

    // The status once a second.
    const int before = static_cast<int>(control.output().count("EQUIPMENT_STATUS"));
    QTest::qWait(5000);
    const int statuses = static_cast<int>(control.output().count("EQUIPMENT_STATUS")) - before;
    EXPECT_GE(statuses, 4);
    EXPECT_LE(statuses, 6);
    EXPECT_TRUE(control.output().contains("PHONOLUX_1=1"));

    // Both streaming servers received pictures of the vehicle.
    const QString views = streaming.output();
    EXPECT_TRUE(views.contains("top: introduction UGV_ID=UGV-E2E")) << views.toStdString();
    EXPECT_TRUE(views.contains("bottom: introduction UGV_ID=UGV-E2E"));
    for (const char* name : {"top.jpg", "bottom.jpg"}) {
        EXPECT_FALSE(QImage(work.filePath(QStringLiteral("views/") + name)).isNull()) << name;
    }

    // Stopped as a service: it ends by itself, and nothing more is recorded.
    station->terminate();
    EXPECT_TRUE(station->waitForFinished(20000));
    EXPECT_EQ(station->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(db.value(QStringLiteral("SELECT COUNT(*) FROM vorn_alpha_v1_ch2.t_inspection "
                                      "WHERE product_name = %1")
                           .arg(Quoted(product))),
              "2");
}

}  // namespace
