#pragma once
// The station's one diagnostic channel: a line per call on standard error. Tests swap the sink
// to read what a component wrote.

#include <QString>

#include <functional>

using DebugLogSink = std::function<void(const QString& line)>;

// Writes one line (no trailing newline needed). Safe from any thread.
void DebugLog(const QString& line);
// printf-style variant for the fixed diagnostic formats.
void DebugLogf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the sink; an empty sink restores standard error. Returns the previous sink.
DebugLogSink SetDebugLogSink(DebugLogSink sink);
