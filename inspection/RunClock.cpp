#include "inspection/RunClock.h"

#include "app/Utilities.h"

uint32_t SystemRunClock::tickMs() const {
    return TickCountMs();
}

QDateTime SystemRunClock::localNow() const {
    return QDateTime::currentDateTime();
}
