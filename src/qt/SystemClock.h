#pragma once

#include "system/Clock.h"

// The system's local date and time.
class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
