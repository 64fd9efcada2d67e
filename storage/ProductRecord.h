#pragma once
// The selected product, held by the inspection page.

#include <QString>

struct ProductRecord {
    QString product_name;     // t_product position 1
    QString sensor_type;      // position 2
    int time = 100;           // inspection time in seconds, position 3
    int time_max = 0;         // position 4
    QString reserved_str_01;  // base tool name, position 6
    QString last_product_name;
    QString last_sensor_type;
};
