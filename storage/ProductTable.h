#pragma once
// Statements on t_product: the load of the selected product and the operations of the product
// page (web list; add, save, delete and delete all on the bridge and then the web database) and
// of the inspection-area page (bridge list).

#include "storage/DbAccess.h"
#include "storage/DbProfile.h"
#include "storage/ProductRecord.h"

#include <QString>

#include <optional>
#include <vector>

// t_product column positions.
namespace ProductColumn {
inline constexpr int product_name = 1;
inline constexpr int sensor_type = 2;
inline constexpr int time = 3;
inline constexpr int time_max = 4;
inline constexpr int reserved_str_01 = 6;
}  // namespace ProductColumn

inline constexpr const char* kProductSensorArrangement = "TOP_BOTTOM";

struct ProductListRow {
    QString product_name;
    QString reserved_str_01;  // base tool name
    int time = 0;
};

// Bridge profile, "SELECT * FROM t_product WHERE product_name = '%s';". Exactly one row fills
// the record's product name, sensor type, times and base tool name; otherwise it is unchanged.
bool LoadProductRecord(const DbProfile& bridge, const QString& productName, ProductRecord& record);

// "SELECT * FROM t_product ORDER BY num;" in row order: the product page passes the web
// profile, the inspection-area page the bridge profile. nullopt when it failed (reported).
std::optional<std::vector<ProductListRow>> LoadProductList(const DbProfile& profile);

DualWriteOutcome AddProduct(const DbProfile& web, const DbProfile& bridge,
                            const QString& productName, const QString& baseToolName,
                            int inspectionTimeSeconds);
DualWriteOutcome SaveProduct(const DbProfile& web, const DbProfile& bridge,
                             const QString& productName, const QString& baseToolName,
                             int inspectionTimeSeconds);
// The product's t_sensor rows stay.
DualWriteOutcome DeleteProduct(const DbProfile& web, const DbProfile& bridge,
                               const QString& productName);
DualWriteOutcome DeleteAllProducts(const DbProfile& web, const DbProfile& bridge);
