#include "storage/ProductTable.h"

#include "app/DebugLog.h"

namespace {

const DbDialogText kProductPageConnectFailure{QStringLiteral("제품설정"), ConnectionFailedText()};
const DbDialogText kProductPageBridgeFailure{
    QStringLiteral("제품설정"), QStringLiteral("Bridge 데이터베이스 연결에 실패했습니다.")};

DualWriteTexts ProductPageTexts(const QString& bridgeQuery, const QString& webQuery) {
    return {kProductPageConnectFailure, kProductPageBridgeFailure, bridgeQuery, webQuery};
}

}  // namespace

bool LoadProductRecord(const DbProfile& bridge, const QString& productName, ProductRecord& record) {
    auto connection =
        ConnectOrReport(bridge, {QStringLiteral("Web DB Server"), ConnectionFailedText()});
    if (!connection) {
        return false;
    }
    std::vector<DbRow> rows;
    const QByteArray statement = SqlFormat("SELECT * FROM t_product WHERE product_name = '%s';",
                                           connection->escape(productName).constData());
    if (!SelectOrReport(*connection, statement, rows,
                        QStringLiteral("[ERROR]제품정보 데이터베이스 조회 실패"))) {
        return false;
    }
    if (rows.size() != 1) {
        return false;
    }
    const DbRow& row = rows.front();
    record.product_name = DbText(row, ProductColumn::product_name);
    record.sensor_type = DbText(row, ProductColumn::sensor_type);
    record.time = DbInt(row, ProductColumn::time);
    record.time_max = DbInt(row, ProductColumn::time_max);
    record.reserved_str_01 = DbText(row, ProductColumn::reserved_str_01);
    return true;
}

std::optional<std::vector<ProductListRow>> LoadProductList(const DbProfile& profile) {
    auto connection = ConnectOrReport(profile, kProductPageConnectFailure);
    if (!connection) {
        return std::nullopt;
    }
    std::vector<DbRow> rows;
    if (!SelectOrReport(*connection, "SELECT * FROM t_product ORDER BY num;", rows,
                        QStringLiteral("[ERROR]제품정보 데이터베이스 조회 실패"))) {
        return std::nullopt;
    }
    std::vector<ProductListRow> products;
    products.reserve(rows.size());
    for (const DbRow& row : rows) {
        products.push_back({DbText(row, ProductColumn::product_name),
                            DbText(row, ProductColumn::reserved_str_01),
                            DbInt(row, ProductColumn::time)});
    }
    return products;
}

DualWriteOutcome AddProduct(const DbProfile& web, const DbProfile& bridge,
                            const QString& productName, const QString& baseToolName,
                            int inspectionTimeSeconds) {
    return WriteBridgeThenWeb(
        web, bridge,
        [&](const CDbConnection& c) {
            return SqlFormat(
                "INSERT INTO t_product(product_name, reserved_str_01, sensor_type, "
                "time, time_max) VALUES ( '%s','%s','%s', %d, %d);",
                c.escape(productName).constData(), c.escape(baseToolName).constData(),
                kProductSensorArrangement, inspectionTimeSeconds, 0);
        },
        ProductPageTexts(QStringLiteral("[ERROR]Bridge 데이터베이스 입력 실패"),
                         QStringLiteral("[ERROR]제품정보 데이터베이스 입력 실패")));
}

DualWriteOutcome SaveProduct(const DbProfile& web, const DbProfile& bridge,
                             const QString& productName, const QString& baseToolName,
                             int inspectionTimeSeconds) {
    return WriteBridgeThenWeb(
        web, bridge,
        [&](const CDbConnection& c) {
            return SqlFormat(
                "UPDATE  t_product  SET  time = '%d', reserved_str_01 = '%s' WHERE "
                "product_name = '%s';",
                inspectionTimeSeconds, c.escape(baseToolName).constData(),
                c.escape(productName).constData());
        },
        ProductPageTexts(QStringLiteral("[ERROR]Bridge 데이터베이스 업데이트 실패"),
                         QStringLiteral("[ERROR]제품정보 데이터베이스 업데이트 실패")));
}

DualWriteOutcome DeleteProduct(const DbProfile& web, const DbProfile& bridge,
                               const QString& productName) {
    const DualWriteOutcome outcome = WriteBridgeThenWeb(
        web, bridge,
        [&](const CDbConnection& c) {
            return SqlFormat("DELETE FROM t_product   WHERE product_name = '%s';",
                             c.escape(productName).constData());
        },
        ProductPageTexts(QStringLiteral("[ERROR]Bridge 데이터베이스 삭제 실패"),
                         QStringLiteral("[ERROR]제품정보 데이터베이스 삭제 실패")));
    if (outcome.webApplied) {
        DebugLog(QStringLiteral("제품정보 데이터베이스 Delete...!!!"));
    }
    return outcome;
}

DualWriteOutcome DeleteAllProducts(const DbProfile& web, const DbProfile& bridge) {
    const DualWriteOutcome outcome = WriteBridgeThenWeb(
        web, bridge, [](const CDbConnection&) { return QByteArray("DELETE FROM t_product;"); },
        ProductPageTexts(QStringLiteral("[ERROR]Bridge 데이터베이스 입력 실패"),
                         QStringLiteral("[ERROR]제품정보 데이터베이스 전체삭제 실패")));
    if (outcome.webApplied) {
        DebugLog(QStringLiteral("제품정보 데이터베이스 Delete All...!!!"));
    }
    return outcome;
}
