#include "app/EventLoopProbe.h"

#include "app/DebugLog.h"

#include <algorithm>

CEventLoopProbe::CEventLoopProbe(int tick_ms, int report_s, QObject* parent)
    : QObject(parent), m_tick_ms(tick_ms), m_report_s(report_s) {
    m_tick.setTimerType(Qt::PreciseTimer);
    m_tick.setInterval(m_tick_ms);
    connect(&m_tick, &QTimer::timeout, this, &CEventLoopProbe::OnTick);
    m_report.setInterval(m_report_s * 1000);
    connect(&m_report, &QTimer::timeout, this, &CEventLoopProbe::OnReport);
    m_last = std::chrono::steady_clock::now();
    m_tick.start();
    m_report.start();
}

std::unique_ptr<CEventLoopProbe> CEventLoopProbe::FromEnvironment() {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue("STATION_UI_PROBE", &ok);
    if (!ok || value <= 0) {
        return nullptr;
    }
    return std::make_unique<CEventLoopProbe>(kTick_ms, value == 1 ? kReport_s : value);
}

void CEventLoopProbe::OnTick() {
    const auto now = std::chrono::steady_clock::now();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - m_last).count();
    m_last = now;
    m_lateness_ms.push_back(std::max(0, static_cast<int>(elapsed) - m_tick_ms));
}

CEventLoopProbe::Summary CEventLoopProbe::Take() {
    Summary summary;
    summary.ticks = static_cast<int>(m_lateness_ms.size());
    if (!m_lateness_ms.empty()) {
        std::sort(m_lateness_ms.begin(), m_lateness_ms.end());
        // The nearest-rank 99th percentile.
        const size_t rank = (m_lateness_ms.size() * 99 + 99) / 100;
        summary.p99_ms = m_lateness_ms[std::min(rank, m_lateness_ms.size()) - 1];
        summary.max_ms = m_lateness_ms.back();
    }
    m_lateness_ms.clear();
    return summary;
}

QString CEventLoopProbe::ReportLine(int report_s, const Summary& summary) {
    return QStringLiteral("[UiProbe] %1 s: %2 ticks, lateness p99 %3 ms, max %4 ms")
        .arg(report_s)
        .arg(summary.ticks)
        .arg(summary.p99_ms)
        .arg(summary.max_ms);
}

void CEventLoopProbe::OnReport() {
    const QString line = ReportLine(m_report_s, Take());
    DebugLog(line);
    emit reported(line);
}
