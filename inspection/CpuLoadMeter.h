#pragma once
// The CPU load of the equipment status, from the system's idle, kernel and user times (the first
// line of /proc/stat). The first sample only remembers the times.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

struct CpuTimes {
    uint64_t idle = 0;    // idle + iowait
    uint64_t kernel = 0;  // system + irq + softirq + idle + iowait
    uint64_t user = 0;    // user + nice
};

// The "cpu" line of a /proc/stat text; nothing when it cannot be read.
std::optional<CpuTimes> ParseCpuTimes(const QByteArray& procStat);

class CCpuLoadMeter {
  public:
    explicit CCpuLoadMeter(QString statPath = QStringLiteral("/proc/stat"));

    // Percent busy since the previous sample: 0 on the first one and when no time passed, -1
    // when the times cannot be read.
    float Sample();
    // The same from times given by the caller.
    float Sample(const std::optional<CpuTimes>& now);

  private:
    QString m_statPath;
    std::optional<CpuTimes> m_previous;
};
