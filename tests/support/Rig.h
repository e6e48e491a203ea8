#pragma once

#include "Fakes.h"
#include "MeterName.h"
#include "QtPrinters.h"
#include "app/Controls.h"
#include "app/Form1.h"
#include "qt/Grid.h"
#include "system/DeviceMonitor.h"

#include <QTest>

#include <memory>

// A window with fakes around it; start-up is left to each test.
struct Rig {
    FakeSerialPort port;
    FakeDeviceList devices;
    FakeDialogs dialogs;
    FixedClock clock;
    FakeProgram program;
    // Tests report devices arriving or leaving with emit monitor.devicesChanged().
    DeviceMonitor monitor;
    std::unique_ptr<Form1> form;

    // With a keeper, downloads are kept as main() keeps them.
    explicit Rig(QStringList names = {}, double factor = 15.0, DownloadKeeper* keeper = nullptr) {
        devices.names = std::move(names);
        form = std::make_unique<Form1>(port, devices, dialogs, clock, program, factor, QLocale::c(),
                                       &monitor, keeper);
    }
    // Moves the real pointer over the measurement table (pixels from its corner), so the grid
    // knows the column under it.
    void pointAtMem(QPoint p) {
        QWidget* target = form->fgMem().childAt(p);
        if (!target)
            return;
        // A move to where the pointer already is sends no event, and an earlier test may
        // have left it there.
        QTest::mouseMove(target, target->mapFrom(&form->fgMem(), p) + QPoint(1, 1));
        QTest::mouseMove(target, target->mapFrom(&form->fgMem(), p));
    }
    QString state() const { return form->lStatus(0).text(); }
    QString detail() const { return form->lStatus(1).text(); }
};
