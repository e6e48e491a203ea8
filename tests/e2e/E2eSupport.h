#pragma once

// The reader as main() builds it (real window, real serial port, real device list) against
// simulated meters on pseudo-terminals, plus the measuring tools of the fault-injection tests.

#include "Clock.h"
#include "Controls.h"
#include "Fakes.h"
#include "Form1.h"
#include "Grid.h"
#include "MeterProcess.h"
#include "QtSerialPort.h"
#include "SystemDeviceList.h"
#include "SystemDeviceMonitor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

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

inline const QString kMeterName = QStringLiteral("Arduino USB Serial Light Adapter (COM181)");
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

// A line the test drives itself, for input no meter makes: a pty published under the meter's
// name, written from a thread so the window's event loop keeps running meanwhile.
class RawLine {
public:
    explicit RawLine(const QString& portsFolder, const QString& name = kMeterName) {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        m_link = portsFolder + u'/' + name;
        m_ok = QFile::link(QString::fromLocal8Bit(ptsname(m_master)), m_link);
    }
    ~RawLine() {
        finish();
        QFile::remove(m_link);
        if (m_master >= 0)
            ::close(m_master);
    }
    bool ok() const { return m_ok; }

    // Starts writing bytes in the background; done() tells when all were written.
    void send(QByteArray bytes) {
        finish();
        m_done = false;
        m_writer = std::thread([this, bytes = std::move(bytes)] {
            qsizetype sent = 0;
            while (sent < bytes.size()) {
                const ssize_t n = ::write(m_master, bytes.constData() + sent,
                                          static_cast<size_t>(bytes.size() - sent));
                if (n <= 0)
                    break;
                sent += n;
            }
            m_done = true;
        });
    }
    bool done() const { return m_done; }
    // Removes the published link, as an unplugged device's name goes away.
    void unpublish() { QFile::remove(m_link); }

private:
    void finish() {
        if (m_writer.joinable())
            m_writer.join();
    }

    int m_master = -1;
    QString m_link;
    bool m_ok = false;
    std::thread m_writer;
    std::atomic<bool> m_done{true};
};

// A clock that moves on by one second on every reading, so each stored packet gets its own
// "Received" stamp.
class SteppingClock : public Clock {
public:
    QDateTime now() const override { return m_start.addSecs(m_readings++); }
    qint64 readings() const { return m_readings; }

private:
    QDateTime m_start{QDate(2027, 2, 1), QTime(8, 0, 0)};
    mutable qint64 m_readings = 0;
};

// The reader as main() builds it; only the dialogs and the program's end are fakes, and the
// devices are those of the runtime directory. With watch, devices arriving and leaving are
// noticed as main() has them noticed; without, only a click finds new meters.
struct LiveReader {
    explicit LiveReader(const QString& portsFolder, bool watch = false)
        : devices(portsFolder, [] { return QList<portnaming::SerialPortFacts>(); }),
          port([this](int com) { return devices.deviceNode(com); }), monitor(portsFolder) {
        form = std::make_unique<Form1>(port, devices, dialogs, clock, program, 15.0,
                                       watch ? &monitor : nullptr);
        form->Form_Load();
    }
    QString state() const { return form->lStatus(0).text(); }
    QString detail() const { return form->lStatus(1).text(); }
    const Grid& mem() const { return form->fgMem(); }
    const Grid& slotTable() const { return form->fgData(); }
    // The "Connection:" caption.
    void clickConnection() { form->Label1_Click(1); }
    bool idle() const { return state() == u"Ready." && detail() == u"COM:181"; }

    SystemDeviceList devices;
    QtSerialPort port;
    SystemDeviceMonitor monitor;
    FakeDialogs dialogs;
    SteppingClock clock;
    FakeProgram program;
    std::unique_ptr<Form1> form;
};

// Every text of a grid, row by row.
inline QStringList gridTexts(const Grid& grid, int rows, int cols) {
    QStringList texts;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            texts << grid.textMatrix(r, c);
    return texts;
}

} // namespace e2e
