#pragma once

// The measuring tools of the fault-injection tests; the reader as main() builds it, the
// simulated meter and the raw line come from the shared test support.

#include "LiveReader.h"
#include "MeterProcess.h"
#include "RawLine.h"
#include "WaitUntil.h"

#include <QFile>
#include <QTest>

#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
#define PX417_E2E_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PX417_E2E_ASAN 1
#endif
#endif
#ifndef PX417_E2E_ASAN
#define PX417_E2E_ASAN 0
#endif

namespace e2e {

// AddressSanitizer keeps freed memory in quarantine on purpose, so resident memory says
// nothing about the program's own use there; memory bounds are only asserted without it.
inline constexpr bool kMemoryFiguresMeaningful = !PX417_E2E_ASAN;

// CPU time (user + system) this process has used, in seconds.
inline double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Resident memory of this process now, in KiB.
inline long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

} // namespace e2e
