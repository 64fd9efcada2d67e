#include "evaluation/EvaluationSettings.h"

#include "app/Cp949.h"
#include "storage/DbConnection.h"
#include "storage/SensorColumns.h"
#include "storage/SensorTable.h"

#include <QFile>
#include <QSaveFile>

#include <cstdint>

namespace {

const QStringList& ColumnList() {
    static const QStringList columns = [] {
        QStringList list;
        for (const char* column : kSensorColumns) {
            list << QString::fromLatin1(column);
        }
        list << QString::fromLatin1(CEvaluationSettings::kTimeColumn);
        return list;
    }();
    return columns;
}

bool IsWholeNumber(const QString& text) {
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    return ok && value >= INT32_MIN && value <= INT32_MAX;
}

}  // namespace

CEvaluationSettings::CEvaluationSettings() {
    for (const QString& column : ColumnList()) {
        m_values << (IsTextColumn(column) ? QString() : QStringLiteral("0"));
    }
}

QStringList CEvaluationSettings::Columns() {
    return ColumnList();
}

bool CEvaluationSettings::IsTextColumn(const QString& column) {
    return column == QLatin1String("product_name") || column == QLatin1String("sensor_type") ||
           column == QLatin1String("title") || column == QLatin1String("ip_addr") ||
           column.startsWith(QLatin1String("reserved_str_"));
}

CEvaluationSettings CEvaluationSettings::FromRow(const DbRow& sensorRow, int inspectionTime_s) {
    CEvaluationSettings settings;
    for (int i = 0; i < kSensorColumnCount; ++i) {
        settings.m_values[i] = DbText(sensorRow, static_cast<std::size_t>(i));
    }
    settings.m_values[kSensorColumnCount] = QString::number(inspectionTime_s);
    return settings;
}

std::optional<CEvaluationSettings> CEvaluationSettings::Load(const DbProfile& bridge,
                                                             const QString& productName,
                                                             QString* error) {
    const auto connection = CDbConnection::Open(bridge);
    if (!connection) {
        *error = QStringLiteral("cannot connect to the bridge database %1@%2:%3/%4")
                     .arg(bridge.user, bridge.host)
                     .arg(bridge.port)
                     .arg(bridge.database);
        return std::nullopt;
    }
    const QByteArray product = connection->escape(productName);
    std::vector<DbRow> sensorRows;
    if (!connection->select(
            SqlFormat("SELECT * FROM t_sensor where product_name = '%s' and sensor_type = '%s'; ",
                      product.constData(), kSensorTop),
            sensorRows)) {
        *error = QStringLiteral("reading t_sensor failed: %1").arg(connection->errorText());
        return std::nullopt;
    }
    if (sensorRows.size() != 1) {
        *error = QStringLiteral(
                     "product '%1' has %2 \"Top\" rows in t_sensor of the bridge "
                     "database, not one")
                     .arg(productName)
                     .arg(sensorRows.size());
        return std::nullopt;
    }
    std::vector<DbRow> productRows;
    if (!connection->select(
            SqlFormat("SELECT time FROM t_product WHERE product_name = '%s';", product.constData()),
            productRows)) {
        *error = QStringLiteral("reading t_product failed: %1").arg(connection->errorText());
        return std::nullopt;
    }
    if (productRows.size() != 1) {
        *error = QStringLiteral("product '%1' is not in t_product of the bridge database")
                     .arg(productName);
        return std::nullopt;
    }
    return FromRow(sensorRows.front(), DbInt(productRows.front(), 0));
}

std::optional<CEvaluationSettings> CEvaluationSettings::ReadFile(const QString& path,
                                                                 QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    CEvaluationSettings settings;
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        QString reason;
        if (!settings.SetAssignment(line, &reason)) {
            *error = QStringLiteral("%1, line %2: %3").arg(path).arg(lineNumber).arg(reason);
            return std::nullopt;
        }
    }
    return settings;
}

bool CEvaluationSettings::WriteFile(const QString& path, QString* error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    QByteArray text =
        "# Offline evaluation settings: the \"Top\" row of t_sensor and the product's inspection\n"
        "# time. One column=value per line; a column left out reads as 0 or empty.\n";
    const QStringList& columns = ColumnList();
    for (int i = 0; i < columns.size(); ++i) {
        text += columns[i].toUtf8() + '=' + m_values[i].toUtf8() + '\n';
    }
    file.write(text);
    if (!file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool CEvaluationSettings::Set(const QString& column, const QString& value, QString* error) {
    if (column == QLatin1String(kAllInspectionLevels)) {
        for (int n = 1; n <= kFilterCount; ++n) {
            if (!Set(QStringLiteral("filter_%1_inspection_level").arg(n, 2, 10, QLatin1Char('0')),
                     value, error)) {
                return false;
            }
        }
        return true;
    }
    const qsizetype index = ColumnList().indexOf(column);
    if (index < 0) {
        *error = QStringLiteral(
                     "unknown column '%1' (the columns are those of t_sensor, \"time\" "
                     "and \"inspection_level\")")
                     .arg(column);
        return false;
    }
    if (!IsTextColumn(column) && !IsWholeNumber(value)) {
        *error = QStringLiteral("%1 takes a whole number, not '%2'").arg(column, value);
        return false;
    }
    m_values[index] = IsTextColumn(column) ? value : QString::number(value.trimmed().toInt());
    return true;
}

bool CEvaluationSettings::SetAssignment(const QString& assignment, QString* error) {
    const qsizetype equals = assignment.indexOf(QLatin1Char('='));
    if (equals <= 0) {
        *error = QStringLiteral("'%1' is not column=value").arg(assignment);
        return false;
    }
    return Set(assignment.left(equals).trimmed(), assignment.mid(equals + 1).trimmed(), error);
}

QString CEvaluationSettings::Value(const QString& column) const {
    const qsizetype index = ColumnList().indexOf(column);
    return index < 0 ? QString() : m_values[index];
}

QString CEvaluationSettings::ProductName() const {
    return m_values[0];
}

int CEvaluationSettings::InspectionTime() const {
    return m_values[kSensorColumnCount].toInt();
}

DbRow CEvaluationSettings::SensorRow() const {
    DbRow row;
    row.reserve(kSensorColumnCount);
    for (int i = 0; i < kSensorColumnCount; ++i) {
        row.push_back(ToCp949(m_values[i]));
    }
    return row;
}

SensorSettings CEvaluationSettings::Sensor() const {
    SensorSettings settings;
    settings.sensor_index = 0;
    FillSensorSettings(SensorRow(), settings);
    return settings;
}
