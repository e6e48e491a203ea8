// The window when a port fails, a line is lost, or devices come and go.
#include "Download.h"
#include "Rig.h"
#include "Warnings.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kSevenLines =
    QStringLiteral("Connection could not be established.\rPlease follow these steps:\r"
                   "1. Disconnect USB cable from meter.\r2. Disconnect USB cable from computer.\r"
                   "3. Reconnect USB cable to computer.\r4. Reconnect USB cable to meter.\r"
                   "5. Restart software.");

// Half a download, then the cable comes out.
void pullMidDownload(Rig& rig) {
    const QByteArray text = downloadText();
    rig.port.receive(text.left(text.indexOf("50,")) + "50,36,2");
    ASSERT_EQ(rig.state(), "Downloading...");
    rig.port.loseLine();
}

} // namespace

TEST(Form1PortFailure, theBoxKeepsItsSevenLinesThenGivesReasonAndFixAndStandardErrorGetsTheSame) {
    Rig rig({kMeter181});
    rig.port.missingPorts.insert(181);
    Warnings warnings;
    rig.form->Form_Load();
    ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
    EXPECT_EQ(rig.dialogs.boxes[0].text,
              kSevenLines + QStringLiteral("\r\rNo such file or directory: /dev/fake181"));
    EXPECT_EQ(warnings.lines(),
              QStringList{QString(kSevenLines).replace(u'\r', u'\n') +
                          QStringLiteral("\n\nNo such file or directory: /dev/fake181")});
    EXPECT_TRUE(rig.program.ended);
    EXPECT_EQ(rig.program.exitStatus, 1);
}

TEST(Form1PortFailure, aFailedDiscoveryWritesItsScanportsTextToStandardErrorToo) {
    Rig rig;
    rig.devices.failure = QStringLiteral("device service unavailable");
    Warnings warnings;
    rig.form->Form_Load();
    EXPECT_EQ(warnings.lines(), QStringList{"Scanports device service unavailable"});
    EXPECT_EQ(rig.program.exitStatus, 1);
}

TEST(Form1LostLine, aPullMidDownloadEndsItKeepsTheTableAndFreesEveryGuardedCommand) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    rig.port.receive(downloadText());
    ASSERT_EQ(rig.form->fgMem().textMatrix(100, 0), "100");
    const QString decoded = rig.form->fgMem().textMatrix(37, 4);

    pullMidDownload(rig);
    EXPECT_EQ(rig.state(), "Connection lost.");
    EXPECT_EQ(rig.detail(), "Please reconnect.");
    EXPECT_TRUE(rig.form->reception().comBuffer().isEmpty());
    for (int slot : {0, 49, 50})
        EXPECT_EQ(rig.form->reception().slotReceived(slot), 0) << slot;
    EXPECT_EQ(rig.form->fgMem().textMatrix(37, 4), decoded);
    EXPECT_TRUE(rig.dialogs.boxes.empty());
    EXPECT_FALSE(rig.program.ended);

    // Export works on the held table.
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("held.csv"));
    rig.dialogs.saveAnswers << name;
    rig.form->C_Export_Click(0);
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().split('\n').size(), 103);
    rig.form->C_Help_Click();
    EXPECT_TRUE(rig.form->pHelp(0).isVisibleTo(rig.form.get()));

    // The next idle refresh replaces the texts.
    rig.form->Form_MouseMove();
    EXPECT_EQ(rig.state(), "Ready.");
    EXPECT_EQ(rig.detail(), "COM:181");
}

TEST(Form1LostLine, aLineLostWhileIdleShowsTheSameTexts) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    rig.port.loseLine();
    EXPECT_EQ(rig.state(), "Connection lost.");
    EXPECT_EQ(rig.detail(), "Please reconnect.");
}

TEST(Form1Plug, aDeviceArrivingWhileIdleRunsDiscoveryAndConnectsASingleMeter) {
    Rig rig;
    rig.form->Form_Load();
    ASSERT_EQ(rig.devices.scans, 1);
    rig.devices.names = {kMeter181};
    emit rig.monitor.devicesChanged();
    EXPECT_EQ(rig.devices.scans, 2);
    ASSERT_EQ(rig.form->lComPorts().count(), 1);
    EXPECT_TRUE(rig.port.portOpen());
    EXPECT_EQ(rig.state(), "Ready.");

    // The meter leaves: the list empties; the port's own loss notice tells the user.
    rig.devices.names.clear();
    rig.port.loseLine();
    emit rig.monitor.devicesChanged();
    EXPECT_EQ(rig.form->lComPorts().count(), 0);
    EXPECT_EQ(rig.state(), "Connection lost.");
}

TEST(Form1Plug, devicesChangingDuringADownloadWaitForItsEndThenDiscoveryRunsOnce) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
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
    EXPECT_EQ(rig.form->fgMem().textMatrix(100, 0), "100");
    QTest::qWait(0);
    EXPECT_EQ(rig.devices.scans, 2);
    QTest::qWait(10);
    EXPECT_EQ(rig.devices.scans, 2);
}

TEST(Form1Plug, aNoticeAboutAnotherDeviceLeavesTheOpenMeterAlone) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    ASSERT_TRUE(rig.port.portOpen());
    // The user has started a transfer; its first packet is not complete yet.
    rig.port.receive("0,1");
    const QStringList opened = rig.port.log;

    rig.devices.names = {kMeter181, QStringLiteral("USB Modem (COM7)")};
    emit rig.monitor.devicesChanged();
    QTest::qWait(0);
    EXPECT_EQ(rig.port.log, opened) << "the meter's line was closed and reopened";
    EXPECT_EQ(rig.form->reception().comBuffer(), "0,1");

    // A second meter does change the list: discovery runs as a click would run it.
    rig.devices.names = {kMeter181, QStringLiteral("Arduino USB Serial Light Adapter (COM9)")};
    emit rig.monitor.devicesChanged();
    EXPECT_EQ(rig.form->lComPorts().count(), 2);
}

TEST(Form1PortFailure, noticesWhileTheFailureBoxIsOpenNeitherConnectNorShowASecondBox) {
    Rig rig({kMeter181});
    rig.port.missingPorts.insert(181);
    // The box says to replug; the replug's notices arrive while it is still open.
    rig.dialogs.onMessage = [&rig] {
        rig.port.missingPorts.clear();
        emit rig.monitor.devicesChanged();
    };
    Warnings warnings;
    rig.form->Form_Load();
    EXPECT_EQ(rig.dialogs.boxes.size(), 1u);
    EXPECT_FALSE(rig.port.portOpen());
    EXPECT_EQ(rig.program.exitStatus, 1);
}
