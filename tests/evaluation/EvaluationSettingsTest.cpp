// The settings an offline evaluation judges by: read from the real bridge database like the
// station reads them, written to a file and read back, and overridden column by column.
#include "evaluation/EvaluationSettings.h"
#include "tests/evaluation/SyntheticRecording.h"
#include "tests/storage/DbTestSupport.h"
#include "tests/support/QStringPrinter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(EvaluationSettingsTest, ProductFromTheBridgeDatabaseGivesTheStationsSettings) {
    AdminDb db;
    ASSERT_TRUE(db.ok());
    const QString product = UniqueName(QStringLiteral("엔진-평가"));
    db.query(QStringLiteral("INSERT INTO vorn_local_db.t_product(product_name, sensor_type, time, "
                            "time_max, reserved_str_01) VALUES (%1, 'TOP_BOTTOM', 12, 0, 'T')")
                 .arg(Quoted(product)));
    db.query(QStringLiteral("INSERT INTO vorn_local_db.t_sensor(product_name, sensor_type, "
                            "filter_01_inspection_level, reserved_int_01, reserved_int_02, "
                            "reserved_int_04, reserved_int_10, area_rect_x1, area_rect_x2) VALUES "
                            "(%1, 'Top', 57, 80, 4, 15, 180, 20, 100)")
                 .arg(Quoted(product)));
    QString error;
    const auto settings = CEvaluationSettings::Load(TestBridgeProfile(), product, &error);
    ASSERT_TRUE(settings) << error.toStdString();
    EXPECT_EQ(settings->ProductName(), product);
    EXPECT_EQ(settings->InspectionTime(), 12);
    EXPECT_EQ(settings->Value(QStringLiteral("filter_01_inspection_level")), QStringLiteral("57"));
    const SensorSettings sensor = settings->Sensor();
    EXPECT_EQ(sensor.filters[0].inspection_level, 57);
    EXPECT_FLOAT_EQ(sensor.focus_time, 8.0f);
    EXPECT_EQ(sensor.lpass_limit, 5);
    EXPECT_FLOAT_EQ(sensor.initial_exception_time, 1.5f);
    // The station mirrors the area for a picture turned by 180 degrees; so does the evaluation.
    EXPECT_EQ(sensor.area.area_rect_x1, 319 - 100);
    EXPECT_EQ(sensor.area.area_rect_x2, 319 - 20);

    EXPECT_FALSE(CEvaluationSettings::Load(TestBridgeProfile(), product + "-missing", &error));
    EXPECT_TRUE(error.contains(QStringLiteral("has 0 \"Top\" rows"))) << error.toStdString();
    EXPECT_FALSE(
        CEvaluationSettings::Load(UnreachableProfile(TestBridgeProfile()), product, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("cannot connect to the bridge database")));
    DeleteTestRows(db, product);
}

TEST(EvaluationSettingsTest, FileWrittenReadsBackTheSameSettings) {
    QTemporaryDir dir;
    CEvaluationSettings settings = JudgedSettings();
    QString error;
    ASSERT_TRUE(settings.Set(QStringLiteral("product_name"), QStringLiteral("엔진-B2"), &error));
    const QString path = dir.filePath(QStringLiteral("engine.settings"));
    ASSERT_TRUE(settings.WriteFile(path, &error)) << error.toStdString();
    const auto again = CEvaluationSettings::ReadFile(path, &error);
    ASSERT_TRUE(again) << error.toStdString();
    for (const QString& column : CEvaluationSettings::Columns()) {
        EXPECT_EQ(again->Value(column), settings.Value(column)) << column.toStdString();
    }
    EXPECT_EQ(again->ProductName(), QStringLiteral("엔진-B2"));
}

TEST(EvaluationSettingsTest, BadLinesAndOverridesAreRefusedWithTheirReason) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.settings"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# comment\n\ntime=20\nfilter_09_level=3\n");
    file.close();
    QString error;
    EXPECT_FALSE(CEvaluationSettings::ReadFile(path, &error));
    EXPECT_TRUE(
        error.endsWith(QStringLiteral("line 4: unknown column 'filter_09_level' (the columns "
                                      "are those of t_sensor, \"time\" and "
                                      "\"inspection_level\")")))
        << error.toStdString();
    EXPECT_FALSE(CEvaluationSettings::ReadFile(dir.filePath(QStringLiteral("none")), &error));

    CEvaluationSettings settings = JudgedSettings();
    struct Case {
        const char* assignment;
        const char* error;
    };
    const Case refused[] = {
        {"filter_01_level=loud", "filter_01_level takes a whole number, not 'loud'"},
        {"time=4294967296", "time takes a whole number, not '4294967296'"},
        {"=5", "'=5' is not column=value"},
        {"acoustic_level", "'acoustic_level' is not column=value"},
    };
    for (const Case& c : refused) {
        EXPECT_FALSE(settings.SetAssignment(QString::fromLatin1(c.assignment), &error));
        EXPECT_EQ(error, QString::fromLatin1(c.error));
    }
    ASSERT_TRUE(settings.SetAssignment(QStringLiteral("inspection_level = 66"), &error));
    for (int n = 0; n < kFilterCount; ++n) {
        EXPECT_EQ(settings.Sensor().filters[n].inspection_level, 66);
    }
    EXPECT_TRUE(settings.SetAssignment(QStringLiteral("title=a=b"), &error));
    EXPECT_EQ(settings.Value(QStringLiteral("title")), QStringLiteral("a=b"));
}
