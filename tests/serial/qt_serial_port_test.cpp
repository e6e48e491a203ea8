#include "PtyLine.h"
#include "WaitUntil.h"
#include "serial/QtSerialPort.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include <termios.h>

namespace {

constexpr int kWaitMs = 5000;

// A pseudo-terminal standing in for the meter's USB adapter; destroying it unplugs it.
std::unique_ptr<PtyLine> plugIn() {
    auto line = std::make_unique<PtyLine>();
    QString error;
    EXPECT_TRUE(line->open(&error)) << qPrintable(error);
    return line;
}

termios settingsOf(const PtyLine& line) {
    termios t{};
    tcgetattr(line.fd(), &t);
    return t;
}

// One write, so that the text reaches the reader together.
bool send(PtyLine& line, const QByteArray& bytes) {
    return line.write(bytes.constData(), bytes.size()) == bytes.size();
}

QtSerialPort::PortResolver onlyPort(int number, const QString& device) {
    return [number, device](int port) { return port == number ? device : QString(); };
}

bool openMeterPort(QtSerialPort& port, int number, QString* error) {
    port.setCommPort(number);
    port.setSettings({9600, LineSettings::Parity::None, 8, LineSettings::StopBits::One});
    port.setInputLen(0);
    return port.open(error);
}

} // namespace

TEST(QtSerialPort, unknownOrMissingPortDoesNotOpen) {
    QString error;
    QtSerialPort unknown(onlyPort(3, "/dev/null"));
    EXPECT_FALSE(openMeterPort(unknown, 181, &error));
    EXPECT_EQ(error, "No such device: COM181");
    EXPECT_FALSE(unknown.portOpen());

    // The system's own reason and the node.
    error.clear();
    QtSerialPort missing(onlyPort(181, "/dev/px417-no-such-node"));
    EXPECT_FALSE(openMeterPort(missing, 181, &error));
    EXPECT_EQ(error, "No such file or directory: /dev/px417-no-such-node");
    EXPECT_FALSE(missing.portOpen());
}

TEST(QtSerialPort, opensWithTheLineSettingsAndReadsEverythingWaiting) {
    auto line = plugIn();
    ASSERT_FALSE(line->devicePath().isEmpty());
    QtSerialPort port(onlyPort(181, line->devicePath()));
    QSignalSpy comm(&port, &SerialPort::comm);
    QString error;
    ASSERT_TRUE(openMeterPort(port, 181, &error)) << qPrintable(error);
    EXPECT_TRUE(port.portOpen());

    const termios applied = settingsOf(*line);
    EXPECT_EQ(cfgetispeed(&applied), speed_t(B9600));
    EXPECT_EQ(applied.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(applied.c_cflag & (PARENB | CSTOPB), tcflag_t(0));

    ASSERT_TRUE(send(*line, "0,01,02/1,0"));
    ASSERT_TRUE(waitUntil([&] { return port.inBufferCount() == 11; }, kWaitMs));
    EXPECT_GE(comm.count(), 1);
    EXPECT_EQ(port.input(), QByteArray("0,01,02/1,0"));
    EXPECT_EQ(port.inBufferCount(), 0);
    EXPECT_TRUE(port.input().isEmpty());

    port.close();
    EXPECT_FALSE(port.portOpen());
}

TEST(QtSerialPort, otherLineSettingsReachTheLineAsGiven) {
    auto line = plugIn();
    ASSERT_FALSE(line->devicePath().isEmpty());
    QtSerialPort port(onlyPort(7, line->devicePath()));
    port.setCommPort(7);
    // A pseudo-terminal keeps eight data bits and no parity whatever is asked, so the rate
    // and the stop bits are what can be seen to change.
    port.setSettings({4800, LineSettings::Parity::None, 8, LineSettings::StopBits::Two});
    QString error;
    ASSERT_TRUE(port.open(&error)) << qPrintable(error);
    const termios applied = settingsOf(*line);
    EXPECT_EQ(cfgetispeed(&applied), speed_t(B4800));
    EXPECT_EQ(applied.c_cflag & CSTOPB, tcflag_t(CSTOPB));
}

TEST(QtSerialPort, inputLengthLimitsOneReadAndKeepsTheRestInOrder) {
    auto line = plugIn();
    QtSerialPort port(onlyPort(5, line->devicePath()));
    QString error;
    ASSERT_TRUE(openMeterPort(port, 5, &error)) << qPrintable(error);
    port.setInputLen(2);
    ASSERT_TRUE(send(*line, "abcde"));
    ASSERT_TRUE(waitUntil([&] { return port.inBufferCount() == 5; }, kWaitMs));
    EXPECT_EQ(port.input(), QByteArray("ab"));
    EXPECT_EQ(port.inBufferCount(), 3);
    EXPECT_EQ(port.input(), QByteArray("cd"));
    EXPECT_EQ(port.input(), QByteArray("e"));
    EXPECT_TRUE(port.input().isEmpty());
}

TEST(QtSerialPort, portInUseOrAlreadyOpenIsRefused) {
    auto line = plugIn();
    QtSerialPort first(onlyPort(7, line->devicePath()));
    QtSerialPort second(onlyPort(7, line->devicePath()));
    QString error;
    ASSERT_TRUE(openMeterPort(first, 7, &error)) << qPrintable(error);
    EXPECT_FALSE(openMeterPort(second, 7, &error));
    EXPECT_TRUE(error.endsWith(": " + line->devicePath())) << qPrintable(error);
    EXPECT_FALSE(second.portOpen());
    EXPECT_FALSE(first.open(&error));
    EXPECT_TRUE(first.portOpen());

    first.close();
    EXPECT_TRUE(openMeterPort(second, 7, &error)) << qPrintable(error);
}

TEST(QtSerialPort, vanishedDeviceClosesThePortOnceAndKeepsWhatArrived) {
    auto line = plugIn();
    QtSerialPort port(onlyPort(181, line->devicePath()));
    QSignalSpy comm(&port, &SerialPort::comm);
    QSignalSpy lost(&port, &SerialPort::lineLost);
    // What arrived last must be handed out before the loss is told.
    qsizetype commsBeforeLoss = -1;
    QObject::connect(&port, &SerialPort::lineLost, [&] { commsBeforeLoss = comm.count(); });
    QString error;
    ASSERT_TRUE(openMeterPort(port, 181, &error)) << qPrintable(error);
    ASSERT_TRUE(send(*line, "57,AA/"));
    ASSERT_TRUE(waitUntil([&] { return comm.count() >= 1; }, kWaitMs));

    const qsizetype before = comm.count();
    line.reset();
    ASSERT_TRUE(waitUntil([&] { return !port.portOpen(); }, kWaitMs));
    EXPECT_GT(comm.count(), before);
    QTest::qWait(200);
    EXPECT_LE(comm.count(), before + 2) << "notifications keep coming from a closed device";
    EXPECT_EQ(lost.count(), 1);
    EXPECT_GT(commsBeforeLoss, before);
    EXPECT_EQ(port.input(), QByteArray("57,AA/"));
    EXPECT_EQ(port.inBufferCount(), 0);
}
