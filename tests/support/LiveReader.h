#pragma once

#include "Fakes.h"
#include "app/Controls.h"
#include "app/Form1.h"
#include "qt/Grid.h"
#include "qt/SystemClock.h"
#include "qt/SystemDeviceMonitor.h"
#include "serial/QtSerialPort.h"
#include "serial/SystemDeviceList.h"
#include "store/DownloadStore.h"
#include "system/Clock.h"

#include <QStringList>

#include <memory>

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

// The reader as main() builds it: the real window, serial port and device list. Only the
// dialogs and the program's end are stand-ins, so that a failure is recorded instead of shown
// in a box that nobody would close.
struct LiveReader {
    struct Options {
        // Where virtual ports are published; empty: the user's runtime directory.
        QString portsFolder;
        // The system's own serial ports are listed too (main() lists them).
        bool systemPorts = false;
        // The clock steps by a second per reading; otherwise it is the system's.
        bool steppingClock = true;
        // Form_Load runs in the constructor; otherwise the caller runs it.
        bool load = true;
        // Devices arriving and leaving are noticed as main() has them noticed; otherwise only
        // a click finds new meters.
        bool watch = false;
    };

    explicit LiveReader(const QString& portsFolder, bool watch = false)
        : LiveReader(Options{portsFolder, false, true, true, watch}) {}
    explicit LiveReader(const Options& options);

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
    SystemClock systemClock;
    FakeProgram program;
    // Where main() keeps downloads: in the test's own data folder (tests/support main()).
    DownloadStore store{DownloadStore::defaultFolder()};
    std::unique_ptr<Form1> form;
};

// Every text of a grid, row by row.
QStringList gridTexts(const Grid& grid, int rows, int cols);
