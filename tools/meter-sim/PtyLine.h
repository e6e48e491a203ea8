#pragma once

#include <QString>

#include <termios.h>

// The meter's end of a pseudo-terminal: the master side, non-blocking, with the line in raw
// mode so that the reader gets the bytes exactly as sent and nothing is echoed back.
class PtyLine {
public:
    PtyLine() = default;
    ~PtyLine();
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    // Opens a new pseudo-terminal. Returns false with a description in *error on failure.
    bool open(QString* error);
    // Opens an existing terminal node instead, such as a USB gadget's serial side, in raw mode.
    // Its reader is on the far end of the cable: whether it opened or read the line cannot be
    // told here.
    bool openDevice(const QString& path, QString* error);
    // The device node a reader opens, e.g. /dev/pts/3.
    QString devicePath() const { return m_devicePath; }
    int fd() const { return m_fd; }

    // Puts the line back to the settings it had after open(), so that the next reader that
    // opens it can be noticed by the change it makes.
    void resetSettings();
    // True when the line's settings differ from those resetSettings() puts.
    bool settingsChanged() const;

    // Writes up to size bytes; returns the count written, 0 when the line is full for now,
    // -1 on an error.
    qint64 write(const char* data, qint64 size);

    // Waits until everything written has left the line's output queue.
    void drain();
    // Bytes written that the reader has not read yet; -1 when that cannot be told.
    int waitingForReader() const;

private:
    int m_fd = -1;
    // The line's own end, held open from the start (a reader's exclusive open would refuse it
    // later) only to see how much of the written text still waits to be read.
    int m_readerEnd = -1;
    QString m_devicePath;
    termios m_baseline{};
};
