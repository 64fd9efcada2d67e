// MariaDB stops during a run and comes back. The server is shared by every suite, so this test
// runs alone (RUN_SERIAL) and needs the rights to stop and start the service.
#include "tests/e2e/EndToEndRig.h"

namespace {

using namespace e2e;

bool Service(const char* action) {
    QProcess service;
    service.start(QStringLiteral("service"),
                  {QStringLiteral("mariadb"), QString::fromLatin1(action)});
    return service.waitForFinished(60000) && service.exitStatus() == QProcess::NormalExit &&
           service.exitCode() == 0;
}

bool ServerAnswers() {
    QProcess ping;
    ping.start(QStringLiteral("mysqladmin"),
               {QStringLiteral("--protocol=socket"), QStringLiteral("ping")});
    return ping.waitForFinished(10000) && ping.exitCode() == 0;
}

TEST_F(EndToEndTest, DatabaseStopsDuringARunAndComesBack) {
    startEverything(true);
    ASSERT_TRUE(WaitUntil([&] { return control->output().contains("EQUIPMENT_STATUS"); }, 5000));

    control->write(QStringLiteral("start %1 %2 MIS-DB-1").arg(product).arg(firstId));
    ASSERT_TRUE(WaitUntil(
        [&] { return control->output().contains("<CMD_ID>INSPECTION_START_ACK</CMD_ID>"); },
        10000));
    if (!Service("stop")) {
        GTEST_SKIP() << "the database service cannot be stopped here";
    }
    // The run ends while the server is away (its recording fails): the station says so and
    // keeps running.
    QTest::qWait(9000);
    const QString away = stationLog();
    ASSERT_TRUE(Service("start"));
    ASSERT_TRUE(WaitUntil(ServerAnswers, 60000));
    db.reconnect();
    EXPECT_TRUE(away.contains(QStringLiteral("데이터베이스 연결에 실패했습니다.")))
        << away.toStdString();
    EXPECT_EQ(station->state(), QProcess::Running);

    // The next run records, once; the run of the outage is not written afterwards.
    QTest::qWait(2000);
    control->write(QStringLiteral("start %1 %2 MIS-DB-2").arg(product).arg(firstId + 1));
    const QString secondId = QString::number(firstId + 1);
    ASSERT_TRUE(WaitUntil(
        [&] {
            const auto done = Completions(control->output());
            return !done.empty() && done.back().id == secondId;
        },
        30000))
        << stationLog().toStdString();
    QTest::qWait(2000);
    EXPECT_EQ(rowCount(), "1");
    EXPECT_EQ(db.value(QStringLiteral("SELECT error FROM vorn_alpha_v1_ch2.t_inspection WHERE "
                                      "product_name = %1")
                           .arg(Quoted(product))),
              "0");
    station->terminate();
    EXPECT_TRUE(station->waitForFinished(20000));
    EXPECT_EQ(station->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(rowCount(), "1");
}

}  // namespace
