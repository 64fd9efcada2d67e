// Recording finished runs against the real server: the t_inspection row, the counters and
// their summary rows, the picture blob, today's list and the day change.
#include <QTemporaryDir>
#include "inspection/ProductSelector.h"
#include "storage/ProductTable.h"
#include "storage/SensorTable.h"
#include "storage/StationStorage.h"
#include "tests/storage/DbTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/SilentListener.h"

#include <QElapsedTimer>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <future>

namespace {

// The stored date-time in the run stamp's layout, whether the column keeps the text as written
// or reads it back as a date-time ("HH:MM:SS").
QString StampOf(const std::string& stored) {
    QString text = QString::fromStdString(stored);
    return text.left(11) + text.mid(11).replace(QLatin1Char(':'), QLatin1Char('-'));
}

class ResultRecorderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(db.ok());
        prefix = UniqueName(QStringLiteral("results"));
        day = UniqueDay();
        days << day;
        config.plant_id = QStringLiteral("공장-7");
        config.ugv_code = QStringLiteral("UGV-3");
        storage = std::make_unique<CStationStorage>(
            config, results, display, CStationStorage::Clocks{[this] { return day; }});
        CProductSelector selector(storage->profiles(), config, storage->counterStore(),
                                  storage->productRecord(), selection,
                                  [](const QString&) { return false; });
        product = prefix + QStringLiteral("-엔진");
        ASSERT_TRUE(
            AddProduct(TestWebProfile(), TestBridgeProfile(), product, "기본", 20).webApplied);
        ASSERT_TRUE(selector.SelectProduct(product, false));
        display.shown.clear();
    }
    void TearDown() override {
        if (storage) {
            storage->recorder().waitForPictureWorkers();
        }
        storage.reset();
        DeleteTestRows(db, prefix);
        for (const QString& d : days) {
            db.query(QStringLiteral("DELETE FROM vorn_alpha_v1_ch2.t_summary WHERE date = %1")
                         .arg(Quoted(d)));
        }
        for (int id : inspectionIds) {
            db.query(QStringLiteral("DELETE FROM vorn_local_db.t_inspection_result WHERE "
                                    "inspection_id = %1")
                         .arg(id));
        }
    }

    RunOutcome run(bool ngLatch, int mode = 1, QString sensor = QStringLiteral("Top")) {
        static int counter = 0;
        RunOutcome r;
        r.sensor_name = sensor;
        r.barcode = QStringLiteral("[Vorn]%1-%2").arg(day).arg(++counter);
        r.run_stamp = QStringLiteral("%1 10-11-%2").arg(day).arg(counter % 60, 2, 10, QChar('0'));
        r.inspection_id = (getpid() % 100000) * 1000 + counter;
        inspectionIds << r.inspection_id;
        r.top_inspection_mode = mode;
        r.top_ng_latch = ngLatch ? 1 : 0;
        r.top_ng_time = 3.4f;
        r.top_peak_level = 87.6f;
        r.top_image_path = QStringLiteral("/nonexistent/top.jpg");
        r.bottom_image_path = QStringLiteral("/r/NG/bottom.jpg");
        return r;
    }
    std::map<std::string, AdminValue> inspectionRow(const QString& barcode) {
        std::map<std::string, AdminValue> named;
        const auto columns = db.query(
            "SELECT column_name FROM information_schema.columns WHERE table_schema = "
            "'vorn_alpha_v1_ch2' AND table_name = 't_inspection' ORDER BY ordinal_position");
        const auto rows = db.query(
            QStringLiteral("SELECT * FROM vorn_alpha_v1_ch2.t_inspection WHERE barcode = %1")
                .arg(Quoted(barcode)));
        EXPECT_EQ(rows.size(), 1u);
        if (rows.size() == 1) {
            for (std::size_t i = 0; i < columns.size(); ++i) {
                named[*columns[i][0]] = rows[0][i];
            }
        }
        return named;
    }
    std::vector<int> summary(const QString& name, const QString& date) {
        const auto rows = db.query(QStringLiteral("SELECT total_count, pass_count, error_count "
                                                  "FROM vorn_alpha_v1_ch2.t_summary WHERE "
                                                  "product_name = %1 AND date = %2")
                                       .arg(Quoted(name), Quoted(date)));
        if (rows.size() != 1) {
            return {};
        }
        return {std::stoi(*rows[0][0]), std::stoi(*rows[0][1]), std::stoi(*rows[0][2])};
    }

    AdminDb db;
    RecordingDialogs dialogs;
    QString prefix;
    QString day;
    QStringList days;
    QList<int> inspectionIds;
    QString product;
    StationConfig config;
    FakeSelectionHost selection;
    FakeResultHost results;
    FakeCounterDisplay display;
    std::unique_ptr<CStationStorage> storage;
};

}  // namespace

TEST_F(ResultRecorderTest, OkRunWritesItsRowCountsAndReports) {
    const RunOutcome ok = run(false);
    ASSERT_TRUE(storage->RecordInspectionResult(ok));
    storage->recorder().waitForPictureWorkers();
    EXPECT_TRUE(dialogs.recorded().empty());

    auto row = inspectionRow(ok.barcode);
    EXPECT_EQ(QString::fromStdString(*row["product_name"]), product);
    EXPECT_EQ(*row["sensor_type"], "Top");
    EXPECT_EQ(StampOf(*row["datetime"]), ok.run_stamp);
    EXPECT_EQ(*row["error"], "0");
    EXPECT_EQ(*row["t_error"], "0");
    EXPECT_EQ(*row["t_mode"], "1");
    EXPECT_EQ(*row["t_stamp"], "0");
    EXPECT_EQ(*row["t_peak"], "0");
    EXPECT_EQ(*row["b_error"], "0");
    EXPECT_EQ(*row["t_filename_img"], "/nonexistent/top.jpg");
    EXPECT_EQ(*row["b_filename_img"], "/r/NG/bottom.jpg");
    for (const char* empty : {"reserved_str_01", "t_filename_wave", "b_filename_wave",
                              "t_filename_data", "b_filename_data", "location_id", "target_id"}) {
        EXPECT_EQ(*row[empty], "") << empty;
    }
    EXPECT_EQ(QString::fromStdString(*row["reserved_str_02"]), QStringLiteral("기본"));
    EXPECT_EQ(QString::fromStdString(*row["plant_id"]), QStringLiteral("공장-7"));
    EXPECT_EQ(*row["ugv_id"], "UGV-3");
    EXPECT_EQ(*row["map_id"], "0");

    ASSERT_EQ(results.rows.size(), 1u);
    EXPECT_EQ(results.rows[0], (QStringList{"1", ok.run_stamp, ok.barcode, "OK", "Top", product}));
    EXPECT_EQ(results.calls, QStringList{"select-last"});
    ASSERT_FALSE(display.shown.empty());
    EXPECT_EQ(display.shown.back().pass, QStringLiteral("  1 EA"));
    EXPECT_EQ(display.shown.back().ng_rate, QStringLiteral("  0.0%"));
    EXPECT_EQ(summary(product, day), (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(summary("Today", day), (std::vector<int>{1, 1, 0}));
}

TEST_F(ResultRecorderTest, ThreeRunsWithOneNgGiveAThirdNgRate) {
    ASSERT_TRUE(storage->RecordInspectionResult(run(false)));
    const RunOutcome ng = run(true);
    ASSERT_TRUE(storage->RecordInspectionResult(ng));
    // An NG latch without inspection mode 1 is no NG verdict.
    const RunOutcome unjudged = run(true, 0);
    ASSERT_TRUE(storage->RecordInspectionResult(unjudged));

    EXPECT_EQ(display.shown.back().ng_rate, QStringLiteral("  33.3%"));
    EXPECT_EQ(display.shown.back().total, QStringLiteral("  3 EA"));
    EXPECT_EQ(display.shown.back().ng, QStringLiteral("  1 EA"));
    EXPECT_EQ(summary(product, day), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(summary("Today", day), (std::vector<int>{3, 2, 1}));

    auto ngRow = inspectionRow(ng.barcode);
    EXPECT_EQ(*ngRow["error"], "1");
    EXPECT_EQ(*ngRow["t_error"], "1");
    EXPECT_EQ(*ngRow["t_stamp"], "3.4");
    EXPECT_EQ(*ngRow["t_peak"], "87.6");
    auto unjudgedRow = inspectionRow(unjudged.barcode);
    EXPECT_EQ(*unjudgedRow["error"], "0");
    EXPECT_EQ(*unjudgedRow["t_error"], "1");
    EXPECT_EQ(*unjudgedRow["t_mode"], "0");
    EXPECT_EQ(*unjudgedRow["t_stamp"], "0");
    EXPECT_EQ(results.rows.at(1).at(3), QStringLiteral("NG"));

    // Today's list, loaded again from the table.
    FakeResultHost reloaded;
    reloaded.rows.push_back({"stale"});
    CResultRecorder recorder(storage->profiles(), config, storage->productRecord(),
                             storage->counterStore(), reloaded);
    recorder.LoadTodayResults();
    ASSERT_EQ(reloaded.rows.size(), 3u);
    reloaded.rows[1][1] = StampOf(reloaded.rows[1][1].toStdString());
    EXPECT_EQ(reloaded.rows[1], (QStringList{"2", ng.run_stamp, ng.barcode, "NG", "Top", product}));
    EXPECT_EQ(reloaded.rows[2].at(0), QStringLiteral("3"));
    EXPECT_EQ(reloaded.calls, QStringList{"select-last"});
}

TEST_F(ResultRecorderTest, UnreachableLocalDatabaseRecordsNothing) {
    storage->profiles().setLocal(UnreachableProfile(LocalDbProfile()));
    RunOutcome ok = run(false);
    EXPECT_FALSE(storage->RecordInspectionResult(ok));
    storage->recorder().waitForPictureWorkers();
    ASSERT_EQ(dialogs.recorded().size(), 1u);
    EXPECT_EQ(dialogs.recorded()[0].caption, QStringLiteral("검사결과"));
    EXPECT_EQ(dialogs.recorded()[0].text, QStringLiteral("데이터베이스 연결에 실패했습니다."));
    EXPECT_TRUE(results.calls.isEmpty());
    EXPECT_EQ(storage->counters().today_total, 0);
    EXPECT_TRUE(display.shown.empty());
}

TEST_F(ResultRecorderTest, RowIsRecordedUnderACommaDecimalLocale) {
    ScopedLocale german("de_DE.UTF-8");
    ASSERT_TRUE(german.ok()) << "de_DE.UTF-8 is missing: the test set-up generates it";
    ASSERT_EQ(ScopedLocale::DecimalPoint(), ',');
    const RunOutcome ng = run(true);
    ASSERT_TRUE(storage->RecordInspectionResult(ng));
    storage->recorder().waitForPictureWorkers();
    for (const RecordedDialog& shown : dialogs.recorded()) {
        ADD_FAILURE() << shown.caption.toStdString() << ": " << shown.text.toStdString();
    }
    auto row = inspectionRow(ng.barcode);
    EXPECT_EQ(*row["t_stamp"], "3.4");
    EXPECT_EQ(*row["t_peak"], "87.6");
    ASSERT_EQ(results.rows.size(), 1u);
    EXPECT_EQ(summary(product, day), (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(display.shown.back().ng_rate, QStringLiteral("  100.0%"));
}

TEST_F(ResultRecorderTest, RejectedInsertStillUpdatesSummariesAndReports) {
    storage->counters().today_total = 7;
    storage->counters().today_pass = 7;
    // Longer than the column: the server rejects the row.
    RunOutcome ok = run(false);
    ok.barcode = QString(150, QLatin1Char('b'));
    ASSERT_TRUE(storage->RecordInspectionResult(ok));
    ASSERT_EQ(dialogs.recorded().size(), 1u);
    EXPECT_TRUE(dialogs.recorded()[0].text.startsWith(
        QStringLiteral("[ERROR]검사결과 Local DB 입력 실패\n[Error]Data too long")))
        << dialogs.recorded()[0].text.toStdString();
    EXPECT_TRUE(results.rows.empty());
    EXPECT_EQ(storage->counters().today_total, 7);
    EXPECT_EQ(summary("Today", day), (std::vector<int>{7, 7, 0}));
    EXPECT_TRUE(results.calls.isEmpty());
}

TEST_F(ResultRecorderTest, RunWithoutSensorNameStoresNoPicture) {
    QTemporaryDir dir;
    const QString picture = dir.path() + "/top.jpg";
    QFile file(picture);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("jpeg");
    file.close();
    RunOutcome unnamed = run(false, 1, QString());
    unnamed.top_picture_path = picture;
    ASSERT_TRUE(storage->RecordInspectionResult(unnamed));
    storage->recorder().waitForPictureWorkers();
    EXPECT_EQ(*inspectionRow(unnamed.barcode)["sensor_type"], "");
    EXPECT_EQ(results.calls, QStringList{"select-last"});
    EXPECT_EQ(db.value(QStringLiteral("SELECT COUNT(*) FROM vorn_local_db.t_inspection_result "
                                      "WHERE inspection_id = %1")
                           .arg(unnamed.inspection_id)),
              "0");
}

TEST_F(ResultRecorderTest, PictureIsStoredAsBlobOnItsOwnThread) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/top.jpg";
    QByteArray bytes(300 * 1024, '\0');
    for (char& b : bytes) {
        b = static_cast<char>(QRandomGenerator::global()->bounded(256));
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    LogCapture log;
    RunOutcome ng = run(true);
    ng.top_picture_path = path;
    ASSERT_TRUE(storage->RecordInspectionResult(ng));
    storage->recorder().waitForPictureWorkers();
    const auto rows = db.query(QStringLiteral("SELECT inspection_result, MD5(image_data), "
                                              "LENGTH(image_data) FROM "
                                              "vorn_local_db.t_inspection_result WHERE "
                                              "inspection_id = %1")
                                   .arg(ng.inspection_id));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(*rows[0][0], "1");
    EXPECT_EQ(*rows[0][1],
              QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toStdString());
    EXPECT_EQ(*rows[0][2], std::to_string(bytes.size()));
    EXPECT_TRUE(log.contains(QStringLiteral("Top : INSERT INTO t_inspection_result(inspection_id, "
                                            "inspection_result, image_data) VALUES (%1, 1, ?);")
                                 .arg(ng.inspection_id)));
}

TEST_F(ResultRecorderTest, PictureFailuresLeaveNoBlobRow) {
    LogCapture log;
    const RunOutcome missing = run(false);  // its picture path does not exist
    CResultRecorder::StoreResultPicture(
        TestBridgeProfile(), {"Top", missing.inspection_id, 0, missing.top_picture_path});
    EXPECT_TRUE(log.contains(QStringLiteral("이미지 파일을 열 수 없습니다.")));
    EXPECT_TRUE(dialogs.recorded().empty());

    CResultRecorder::StoreResultPicture(
        UnreachableProfile(TestBridgeProfile()),
        {"Top", missing.inspection_id, 0, missing.top_picture_path});
    ASSERT_EQ(dialogs.recorded().size(), 1u);
    EXPECT_EQ(dialogs.recorded()[0].caption, QStringLiteral("검사결과"));
    EXPECT_EQ(dialogs.recorded()[0].text, QStringLiteral("Web 데이터베이스 연결에 실패했습니다."));
    EXPECT_EQ(db.value(QStringLiteral("SELECT COUNT(*) FROM vorn_local_db.t_inspection_result "
                                      "WHERE inspection_id = %1")
                           .arg(missing.inspection_id)),
              "0");
    EXPECT_EQ(CDbConnection::openCount(), 0);
}

TEST_F(ResultRecorderTest, FirstRunAfterMidnightCountsOnTheNewDaysRows) {
    ASSERT_TRUE(storage->RecordInspectionResult(run(false)));
    ASSERT_TRUE(storage->RecordInspectionResult(run(true)));
    const QString yesterday = day;
    day = UniqueDay();  // midnight passes without a new product selection
    days << day;
    ASSERT_TRUE(storage->RecordInspectionResult(run(false)));
    EXPECT_TRUE(dialogs.recorded().empty());
    EXPECT_EQ(summary(product, yesterday), (std::vector<int>{2, 1, 1}));
    EXPECT_EQ(summary("Today", yesterday), (std::vector<int>{2, 1, 1}));
    EXPECT_EQ(summary(product, day), (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(summary("Today", day), (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(display.shown.back().total, QStringLiteral("  1 EA"));
}

TEST_F(ResultRecorderTest, CountersWrapAtSixteenBits) {
    storage->counters().today_total = 65535;
    storage->counters().product_pass = 65535;
    ASSERT_TRUE(storage->RecordInspectionResult(run(false)));
    EXPECT_EQ(storage->counters().today_total, 0);
    EXPECT_EQ(storage->counters().product_pass, 0);
    EXPECT_EQ(display.shown.back().ng_rate, QStringLiteral("  0.0%"));
}

TEST_F(ResultRecorderTest, SummaryAndListFailuresShowTheirTexts) {
    // A scratch local database whose t_summary can be read but not written, and no t_inspection.
    const QString scratch = QStringLiteral("ut_summary_%1").arg(getpid());
    db.createScratchDatabase(scratch, "results.sql");
    db.query(QStringLiteral("DROP TABLE `%1`.t_inspection").arg(scratch));
    db.query(QStringLiteral("RENAME TABLE `%1`.t_summary TO `%1`.t_summary_rows").arg(scratch));
    db.query(QStringLiteral("CREATE VIEW `%1`.t_summary AS SELECT DISTINCT * FROM "
                            "`%1`.t_summary_rows")
                 .arg(scratch));
    DbProfile local = LocalDbProfile();
    local.database = scratch;
    storage->profiles().setLocal(local);
    CDayCounterStore& store = storage->counterStore();
    struct Case {
        std::function<void()> operation;
        QString text;
    };
    const Case cases[] = {
        {[&] { store.loadTodaySummary(day); },
         QStringLiteral("Summary Today 데이터베이스 입력을 실패했습니다.\n[Error]")},
        {[&] { store.loadProductSummary(product, day); },
         QStringLiteral("Summary 데이터베이스 입력을 실패했습니다.\n[Error]")},
        {[&] { store.updateTodaySummary(day); },
         QStringLiteral("Summary 데이터베이스 '업데이트#1' 를 실패했습니다.\n[Error]")},
        {[&] { store.updateProductSummary(product, day); },
         QStringLiteral("Summary 데이터베이스 '업데이트#1' 를 실패했습니다.\n[Error]")},
        {[&] { storage->LoadTodayResults(); },
         QStringLiteral("[ERROR]검사결과 데이터베이스 조회 실패\n[Error]Table '%1.t_inspection' "
                        "doesn't exist")
             .arg(scratch)},
    };
    storage->counters().today_total = 5;
    for (const Case& c : cases) {
        dialogs.clear();
        c.operation();
        ASSERT_EQ(dialogs.recorded().size(), 1u) << c.text.toStdString();
        EXPECT_EQ(dialogs.recorded()[0].kind, RecordedDialog::SystemMessage);
        EXPECT_TRUE(dialogs.recorded()[0].text.startsWith(c.text))
            << dialogs.recorded()[0].text.toStdString();
    }
    EXPECT_EQ(storage->counters().today_total, 5);  // a failed create keeps the counters

    db.query(QStringLiteral("DROP VIEW `%1`.t_summary").arg(scratch));
    dialogs.clear();
    store.loadTodaySummary(day);
    ASSERT_EQ(dialogs.recorded().size(), 1u);
    EXPECT_EQ(dialogs.recorded()[0].text,
              QStringLiteral("[ERROR]제품검사요약 데이터베이스 조회 실패\n[Error]Table "
                             "'%1.t_summary' doesn't exist")
                  .arg(scratch));
    storage->profiles().setLocal(UnreachableProfile(LocalDbProfile()));
    dialogs.clear();
    store.updateTodaySummary(day);
    ASSERT_EQ(dialogs.recorded().size(), 1u);
    EXPECT_EQ(dialogs.recorded()[0].caption, QStringLiteral("제품검사요약"));
    EXPECT_EQ(dialogs.recorded()[0].text, QStringLiteral("데이터베이스 연결에 실패했습니다."));
    db.dropDatabase(scratch);
}

TEST_F(ResultRecorderTest, RunsOfTheDaysFirstHourAreInTodaysList) {
    // On a local database provisioned from the deploy files (not the shared one).
    const QString scratch = QStringLiteral("ut_results_%1").arg(getpid());
    db.createScratchDatabase(scratch, "results.sql");
    DbProfile local = LocalDbProfile();
    local.database = scratch;
    storage->profiles().setLocal(local);
    QStringList stamps;
    for (const char* time : {"00-00-00", "00-05-09", "13-20-00", "23-59-59"}) {
        RunOutcome r = run(false);
        r.run_stamp = QStringLiteral("%1 %2").arg(day, QLatin1String(time));
        stamps << r.run_stamp;
        ASSERT_TRUE(storage->RecordInspectionResult(r));
    }
    RunOutcome tomorrow = run(false);
    tomorrow.run_stamp = QStringLiteral("%1 00-00-00").arg(UniqueDay());
    ASSERT_TRUE(storage->RecordInspectionResult(tomorrow));
    EXPECT_TRUE(dialogs.recorded().empty());

    FakeResultHost reloaded;
    CResultRecorder recorder(storage->profiles(), config, storage->productRecord(),
                             storage->counterStore(), reloaded);
    recorder.LoadTodayResults();
    QStringList listed;
    for (const QStringList& row : reloaded.rows) {
        listed << StampOf(row.at(1).toStdString());
    }
    EXPECT_EQ(listed, stamps) << listed.join(", ").toStdString();
    db.dropDatabase(scratch);
}

TEST_F(ResultRecorderTest, ClosingDoesNotWaitForAPictureWorkerInItsDialog) {
    storage->profiles().setBridgeServer(QStringLiteral("127.0.0.2"),
                                        QString::fromLatin1(kDefaultDatabasePassword));
    std::promise<void> entered;
    std::promise<void> confirm;
    std::shared_future<void> confirmed = confirm.get_future().share();
    std::atomic<bool> left{false};
    dialogs.onDialog = [&](const RecordedDialog& dialog) {
        if (dialog.text == QStringLiteral("Web 데이터베이스 연결에 실패했습니다.")) {
            entered.set_value();
            confirmed.wait();  // the operator has not confirmed the dialog yet
            left = true;
        }
    };
    ASSERT_TRUE(storage->RecordInspectionResult(run(false)));
    ASSERT_EQ(entered.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);

    auto closing = std::async(std::launch::async, [this] { storage.reset(); });
    EXPECT_EQ(closing.wait_for(std::chrono::seconds(10)), std::future_status::ready)
        << "closing waited for the picture worker's dialog";
    confirm.set_value();
    closing.wait();
    QDeadlineTimer deadline(15000);
    while (!left && !deadline.hasExpired()) {
        QThread::msleep(10);
    }
    EXPECT_TRUE(left.load());
    QThread::msleep(50);  // the worker returns from the dialog and ends
}

TEST_F(ResultRecorderTest, ShutdownWaitsABoundedTimeForPictureWorkers) {
    LogCapture log;
    // A worker whose bridge host fails at once is joined within the wait, without a word.
    storage->profiles().setBridgeServer(QStringLiteral("127.0.0.2"),
                                        QString::fromLatin1(kDefaultDatabasePassword));
    ASSERT_TRUE(storage->RecordInspectionResult(run(false)));
    EXPECT_EQ(storage->recorder().finishPictureWorkers(5000), 0);
    EXPECT_EQ(dialogs.messages().size(), 1u);

    // A worker whose bridge host accepts and never answers is left after the wait, with one
    // line; the connect limit ends it later on its own.
    SilentListener silent;
    ASSERT_TRUE(silent.ok());
    DbProfile hanging = storage->profiles().bridge();
    hanging.host = QStringLiteral("127.0.0.1");
    hanging.port = silent.port();
    storage->profiles().setBridge(hanging);
    ASSERT_TRUE(storage->RecordInspectionResult(run(false)));
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(storage->recorder().finishPictureWorkers(300), 1);
    EXPECT_LT(clock.elapsed(), 2000);
    QStringList shutdownLines;
    for (const QString& line : log.lines()) {
        if (line.startsWith(QStringLiteral("[Shutdown]"))) {
            shutdownLines << line;
        }
    }
    EXPECT_EQ(shutdownLines, QStringList{QStringLiteral(
                                 "[Shutdown] 1 result picture worker(s) still running after 300 "
                                 "ms, left to end on their own")});
    // The left worker reports its failed connection once the limit has passed.
    QDeadlineTimer deadline((kDbConnectTimeout_s + 10) * 1000);
    while (dialogs.messages().size() < 2 && !deadline.hasExpired()) {
        QThread::msleep(20);
    }
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[1].text, QStringLiteral("Web 데이터베이스 연결에 실패했습니다."));
    QThread::msleep(100);  // it returns from the dialog and ends
}

TEST_F(ResultRecorderTest, MidnightDuringTheRecordingCountsOnTheDayThatCountedTheRun) {
    // The host lists the row just as the clock passes midnight.
    struct MidnightHost : FakeResultHost {
        std::function<void()> passMidnight;
        void appendResultRow(const QStringList& texts) override {
            FakeResultHost::appendResultRow(texts);
            passMidnight();
        }
    } host;
    const QString counted = day;
    host.passMidnight = [&] {
        day = UniqueDay();
        days << day;
    };
    CResultRecorder recorder(storage->profiles(), config, storage->productRecord(),
                             storage->counterStore(), host);
    ASSERT_TRUE(recorder.RecordInspectionResult(run(true)));
    recorder.waitForPictureWorkers();
    EXPECT_TRUE(dialogs.recorded().empty());
    EXPECT_EQ(summary(product, counted), (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(summary("Today", counted), (std::vector<int>{1, 0, 1}));
}
