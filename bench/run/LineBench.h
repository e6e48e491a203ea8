#pragma once

#include <QString>

namespace bench {

// What one run of the reader against the simulated meter measured.
struct LineRun {
    bool ok = false;
    QString error;
    int downloadsSent = 0;
    qint64 characters = 0;
    int complete = 0;               // completion checks that found all 101 slots
    int failed = 0;                 // completion checks that reported a data check error
    double sendMs = 0;              // the meter's first to last character
    double busyMs = 0;              // the meter's first character to the reader's last handler
    double lastCharToFilledMs = 0;  // last character sent to the table filled (last download)
    double lastCharToPaintedMs = 0; // and to the window repainted (paced runs only)
    double cpuMs = 0;               // reader thread, from opening the port to its last handler
};

// Starts the simulated meter (simPath) sending repeat downloads one after another at baud (0: as
// fast as the line takes them; each download waits until the reader has read the one before), runs
// the reader's window in this process with the real serial port and device list, and measures it.
// The window is shown on this process's platform.
LineRun runDownloads(const QString& simPath, int baud, int repeat);

} // namespace bench
