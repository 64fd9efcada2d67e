// The access pattern against the real server: failure dialogs and boxes, no connection left
// open, escaping, the statement buffer limit and the CP949 round trip.
#include "app/Cp949.h"
#include "storage/ConnectionTest.h"
#include "storage/DbAccess.h"
#include "storage/ProductTable.h"
#include "storage/SensorTable.h"
#include "tests/storage/DbTestSupport.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/SilentListener.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

class AccessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(db.ok());
        prefix = UniqueName(QStringLiteral("access"));
        baseline = db.threadsConnected();
    }
    void TearDown() override { DeleteTestRows(db, prefix); }

    void ExpectNoConnectionLeft() {
        EXPECT_EQ(CDbConnection::openCount(), 0);
        EXPECT_TRUE(db.waitForThreadsAtMost(baseline)) << "server threads stay above " << baseline;
    }
    int productRows(const char* database, const QString& name) {
        return std::stoi(db.value(QStringLiteral("SELECT COUNT(*) FROM %1.t_product WHERE "
                                                 "product_name = %2")
                                      .arg(database, Quoted(name))));
    }

    AdminDb db;
    RecordingDialogs dialogs;
    QString prefix;
    int baseline = 0;
};

}  // namespace

TEST_F(AccessTest, UnreachableBridgeGivesTheConnectionDialogAndLoadsNothing) {
    ProductRecord record;
    record.time = 55;
    EXPECT_FALSE(LoadProductRecord(UnreachableProfile(TestBridgeProfile()), prefix, record));
    const auto shown = dialogs.recorded();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, RecordedDialog::Message);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Web DB Server"));
    EXPECT_EQ(shown[0].text, QStringLiteral("데이터베이스 연결에 실패했습니다."));
    EXPECT_EQ(record.time, 55);
    ExpectNoConnectionLeft();
}

TEST_F(AccessTest, HostThatAcceptsAndNeverAnswersCostsTheConnectLimit) {
    SilentListener silent;
    ASSERT_TRUE(silent.ok());
    DbProfile hanging = TestBridgeProfile();
    hanging.port = silent.port();
    ProductRecord record;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(LoadProductRecord(hanging, prefix, record));
    const qint64 waited = clock.elapsed();
    // The greeting never comes: the connect limit ends the wait (a loaded machine may add a
    // little; without a limit the client would wait for minutes).
    EXPECT_GE(waited, kDbConnectTimeout_s * 1000 - 100);
    EXPECT_LT(waited, kDbConnectTimeout_s * 1000 + 3000);
    const auto shown = dialogs.recorded();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Web DB Server"));
    EXPECT_EQ(shown[0].text, QStringLiteral("데이터베이스 연결에 실패했습니다."));
    EXPECT_EQ(CDbConnection::openCount(), 0);
}

TEST_F(AccessTest, BridgeDownDuringTwoDatabaseWriteWritesNothingAnywhere) {
    const QString name = prefix + "-A1";
    const DualWriteOutcome outcome =
        AddProduct(TestWebProfile(), UnreachableProfile(TestBridgeProfile()), name, "A", 30);
    EXPECT_FALSE(outcome.connected);
    EXPECT_FALSE(outcome.webApplied);
    const auto shown = dialogs.recorded();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, QStringLiteral("제품설정"));
    EXPECT_EQ(shown[0].text, QStringLiteral("Bridge 데이터베이스 연결에 실패했습니다."));
    EXPECT_EQ(productRows(kWebDatabaseName, name), 0);
    EXPECT_EQ(productRows(kBridgeDatabaseName, name), 0);
    ExpectNoConnectionLeft();
}

TEST_F(AccessTest, WebDownShowsTheWebTextAndNeverTriesTheBridge) {
    const QString name = prefix + "-A2";
    const DualWriteOutcome outcome =
        AddProduct(UnreachableProfile(TestWebProfile()), TestBridgeProfile(), name, "A", 30);
    EXPECT_FALSE(outcome.connected);
    const auto shown = dialogs.recorded();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, QStringLiteral("제품설정"));
    EXPECT_EQ(shown[0].text, QStringLiteral("데이터베이스 연결에 실패했습니다."));
    EXPECT_EQ(productRows(kBridgeDatabaseName, name), 0);
    ExpectNoConnectionLeft();
}

TEST_F(AccessTest, RejectedQueryShowsTheExactFailureBox) {
    // The local database has no t_product: the server rejects the select.
    DbProfile local = LocalDbProfile();
    ProductRecord record;
    EXPECT_FALSE(LoadProductRecord(local, prefix, record));
    const auto shown = dialogs.recorded();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, RecordedDialog::SystemMessage);
    EXPECT_EQ(shown[0].text, QStringLiteral("[ERROR]제품정보 데이터베이스 조회 실패\n[Error]Table "
                                            "'vorn_alpha_v1_ch2.t_product' doesn't exist"));
    ExpectNoConnectionLeft();
}

TEST_F(AccessTest, RejectedBridgeStatementStillRunsTheWebStatement) {
    // The bridge account may not touch the web database; pointing the "bridge" at a database
    // without the table makes only the bridge half fail.
    DbProfile bridge = TestBridgeProfile();
    bridge.database = QString::fromLatin1(kLocalDatabaseName);
    bridge.user = QStringLiteral("root");
    bridge.password = QString::fromLatin1(kLocalDatabasePassword);
    bridge.database = QString::fromLatin1(kLocalDatabaseName);
    const QString name = prefix + "-half";
    const DualWriteOutcome outcome = AddProduct(TestWebProfile(), bridge, name, "T", 12);
    EXPECT_TRUE(outcome.connected);
    EXPECT_FALSE(outcome.bridgeApplied);
    EXPECT_TRUE(outcome.webApplied);
    const auto shown = dialogs.recorded();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.startsWith(
        QStringLiteral("[ERROR]Bridge 데이터베이스 입력 실패\n[Error]Table ")))
        << shown[0].text.toStdString();
    EXPECT_EQ(productRows(kWebDatabaseName, name), 1);
    ExpectNoConnectionLeft();
}

TEST_F(AccessTest, QuotesAndBackslashesAreStoredAndFoundAsTyped) {
    const QStringList names = {prefix + "-it's", prefix + "-back\\slash",
                               prefix + "-'; DELETE FROM t_product; --", prefix + "-\\'",
                               prefix + "-\"dq\""};
    for (const QString& name : names) {
        const DualWriteOutcome outcome =
            AddProduct(TestWebProfile(), TestBridgeProfile(), name, name + "-base", 42);
        ASSERT_TRUE(outcome.webApplied && outcome.bridgeApplied) << name.toStdString();
        EXPECT_EQ(productRows(kWebDatabaseName, name), 1) << name.toStdString();
        ProductRecord record;
        ASSERT_TRUE(LoadProductRecord(TestBridgeProfile(), name, record)) << name.toStdString();
        EXPECT_EQ(record.product_name, name);
        EXPECT_EQ(record.reserved_str_01, name + "-base");
        EXPECT_EQ(record.time, 42);
    }
    EXPECT_TRUE(dialogs.recorded().empty());
    // The demo products are still there: nothing was injected.
    EXPECT_NE(db.value("SELECT COUNT(*) FROM vorn_web_db_v1.t_product"), "0");
}

TEST_F(AccessTest, StatementLongerThanItsBufferIsNotSent) {
    const QString name = prefix + QString(2100, QLatin1Char('x'));
    const DualWriteOutcome outcome =
        AddProduct(TestWebProfile(), TestBridgeProfile(), name, "A", 1);
    EXPECT_TRUE(outcome.connected);
    EXPECT_FALSE(outcome.bridgeApplied);
    EXPECT_FALSE(outcome.webApplied);
    const auto shown = dialogs.recorded();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(shown[0].text.startsWith(
        QStringLiteral("[ERROR]Bridge 데이터베이스 입력 실패\n[Error]SQL 문장이 너무 깁니다")));
    EXPECT_TRUE(shown[1].text.contains(QStringLiteral("최대 2047 바이트")))
        << shown[1].text.toStdString();
    EXPECT_EQ(db.value(QStringLiteral("SELECT COUNT(*) FROM vorn_web_db_v1.t_product WHERE "
                                      "product_name LIKE %1")
                           .arg(Quoted(prefix + "%"))),
              "0");
    ExpectNoConnectionLeft();
}

TEST_F(AccessTest, KoreanNamesRoundTripAsCorrectKorean) {
    // "똠" and "햏" exist only in the code page's extension, not in plain EUC-KR.
    const QString name = prefix + QStringLiteral("-엔진검사똠햏");
    const QString base = QStringLiteral("기본툴");
    ASSERT_TRUE(AddProduct(TestWebProfile(), TestBridgeProfile(), name, base, 30).webApplied);
    // Read through a UTF-8 connection: the server holds the right characters.
    EXPECT_EQ(db.value(QStringLiteral("SELECT HEX(reserved_str_01) FROM vorn_local_db.t_product "
                                      "WHERE product_name = %1")
                           .arg(Quoted(name))),
              QString::fromLatin1(base.toUtf8().toHex().toUpper()).toStdString());
    EXPECT_EQ(QString::fromStdString(
                  db.value(QStringLiteral("SELECT product_name FROM vorn_web_db_v1.t_product WHERE "
                                          "reserved_str_01 = %1 AND product_name LIKE %2")
                               .arg(Quoted(base), Quoted(prefix + "%")))),
              name);
    // And through the station's euckr connection the same text comes back.
    ProductRecord record;
    ASSERT_TRUE(LoadProductRecord(TestBridgeProfile(), name, record));
    EXPECT_EQ(record.product_name, name);
    EXPECT_EQ(record.reserved_str_01, base);
    auto connection = CDbConnection::Open(TestWebProfile());
    ASSERT_NE(connection, nullptr);
    std::vector<DbRow> rows;
    ASSERT_TRUE(connection->select(
        SqlFormat("SELECT product_name FROM t_product WHERE product_name = '%s';",
                  connection->escape(name).constData()),
        rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], ToCp949(name));  // the bytes on the wire are code page 949
}

TEST_F(AccessTest, NullValuesReadAsEmptyTextAndZero) {
    auto connection = CDbConnection::Open(TestWebProfile());
    ASSERT_NE(connection, nullptr);
    std::vector<DbRow> rows;
    ASSERT_TRUE(connection->select("SELECT NULL, NULL, '12x', '';", rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(DbText(rows[0], 0), QString());
    EXPECT_EQ(DbInt(rows[0], 1), 0);
    EXPECT_EQ(DbInt(rows[0], 2), 12);
    EXPECT_EQ(DbInt(rows[0], 3), 0);
}

TEST_F(AccessTest, ConnectionTestsShowTheirResult) {
    StartWebConnectionTest(TestWebProfile()).join();
    StartBridgeConnectionTest(UnreachableProfile(TestBridgeProfile())).join();
    DbProfile wrongPassword = TestBridgeProfile();
    wrongPassword.password = QStringLiteral("1234");
    StartBridgeConnectionTest(wrongPassword).join();
    const auto shown = dialogs.recorded();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Vorn DB 서버"));
    EXPECT_EQ(shown[0].text, QStringLiteral("Vorn DB 서버 연결 성공"));
    EXPECT_EQ(shown[1].caption, QStringLiteral("Bridge DB 서버"));
    EXPECT_EQ(shown[1].text, QStringLiteral("Bridge DB 서버 연결에 실패했습니다."));
    EXPECT_EQ(shown[2].text, QStringLiteral("Bridge DB 서버 연결에 실패했습니다."));
    ExpectNoConnectionLeft();
}
