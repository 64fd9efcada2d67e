#include "storage/DayCounterStore.h"

#include "app/Utilities.h"
#include "storage/DbAccess.h"

namespace {

const DbDialogText kSummaryConnectFailure{QStringLiteral("제품검사요약"), ConnectionFailedText()};
const char* const kSummarySelectFailure = "[ERROR]제품검사요약 데이터베이스 조회 실패";
const char* const kSummaryUpdateFailure = "Summary 데이터베이스 '업데이트#1' 를 실패했습니다.";

constexpr int kTotalPosition = 5;
constexpr int kPassPosition = 6;
constexpr int kErrorPosition = 7;

uint16_t Counter(const DbRow& row, int position) {
    return static_cast<uint16_t>(DbInt(row, position));
}

enum class SummaryRows { Failed, Missing, Found };

// Runs the select; the caller's `take` sees each row in order (the last row wins).
SummaryRows SelectSummary(const DbProfile& local,
                          const std::function<QByteArray(const CDbConnection&)>& build,
                          const std::function<void(const DbRow&)>& take) {
    auto connection = ConnectOrReport(local, kSummaryConnectFailure);
    if (!connection) {
        return SummaryRows::Failed;
    }
    std::vector<DbRow> rows;
    if (!SelectOrReport(*connection, build(*connection), rows,
                        QString::fromUtf8(kSummarySelectFailure))) {
        return SummaryRows::Failed;
    }
    if (rows.empty()) {
        return SummaryRows::Missing;
    }
    for (const DbRow& row : rows) {
        take(row);
    }
    return SummaryRows::Found;
}

bool InsertSummary(const DbProfile& local,
                   const std::function<QByteArray(const CDbConnection&)>& build,
                   const QString& failureText) {
    auto connection = ConnectOrReport(local, kSummaryConnectFailure);
    if (!connection) {
        return false;
    }
    return ExecuteOrReport(*connection, build(*connection), failureText);
}

}  // namespace

CDayCounterStore::CDayCounterStore(const StationDbProfiles& profiles, CounterDisplay& display,
                                   std::function<QString()> today)
    : m_profiles(profiles), m_display(display), m_today(std::move(today)) {
    if (!m_today) {
        m_today = [] { return TodayText(); };
    }
}

void CDayCounterStore::showCounters() {
    m_display.showCounters(CounterTextsOf(m_counters));
}

// One day's summary row into one set of counters: loaded when present, created at zero when
// missing; a failed select leaves the counters as they were.
void CDayCounterStore::loadOrCreateSummary(const SqlBuilder& select, const SqlBuilder& insert,
                                           const QString& insertFailure, SummaryCounters counters,
                                           const QString& date) {
    const DbProfile local = m_profiles.local();
    const SummaryRows found = SelectSummary(local, select, [&](const DbRow& row) {
        counters.total = Counter(row, kTotalPosition);
        counters.pass = Counter(row, kPassPosition);
        counters.ng = Counter(row, kErrorPosition);
        showCounters();
    });
    if (found == SummaryRows::Found) {
        counters.day = date;
    } else if (found == SummaryRows::Missing && InsertSummary(local, insert, insertFailure)) {
        counters.total = counters.pass = counters.ng = 0;
        counters.day = date;
        showCounters();
    }
}

void CDayCounterStore::loadTodaySummary(const QString& date) {
    loadOrCreateSummary(
        [&](const CDbConnection& c) {
            return SqlFormat(
                "SELECT * FROM t_summary WHERE product_name = 'Today' AND DATE = '%s';",
                c.escape(date).constData());
        },
        [&](const CDbConnection& c) {
            return SqlFormat(
                "INSERT INTO t_summary(model_name, product_name, date, "
                "total_count, pass_count, error_count) VALUES ('', 'Today', "
                "'%s',0,0,0);",
                c.escape(date).constData());
        },
        QStringLiteral("Summary Today 데이터베이스 입력을 실패했습니다."),
        {m_counters.today_total, m_counters.today_pass, m_counters.today_ng, m_counters.today_day},
        date);
}

void CDayCounterStore::loadProductSummary(const QString& productName, const QString& date) {
    loadOrCreateSummary(
        [&](const CDbConnection& c) {
            return SqlFormat("SELECT * FROM t_summary WHERE product_name = '%s' AND DATE = '%s';",
                             c.escape(productName).constData(), c.escape(date).constData());
        },
        [&](const CDbConnection& c) {
            return SqlFormat(
                "INSERT INTO t_summary(model_name, product_name, date, "
                "reset_datetime, total_count, pass_count, error_count) VALUES "
                "('%s', '%s','%s','%s',0,0,0);",
                "", c.escape(productName).constData(), c.escape(date).constData(),
                c.escape(NowStampText()).constData());
        },
        QStringLiteral("Summary 데이터베이스 입력을 실패했습니다."),
        {m_counters.product_total, m_counters.product_pass, m_counters.product_ng,
         m_counters.product_day},
        date);
}

void CDayCounterStore::updateTodaySummary(const QString& date) {
    auto connection = ConnectOrReport(m_profiles.local(), kSummaryConnectFailure);
    if (!connection) {
        return;
    }
    ExecuteOrReport(*connection,
                    SqlFormat("UPDATE t_summary SET total_count = '%d', pass_count = '%d', "
                              "error_count = '%d' WHERE product_name = 'Today' and date = '%s';",
                              m_counters.today_total, m_counters.today_pass, m_counters.today_ng,
                              connection->escape(date).constData()),
                    QString::fromUtf8(kSummaryUpdateFailure));
}

void CDayCounterStore::updateProductSummary(const QString& productName, const QString& date) {
    auto connection = ConnectOrReport(m_profiles.local(), kSummaryConnectFailure);
    if (!connection) {
        return;
    }
    ExecuteOrReport(*connection,
                    SqlFormat("UPDATE t_summary SET total_count = '%d', pass_count = '%d', "
                              "error_count = '%d' WHERE product_name = '%s' and date = '%s';",
                              m_counters.product_total, m_counters.product_pass,
                              m_counters.product_ng, connection->escape(productName).constData(),
                              connection->escape(date).constData()),
                    QString::fromUtf8(kSummaryUpdateFailure));
}

void CDayCounterStore::ensureToday(const QString& productName, const QString& date) {
    if (m_counters.product_day != date) {
        loadProductSummary(productName, date);
    }
    if (m_counters.today_day != date) {
        loadTodaySummary(date);
    }
}
