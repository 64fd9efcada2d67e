#include "app/DebugLog.h"

#include "app/CLocaleFormat.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace {
std::mutex& SinkMutex() {
    static std::mutex mutex;
    return mutex;
}
DebugLogSink& Sink() {
    static DebugLogSink sink;
    return sink;
}
}  // namespace

void DebugLog(const QString& line) {
    std::lock_guard lock(SinkMutex());
    if (Sink()) {
        Sink()(line);
        return;
    }
    const QByteArray bytes = line.toUtf8();
    std::fprintf(stderr, "%s\n", bytes.constData());
}

void DebugLogf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const QByteArray line = FormatCLocaleV(format, args);
    va_end(args);
    DebugLog(QString::fromUtf8(line));
}

DebugLogSink SetDebugLogSink(DebugLogSink sink) {
    std::lock_guard lock(SinkMutex());
    DebugLogSink previous = std::move(Sink());
    Sink() = std::move(sink);
    return previous;
}
