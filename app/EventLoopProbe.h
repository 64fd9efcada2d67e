#pragma once
// Measures how late the UI thread's event loop serves a steady timer: each tick's lateness is
// the time since the previous tick beyond the interval. Once a report interval it writes one
// line, "[UiProbe] 60 s: 2995 ticks, lateness p99 3 ms, max 14 ms", and starts afresh. The soak
// script reads these lines; the station creates the probe only when STATION_UI_PROBE is set.

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <memory>
#include <vector>

class CEventLoopProbe : public QObject {
    Q_OBJECT
  public:
    static constexpr int kTick_ms = 20;
    static constexpr int kReport_s = 60;

    CEventLoopProbe(int tick_ms, int report_s, QObject* parent = nullptr);

    // STATION_UI_PROBE=1 (a report a minute) or =N (a report every N seconds); nullptr when unset,
    // 0 or not a number.
    static std::unique_ptr<CEventLoopProbe> FromEnvironment();

    struct Summary {
        int ticks = 0;
        int p99_ms = 0;
        int max_ms = 0;
    };
    // The ticks since the last report, and a fresh start.
    Summary Take();
    static QString ReportLine(int report_s, const Summary& summary);

  signals:
    void reported(const QString& line);

  private:
    void OnTick();
    void OnReport();

    int m_tick_ms;
    int m_report_s;
    QTimer m_tick;
    QTimer m_report;
    std::chrono::steady_clock::time_point m_last;
    std::vector<int> m_lateness_ms;
};
