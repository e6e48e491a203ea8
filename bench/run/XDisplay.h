#pragma once

#include <QString>

#include <cstdint>

#include <sys/types.h>

struct xcb_connection_t;

namespace bench {

// A private virtual X display and a connection that watches it from outside the measured
// programs: it sees their top-level windows mapped and reads back their pixels.
class XDisplay {
public:
    XDisplay() = default;
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    // Starts Xvfb on a free display at 96 dpi with a black root window and connects to it.
    bool start(QString* error);
    // ":<n>", for the DISPLAY of the programs measured.
    QString name() const { return m_name; }

    // Waits for the next top-level window to be mapped; 0 on time-out.
    uint32_t waitForMappedWindow(int timeoutMs);
    // Waits until the window's pixel at (x, y) is no longer the black of the root window,
    // that is until the program has drawn its first frame. False on time-out.
    bool waitForFirstFrame(uint32_t window, int x, int y, int timeoutMs);
    // Drops events left over from an earlier program.
    void drainEvents();

private:
    pid_t m_server = -1;
    xcb_connection_t* m_connection = nullptr;
    uint32_t m_root = 0;
    QString m_name;
};

} // namespace bench
