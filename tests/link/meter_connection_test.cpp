// The meter connection: discovery, opening the chosen port, a failed port, a kept download, a
// lost line, and devices coming and going.
#include "link/MeterConnection.h"

#include "Download.h"
#include "Fakes.h"
#include "MeterName.h"
#include "QtPrinters.h"
#include "RecordingView.h"
#include "Warnings.h"
#include "link/DownloadKeeper.h"
#include "system/DeviceMonitor.h"

#include <QTest>
#include <gtest/gtest.h>

#include <vector>

namespace {

const QString kSevenLines =
    QStringLiteral("Connection could not be established.\rPlease follow these steps:\r"
                   "1. Disconnect USB cable from meter.\r2. Disconnect USB cable from computer.\r"
                   "3. Reconnect USB cable to computer.\r4. Reconnect USB cable to meter.\r"
                   "5. Restart software.");

// A connection with fakes around it, reset as at start-up; discovery is left to each test.
struct ConnectionRig {
    FakeSerialPort port;
    FakeDeviceList devices;
    FakeDialogs dialogs;
    FakeProgram program;
    // Tests report devices arriving or leaving with emit monitor.devicesChanged().
    DeviceMonitor monitor;
    RecordingConnectionView view;
    MeterConnection connection{port, devices, dialogs, program, view, &monitor};

    explicit ConnectionRig(QStringList names = {}) {
        devices.names = std::move(names);
        view.status[0] = view.status[1] = QStringLiteral("Ready");
        connection.reset();
    }
    QString state() const { return view.status[0]; }
    QString detail() const { return view.status[1]; }
};

// Half a download, then the cable comes out.
void pullMidDownload(ConnectionRig& rig) {
    const QByteArray text = downloadText();
    rig.port.receive(text.left(text.indexOf("50,")) + "50,36,2");
    ASSERT_EQ(rig.state(), "Downloading...");
    rig.port.loseLine();
}

} // namespace

TEST(MeterConnection, aSingleMeterIsChosenAndItsPortOpenedWithTheLineSettings) {
    ConnectionRig rig({QStringLiteral("PCI Serial Port (COM1)"), kMeter181});
    rig.connection.scanComPorts();
    ASSERT_EQ(rig.view.meters.size(), 1);
    EXPECT_EQ(rig.view.meters[0], (MeterEntry{QStringLiteral("QT570R (COM181)"), 181}));
    EXPECT_EQ(rig.view.chosen, 0);
    EXPECT_TRUE(rig.port.portOpen());
    EXPECT_EQ(rig.port.log,
              QStringList({"port 181", "settings 9600,N,8,1", "inputlen 0", "open 181"}));
    EXPECT_EQ(rig.connection.comPort(), 181);
    EXPECT_EQ(rig.state(), "Ready.");
    EXPECT_EQ(rig.detail(), "COM:181");
}

TEST(MeterConnection, twoMetersAreListedInOrderAndNeitherIsOpened) {
    ConnectionRig rig({QStringLiteral("Arduino USB Serial Light Adapter (COM5)"),
                       QStringLiteral("Arduino USB Serial Light Adapter (COM12)")});
    rig.connection.scanComPorts();
    ASSERT_EQ(rig.view.meters.size(), 2);
    EXPECT_EQ(rig.view.meters[0].text, "QT570R (COM5)");
    EXPECT_EQ(rig.view.meters[1].text, "QT570R (COM12)");
    EXPECT_EQ(rig.view.chosen, -1);
    EXPECT_TRUE(rig.port.log.isEmpty());
    EXPECT_EQ(rig.connection.comPort(), -1);
}

TEST(MeterConnection, aPortThatCannotBeOpenedShowsTheBoxThenReasonAndStandardErrorGetsTheSame) {
    ConnectionRig rig({kMeter181});
    rig.port.missingPorts.insert(181);
    Warnings warnings;
    rig.connection.scanComPorts();
    ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
    EXPECT_EQ(rig.dialogs.boxes[0].caption, "Connection error");
    EXPECT_EQ(rig.dialogs.boxes[0].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(rig.dialogs.boxes[0].text,
              kSevenLines + QStringLiteral("\r\rNo such file or directory: /dev/fake181"));
    EXPECT_EQ(warnings.lines(),
              QStringList{QString(kSevenLines).replace(u'\r', u'\n') +
                          QStringLiteral("\n\nNo such file or directory: /dev/fake181")});
    EXPECT_TRUE(rig.program.ended);
    EXPECT_EQ(rig.program.exitStatus, 1);
    EXPECT_TRUE(rig.connection.ended());
    EXPECT_EQ(rig.state(), "Ready");
}

TEST(MeterConnection, aDeviceListFailureShowsScanportsWithTheReasonOnStandardErrorTooAndEnds) {
    ConnectionRig rig;
    rig.devices.failure = QStringLiteral("device service unavailable");
    Warnings warnings;
    rig.connection.scanComPorts();
    ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
    EXPECT_EQ(rig.dialogs.boxes[0].text, "Scanports device service unavailable");
    EXPECT_EQ(rig.dialogs.boxes[0].caption, "PX417");
    EXPECT_EQ(warnings.lines(), QStringList{"Scanports device service unavailable"});
    EXPECT_TRUE(rig.program.ended);
    EXPECT_EQ(rig.program.exitStatus, 1);
}

TEST(MeterConnection, rescanWithTheSameSingleMeterReopensThePort) {
    ConnectionRig rig({kMeter181});
    rig.connection.scanComPorts();
    rig.port.log.clear();
    rig.connection.scanComPorts();
    EXPECT_EQ(rig.devices.scans, 2);
    EXPECT_EQ(rig.port.log.first(), "close");
    EXPECT_TRUE(rig.port.log.contains("open 181"));
    EXPECT_TRUE(rig.port.portOpen());
}

TEST(MeterConnection, rescanFindingTwoMetersLeavesTheOpenPortAndComPortAlone) {
    ConnectionRig rig({kMeter181});
    rig.connection.scanComPorts();
    rig.port.log.clear();
    rig.devices.names << QStringLiteral("Arduino USB Serial Light Adapter (COM7) extra");
    rig.connection.scanComPorts();
    EXPECT_EQ(rig.view.meters.size(), 2);
    EXPECT_TRUE(rig.port.log.isEmpty());
    EXPECT_TRUE(rig.port.portOpen());
    EXPECT_EQ(rig.connection.comPort(), 181);
}

TEST(MeterConnection, choosingAnotherMeterDuringADownloadClosesFirstAndWritesTheIdleTexts) {
    ConnectionRig rig({QStringLiteral("Arduino USB Serial Light Adapter (COM5)"),
                       QStringLiteral("Arduino USB Serial Light Adapter (COM12)")});
    rig.connection.scanComPorts();
    rig.view.chosen = 0;
    rig.connection.connectChosen();
    rig.port.receive("0,00,00,00,00,00,00,00,00,00,00/1,0");
    EXPECT_EQ(rig.state(), "Downloading...");
    rig.port.log.clear();
    rig.view.chosen = 1;
    rig.connection.connectChosen();
    EXPECT_EQ(rig.port.log,
              QStringList({"close", "port 12", "settings 9600,N,8,1", "inputlen 0", "open 12"}));
    EXPECT_EQ(rig.state(), "Ready.");
    EXPECT_EQ(rig.detail(), "COM:12");
    // The old line's transfer ends there: its partial packet would swallow the new line's
    // first packet, and its slots must not complete a transfer joined mid-way on the new line.
    EXPECT_EQ(rig.connection.reception().comBuffer(), QByteArray());
    const QByteArray text = downloadText();
    rig.port.receive(text.mid(text.indexOf("/1,") + 1));
    EXPECT_EQ(rig.state(), "Data check error.");
    EXPECT_EQ(rig.detail(), "Please try again.");
}

TEST(MeterConnection, aPullMidDownloadEndsItAndKeepsTheSlotTable) {
    ConnectionRig rig({kMeter181});
    rig.connection.scanComPorts();
    rig.port.receive(downloadText());
    ASSERT_EQ(rig.view.decodeCalls, 1);
    const QString held = rig.view.cell(38, 10);

    pullMidDownload(rig);
    EXPECT_EQ(rig.state(), "Connection lost.");
    EXPECT_EQ(rig.detail(), "Please reconnect.");
    EXPECT_TRUE(rig.connection.reception().comBuffer().isEmpty());
    for (int slot : {0, 49, 50})
        EXPECT_EQ(rig.connection.reception().slotReceived(slot), 0) << slot;
    EXPECT_EQ(rig.view.cell(38, 10), held);
    EXPECT_EQ(rig.view.decodeCalls, 1);
    EXPECT_TRUE(rig.dialogs.boxes.empty());
    EXPECT_FALSE(rig.program.ended);
}

namespace {

// What the connection hands the store: each download with its time and port name.
struct RecordingKeeper : DownloadKeeper {
    struct Kept {
        QList<QByteArray> packets;
        QDateTime completedAt;
        QString port;
    };
    QString keepDownload(const QList<QByteArray>& packets, const QDateTime& completedAt,
                         const QString& port) override {
        kept.push_back({packets, completedAt, port});
        return {};
    }
    std::vector<Kept> kept;
};

} // namespace

// The window keeps its downloads through the connection. The store names the file after the
// port it is given, so that must be "COM181", never the panel's "COM:181": a Windows file
// name may not hold a colon.
TEST(MeterConnection, aCheckedDownloadIsKeptWithThePortsNameAndTheViewsClock) {
    FakeSerialPort port;
    FakeDeviceList devices;
    devices.names = {kMeter181};
    FakeDialogs dialogs;
    FakeProgram program;
    RecordingConnectionView view;
    view.time = QDateTime(QDate(2026, 12, 9), QTime(14, 3, 27));
    RecordingKeeper keeper;
    MeterConnection connection(port, devices, dialogs, program, view, nullptr, &keeper);
    connection.reset();
    connection.scanComPorts();
    ASSERT_EQ(view.status[1], "COM:181");

    port.receive(downloadText());
    ASSERT_EQ(view.decodeCalls, 1);
    ASSERT_EQ(keeper.kept.size(), 1u);
    EXPECT_EQ(keeper.kept[0].port, "COM181");
    EXPECT_EQ(keeper.kept[0].completedAt.toString(Qt::ISODateWithMs),
              view.time.toString(Qt::ISODateWithMs));
    EXPECT_EQ(keeper.kept[0].packets.join('/') + '/', downloadText());
}

TEST(MeterConnection, aLineLostWhileIdleShowsTheSameTexts) {
    ConnectionRig rig({kMeter181});
    rig.connection.scanComPorts();
    rig.port.loseLine();
    EXPECT_EQ(rig.state(), "Connection lost.");
    EXPECT_EQ(rig.detail(), "Please reconnect.");
}

TEST(MeterConnection, aDeviceArrivingWhileIdleRunsDiscoveryAndConnectsASingleMeter) {
    ConnectionRig rig;
    rig.connection.scanComPorts();
    ASSERT_EQ(rig.devices.scans, 1);
    rig.devices.names = {kMeter181};
    emit rig.monitor.devicesChanged();
    EXPECT_EQ(rig.devices.scans, 2);
    ASSERT_EQ(rig.view.meters.size(), 1);
    EXPECT_TRUE(rig.port.portOpen());
    EXPECT_EQ(rig.state(), "Ready.");

    // The meter leaves: the list empties; the port's own loss notice tells the user.
    rig.devices.names.clear();
    rig.port.loseLine();
    emit rig.monitor.devicesChanged();
    EXPECT_EQ(rig.view.meters.size(), 0);
    EXPECT_EQ(rig.state(), "Connection lost.");
}

TEST(MeterConnection, devicesChangingDuringADownloadWaitForItsEndThenDiscoveryRunsOnce) {
    ConnectionRig rig({kMeter181});
    rig.connection.scanComPorts();
    const QByteArray text = downloadText();
    rig.port.receive(text.left(text.indexOf("50,")));
    ASSERT_EQ(rig.state(), "Downloading...");
    const QStringList opened = rig.port.log;

    emit rig.monitor.devicesChanged();
    emit rig.monitor.devicesChanged();
    QTest::qWait(0);
    EXPECT_EQ(rig.devices.scans, 1);
    EXPECT_EQ(rig.port.log, opened) << "the port was touched during the download";

    rig.port.receive(text.mid(text.indexOf("50,")));
    EXPECT_EQ(rig.view.decodeCalls, 1);
    QTest::qWait(0);
    EXPECT_EQ(rig.devices.scans, 2);
    QTest::qWait(10);
    EXPECT_EQ(rig.devices.scans, 2);
    // The meter is still listed, so nothing changed; later notices from the line owe nothing.
    rig.port.receive("");
    QTest::qWait(0);
    EXPECT_EQ(rig.devices.scans, 2);
}

TEST(MeterConnection, aNoticeAboutAnotherDeviceLeavesTheOpenMeterAlone) {
    ConnectionRig rig({kMeter181});
    rig.connection.scanComPorts();
    ASSERT_TRUE(rig.port.portOpen());
    // The user has started a transfer; its first packet is not complete yet.
    rig.port.receive("0,1");
    const QStringList opened = rig.port.log;

    rig.devices.names = {kMeter181, QStringLiteral("USB Modem (COM7)")};
    emit rig.monitor.devicesChanged();
    QTest::qWait(0);
    EXPECT_EQ(rig.port.log, opened) << "the meter's line was closed and reopened";
    EXPECT_EQ(rig.connection.reception().comBuffer(), "0,1");

    // A second meter does change the list: discovery runs as a click would run it.
    rig.devices.names = {kMeter181, QStringLiteral("Arduino USB Serial Light Adapter (COM9)")};
    emit rig.monitor.devicesChanged();
    EXPECT_EQ(rig.view.meters.size(), 2);
}

TEST(MeterConnection, noticesWhileTheFailureBoxIsOpenNeitherConnectNorShowASecondBox) {
    ConnectionRig rig({kMeter181});
    rig.port.missingPorts.insert(181);
    // The box says to replug; the replug's notices arrive while it is still open.
    rig.dialogs.onMessage = [&rig] {
        rig.port.missingPorts.clear();
        emit rig.monitor.devicesChanged();
    };
    Warnings warnings;
    rig.connection.scanComPorts();
    EXPECT_EQ(rig.dialogs.boxes.size(), 1u);
    EXPECT_FALSE(rig.port.portOpen());
    EXPECT_EQ(rig.program.exitStatus, 1);
}
