#pragma once
// The clocks a run is timed and named by: the millisecond tick of the inspection clock and the
// local date and time of stamps, barcodes and day folders. Tests set their own.

#include <QDateTime>

#include <cstdint>

class RunClock {
  public:
    virtual ~RunClock() = default;
    // Milliseconds, truncated to 32 bits unsigned (differences wrap correctly).
    virtual uint32_t tickMs() const = 0;
    virtual QDateTime localNow() const = 0;
};

class SystemRunClock : public RunClock {
  public:
    uint32_t tickMs() const override;
    QDateTime localNow() const override;
};
