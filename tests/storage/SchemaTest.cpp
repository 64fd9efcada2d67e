// The provisioned databases: column positions the station reads by, defaults of a new sensor
// row, the accounts of the three profiles.
#include "storage/DbConnection.h"
#include "storage/SensorColumns.h"
#include "storage/StationDbProfiles.h"
#include "tests/storage/DbTestSupport.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Columns(AdminDb& db, const char* database, const char* table) {
    std::vector<std::string> names;
    for (const AdminRow& row :
         db.query(QStringLiteral("SELECT column_name FROM information_schema.columns WHERE "
                                 "table_schema = '%1' AND table_name = '%2' ORDER BY "
                                 "ordinal_position")
                      .arg(database, table))) {
        names.push_back(row.at(0).value_or(""));
    }
    return names;
}

}  // namespace

TEST(SchemaTest, SensorTableHasAllColumnsInOrderInBothDatabases) {
    AdminDb db;
    ASSERT_TRUE(db.ok());
    const std::vector<std::string> expected(kSensorColumns.begin(), kSensorColumns.end());
    EXPECT_EQ(Columns(db, kWebDatabaseName, "t_sensor"), expected);
    EXPECT_EQ(Columns(db, kBridgeDatabaseName, "t_sensor"), expected);
}

TEST(SchemaTest, ReadPositionsOfTheOtherTables) {
    AdminDb db;
    ASSERT_TRUE(db.ok());
    struct Case {
        const char* database;
        const char* table;
        std::size_t position;
        const char* column;
    };
    const Case cases[] = {
        {kWebDatabaseName, "t_product", 1, "product_name"},
        {kWebDatabaseName, "t_product", 2, "sensor_type"},
        {kWebDatabaseName, "t_product", 3, "time"},
        {kWebDatabaseName, "t_product", 4, "time_max"},
        {kBridgeDatabaseName, "t_product", 6, "reserved_str_01"},
        {kLocalDatabaseName, "t_inspection", 3, "product_name"},
        {kLocalDatabaseName, "t_inspection", 4, "sensor_type"},
        {kLocalDatabaseName, "t_inspection", 5, "barcode"},
        {kLocalDatabaseName, "t_inspection", 6, "datetime"},
        {kLocalDatabaseName, "t_inspection", 7, "error"},
        {kLocalDatabaseName, "t_summary", 1, "model_name"},
        {kLocalDatabaseName, "t_summary", 2, "product_name"},
        {kLocalDatabaseName, "t_summary", 3, "date"},
        {kLocalDatabaseName, "t_summary", 4, "reset_datetime"},
        {kLocalDatabaseName, "t_summary", 5, "total_count"},
        {kLocalDatabaseName, "t_summary", 6, "pass_count"},
        {kLocalDatabaseName, "t_summary", 7, "error_count"},
    };
    for (const Case& c : cases) {
        const auto columns = Columns(db, c.database, c.table);
        ASSERT_GT(columns.size(), c.position) << c.table;
        EXPECT_EQ(columns[c.position], c.column) << c.database << "." << c.table;
    }
    const auto pictures = Columns(db, kBridgeDatabaseName, "t_inspection_result");
    for (const char* column : {"inspection_id", "inspection_result", "image_data"}) {
        EXPECT_NE(std::find(pictures.begin(), pictures.end(), column), pictures.end()) << column;
    }
}

TEST(SchemaTest, ProfilesLogInWithTheirBuiltInPasswords) {
    StationDbProfiles profiles;
    for (const DbProfile& profile : {profiles.local(), profiles.web(), profiles.bridge()}) {
        EXPECT_EQ(profile.host, QStringLiteral("127.0.0.1"));
        EXPECT_EQ(profile.port, 3306);
        EXPECT_NE(CDbConnection::Open(profile), nullptr) << profile.database.toStdString();
    }
    EXPECT_EQ(profiles.local().user, QStringLiteral("root"));
    EXPECT_EQ(profiles.local().password.size(), 8);
    EXPECT_EQ(profiles.web().user, QStringLiteral("root"));
    EXPECT_EQ(profiles.bridge().user, QStringLiteral("inspection"));
    DbProfile wrong = profiles.bridge();
    wrong.password = QStringLiteral("0000");
    EXPECT_EQ(CDbConnection::Open(wrong), nullptr);
    // The bridge account reaches only the bridge database.
    DbProfile other = profiles.bridge();
    other.database = QString::fromLatin1(kWebDatabaseName);
    EXPECT_EQ(CDbConnection::Open(other), nullptr);
}

TEST(SchemaTest, ConfigurationReplacesOnlyWebAndBridgeHostAndPassword) {
    StationConfig config;
    config.Vorn_db_server = QStringLiteral("127.0.0.5");
    config.Vorn_db_server_pw = QStringLiteral("1111");
    config.Bridge_db_server = QStringLiteral("127.0.0.6");
    config.Bridge_db_server_pw = QStringLiteral("2222");
    StationDbProfiles profiles;
    profiles.applyConfig(config);
    EXPECT_EQ(profiles.web().host, QStringLiteral("127.0.0.5"));
    EXPECT_EQ(profiles.web().password, QStringLiteral("1111"));
    EXPECT_EQ(profiles.web().database, QString::fromLatin1(kWebDatabaseName));
    EXPECT_EQ(profiles.bridge().host, QStringLiteral("127.0.0.6"));
    EXPECT_EQ(profiles.bridge().password, QStringLiteral("2222"));
    EXPECT_EQ(profiles.bridge().user, QStringLiteral("inspection"));
    EXPECT_EQ(profiles.local().host, QStringLiteral("127.0.0.1"));
}
