#include "MeterMemory.h"
#include "MeterProcess.h"
#include "PtyLine.h"
#include "RecordingView.h"
#include "WaitUntil.h"
#include "link/MeterLine.h"
#include "link/Reception.h"
#include "serial/QtSerialPort.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

constexpr int kMeterPort = 181;
constexpr int kDownloadMs = 20000;
// Time in which a second, unwanted completion would show.
constexpr int kSettleMs = 300;

// The reader's side of one run: the real serial port on the simulator's line, feeding
// reception on every notification, opened the way port connection opens it.
struct Reader {
    explicit Reader(const QString& device)
        : port([device](int com) { return com == kMeterPort ? device : QString(); }) {
        QObject::connect(&port, &SerialPort::comm,
                         [this] { reception.onComm(port.input(), view); });
    }

    bool open(QString* error) {
        port.setCommPort(kMeterPort);
        port.setSettings(kMeterLine);
        port.setInputLen(0);
        if (!port.open(error))
            return false;
        view.setStatusText(0, QStringLiteral("Ready."));
        view.setStatusText(1, QStringLiteral("COM:181"));
        view.events.clear();
        return true;
    }

    bool waitForCompletion() {
        const bool ended = waitUntil(
            [this] { return view.decodeCalls > 0 || view.statusText(0) == u"Data check error."; },
            kDownloadMs);
        QTest::qWait(kSettleMs);
        return ended;
    }

    RecordingView view;
    Reception reception;
    QtSerialPort port;
};

void expectSlotRows(const RecordingView& view, const metersim::MeterMemory& memory,
                    int missingSlot = -1) {
    const QRegularExpression stamp("^\\d{4}_\\d{2}_\\d{2} \\d{2}:\\d{2}:\\d{2}$");
    for (int slot = 0; slot < metersim::kRecordSlots; ++slot) {
        SCOPED_TRACE(slot);
        const int row = slot + 1;
        if (slot == missingSlot) {
            for (int col = 0; col < 12; ++col)
                EXPECT_FALSE(view.hasCell(row, col)) << "column " << col;
            continue;
        }
        EXPECT_EQ(view.cell(row, 0), QString::number(slot));
        for (int k = 0; k < metersim::kRecordBytes; ++k)
            EXPECT_EQ(view.cell(row, 1 + k), QString::number(memory.records[slot][k])) << "B" << k;
        EXPECT_EQ(view.cell(row, 10),
                  QString::fromLatin1(metersim::recordPacket(slot, memory.records[slot])));
        EXPECT_TRUE(stamp.match(view.cell(row, 11)).hasMatch()) << qPrintable(view.cell(row, 11));
    }
    EXPECT_EQ(view.cell(101, 0), QStringLiteral("100"));
    EXPECT_EQ(view.cell(101, 10),
              QString::fromLatin1(metersim::calibrationPacket(memory.calibrationWords)));
    EXPECT_TRUE(stamp.match(view.cell(101, 11)).hasMatch());
    for (int col = 1; col <= 9; ++col)
        EXPECT_FALSE(view.hasCell(101, col)) << "calibration row byte column " << col;
}

bool statusWritten(const RecordingView& view, int line, const QString& text) {
    return view.statusWrites(line).contains(text);
}

// One whole download over the line at the given pace.
void runCleanDownload(const QString& speed, quint32 seed) {
    PtyMeter meter;
    QString error;
    ASSERT_TRUE(meter.start({"--speed", speed, "--seed", QString::number(seed)}, &error))
        << qPrintable(error);
    EXPECT_TRUE(meter.link().endsWith("/px417/ports/Arduino USB Serial Light Adapter (COM181)"))
        << qPrintable(meter.link());

    Reader reader(meter.device());
    ASSERT_TRUE(reader.open(&error)) << qPrintable(error);
    ASSERT_TRUE(reader.waitForCompletion()) << qPrintable(meter.errors());

    const RecordingView& view = reader.view;
    EXPECT_EQ(view.decodeCalls, 1);
    EXPECT_EQ(view.statusText(0), QStringLiteral("Ready."));
    EXPECT_EQ(view.statusText(1), QStringLiteral("COM:181"));
    EXPECT_EQ(view.statusAtDecode, qMakePair(QStringLiteral("Ready."), QStringLiteral("COM:181")));
    EXPECT_TRUE(statusWritten(view, 0, "Downloading..."));
    EXPECT_TRUE(statusWritten(view, 1, "100%"));
    expectSlotRows(view, metersim::makeMeterMemory(seed));
    for (int slot = 0; slot <= 100; ++slot)
        EXPECT_EQ(reader.reception.slotReceived(slot), 0) << "flags are reset after the check";

    const QString link = meter.link();
    EXPECT_TRUE(meter.stop());
    EXPECT_FALSE(QFileInfo(link).isSymLink()) << "the simulator left its link behind";
}

} // namespace

TEST(PtyDownload, strayTextAfterADownloadSpoilsNeitherThePanelNorTheNextDownload) {
    const QByteArray clean = metersim::downloadText(metersim::makeMeterMemory(4));
    const metersim::MeterMemory memory = metersim::makeMeterMemory(4);
    // A lone digit would make the next slot 0 read as slot 50; a stray record packet would
    // leave the panel at "Downloading...".
    for (const QByteArray& stray :
         {QByteArray("5"), metersim::recordPacket(3, memory.records[3]) + "/"}) {
        SCOPED_TRACE(stray.toStdString());
        // A line the test writes itself, for text no meter sends.
        PtyLine line;
        QString error;
        ASSERT_TRUE(line.open(&error)) << qPrintable(error);
        Reader reader(line.devicePath());
        ASSERT_TRUE(reader.open(&error)) << qPrintable(error);

        // One write, so that the text reaches the reader together.
        const QByteArray text = clean + stray;
        ASSERT_EQ(line.write(text.constData(), text.size()), text.size());
        ASSERT_TRUE(reader.waitForCompletion());
        EXPECT_EQ(reader.view.decodeCalls, 1);
        EXPECT_EQ(reader.view.statusText(0), QStringLiteral("Ready."));
        EXPECT_EQ(reader.view.statusText(1), QStringLiteral("COM:181"));
        EXPECT_TRUE(reader.reception.comBuffer().isEmpty());

        ASSERT_EQ(line.write(clean.constData(), clean.size()), clean.size());
        ASSERT_TRUE(waitUntil([&] { return reader.view.decodeCalls == 2; }, kDownloadMs))
            << qPrintable(reader.view.statusText(0));
        EXPECT_EQ(reader.view.statusText(0), QStringLiteral("Ready."));
        expectSlotRows(reader.view, memory);
    }
}

TEST(PtyDownload, pacedDownloadFillsEverySlotRowAndEndsReady) {
    runCleanDownload("9600", 7);
}

TEST(PtyDownload, burstDownloadFillsEverySlotRowAndEndsReady) {
    runCleanDownload("0", 8);
}

TEST(PtyDownload, pacedDownloadShowsProgressStepByStep) {
    PtyMeter meter;
    QString error;
    ASSERT_TRUE(meter.start({"--speed", "9600", "--seed", "3", "--stop-after", "30"}, &error))
        << qPrintable(error);
    Reader reader(meter.device());
    ASSERT_TRUE(reader.open(&error)) << qPrintable(error);
    ASSERT_TRUE(waitUntil([&] { return reader.view.statusText(1) == u"31%"; }, kDownloadMs))
        << qPrintable(meter.errors());
    // At 9600 baud the packets trickle in, so most percentages get their own write.
    int progressWrites = 0;
    for (const QString& write : reader.view.statusWrites(1))
        progressWrites += write.endsWith('%') ? 1 : 0;
    EXPECT_GE(progressWrites, 20);
    EXPECT_EQ(reader.view.statusText(0), QStringLiteral("Downloading..."));
    EXPECT_EQ(reader.view.decodeCalls, 0);
}

TEST(PtyDownload, droppedSlotEndsInDataCheckError) {
    PtyMeter meter;
    QString error;
    ASSERT_TRUE(meter.start({"--speed", "0", "--seed", "9", "--drop-slot", "57"}, &error))
        << qPrintable(error);
    Reader reader(meter.device());
    ASSERT_TRUE(reader.open(&error)) << qPrintable(error);
    ASSERT_TRUE(reader.waitForCompletion()) << qPrintable(meter.errors());

    EXPECT_EQ(reader.view.statusText(0), QStringLiteral("Data check error."));
    EXPECT_EQ(reader.view.statusText(1), QStringLiteral("Please try again."));
    EXPECT_EQ(reader.view.decodeCalls, 0);
    expectSlotRows(reader.view, metersim::makeMeterMemory(9), 57);
}

TEST(PtyDownload, aTransferCountsOnlyItsOwnSlotsAfterABrokenOffOne) {
    const metersim::MeterMemory memory = metersim::makeMeterMemory(5);
    for (const int lostSlot : {30, 0}) {
        SCOPED_TRACE(lostSlot);
        PtyLine line;
        QString error;
        ASSERT_TRUE(line.open(&error)) << qPrintable(error);
        Reader reader(line.devicePath());
        ASSERT_TRUE(reader.open(&error)) << qPrintable(error);
        const auto send = [&line](const QByteArray& text) {
            return line.write(text.constData(), text.size()) == text.size();
        };

        // Cancelled on the meter after slot 59.
        metersim::DownloadFaults cancelled;
        cancelled.stopAfter = 59;
        ASSERT_TRUE(send(metersim::downloadText(memory, cancelled)));
        ASSERT_TRUE(waitUntil([&] { return reader.view.statusText(1) == u"60%"; }, kDownloadMs));

        metersim::DownloadFaults lost;
        lost.dropSlots = {lostSlot};
        ASSERT_TRUE(send(metersim::downloadText(memory, lost)));
        ASSERT_TRUE(reader.waitForCompletion());
        EXPECT_EQ(reader.view.statusText(0), QStringLiteral("Data check error."));
        EXPECT_EQ(reader.view.statusText(1), QStringLiteral("Please try again."));
        EXPECT_EQ(reader.view.decodeCalls, 0);
    }
}
