#include "inspection/CpuLoadMeter.h"

#include <QFile>
#include <QList>

std::optional<CpuTimes> ParseCpuTimes(const QByteArray& procStat) {
    const QByteArray line = procStat.left(procStat.indexOf('\n'));
    const QList<QByteArray> fields = line.simplified().split(' ');
    // cpu user nice system idle iowait irq softirq ...
    if (fields.size() < 8 || fields[0] != "cpu") {
        return std::nullopt;
    }
    uint64_t value[7] = {};
    for (int i = 0; i < 7; ++i) {
        bool ok = false;
        value[i] = fields[i + 1].toULongLong(&ok);
        if (!ok) {
            return std::nullopt;
        }
    }
    const uint64_t user = value[0], nice = value[1], system = value[2], idle = value[3],
                   iowait = value[4], irq = value[5], softirq = value[6];
    CpuTimes times;
    times.idle = idle + iowait;
    times.kernel = system + irq + softirq + idle + iowait;
    times.user = user + nice;
    return times;
}

CCpuLoadMeter::CCpuLoadMeter(QString statPath) : m_statPath(std::move(statPath)) {}

float CCpuLoadMeter::Sample() {
    QFile file(m_statPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return Sample(std::nullopt);
    }
    // /proc files report size 0: read the first line only.
    return Sample(ParseCpuTimes(file.readLine()));
}

float CCpuLoadMeter::Sample(const std::optional<CpuTimes>& now) {
    if (!now) {
        return -1.0f;
    }
    const std::optional<CpuTimes> previous = m_previous;
    m_previous = now;
    if (!previous) {
        return 0.0f;
    }
    const double idle = static_cast<double>(now->idle - previous->idle);
    const double kernel = static_cast<double>(now->kernel - previous->kernel);
    const double user = static_cast<double>(now->user - previous->user);
    if (kernel + user == 0.0) {
        return 0.0f;
    }
    return static_cast<float>((kernel + user - idle) * 100.0 / (kernel + user));
}
