#pragma once
// Runs the event loop until a condition holds or a generous deadline passes.

#include <QElapsedTimer>
#include <QTest>

#include <functional>

inline bool WaitUntil(const std::function<bool()>& condition, int timeout_ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeout_ms) {
            return condition();
        }
        QTest::qWait(5);
    }
    return true;
}
