// Reading values by position and the counter label texts, without a server.
#include "storage/DayCounters.h"
#include "storage/DbRow.h"

#include <gtest/gtest.h>

TEST(DbRowTest, IntegersAreTheLeadingDecimalNumber) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {{"", 0},
                          {"abc", 0},
                          {"42", 42},
                          {"  17", 17},
                          {"-5", -5},
                          {"+8", 8},
                          {"12abc", 12},
                          {"3.9", 3},
                          {"0006340", 6340},
                          {"- 4", 0},
                          {"99999999999", 2147483647}};
    for (const Case& c : cases) {
        EXPECT_EQ(LeadingInteger(QByteArray(c.text)), c.expected) << c.text;
    }
}

TEST(DbRowTest, NullAndMissingPositionsReadAsZeroAndEmpty) {
    const DbRow row{QByteArray("7"), QByteArray(), QByteArray("\xB0\xCB\xBB\xE7")};
    EXPECT_EQ(DbInt(row, 0), 7);
    EXPECT_EQ(DbInt(row, 1), 0);
    EXPECT_EQ(DbText(row, 1), QString());
    EXPECT_EQ(DbInt(row, 9), 0);
    EXPECT_EQ(DbText(row, 9), QString());
    EXPECT_EQ(DbText(row, 2), QStringLiteral("검사"));
}

TEST(CounterTextsTest, TodayCountersAndNgRate) {
    struct Case {
        uint16_t total, pass, ng;
        const char* rate;
    };
    const Case cases[] = {{0, 0, 0, "  0.0%"},
                          {1, 1, 0, "  0.0%"},
                          {3, 2, 1, "  33.3%"},
                          {3, 0, 3, "  100.0%"},
                          {7, 5, 2, "  28.6%"}};
    for (const Case& c : cases) {
        DayCounters counters;
        counters.today_total = c.total;
        counters.today_pass = c.pass;
        counters.today_ng = c.ng;
        counters.product_total = 999;  // never shown
        const CounterTexts texts = CounterTextsOf(counters);
        EXPECT_EQ(texts.total, QStringLiteral("  %1 EA").arg(c.total));
        EXPECT_EQ(texts.pass, QStringLiteral("  %1 EA").arg(c.pass));
        EXPECT_EQ(texts.ng, QStringLiteral("  %1 EA").arg(c.ng));
        EXPECT_EQ(texts.ng_rate, QString::fromLatin1(c.rate));
    }
}
