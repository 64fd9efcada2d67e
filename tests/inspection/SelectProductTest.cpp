// SelectProduct against the real server: the product record, the day counters' rows, the
// "Top" sensor settings and what the camera is told.
#include "app/TimerTable.h"
#include "inspection/ProductSelector.h"
#include "storage/ProductTable.h"
#include "storage/SensorColumns.h"
#include "storage/SensorTable.h"
#include "storage/StationStorage.h"
#include "tests/storage/DbTestSupport.h"
#include "tests/support/RecordingDialogs.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

namespace {

class SelectProductTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(db.ok());
        prefix = UniqueName(QStringLiteral("select"));
        day = UniqueDay();
        config.Sensor_Default_Ip = QStringLiteral("127.0.0.7");
        config.Camera_Brightness = 61;
        storage = std::make_unique<CStationStorage>(
            config, results, display, CStationStorage::Clocks{[this] { return day; }});
        selector = std::make_unique<CProductSelector>(
            storage->profiles(), config, storage->counterStore(), storage->productRecord(),
            selection, [this](const QString& address) {
                pinged << address;
                return pingAnswers;
            });
    }
    void TearDown() override {
        selector.reset();
        storage.reset();
        DeleteTestRows(db, prefix);
        db.query(QStringLiteral("DELETE FROM vorn_alpha_v1_ch2.t_summary WHERE date = %1")
                     .arg(Quoted(day)));
    }

    // Product and "Top" row in both databases, with a few distinctive settings.
    QString createProduct(const QString& tag, int seconds) {
        const QString name = prefix + "-" + tag;
        EXPECT_TRUE(AddProduct(TestWebProfile(), TestBridgeProfile(), name, "base-" + tag, seconds)
                        .webApplied);
        EXPECT_TRUE(CreateSensorRow(TestWebProfile(), TestBridgeProfile(), name, "Top",
                                    seconds * 10, "10.9.9.9")
                        .webApplied);
        db.query(QStringLiteral("UPDATE vorn_local_db.t_sensor SET distance = 1300, freq_min = "
                                "2100, freq_max = 9100, reserved_int_09 = 2, area_mode = 2, "
                                "area_line_1 = 100, area_line_2 = 200, reserved_int_10 = 180 "
                                "WHERE product_name = %1")
                     .arg(Quoted(name)));
        return name;
    }
    std::vector<AdminRow> summaryRows(const QString& product) {
        return db.query(QStringLiteral("SELECT * FROM vorn_alpha_v1_ch2.t_summary WHERE "
                                       "product_name = %1 AND date = %2 ORDER BY num")
                            .arg(Quoted(product), Quoted(day)));
    }

    AdminDb db;
    RecordingDialogs dialogs;
    QString prefix;
    QString day;
    StationConfig config;
    FakeSelectionHost selection;
    FakeResultHost results;
    FakeCounterDisplay display;
    QStringList pinged;
    bool pingAnswers = true;
    std::unique_ptr<CStationStorage> storage;
    std::unique_ptr<CProductSelector> selector;
};

}  // namespace

TEST_F(SelectProductTest, FirstSelectionLoadsEverythingAndStartsTheCamera) {
    const QString name = createProduct("first", 25);
    ASSERT_TRUE(selector->SelectProduct(name, false));
    EXPECT_TRUE(dialogs.recorded().empty());

    const ProductRecord& record = storage->productRecord();
    EXPECT_EQ(record.product_name, name);
    EXPECT_EQ(record.sensor_type, QStringLiteral("TOP_BOTTOM"));
    EXPECT_EQ(record.time, 25);
    EXPECT_EQ(record.reserved_str_01, QStringLiteral("base-first"));
    EXPECT_EQ(record.last_product_name, name);
    EXPECT_EQ(record.last_sensor_type, QStringLiteral("TOP_BOTTOM"));

    // The product's row (with its creation time) and the day's 'Today' row were created.
    const auto product = summaryRows(name);
    ASSERT_EQ(product.size(), 1u);
    EXPECT_EQ(product[0].at(1).value_or("NULL"), "");
    EXPECT_EQ(product[0].at(4).value_or("").size(), 19u);
    EXPECT_EQ(product[0].at(5).value_or(""), "0");
    const auto today = summaryRows("Today");
    ASSERT_EQ(today.size(), 1u);
    EXPECT_FALSE(today[0].at(4).has_value());

    const SensorSettings& s = selection.settings;
    EXPECT_EQ(s.ip_addr, QStringLiteral("127.0.0.7"));
    EXPECT_EQ(s.sensor_index, 0);
    EXPECT_EQ(s.port, 6340);
    EXPECT_EQ(s.distance, 1300);
    EXPECT_EQ(s.area.area_x_line, (std::array<int, 2>{119, 219}));
    EXPECT_FLOAT_EQ(s.focus_time, 25.0f);
    EXPECT_EQ(s.lpass_limit, 3);
    EXPECT_EQ(s.beamforming_count, 5);
    EXPECT_EQ(s.brightness, 61);
    EXPECT_EQ(pinged, QStringList{"127.0.0.7"});
    EXPECT_EQ(selection.calls, (QStringList{"text:|48|5,0,0", "reset:5", "connection:1", "start",
                                            "refresh", "state:1"}));
    ASSERT_FALSE(display.shown.empty());
    EXPECT_EQ(display.shown.back().total, QStringLiteral("  0 EA"));
}

TEST_F(SelectProductTest, SameProductWithoutForceReloadsOnlyTheRecord) {
    const QString name = createProduct("same", 20);
    ASSERT_TRUE(selector->SelectProduct(name, false));
    selection.calls.clear();
    pinged.clear();
    db.query(QStringLiteral("UPDATE vorn_local_db.t_product SET time = 77 WHERE product_name = %1")
                 .arg(Quoted(name)));
    db.query(QStringLiteral("UPDATE vorn_local_db.t_sensor SET distance = 999 WHERE product_name "
                            "= %1")
                 .arg(Quoted(name)));
    storage->counters().today_total = 42;

    ASSERT_TRUE(selector->SelectProduct(name, false));
    EXPECT_EQ(storage->productRecord().time, 77);
    EXPECT_TRUE(selection.calls.isEmpty());
    EXPECT_TRUE(pinged.isEmpty());
    EXPECT_EQ(selection.settings.distance, 1300);
    EXPECT_EQ(storage->counters().today_total, 42);

    // With the force flag everything is loaded again.
    ASSERT_TRUE(selector->SelectProduct(name, true));
    EXPECT_EQ(selection.settings.distance, 999);
    EXPECT_EQ(storage->counters().today_total, 0);
    EXPECT_TRUE(selection.calls.contains("state:1"));
}

TEST_F(SelectProductTest, RunningWorkerGetsTheMeasuringParametersInstead) {
    const QString name = createProduct("alive", 20);
    selection.workerAlive = true;
    ASSERT_TRUE(selector->SelectProduct(name, false));
    EXPECT_TRUE(selection.calls.contains("measure:1300,2100,9100"));
    EXPECT_FALSE(selection.calls.contains("start"));
    EXPECT_TRUE(pinged.isEmpty());
}

TEST_F(SelectProductTest, SilentCameraGetsConnectionStateMinusOne) {
    const QString name = createProduct("silent", 20);
    pingAnswers = false;
    ASSERT_TRUE(selector->SelectProduct(name, false));
    EXPECT_TRUE(selection.calls.contains("connection:-1"));
    EXPECT_FALSE(selection.calls.contains("start"));
}

TEST_F(SelectProductTest, MissingDoubledOrEmptyProductShowsTheSelectionDialog) {
    struct Case {
        QString name;
        QString text;
    };
    const QString missing = prefix + "-missing";
    const QString twice = prefix + "-twice";
    for (int i = 0; i < 2; ++i) {
        db.query(QStringLiteral("INSERT INTO vorn_local_db.t_product(product_name, time) VALUES "
                                "(%1, 10)")
                     .arg(Quoted(twice)));
    }
    const Case cases[] = {
        {missing, QStringLiteral("'%1' Tool 데이터베이스 조회 실패").arg(missing)},
        {twice, QStringLiteral("'%1' Tool 데이터베이스 조회 실패").arg(twice)},
        {QString(), QStringLiteral("'검사엔진'을 선택해 주세요.")},
    };
    for (const Case& c : cases) {
        dialogs.clear();
        EXPECT_FALSE(selector->SelectProduct(c.name, true));
        ASSERT_EQ(dialogs.recorded().size(), 1u);
        EXPECT_EQ(dialogs.recorded()[0].caption, QStringLiteral("시스템설정"));
        EXPECT_EQ(dialogs.recorded()[0].text, c.text);
    }
    EXPECT_TRUE(selection.calls.isEmpty());
    EXPECT_EQ(storage->productRecord().product_name, QString());  // step 1 still happened
}

TEST_F(SelectProductTest, ProductWithoutTopRowKeepsThePreviousSettings) {
    const QString name = prefix + "-norow";
    ASSERT_TRUE(AddProduct(TestWebProfile(), TestBridgeProfile(), name, "b", 10).webApplied);
    selection.settings.distance = 4321;
    ASSERT_TRUE(selector->SelectProduct(name, false));
    EXPECT_EQ(selection.settings.distance, 4321);
    EXPECT_TRUE(pinged.isEmpty());
    EXPECT_EQ(selection.calls, (QStringList{"text:|48|5,0,0", "refresh", "state:1"}));
}

TEST_F(SelectProductTest, UnreachableBridgeShowsBothDialogsInOrder) {
    const QString name = createProduct("down", 20);
    storage->profiles().setBridgeServer(QStringLiteral("127.0.0.2"),
                                        QString::fromLatin1(kDefaultDatabasePassword));
    EXPECT_FALSE(selector->SelectProduct(name, false));
    const auto shown = dialogs.recorded();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Web DB Server"));
    EXPECT_EQ(shown[0].text, QStringLiteral("데이터베이스 연결에 실패했습니다."));
    EXPECT_EQ(shown[1].caption, QStringLiteral("시스템설정"));
    EXPECT_EQ(shown[1].text, QStringLiteral("'%1' Tool 데이터베이스 조회 실패").arg(name));
    EXPECT_EQ(CDbConnection::openCount(), 0);
}

TEST_F(SelectProductTest, TwoTodayRowsLastOneWins) {
    db.query(QStringLiteral("INSERT INTO vorn_alpha_v1_ch2.t_summary(product_name, date, "
                            "total_count, pass_count, error_count) VALUES ('Today', %1, 5, 4, 1), "
                            "('Today', %1, 9, 6, 3)")
                 .arg(Quoted(day)));
    storage->counterStore().loadTodaySummary(day);
    EXPECT_EQ(storage->counters().today_total, 9);
    EXPECT_EQ(storage->counters().today_pass, 6);
    EXPECT_EQ(storage->counters().today_ng, 3);
    EXPECT_EQ(display.shown.back().ng_rate, QStringLiteral("  33.3%"));
}

TEST_F(SelectProductTest, LoadedConfigurationNamesTheProductUntilOneIsSelected) {
    // The page creates its storage before it loads the configuration.
    config.Product_Name = prefix + "-configured";
    storage->applyConfig();
    EXPECT_EQ(storage->productRecord().product_name, config.Product_Name)
        << storage->productRecord().product_name.toStdString();

    const QString name = createProduct("chosen", 20);
    ASSERT_TRUE(selector->SelectProduct(name, false));
    storage->applyConfig();
    EXPECT_EQ(storage->productRecord().product_name, name);
}
