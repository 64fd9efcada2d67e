#pragma once
// Small helpers that many subsystems share: reachability, run and day texts, the executable's
// folder, file existence and the millisecond clock.

#include <QDateTime>
#include <QString>

#include <cstdint>

// One ICMP echo (1024-byte payload, TTL 32, don't fragment, 1000 ms). Blocks up to 1 s.
// "0.0.0.0", an empty text and any failure give false.
bool PingHost(const QString& address);

// "%04d-%02d-%02d %02d-%02d-%02d" of the local time (hyphens so it can be part of a file name).
QString NowStampText();
QString StampText(const QDateTime& at);
// "%04d-%02d-%02d" of the local date.
QString TodayText();
QString DayText(const QDate& day);

// Folder of the running executable, without the trailing separator.
QString ModuleFolder();
QString FolderOf(const QString& executablePath);

// True when the file system reports a status for the path.
bool FileExists(const QString& path);

// Millisecond clock of the station, truncated to 32 bits like the tick counters it replaces.
uint32_t TickCountMs();
