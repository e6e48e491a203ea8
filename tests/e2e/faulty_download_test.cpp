// Faulty downloads from px417-meter-sim through the real window, and choosing the meter again
// or rescanning while a download is running.
#include "E2eSupport.h"
#include "ExpectedRows.h"
#include "MeterMemory.h"
#include "QtPrinters.h"

#include <QListWidget>
#include <gtest/gtest.h>

#include <functional>

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

namespace {

// A line the test writes itself, so that a reconnection falls at a known place in a packet.
struct CutLine {
    RuntimeDir runtime;
    std::unique_ptr<RawLine> line;
    std::unique_ptr<LiveReader> reader;

    bool start() {
        if (!runtime.ok())
            return false;
        line = std::make_unique<RawLine>(runtime.portsFolder());
        if (!line->ok())
            return false;
        reader = std::make_unique<LiveReader>(runtime.portsFolder());
        return reader->port.portOpen();
    }
    // Sends the text and waits until the reader has read all of it.
    bool send(const QByteArray& text) {
        line->send(text);
        return waitUntil([&] { return line->done() && reader->port.inBufferCount() == 0; },
                         kDownloadMs) &&
               (QTest::qWait(100), reader->port.inBufferCount() == 0);
    }
};

// Where the packet of a slot begins in a download's text.
qsizetype packetStart(const QByteArray& download, int slot) {
    return slot == 0 ? 0 : download.indexOf("/" + QByteArray::number(slot) + ",") + 1;
}

} // namespace

TEST(DuringDownload, aPacketCutByChoosingTheMeterAgainOrRescanningFailsTheCheckAndTheNextSucceeds) {
    CutLine cut;
    ASSERT_TRUE(cut.start());
    LiveReader& reader = *cut.reader;
    const QByteArray earlier = metersim::downloadText(metersim::makeMeterMemory(5));
    ASSERT_TRUE(cut.send(earlier));
    ASSERT_TRUE(showsExpectedRows(reader.slotTable(), reader.mem(), 5));
    const QStringList table = gridTexts(reader.mem(), 101, 8);

    const QByteArray download = metersim::downloadText(metersim::makeMeterMemory(7));
    const std::function<void()> reconnections[] = {[&] { reader.form->L_COM_Ports_Click(); },
                                                   [&] { reader.clickConnection(); }};
    int round = 0;
    for (const auto& reconnect : reconnections) {
        SCOPED_TRACE(round++ == 0 ? "chosen again" : "rescanned");
        // Slots 0 to 19 and the first twelve characters of slot 20.
        const qsizetype at = packetStart(download, 20) + 12;
        ASSERT_TRUE(cut.send(download.left(at)));
        ASSERT_EQ(reader.state(), "Downloading...");
        ASSERT_EQ(reader.detail(), "20%");
        ASSERT_EQ(reader.form->reception().comBuffer(), download.mid(at - 12, 12));

        reconnect();
        EXPECT_TRUE(reader.idle());
        EXPECT_TRUE(reader.port.portOpen());
        EXPECT_EQ(reader.form->lComPorts().count(), 1);

        // The old line's start of slot 20 is dropped, so its end arrives as no packet of its
        // own and slot 20 is missing when slot 100 comes.
        ASSERT_TRUE(cut.send(download.mid(at)));
        EXPECT_EQ(reader.state(), "Data check error.");
        EXPECT_EQ(reader.detail(), "Please try again.");
        EXPECT_EQ(gridTexts(reader.mem(), 101, 8), table);
        for (int slot = 0; slot <= 100; ++slot)
            ASSERT_EQ(reader.form->reception().slotReceived(slot), 0) << slot;
    }

    // Undisturbed, the next download is whole.
    ASSERT_TRUE(cut.send(download));
    EXPECT_TRUE(reader.idle()) << reader.state().toStdString();
    EXPECT_TRUE(showsExpectedRows(reader.slotTable(), reader.mem(), 7));
    EXPECT_TRUE(reader.dialogs.boxes.empty());
    EXPECT_FALSE(reader.program.ended);
}
