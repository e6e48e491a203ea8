#pragma once

#include "MeterName.h"
#include "PtyLine.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <thread>

// A line the test drives itself, for input no meter makes: the simulator's pty line published
// under the meter's name, written from a thread so the window's event loop keeps running
// meanwhile.
class RawLine {
public:
    explicit RawLine(const QString& portsFolder, const QString& name = kMeter181);
    ~RawLine();
    RawLine(const RawLine&) = delete;
    RawLine& operator=(const RawLine&) = delete;

    bool ok() const { return m_ok; }
    // True while the line's settings are not those it was made with: a reader that opened it
    // has set its own.
    bool setByReader() const { return m_line.settingsChanged(); }
    // Starts writing bytes in the background; done() tells when all were written.
    void send(QByteArray bytes);
    bool done() const { return m_done; }
    // Removes the published link, as an unplugged device's name goes away.
    void unpublish();

private:
    void finish();

    PtyLine m_line;
    QString m_link;
    bool m_ok = false;
    std::thread m_writer;
    std::atomic<bool> m_done{true};
};
