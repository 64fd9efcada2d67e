// A remote NG run and a remote OK run, checked at every place they leave a trace; and peers that
// drop and return.
#include "tests/e2e/EndToEndRig.h"

namespace {

using namespace e2e;

TEST_F(EndToEndTest, RemoteNgAndOkRunsLeaveEveryTrace) {
    startEverything(true);
    PeerProcess& control = *this->control;
    PeerProcess& streaming = *this->streaming;
    CameraSimProcess& camera = *this->camera;
    const QString results = this->results();
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

// Peers that go away in the middle of things and come back, on a station without a tower
// library: no crash, nothing recorded twice, and what is recorded is right.
TEST_F(EndToEndTest, PeersThatDropAndReturnLeaveTheStationWhole) {
    startEverything(false);
    ASSERT_TRUE(WaitUntil([&] { return control->output().contains("EQUIPMENT_STATUS"); }, 5000));

    // The camera drops in the middle of a run: the run ends as stopped and is not recorded; the
    // next start brings the link back and is recorded once.
    control->write(QStringLiteral("start %1 %2 MIS-DROP").arg(product).arg(firstId));
    ASSERT_TRUE(WaitUntil(
        [&] { return control->output().contains("<CMD_ID>INSPECTION_START_ACK</CMD_ID>"); },
        10000));
    QTest::qWait(2000);
    camera->write("close\n");
    ASSERT_TRUE(
        WaitUntil([&] { return stationLog().contains("stopped, nothing recorded"); }, 10000))
        << stationLog().toStdString();
    QTest::qWait(5000);
    EXPECT_EQ(rowCount(), "0");
    EXPECT_TRUE(Completions(control->output()).empty());
    control->write(QStringLiteral("start %1 %2 MIS-BACK").arg(product).arg(firstId + 1));
    ASSERT_TRUE(WaitUntil([&] { return Completions(control->output()).size() == 1; }, 30000))
        << stationLog().toStdString();
    EXPECT_EQ(Completions(control->output())[0].id, QString::number(firstId + 1));
    EXPECT_EQ(rowCount(), "1");

    // The control server restarts on its port: the link is back within about 3.1 s and asks for
    // the vehicle again; the picture push threads are not started a second time.
    const int pushThreads = static_cast<int>(stationLog().count("Start Thread_Streaming_Top"));
    control.reset();
    QTest::qWait(500);
    startControl(controlPort);
    ASSERT_GT(controlPort, 0);
    QElapsedTimer back;
    back.start();
    ASSERT_TRUE(WaitUntil([&] { return control->output().contains("UGV_INFOR_REQUEST"); }, 10000));
    EXPECT_LT(back.elapsed(), 4500);
    ASSERT_TRUE(WaitUntil([&] { return control->output().contains("EQUIPMENT_STATUS"); }, 5000));
    EXPECT_EQ(stationLog().count("Start Thread_Streaming_Top"), pushThreads);

    // A streaming server restarts on its ports: the pictures arrive again.
    streaming.reset();
    QFile::remove(work.filePath("views/top.jpg"));
    QTest::qWait(1000);
    startStreaming(topPort, bottomPort);
    ASSERT_TRUE(WaitUntil([&] { return QFileInfo::exists(work.filePath("views/top.jpg")); }, 20000))
        << streaming->output().toStdString();

    // The head's port vanishes: one message; it returns: the status poll opens it again and a
    // position query is answered.
    head.reset();
    const QString headGone = QStringLiteral("[Message] [ERROR]Pan/Tilt 모터 연결해제");
    ASSERT_TRUE(WaitUntil([&] { return stationLog().contains(headGone); }, 10000));
    QTest::qWait(3000);
    EXPECT_EQ(stationLog().count(headGone), 1) << stationLog().toStdString();
    startHead();
    QTest::qWait(3000);
    control->write(QStringLiteral("get-pan MIS-HEAD"));
    ASSERT_TRUE(WaitUntil([&] { return control->output().contains("<CMD_ID>GET_PAN"); }, 10000))
        << control->output().toStdString();

    // Still running, and one more run is recorded once.
    control->write(QStringLiteral("start %1 %2 MIS-LAST").arg(product).arg(firstId + 2));
    ASSERT_TRUE(WaitUntil([&] { return Completions(control->output()).size() == 1; }, 30000));
    EXPECT_EQ(rowCount(), "2");
    EXPECT_EQ(station->state(), QProcess::Running);
    station->terminate();
    EXPECT_TRUE(station->waitForFinished(20000));
    EXPECT_EQ(station->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(rowCount(), "2");
    db.query(
        QStringLiteral("DELETE FROM vorn_local_db.t_inspection_result WHERE inspection_id = %1")
            .arg(firstId + 2));
}

}  // namespace
