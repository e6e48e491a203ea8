// The real window against the simulated meter on a pseudo-terminal: discovery through the
// runtime folder, automatic connection, a paced download decoded into the table.
#include "../link/pty_meter.h"
#include "Calibration.h"
#include "Clock.h"
#include "Controls.h"
#include "Fakes.h"
#include "Form1.h"
#include "Grid.h"
#include "MeterMemory.h"
#include "QtPrinters.h"
#include "QtSerialPort.h"
#include "RecordDecoder.h"
#include "SystemDeviceList.h"

#include <QListWidget>
#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kDownloadMs = 20000;

// The reader as main() builds it, but with the simulator's folder as its only devices and
// fakes for the dialogs and the program's end.
struct LiveReader {
    explicit LiveReader(const QString& runtimeDir)
        : devices(runtimeDir + "/px417/ports", [] { return QList<portnaming::SerialPortFacts>(); }),
          port([this](int com) { return devices.deviceNode(com); }) {
        form = std::make_unique<Form1>(port, devices, dialogs, clock, program, 15.0);
        form->Form_Load();
    }
    QString state() const { return form->lStatus(0).text(); }

    SystemDeviceList devices;
    QtSerialPort port;
    FakeDialogs dialogs;
    SystemClock clock;
    FakeProgram program;
    std::unique_ptr<Form1> form;
};

} // namespace

TEST(WindowEndToEnd, findsTheSimulatedMeterConnectsAndShowsThePacedDownload) {
    PtyMeter meter;
    QString error;
    ASSERT_TRUE(meter.start({"--seed", "7", "--speed", "9600"}, &error)) << error.toStdString();
    LiveReader reader(meter.runtimeDir());
    ASSERT_EQ(reader.form->lComPorts().count(), 1);
    EXPECT_EQ(reader.form->lComPorts().item(0)->text(), "QT570R (COM181)");
    ASSERT_TRUE(reader.port.portOpen()) << "dialogs shown: " << reader.dialogs.boxes.size();
    EXPECT_EQ(reader.form->lStatus(1).text(), "COM:181");

    const Grid& mem = reader.form->fgMem();
    ASSERT_TRUE(waitUntil([&] { return mem.textMatrix(100, 0) == "100"; }, kDownloadMs))
        << reader.state().toStdString() << " " << meter.errors().toStdString();
    EXPECT_EQ(reader.state(), "Ready.");
    EXPECT_EQ(reader.form->lStatus(1).text(), "COM:181");

    const metersim::MeterMemory memory = metersim::makeMeterMemory(7);
    const CalibrationFactors factors = parseCalibration(
        QString::fromLatin1(metersim::calibrationPacket(memory.calibrationWords)));
    for (int slot : {0, 41, 99}) {
        const RowTexts expected =
            decodeRecord(slot + 1, memory.records[static_cast<size_t>(slot)], factors);
        for (int c = 0; c < 8; ++c)
            EXPECT_EQ(mem.textMatrix(slot + 1, c), expected[static_cast<size_t>(c)])
                << "slot " << slot << " column " << c;
    }
    EXPECT_TRUE(reader.dialogs.boxes.empty());
    EXPECT_FALSE(reader.program.ended);
}

TEST(WindowEndToEnd, aBrokenOffTransferKeepsDownloadingUntilTheMeterIsChosenAgain) {
    PtyMeter meter;
    QString error;
    ASSERT_TRUE(meter.start({"--speed", "0", "--stop-after", "49"}, &error))
        << error.toStdString();
    LiveReader reader(meter.runtimeDir());
    ASSERT_TRUE(reader.port.portOpen());
    ASSERT_TRUE(waitUntil([&] { return reader.form->lStatus(1).text() == "50%"; }, kDownloadMs));
    QTest::qWait(300);
    EXPECT_EQ(reader.state(), "Downloading...");
    reader.form->C_Clear_Click(); // refused while downloading
    EXPECT_EQ(reader.form->fgMem().textMatrix(0, 0), "Slot#");
    EXPECT_EQ(reader.state(), "Downloading...");

    reader.form->L_COM_Ports_Click();
    EXPECT_EQ(reader.state(), "Ready.");
    EXPECT_EQ(reader.form->lStatus(1).text(), "COM:181");
    EXPECT_TRUE(reader.port.portOpen());
}
