// Faulty downloads from px417-meter-sim through the real window, and choosing the meter again
// or rescanning while a download is running.
#include "E2eSupport.h"
#include "MeterMemory.h"
#include "QtPrinters.h"

#include <QListWidget>
#include <gtest/gtest.h>

#include <iostream>

using namespace e2e;

namespace {

constexpr int kDownloadMs = 30000;
const QString kDownloadSent = QStringLiteral("download sent");

// One test's line-up: a runtime folder, the reader in it and the meter of the moment.
struct Bench {
    RuntimeDir runtime;
    std::unique_ptr<MeterProcess> meter;
    std::unique_ptr<LiveReader> reader;

    // Replaces the meter by a new simulator with these options; the reader is created on
    // the first call and finds it at start-up, later calls click "Connection:".
    testing::AssertionResult plugIn(const QStringList& options) {
        if (!runtime.ok())
            return testing::AssertionFailure() << "no runtime folder";
        meter.reset();
        meter = std::make_unique<MeterProcess>();
        QString error;
        if (!meter->start(runtime.path(), options, &error))
            return testing::AssertionFailure() << error.toStdString();
        if (!reader)
            reader = std::make_unique<LiveReader>(runtime.portsFolder());
        else
            reader->clickConnection();
        if (!reader->port.portOpen())
            return testing::AssertionFailure() << "port not open";
        return testing::AssertionSuccess();
    }
    // Waits until the meter has sent everything and the reader has handled it.
    bool settled(int downloads = 1) {
        return meter->waitForLog(kDownloadSent, downloads, kDownloadMs) &&
               waitUntil([&] { return reader->port.inBufferCount() == 0; }, kDownloadMs) &&
               (QTest::qWait(200), true);
    }
    bool failedCheck() const {
        return reader->state() == u"Data check error." && reader->detail() == u"Please try again.";
    }
    // The byte cells of slot s in the slot table, joined by ",".
    QString slotBytes(int slot) const {
        QStringList bytes;
        for (int col = 1; col <= 9; ++col)
            bytes << reader->slotTable().textMatrix(slot + 1, col);
        return bytes.join(u',');
    }
};

QString seedBytes(quint32 seed, int slot) {
    const metersim::MeterMemory memory = metersim::makeMeterMemory(seed);
    QStringList bytes;
    for (const quint8 b : memory.records[static_cast<size_t>(slot)])
        bytes << QString::number(b);
    return bytes.join(u',');
}

bool filledFrom(const Bench& bench, quint32 seed) {
    for (int slot = 0; slot < metersim::kRecordSlots; ++slot)
        if (bench.slotBytes(slot) != seedBytes(seed, slot))
            return false;
    return bench.reader->idle() && bench.reader->mem().textMatrix(100, 0) == u"100";
}

} // namespace

TEST(FaultyDownload, aMissingSlotFailsTheCheckAndLeavesTheTableAsItWas) {
    Bench bench;
    ASSERT_TRUE(bench.plugIn({"--seed", "4", "--speed", "0"}));
    ASSERT_TRUE(waitUntil([&] { return filledFrom(bench, 4); }, kDownloadMs));
    const QStringList table = gridTexts(bench.reader->mem(), 101, 8);

    ASSERT_TRUE(bench.plugIn({"--seed", "6", "--speed", "0", "--drop-slot", "57"}));
    ASSERT_TRUE(bench.settled());
    EXPECT_TRUE(bench.failedCheck()) << bench.reader->state().toStdString();
    EXPECT_EQ(gridTexts(bench.reader->mem(), 101, 8), table);
    // The slot not sent keeps the earlier download's bytes; its neighbours have the new ones.
    EXPECT_EQ(bench.slotBytes(57), seedBytes(4, 57));
    EXPECT_EQ(bench.slotBytes(58), seedBytes(6, 58));
    for (int slot = 0; slot <= 100; ++slot)
        EXPECT_EQ(bench.reader->form->reception().slotReceived(slot), 0) << slot;
}

TEST(FaultyDownload, aTruncatedPacketDoesNotCountAndItsOldBytesAreNotDecodedAsNew) {
    Bench bench;
    ASSERT_TRUE(bench.plugIn({"--seed", "4", "--speed", "0"}));
    ASSERT_TRUE(waitUntil([&] { return filledFrom(bench, 4); }, kDownloadMs));
    const QStringList table = gridTexts(bench.reader->mem(), 101, 8);

    ASSERT_TRUE(bench.plugIn({"--seed", "6", "--speed", "0", "--truncate-slot", "12"}));
    ASSERT_TRUE(bench.settled());
    EXPECT_TRUE(bench.failedCheck()) << bench.reader->state().toStdString();
    EXPECT_EQ(gridTexts(bench.reader->mem(), 101, 8), table);
    // Stored as received, beside the bytes of the download before.
    const QString raw = bench.reader->slotTable().textMatrix(13, 10);
    EXPECT_TRUE(raw.startsWith(u"12,")) << raw.toStdString();
    EXPECT_LT(raw.count(u','), 10);
    EXPECT_EQ(bench.slotBytes(12), seedBytes(4, 12));
}

TEST(FaultyDownload, aDuplicatedSlotCountsOnce) {
    Bench bench;
    ASSERT_TRUE(bench.plugIn({"--seed", "8", "--speed", "0", "--duplicate-slot", "30"}));
    ASSERT_TRUE(bench.settled());
    EXPECT_TRUE(filledFrom(bench, 8)) << bench.reader->state().toStdString();
}

TEST(FaultyDownload, aBrokenOffDownloadFollowedByAFullOneSucceeds) {
    Bench bench;
    ASSERT_TRUE(bench.plugIn({"--seed", "4", "--speed", "0", "--stop-after", "49"}));
    ASSERT_TRUE(bench.settled());
    EXPECT_EQ(bench.reader->state(), "Downloading...");
    EXPECT_EQ(bench.reader->detail(), "50%");
    EXPECT_EQ(bench.reader->mem().textMatrix(1, 1), "");

    ASSERT_TRUE(bench.plugIn({"--seed", "10", "--speed", "0"}));
    ASSERT_TRUE(bench.settled());
    EXPECT_TRUE(filledFrom(bench, 10)) << bench.reader->state().toStdString();
}

TEST(DuringDownload, choosingTheMeterAgainOrRescanningReconnectsAndTheNextDownloadSucceeds) {
    Bench bench;
    ASSERT_TRUE(bench.plugIn({"--seed", "12", "--speed", "9600"}));
    const auto percent = [&] {
        const QString detail = bench.reader->detail();
        return detail.endsWith(u'%') ? detail.chopped(1).toInt() : 0;
    };

    // Choosing the meter again in the list.
    ASSERT_TRUE(waitUntil([&] { return percent() >= 20; }, kDownloadMs));
    bench.reader->form->L_COM_Ports_Click();
    EXPECT_TRUE(bench.reader->idle());
    EXPECT_TRUE(bench.reader->port.portOpen());
    ASSERT_TRUE(bench.settled(1));
    std::cout << "[ figures  ] chosen again at 20%: the download ended as "
              << bench.reader->state().toStdString() << "\n";
    EXPECT_TRUE(bench.reader->state() == u"Ready." || bench.failedCheck() ||
                bench.reader->state() == u"Downloading...")
        << bench.reader->state().toStdString();

    // The meter sends again to the next reader; rescanning during that download.
    bench.reader->form->L_COM_Ports_Click();
    ASSERT_TRUE(waitUntil([&] { return percent() >= 20; }, kDownloadMs));
    bench.reader->clickConnection();
    EXPECT_EQ(bench.reader->form->lComPorts().count(), 1);
    EXPECT_TRUE(bench.reader->idle());
    EXPECT_TRUE(bench.reader->port.portOpen());
    ASSERT_TRUE(bench.settled(2));
    std::cout << "[ figures  ] rescanned at 20%: the download ended as "
              << bench.reader->state().toStdString() << "\n";

    // Undisturbed, the next download is whole.
    bench.reader->form->L_COM_Ports_Click();
    ASSERT_TRUE(bench.settled(3));
    EXPECT_TRUE(filledFrom(bench, 12)) << bench.reader->state().toStdString();
    EXPECT_TRUE(bench.reader->dialogs.boxes.empty());
    EXPECT_FALSE(bench.reader->program.ended);
}
