#pragma once

#include <QDeadlineTimer>
#include <QTest>

// Runs the event loop until the condition holds or the time is up.
template <typename Condition> bool waitUntil(Condition condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}
