#include "link/Reception.h"

#include "Download.h"
#include "QtPrinters.h"
#include "RecordingView.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

// Bytes that tell slots apart.
metersim::MeterRecord slotBytes(int slot) {
    metersim::MeterRecord record{};
    for (size_t k = 0; k < record.size(); ++k)
        record[k] = static_cast<quint8>((slot * 7 + int(k)) % 256);
    return record;
}

// A slot's record packet, "/" included.
QByteArray recordPacket(int slot) {
    return metersim::recordPacket(slot, slotBytes(slot)) + '/';
}

// The calibration packet cut to its first fields, "/" included.
QByteArray calibrationPacket(int fields = 14) {
    return metersim::calibrationPacket(kCalibrationK15).split(',').mid(0, fields).join(',') + '/';
}

QByteArray download(int skip = -1) {
    return downloadOf(slotBytes, kCalibrationK15, skip);
}

// One notification for each packet, and one for any unterminated rest.
void sendPackets(Reception& reception, RecordingView& view, const QByteArray& text) {
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype slash = text.indexOf('/', start);
        const qsizetype end = slash < 0 ? text.size() : slash + 1;
        reception.onComm(text.mid(start, end - start), view);
        start = end;
    }
}

void expectAllFlagsClear(const Reception& reception) {
    for (int slot = 0; slot <= kCalibrationSlot; ++slot)
        EXPECT_EQ(reception.slotReceived(slot), 0) << "slot " << slot;
}

} // namespace

TEST(Reception, singlePacketInOneReadWritesItsRowAndProgress) {
    Reception reception;
    RecordingView view;
    reception.onComm("5,01,02,03,04,05,06,07,08,09,AA/", view);
    const QStringList expected{"5",
                               "1",
                               "2",
                               "3",
                               "4",
                               "5",
                               "6",
                               "7",
                               "8",
                               "9",
                               "5,01,02,03,04,05,06,07,08,09,AA",
                               "2027_02_01 21:05:03"};
    for (int col = 0; col < kSlotTableCols; ++col)
        EXPECT_EQ(view.cells.textMatrix(6, col), expected[col]) << "column " << col;
    EXPECT_EQ(view.events, QStringList({"0=Downloading...", "1=6%"}));
    EXPECT_EQ(reception.slotReceived(5), 1);
    EXPECT_TRUE(reception.comBuffer().isEmpty());
}

TEST(Reception, partialPacketsAndEmptyNotificationsChangeNothing) {
    Reception reception;
    RecordingView view;
    reception.onComm("5,01,02,0", view);
    reception.onComm("3,04,05,06,07,08,0", view);
    reception.onComm(QByteArray(), view);
    EXPECT_EQ(view.cellWrites, 0);
    EXPECT_TRUE(view.events.isEmpty());
    EXPECT_EQ(reception.comBuffer(), "5,01,02,03,04,05,06,07,08,0");
    reception.onComm("9,AA/", view);
    EXPECT_EQ(view.cells.textMatrix(6, kRawColumn), "5,01,02,03,04,05,06,07,08,09,AA");
    EXPECT_EQ(view.statusText(1), "6%");
}

TEST(Reception, twoPacketsInOneReadAreBothHandledAndTheRestIsKept) {
    Reception reception;
    RecordingView view;
    reception.onComm(recordPacket(3) + recordPacket(4) + "5,0", view);
    EXPECT_EQ(view.cells.textMatrix(4, kSlotColumn), "3");
    EXPECT_EQ(view.cells.textMatrix(5, kSlotColumn), "4");
    EXPECT_EQ(view.statusWrites(1), QStringList({"4%", "5%"}));
    EXPECT_EQ(reception.comBuffer(), "5,0");
}

TEST(Reception, packetOfOtherFieldCountWritesOnlySlotRawAndTime) {
    for (const QByteArray packet : {"7,01,02,03,04,05,06,07,08,09", "7,1,2,3,4,5,6,7,8,9,AA,BB"}) {
        Reception reception;
        RecordingView view;
        view.cells.setTextMatrix(8, 1, "old");
        reception.onComm(packet + '/', view);
        EXPECT_EQ(view.cells.textMatrix(8, kSlotColumn), "7");
        EXPECT_EQ(view.cells.textMatrix(8, kRawColumn), QString::fromLatin1(packet));
        EXPECT_EQ(view.cells.textMatrix(8, kReceivedColumn), "2027_02_01 21:05:03");
        EXPECT_EQ(view.cells.textMatrix(8, 1), "old");
        EXPECT_EQ(view.cellWrites, 3);
        EXPECT_TRUE(view.events.isEmpty());
        // A truncated or overlong record cannot be decoded, so it does not count.
        EXPECT_EQ(reception.slotReceived(7), 0);
    }
}

TEST(Reception, hexBytesOfEitherCaseAndHighBytesAreHandled) {
    Reception reception;
    RecordingView view;
    const QByteArray packet = "1,ff,FF,0a,0A,7,x,,1g,\xB5,A\xFF";
    reception.onComm(packet + '/', view);
    const QStringList expected{"255", "255", "10", "10", "7", "0", "0", "1", "0"};
    for (int k = 0; k < kRecordBytes; ++k)
        EXPECT_EQ(view.cells.textMatrix(2, kFirstByteColumn + k), expected[k]) << "byte " << k;
    EXPECT_EQ(view.cells.textMatrix(2, kRawColumn).toLatin1(), packet);
}

TEST(Reception, fullDownloadEndsReadyThenDecodesOnce) {
    for (const int chunk : {0, 1, 1 << 20}) {
        Reception reception;
        RecordingView view;
        const QByteArray text = download();
        if (chunk == 0)
            sendPackets(reception, view, text);
        else
            for (qsizetype i = 0; i < text.size(); i += chunk)
                reception.onComm(text.mid(i, chunk), view);

        QStringList progress;
        for (int percent = 1; percent <= 100; ++percent)
            progress << QStringLiteral("%1%").arg(percent);
        EXPECT_EQ(view.statusWrites(1), progress + QStringList({"101", "COM:181"}));
        EXPECT_EQ(view.statusWrites(0), QStringList({"Downloading...", "Ready."}));
        EXPECT_EQ(view.decodeCalls, 1);
        EXPECT_EQ(view.events.last(), "decode");
        EXPECT_EQ(view.cells.textMatrix(101, kRawColumn) + '/', calibrationPacket());
        EXPECT_TRUE(view.cells.textMatrix(101, 1).isEmpty());
        EXPECT_EQ(view.cells.textMatrix(100, kRawColumn) + '/', recordPacket(99));
        expectAllFlagsClear(reception);
        EXPECT_TRUE(reception.comBuffer().isEmpty());
    }
}

TEST(Reception, whatFollowsSlot100InTheSameReadIsDroppedWithTheBuffer) {
    {
        // A stray "5" after the last "/" would make the next download's slot 0 read as 50.
        Reception reception;
        RecordingView view;
        reception.onComm(download() + "5", view);
        EXPECT_EQ(view.decodeCalls, 1);
        EXPECT_TRUE(reception.comBuffer().isEmpty());
        sendPackets(reception, view, download());
        EXPECT_EQ(view.decodeCalls, 2);
        EXPECT_EQ(view.statusText(0), "Ready.");
        EXPECT_EQ(view.statusText(1), "COM:181");
        EXPECT_EQ(view.cells.textMatrix(1, kRawColumn) + '/', recordPacket(0));
    }
    {
        // A stray record packet must not leave the panel at "Downloading...".
        Reception reception;
        RecordingView view;
        reception.onComm(download() + recordPacket(3) + "4,01", view);
        EXPECT_EQ(view.decodeCalls, 1);
        EXPECT_EQ(view.statusText(0), "Ready.");
        EXPECT_EQ(view.statusText(1), "COM:181");
        EXPECT_EQ(reception.slotReceived(3), 0);
        EXPECT_TRUE(reception.comBuffer().isEmpty());
    }
    {
        // Two downloads in one read: the first is checked and decoded, the second dropped.
        Reception reception;
        RecordingView view;
        reception.onComm(download() + download(), view);
        EXPECT_EQ(view.decodeCalls, 1);
        EXPECT_EQ(view.statusWrites(0), QStringList({"Downloading...", "Ready."}));
        expectAllFlagsClear(reception);
        EXPECT_TRUE(reception.comBuffer().isEmpty());
    }
}

TEST(Reception, missingSlotFailsAndTheNextDownloadSucceeds) {
    Reception reception;
    RecordingView view;
    view.cells.setTextMatrix(58, kRawColumn, "earlier");
    sendPackets(reception, view, download(57));
    EXPECT_EQ(view.events.mid(view.events.size() - 3),
              QStringList({"1=100", "0=Data check error.", "1=Please try again."}));
    EXPECT_EQ(view.decodeCalls, 0);
    EXPECT_EQ(view.cells.textMatrix(58, kRawColumn), "earlier");
    expectAllFlagsClear(reception);

    sendPackets(reception, view, download());
    EXPECT_EQ(view.statusText(0), "Ready.");
    EXPECT_EQ(view.statusText(1), "COM:181");
    EXPECT_EQ(view.decodeCalls, 1);
}

TEST(Reception, slotDeliveredTwiceCountsOnceAndKeepsTheLaterPacket) {
    Reception reception;
    RecordingView view;
    QByteArray text = download();
    text.insert(text.indexOf(recordPacket(11)), "10,ff,ff,ff,ff,ff,ff,ff,ff,ff,BB/");
    sendPackets(reception, view, text);
    EXPECT_TRUE(view.events.contains("1=101"));
    EXPECT_EQ(view.statusText(0), "Ready.");
    EXPECT_EQ(view.cells.textMatrix(11, 1), "255");
    // The repeat's progress text equals what the line shows, so it is not written again.
    EXPECT_EQ(view.statusWrites(1).count("11%"), 1);
}

TEST(Reception, brokenOffDownloadThenFullDownloadSucceeds) {
    Reception reception;
    RecordingView view;
    for (int slot = 0; slot < 50; ++slot)
        reception.onComm(recordPacket(slot), view);
    EXPECT_EQ(view.statusText(1), "50%");
    EXPECT_EQ(reception.slotReceived(49), 1);
    sendPackets(reception, view, download());
    EXPECT_EQ(view.statusText(0), "Ready.");
    EXPECT_EQ(view.decodeCalls, 1);

    reception.onComm(recordPacket(0), view);
    reception.resetFlags();
    expectAllFlagsClear(reception);
}

TEST(Reception, calibrationPacketNeedsThirteenFieldsToCount) {
    for (const int fields : {4, 11, 12, 13}) {
        Reception reception;
        RecordingView view;
        sendPackets(reception, view,
                    download().replace(calibrationPacket(), calibrationPacket(fields)));
        EXPECT_EQ(view.cells.textMatrix(101, kRawColumn) + '/', calibrationPacket(fields));
        EXPECT_EQ(view.statusText(0), fields >= 13 ? "Ready." : "Data check error.") << fields;
        EXPECT_EQ(view.decodeCalls, fields >= 13 ? 1 : 0) << fields;
    }
}

TEST(Reception, emptyPacketsAndSlotsOutsideTheMeterAreIgnored) {
    Reception reception;
    RecordingView view;
    const QByteArray rest = ",01,02,03,04,05,06,07,08,09,AA/";
    reception.onComm("//-1" + rest + "101" + rest + "1e9" + rest, view);
    reception.onComm("99999999999999999999" + rest + "100.6,1,2,3,4,5,6,7,8,9,10,11,12,13/", view);
    EXPECT_EQ(view.cellWrites, 0);
    EXPECT_TRUE(view.events.isEmpty());
    expectAllFlagsClear(reception);

    // Packets after ignored ones in the same read are still handled; no number is slot 0.
    reception.onComm("/-5" + rest + "abc" + rest, view);
    EXPECT_EQ(view.cells.textMatrix(1, kSlotColumn), "0");
    EXPECT_EQ(reception.slotReceived(0), 1);
}

TEST(Reception, streamWithoutSlashKeepsTheBufferBounded) {
    Reception reception;
    RecordingView view;
    // A cut piece of this junk would read as a slot-0 packet, so it must not be handled.
    const QByteArray junk = QByteArray("0,").repeated(32 * 1024);
    for (int i = 0; i < 160; ++i) {
        reception.onComm(junk, view);
        ASSERT_LE(reception.comBuffer().size(), PacketFramer::kMaxPending);
    }
    reception.onComm(QByteArray(10 * 1024 * 1024, '0'), view);
    EXPECT_LE(reception.comBuffer().size(), PacketFramer::kMaxPending);
    reception.onComm("/" + recordPacket(4), view);
    EXPECT_EQ(view.cellWrites, kSlotTableCols);
    EXPECT_EQ(view.cells.textMatrix(5, kSlotColumn), "4");
}

TEST(Reception, aCheckedDownloadIsHandedOutWhileDecodingAsThePacketsThatCountedInTheirOrder) {
    // Slot 3 comes twice in a row, the second time with other bytes, and a cut copy of slot 60
    // follows slot 60 and does not count: the packets are slot 3's second and slot 60's first.
    const QByteArray second3 = "3,01,02,03,04,05,06,07,08,09,BB";
    QByteArray text;
    QList<QByteArray> expected;
    for (int slot = 0; slot < kCalibrationSlot; ++slot) {
        text += recordPacket(slot);
        if (slot == 3) {
            text += second3 + '/';
            expected << second3;
        } else {
            expected << recordPacket(slot).chopped(1);
        }
        if (slot == 60)
            text += "60,01,02/";
    }
    text += calibrationPacket();
    expected << calibrationPacket().chopped(1);

    struct View : RecordingView {
        const Reception* reception = nullptr;
        QList<QByteArray> handedOut;
        void decodeMemory() override {
            RecordingView::decodeMemory();
            handedOut = reception->completedDownload();
        }
    } view;
    Reception reception;
    view.reception = &reception;
    sendPackets(reception, view, text);

    ASSERT_EQ(view.decodeCalls, 1);
    EXPECT_EQ(view.handedOut, expected);
    EXPECT_TRUE(reception.completedDownload().isEmpty());
}
