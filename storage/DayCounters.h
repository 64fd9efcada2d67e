#pragma once
// The day counters of the selected product and of the whole day, and the texts of the main
// screen's counter labels.

#include <QString>

#include <cstdint>

struct DayCounters {
    // Unsigned 16-bit: they wrap from 65535 to 0.
    uint16_t product_total = 0;
    uint16_t product_pass = 0;
    uint16_t product_ng = 0;
    uint16_t today_total = 0;
    uint16_t today_pass = 0;
    uint16_t today_ng = 0;
    // The dates whose t_summary rows the counters were loaded from (empty: not loaded yet).
    QString product_day;
    QString today_day;
};

struct CounterTexts {
    QString pass;     // "  %d EA"
    QString ng;       // "  %d EA"
    QString total;    // "  %d EA"
    QString ng_rate;  // "  %.1f%" or "  0.0%"
};

// ShowCounters: only the Today counters are shown.
CounterTexts CounterTextsOf(const DayCounters& counters);

// Where ShowCounters puts its texts (the inspection page's counter labels).
class CounterDisplay {
  public:
    virtual ~CounterDisplay() = default;
    virtual void showCounters(const CounterTexts& texts) = 0;
};
