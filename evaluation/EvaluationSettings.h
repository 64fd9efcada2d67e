#pragma once
// The settings an offline evaluation judges by: a product's "Top" sensor row of t_sensor, column
// by column, and the product's inspection time. They come from the bridge database or from a
// settings file of "column=value" lines, and single columns can be overridden.

#include "sensor/SensorSettings.h"
#include "storage/DbProfile.h"
#include "storage/DbRow.h"

#include <QString>
#include <QStringList>

#include <optional>

class CEvaluationSettings {
  public:
    // The product's inspection time in seconds (t_product.time), after the sensor columns.
    static constexpr const char* kTimeColumn = "time";
    // Sets every filter's inspection level at once.
    static constexpr const char* kAllInspectionLevels = "inspection_level";

    CEvaluationSettings();

    // The columns in file order: t_sensor's columns, then "time".
    static QStringList Columns();
    // True for the columns that hold text; the others hold whole numbers.
    static bool IsTextColumn(const QString& column);

    // From the bridge database: the "Top" row of the product and its inspection time.
    static std::optional<CEvaluationSettings> Load(const DbProfile& bridge,
                                                   const QString& productName, QString* error);
    // A settings file; columns it leaves out read as 0 or empty, as empty database values do.
    static std::optional<CEvaluationSettings> ReadFile(const QString& path, QString* error);
    bool WriteFile(const QString& path, QString* error) const;
    static CEvaluationSettings FromRow(const DbRow& sensorRow, int inspectionTime_s);

    // One override; "inspection_level" sets the five filter columns. False with the reason for
    // an unknown column or a number that is not one.
    bool Set(const QString& column, const QString& value, QString* error);
    // "column=value" as given on a command line.
    bool SetAssignment(const QString& assignment, QString* error);
    QString Value(const QString& column) const;

    QString ProductName() const;
    int InspectionTime() const;
    // The station's rules from the row (the sensor index is 0, "Top").
    SensorSettings Sensor() const;
    DbRow SensorRow() const;

  private:
    QStringList m_values;  // in Columns() order
};
