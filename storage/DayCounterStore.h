#pragma once
// The day counters and their t_summary rows in the local database: select-or-create when a
// product is selected (or the day has changed), update after every recorded run.

#include "storage/DayCounters.h"
#include "storage/StationDbProfiles.h"

#include <QByteArray>
#include <QString>

#include <functional>

class CDbConnection;

class CDayCounterStore {
  public:
    // `today` gives the local date as "%04d-%02d-%02d" (TodayText unless a test sets a clock).
    CDayCounterStore(const StationDbProfiles& profiles, CounterDisplay& display,
                     std::function<QString()> today);

    DayCounters& counters() { return m_counters; }
    const DayCounters& counters() const { return m_counters; }
    QString today() const { return m_today(); }

    // The 'Today' row of the date into the Today counters; a missing row is created (counters 0).
    void loadTodaySummary(const QString& date);
    // The product's row of the date into the product counters; a missing row is created.
    void loadProductSummary(const QString& productName, const QString& date);
    void updateTodaySummary(const QString& date);
    void updateProductSummary(const QString& productName, const QString& date);
    // Texts of the counter labels from the current counters.
    void showCounters();

    // Before a run is counted: when the counters belong to another day than `date` (today),
    // load (or create) that day's rows first, so a run after midnight counts on the new day's
    // rows.
    void ensureToday(const QString& productName, const QString& date);

  private:
    using SqlBuilder = std::function<QByteArray(const CDbConnection&)>;
    struct SummaryCounters {
        uint16_t& total;
        uint16_t& pass;
        uint16_t& ng;
        QString& day;
    };
    void loadOrCreateSummary(const SqlBuilder& select, const SqlBuilder& insert,
                             const QString& insertFailure, SummaryCounters counters,
                             const QString& date);

    const StationDbProfiles& m_profiles;
    CounterDisplay& m_display;
    std::function<QString()> m_today;
    DayCounters m_counters;
};
