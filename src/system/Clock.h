#pragma once

#include <QDateTime>

// Source of the local date and time, so tests can fix it.
class Clock {
public:
    virtual ~Clock() = default;
    // The current local date and time.
    virtual QDateTime now() const = 0;
};
