// The setup pages' operations on t_product and t_sensor, read back by position.
#include "storage/ProductTable.h"
#include "storage/SensorColumns.h"
#include "storage/SensorTable.h"
#include "tests/storage/DbTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingDialogs.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class ProductTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(db.ok());
        prefix = UniqueName(QStringLiteral("products"));
    }
    void TearDown() override { DeleteTestRows(db, prefix); }

    std::vector<AdminRow> productRows(const char* database, const QString& name) {
        return db.query(QStringLiteral("SELECT * FROM %1.t_product WHERE product_name = %2")
                            .arg(database, Quoted(name)));
    }
    std::vector<AdminRow> sensorRows(const char* database, const QString& name) {
        return db.query(QStringLiteral("SELECT * FROM %1.t_sensor WHERE product_name = %2")
                            .arg(database, Quoted(name)));
    }
    void addProductWithSensor(const QString& name, int seconds) {
        ASSERT_TRUE(
            AddProduct(TestWebProfile(), TestBridgeProfile(), name, prefix, seconds).webApplied);
        ASSERT_TRUE(CreateSensorRow(TestWebProfile(), TestBridgeProfile(), name, "Top",
                                    seconds * 10, "127.0.0.9")
                        .webApplied);
    }

    AdminDb db;
    RecordingDialogs dialogs;
    QString prefix;
};

int At(const AdminRow& row, int position) {
    return std::stoi(row.at(position).value_or("x"));
}
std::string Text(const AdminRow& row, int position) {
    return row.at(position).value_or("NULL");
}

}  // namespace

TEST_F(ProductTableTest, AddWritesTheProductToBridgeAndWeb) {
    const QString name = prefix + "-A-1";
    const DualWriteOutcome outcome =
        AddProduct(TestWebProfile(), TestBridgeProfile(), name, QStringLiteral("A"), 30);
    EXPECT_TRUE(outcome.connected && outcome.bridgeApplied && outcome.webApplied);
    for (const char* database : {kWebDatabaseName, kBridgeDatabaseName}) {
        const auto rows = productRows(database, name);
        ASSERT_EQ(rows.size(), 1u) << database;
        EXPECT_EQ(Text(rows[0], ProductColumn::product_name), name.toStdString());
        EXPECT_EQ(Text(rows[0], ProductColumn::sensor_type), "TOP_BOTTOM");
        EXPECT_EQ(At(rows[0], ProductColumn::time), 30);
        EXPECT_EQ(At(rows[0], ProductColumn::time_max), 0);
        EXPECT_EQ(Text(rows[0], ProductColumn::reserved_str_01), "A");
    }
    EXPECT_TRUE(dialogs.recorded().empty());
}

TEST_F(ProductTableTest, SaveChangesTimeAndBaseToolOnBoth) {
    const QString name = prefix + "-S";
    ASSERT_TRUE(AddProduct(TestWebProfile(), TestBridgeProfile(), name, "old", 30).webApplied);
    const DualWriteOutcome outcome =
        SaveProduct(TestWebProfile(), TestBridgeProfile(), name, QStringLiteral("새툴"), 45);
    EXPECT_TRUE(outcome.bridgeApplied && outcome.webApplied);
    for (const char* database : {kWebDatabaseName, kBridgeDatabaseName}) {
        const auto rows = productRows(database, name);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(At(rows[0], ProductColumn::time), 45);
        EXPECT_EQ(QString::fromStdString(Text(rows[0], ProductColumn::reserved_str_01)),
                  QStringLiteral("새툴"));
    }
}

TEST_F(ProductTableTest, DeleteKeepsTheSensorRows) {
    const QString name = prefix + "-D";
    addProductWithSensor(name, 20);
    LogCapture log;
    const DualWriteOutcome outcome = DeleteProduct(TestWebProfile(), TestBridgeProfile(), name);
    EXPECT_TRUE(outcome.bridgeApplied && outcome.webApplied);
    EXPECT_TRUE(log.contains(QStringLiteral("제품정보 데이터베이스 Delete...!!!")));
    for (const char* database : {kWebDatabaseName, kBridgeDatabaseName}) {
        EXPECT_TRUE(productRows(database, name).empty());
        EXPECT_EQ(sensorRows(database, name).size(), 1u);
    }
}

TEST_F(ProductTableTest, DeleteAllEmptiesBothProductTables) {
    // On scratch copies, so the shared databases keep their products.
    const QString web = QStringLiteral("ut_web_%1").arg(getpid());
    const QString bridge = QStringLiteral("ut_bridge_%1").arg(getpid());
    db.createScratchDatabase(web, "products.sql");
    db.createScratchDatabase(bridge, "products.sql");
    DbProfile webProfile = LocalDbProfile();
    webProfile.database = web;
    DbProfile bridgeProfile = LocalDbProfile();
    bridgeProfile.database = bridge;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(AddProduct(webProfile, bridgeProfile, QStringLiteral("P%1").arg(i), "P", 10)
                        .webApplied);
    }
    ASSERT_TRUE(CreateSensorRow(webProfile, bridgeProfile, "P0", "Top", 100, "").webApplied);
    LogCapture log;
    EXPECT_TRUE(DeleteAllProducts(webProfile, bridgeProfile).webApplied);
    EXPECT_TRUE(log.contains(QStringLiteral("제품정보 데이터베이스 Delete All...!!!")));
    for (const QString& database : {web, bridge}) {
        EXPECT_EQ(db.value(QStringLiteral("SELECT COUNT(*) FROM %1.t_product").arg(database)), "0");
        EXPECT_EQ(db.value(QStringLiteral("SELECT COUNT(*) FROM %1.t_sensor").arg(database)), "1");
    }
    db.dropDatabase(web);
    db.dropDatabase(bridge);
}

TEST_F(ProductTableTest, ProductListFollowsInsertOrder) {
    const QStringList names = {prefix + "-L3", prefix + "-L1", prefix + "-L2"};
    for (int i = 0; i < names.size(); ++i) {
        ASSERT_TRUE(
            AddProduct(TestWebProfile(), TestBridgeProfile(), names[i], "B", 10 + i).webApplied);
    }
    for (const DbProfile& profile : {TestWebProfile(), TestBridgeProfile()}) {
        const auto list = LoadProductList(profile);
        ASSERT_TRUE(list.has_value());
        std::vector<ProductListRow> ours;
        for (const ProductListRow& row : *list) {
            if (row.product_name.startsWith(prefix)) {
                ours.push_back(row);
            }
        }
        ASSERT_EQ(ours.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(ours[i].product_name, names[i]);
            EXPECT_EQ(ours[i].reserved_str_01, QStringLiteral("B"));
            EXPECT_EQ(ours[i].time, 10 + i);
        }
    }
    const auto unreachable = LoadProductList(UnreachableProfile(TestBridgeProfile()));
    EXPECT_FALSE(unreachable.has_value());
    ASSERT_EQ(dialogs.recorded().size(), 1u);
    EXPECT_EQ(dialogs.recorded()[0].caption, QStringLiteral("제품설정"));
}

TEST_F(ProductTableTest, NewSensorRowHasItsValuesAndNumericDefaults) {
    const QString name = prefix + "-A-1";
    LogCapture log;
    addProductWithSensor(name, 30);
    EXPECT_TRUE(log.lines().join('\n').contains(QStringLiteral("INSERT INTO t_sensor")));
    for (const char* database : {kWebDatabaseName, kBridgeDatabaseName}) {
        const auto rows = sensorRows(database, name);
        ASSERT_EQ(rows.size(), 1u);
        const AdminRow& row = rows[0];
        ASSERT_EQ(row.size(), static_cast<std::size_t>(kSensorColumnCount));
        EXPECT_EQ(Text(row, 1), "Top");
        EXPECT_EQ(At(row, SensorColumn::reservedInt(1)), 300);
        EXPECT_EQ(At(row, SensorColumn::reservedInt(2)), 2);
        EXPECT_EQ(Text(row, SensorColumn::ip_addr), "127.0.0.9");
        EXPECT_EQ(At(row, SensorColumn::port), 6340);
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(At(row, SensorColumn::first_filter + 6 * k), 1) << "filter " << k + 1;
        }
        for (int i = 2; i < kSensorColumnCount; ++i) {
            ASSERT_TRUE(row[i].has_value()) << kSensorColumns[i];
        }
    }
}

TEST_F(ProductTableTest, SensorSettingsSaveWritesEveryEditedColumn) {
    const QString name = prefix + "-SS";
    addProductWithSensor(name, 20);
    SensorSettingsUpdate update;
    update.product_name = name;
    update.sensor_type = "Top";
    update.reserved_int_01 = 35;
    update.reserved_int_02 = 4;
    update.reserved_int_03 = 1;
    update.reserved_int_04 = 12;
    update.reserved_int_06 = 7;
    update.reserved_int_08 = 1;
    update.reserved_int_09 = 5;
    update.freq_max = 24000;
    update.freq_min = 150;
    update.distance = 1500;
    update.acoustic_level = 55;
    for (int k = 0; k < 5; ++k) {
        update.filters[k] = {1000 * (k + 2), 1000 * (k + 1), 20 + k, 20 + k};
    }
    EXPECT_TRUE(SaveSensorSettings(TestWebProfile(), TestBridgeProfile(), update).webApplied);
    for (const char* database : {kWebDatabaseName, kBridgeDatabaseName}) {
        const AdminRow row = sensorRows(database, name).at(0);
        EXPECT_EQ(At(row, SensorColumn::reservedInt(1)), 35);
        EXPECT_EQ(At(row, SensorColumn::reservedInt(2)), 4);
        EXPECT_EQ(At(row, SensorColumn::reservedInt(3)), 1);
        EXPECT_EQ(At(row, SensorColumn::reservedInt(4)), 12);
        EXPECT_EQ(At(row, SensorColumn::reservedInt(6)), 7);
        EXPECT_EQ(At(row, SensorColumn::reservedInt(7)), 0);
        EXPECT_EQ(At(row, SensorColumn::reservedInt(8)), 1);
        EXPECT_EQ(At(row, SensorColumn::reservedInt(9)), 5);
        EXPECT_EQ(At(row, SensorColumn::inspection_mode), 1);
        EXPECT_EQ(Text(row, SensorColumn::ip_addr), "");
        EXPECT_EQ(At(row, SensorColumn::freq_max), 24000);
        EXPECT_EQ(At(row, SensorColumn::freq_min), 150);
        EXPECT_EQ(At(row, SensorColumn::distance), 1500);
        EXPECT_EQ(At(row, SensorColumn::acoustic_level), 55);
        for (int k = 0; k < 5; ++k) {
            const int base = SensorColumn::first_filter + 6 * k;
            EXPECT_EQ(At(row, base + 2), 1000 * (k + 2));
            EXPECT_EQ(At(row, base + 3), 1000 * (k + 1));
            EXPECT_EQ(At(row, base + 4), 20 + k);
            EXPECT_EQ(At(row, base + 5), 20 + k);
        }
    }
}

TEST_F(ProductTableTest, InspectionAreaSaveWritesAreaLevelsSaveTimeAndRotation) {
    const QString name = prefix + "-IA";
    addProductWithSensor(name, 20);
    InspectionAreaUpdate update;
    update.product_name = name;
    update.area_rect_x1 = 11;
    update.area_rect_y1 = 12;
    update.area_rect_x2 = 300;
    update.area_rect_y2 = 229;
    update.inspection_levels = {31, 32, 33, 34, 35};
    update.reserved_int_05 = 25;
    update.reserved_int_10 = 180;
    EXPECT_TRUE(SaveInspectionArea(TestWebProfile(), TestBridgeProfile(), update).webApplied);
    for (const char* database : {kWebDatabaseName, kBridgeDatabaseName}) {
        const AdminRow row = sensorRows(database, name).at(0);
        EXPECT_EQ(At(row, SensorColumn::area_mode), 0);
        EXPECT_EQ(At(row, SensorColumn::area_rect_x1), 11);
        EXPECT_EQ(At(row, SensorColumn::area_rect_y1), 12);
        EXPECT_EQ(At(row, SensorColumn::area_rect_x2), 300);
        EXPECT_EQ(At(row, SensorColumn::area_rect_y2), 229);
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(At(row, SensorColumn::first_filter + 6 * k + 5), 31 + k);
        }
        EXPECT_EQ(At(row, SensorColumn::reservedInt(5)), 25);
        EXPECT_EQ(At(row, SensorColumn::reservedInt(10)), 180);
    }
    // Both connection failures carry the area page's caption.
    SaveInspectionArea(TestWebProfile(), UnreachableProfile(TestBridgeProfile()), update);
    ASSERT_EQ(dialogs.recorded().size(), 1u);
    EXPECT_EQ(dialogs.recorded()[0].caption, QStringLiteral("센서설정"));
    EXPECT_EQ(dialogs.recorded()[0].text,
              QStringLiteral("Bridge 데이터베이스 연결에 실패했습니다."));
}

TEST_F(ProductTableTest, CopyCarriesEverySettingsColumnOnTheWebDatabaseOnly) {
    const QString source = prefix + "-src";
    const QString target = prefix + "-dst";
    addProductWithSensor(source, 20);
    addProductWithSensor(target, 40);
    // Give the source distinct values in every settings column, the copied-only ones included.
    QStringList sets;
    for (int i = SensorColumn::title; i < kSensorColumnCount; ++i) {
        const bool text =
            i == SensorColumn::title || i == SensorColumn::ip_addr || (i >= 54 && i <= 58);
        sets << QStringLiteral("%1 = %2").arg(
            kSensorColumns[i],
            text ? Quoted(QStringLiteral("v%1").arg(i)) : QString::number(1000 + i));
    }
    db.query(QStringLiteral("UPDATE vorn_web_db_v1.t_sensor SET %1 WHERE product_name = %2")
                 .arg(sets.join(", "), Quoted(source)));
    LogCapture log;
    EXPECT_TRUE(CopySensorSettings(TestWebProfile(), source, target));
    EXPECT_TRUE(log.contains(QStringLiteral("'[%1 / %2]' Update : OK").arg(source, target)));
    const AdminRow copied = sensorRows(kWebDatabaseName, target).at(0);
    const AdminRow original = sensorRows(kWebDatabaseName, source).at(0);
    EXPECT_EQ(Text(copied, 0), target.toStdString());
    for (int i = SensorColumn::title; i < kSensorColumnCount; ++i) {
        EXPECT_EQ(copied[i], original[i]) << kSensorColumns[i];
    }
    EXPECT_EQ(At(sensorRows(kBridgeDatabaseName, target).at(0), SensorColumn::reservedInt(1)), 400);

    CopySensorSettings(UnreachableProfile(TestWebProfile()), source, target);
    ASSERT_EQ(dialogs.recorded().size(), 1u);
    EXPECT_EQ(dialogs.recorded()[0].kind, RecordedDialog::SystemMessage);
    EXPECT_EQ(dialogs.recorded()[0].text, QStringLiteral("데이터베이스 연결에 실패했습니다."));
}
