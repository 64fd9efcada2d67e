// Texts that leave the station (statements, wire messages, file names, diagnostics) must not
// change with the operator's locale: under a comma-decimal locale a "3,4" would be refused by the
// database and misread by the control server.
#include "app/CLocaleFormat.h"
#include "app/DebugLog.h"
#include "app/Utilities.h"
#include "tests/support/CommaLocaleTest.h"
#include "tests/support/LogCapture.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

using LocaleIndependenceTest = CommaLocaleTest;

TEST_F(LocaleIndependenceTest, FormattedTextsKeepThePoint) {
    EXPECT_EQ(FormatCLocale("'%.1f' %.10f %d", 3.4, 0.0, 1234567), "'3.4' 0.0000000000 1234567");
    EXPECT_EQ(FormatCLocale("%s", "Top"), "Top");
    // The decimal separator of the caller's thread is untouched afterwards.
    EXPECT_EQ(ScopedLocale::DecimalPoint(), ',');
}

TEST_F(LocaleIndependenceTest, RunStampsAndDiagnosticsKeepTheirForm) {
    EXPECT_EQ(StampText(QDateTime(QDate(2024, 5, 1), QTime(9, 7, 5))), "2024-05-01 09-07-05");
    LogCapture log;
    DebugLogf("Skip : L.Pass 집중검사 예외 : %.1f/%.1f 초", 2.5, 4.0);
    EXPECT_TRUE(log.contains(QString::fromUtf8("Skip : L.Pass 집중검사 예외 : 2.5/4.0 초")))
        << log.lines().join('\n').toStdString();
}

}  // namespace
