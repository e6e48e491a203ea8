#include "cli/Capture.h"
#include "cli/ExitStatus.h"
#include "cli/MeterChoice.h"

#include "Download.h"
#include "Fakes.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString kMeter = QStringLiteral("Arduino USB Serial Light Adapter (COM%1)");

// A capture from COM181 into a folder of its own, with the kept downloads beside OUT.
struct CaptureRig {
    explicit CaptureRig(int timeoutMs = 0)
        : capture(port, MeterChoice{181, {}, QStringLiteral("COM181"), {}},
                  DownloadStore(dir.filePath(QStringLiteral("downloads"))),
                  {dir.filePath(QStringLiteral("out.csv")), timeoutMs}) {}
    int keptFiles() const {
        return int(QDir(dir.filePath(QStringLiteral("downloads"))).entryList(QDir::Files).size());
    }
    bool outWritten() const { return QFileInfo::exists(dir.filePath(QStringLiteral("out.csv"))); }

    QTemporaryDir dir;
    FakeSerialPort port;
    Capture capture;
    QSignalSpy finished{&capture, &Capture::finished};
};

} // namespace

TEST(MeterChoice, severalMetersWithoutAPortAreRefusedWithTheirNames) {
    FakeDeviceList devices;
    devices.names = {kMeter.arg(3), QStringLiteral("Modem (COM4)"), kMeter.arg(181)};
    EXPECT_EQ(chooseMeter(devices, {}).error,
              QStringLiteral("several meters found (COM3, COM181); choose one with --port"));
    const MeterChoice named = chooseMeter(devices, QStringLiteral("com181"));
    EXPECT_EQ(named.error, QString());
    EXPECT_EQ(named.comPort, 181);
    EXPECT_EQ(named.name, QStringLiteral("COM181"));
}

TEST(MeterChoice, aComNumberThatIsNoMeterIsOpenedOnlyWhereTheSystemNamesIt) {
    FakeDeviceList devices;
    devices.names = {QStringLiteral("Modem (COM4)"), kMeter.arg(181)};
    EXPECT_EQ(chooseMeter(devices, QStringLiteral("COM4")).error,
              QStringLiteral("no meter on COM4"));

    const auto windowsName = [](int com) { return QStringLiteral("\\\\.\\COM%1").arg(com); };
    for (const QString& port : {QStringLiteral("COM4"), QStringLiteral("com9")}) {
        const MeterChoice named = chooseMeter(devices, port, windowsName);
        EXPECT_EQ(named.error, QString());
        EXPECT_EQ(named.node, windowsName(port.mid(3).toInt()));
        EXPECT_EQ(named.name, port.toUpper());
    }
    EXPECT_EQ(chooseMeter(devices, QStringLiteral("COM181"), windowsName).comPort, 181);
    EXPECT_FALSE(chooseMeter(devices, QStringLiteral("COM99999"), windowsName).error.isEmpty());
}

TEST(Capture, aPortThatCannotBeOpenedEndsAtOnceWithStatusTwo) {
    CaptureRig rig;
    rig.port.missingPorts = {181};
    EXPECT_EQ(rig.capture.start(), exitstatus::kNoDownload);
}

TEST(Capture, aDownloadThatFailsItsCheckEndsWithStatusThreeAndWritesNothing) {
    CaptureRig rig;
    ASSERT_EQ(rig.capture.start(), std::nullopt);
    rig.port.receive(downloadText(QStringLiteral("36,20,00,00,AD,0A,8C,20,00"), 57));
    ASSERT_EQ(rig.finished.size(), 1);
    EXPECT_EQ(rig.finished.at(0).at(0).toInt(), exitstatus::kCheckFailed);
    EXPECT_FALSE(rig.outWritten());
    EXPECT_EQ(rig.keptFiles(), 0);
    EXPECT_FALSE(rig.port.portOpen());
}

TEST(Capture, aLostLineEndsWithStatusFour) {
    CaptureRig rig;
    ASSERT_EQ(rig.capture.start(), std::nullopt);
    rig.port.receive(downloadText().left(300));
    rig.port.loseLine();
    ASSERT_EQ(rig.finished.size(), 1);
    EXPECT_EQ(rig.finished.at(0).at(0).toInt(), exitstatus::kLineLost);
    EXPECT_FALSE(rig.outWritten());
}

TEST(Capture, noDownloadBeforeTheTimeoutEndsWithStatusFiveAndClosesThePort) {
    CaptureRig rig(1);
    ASSERT_EQ(rig.capture.start(), std::nullopt);
    ASSERT_TRUE(rig.finished.wait(10000));
    EXPECT_EQ(rig.finished.at(0).at(0).toInt(), exitstatus::kTimedOut);
    EXPECT_FALSE(rig.port.portOpen());
}

TEST(Capture, aTimerThatFiresEarlyDoesNotEndTheWaitBeforeTheTimeAsked) {
    CaptureRig rig(60000);
    ASSERT_EQ(rig.capture.start(), std::nullopt);
    auto* timer = rig.capture.findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    // A coarse timer may fire up to 5% early.
    EXPECT_EQ(timer->timerType(), Qt::PreciseTimer);
    // Fired long before the minute asked, as no timer should: the wait goes on.
    QMetaObject::invokeMethod(timer, "timeout");
    EXPECT_TRUE(rig.finished.isEmpty());
    EXPECT_TRUE(rig.port.portOpen());
    EXPECT_TRUE(timer->isActive());
}
