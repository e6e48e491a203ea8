// Fault injection on the real serial line: the meter unplugged mid-download, line noise, and a
// burst of downloads at full speed.
#include "E2eSupport.h"
#include "ExpectedRows.h"
#include "MeterMemory.h"
#include "QtPrinters.h"

#include <QAbstractItemModel>
#include <QListWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <iostream>

using namespace e2e;

namespace {

constexpr int kDownloadMs = 30000;

int percent(const QString& detail) {
    return detail.endsWith(u'%') ? detail.chopped(1).toInt() : -1;
}

} // namespace

TEST(Unplug, meterGoneMidDownloadSaysSoKeepsAnExportableTableAndTheNextMeterIsFoundByItself) {
    RuntimeDir runtime;
    ASSERT_TRUE(runtime.ok());
    auto meter = std::make_unique<MeterProcess>();
    QString error;
    // Two downloads back to back: the first fills the table, the second is cut off.
    ASSERT_TRUE(
        meter->start(runtime.path(), {"--seed", "3", "--speed", "9600", "--repeat", "2"}, &error))
        << error.toStdString();
    LiveReader reader(runtime.portsFolder(), true);
    ASSERT_TRUE(reader.port.portOpen());

    ASSERT_TRUE(waitUntil([&] { return reader.mem().textMatrix(100, 0) == u"100"; }, kDownloadMs))
        << reader.state().toStdString() << " / " << reader.detail().toStdString() << " "
        << meter->errors().toStdString();
    ASSERT_TRUE(waitUntil([&] { return percent(reader.detail()) >= 30; }, kDownloadMs));
    const QStringList tableBefore = gridTexts(reader.mem(), 101, 8);

    meter->stop();
    ASSERT_FALSE(QFileInfo::exists(meter->link())) << "the simulator left its link";
    ASSERT_TRUE(waitUntil([&] { return reader.state() == u"Connection lost."; }, 5000))
        << reader.state().toStdString();
    EXPECT_EQ(reader.detail(), "Please reconnect.");
    const double cpuBefore = cpuSeconds();
    QTest::qWait(2000);
    const double cpuUsed = cpuSeconds() - cpuBefore;
    std::cout << "[ figures  ] reader CPU in the 2 s after the unplug: " << cpuUsed << " s\n";
    EXPECT_LT(cpuUsed, 0.2) << "busy loop after the device went away";

    EXPECT_FALSE(reader.port.portOpen());
    EXPECT_EQ(reader.form->lComPorts().count(), 0) << "the gone meter is still listed";
    EXPECT_EQ(gridTexts(reader.mem(), 101, 8), tableBefore);
    EXPECT_TRUE(reader.form->reception().comBuffer().isEmpty());
    EXPECT_TRUE(reader.dialogs.boxes.empty());
    EXPECT_FALSE(reader.program.ended);

    // The table held from the first download exports whole.
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("after-pull.csv"));
    reader.dialogs.saveAnswers << name;
    reader.form->C_Export_Click(0);
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "export refused after the pull";
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 103);
    EXPECT_EQ(lines[2], tableBefore.mid(8, 8).join(u',').toLatin1() + '\r');
    EXPECT_TRUE(reader.dialogs.boxes.empty());

    // Plugged in again: found, connected and downloaded without a click.
    meter = std::make_unique<MeterProcess>();
    ASSERT_TRUE(meter->start(runtime.path(), {"--seed", "11", "--speed", "0"}, &error))
        << error.toStdString();
    ASSERT_TRUE(waitUntil([&] { return showsExpectedRows(reader.slotTable(), reader.mem(), 11); },
                          kDownloadMs))
        << reader.state().toStdString() << " / " << reader.detail().toStdString() << "\n"
        << showsExpectedRows(reader.slotTable(), reader.mem(), 11).message();
    EXPECT_TRUE(reader.idle());
    EXPECT_EQ(reader.form->lComPorts().count(), 1);
    EXPECT_TRUE(reader.dialogs.boxes.empty());
}

TEST(Noise, junkNulsNonAsciiAndTenMegabytesWithoutSlashKeepMemoryBoundedAndTheNextDownloadWorks) {
    RuntimeDir runtime;
    ASSERT_TRUE(runtime.ok());
    auto line = std::make_unique<RawLine>(runtime.portsFolder());
    ASSERT_TRUE(line->ok());
    LiveReader reader(runtime.portsFolder());
    ASSERT_TRUE(reader.port.portOpen());

    // A download with junk between its packets, then noise of every kind.
    metersim::DownloadFaults junk;
    junk.junk = true;
    QByteArray noise = metersim::downloadText(metersim::makeMeterMemory(2), junk);
    noise += QByteArray("\0\0\0\xff\xfe\xc3\x28 junk,,,\x80\x81", 14);
    noise += QStringLiteral("Grüße, µm, °C, 测量").toUtf8();
    noise += QByteArray("\xe2\x82", 2); // a UTF-8 sequence broken off
    // Ten megabytes without "/", mixed bytes including NUL and every high value.
    QByteArray stream(10 * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < stream.size(); ++i) {
        const char c = static_cast<char>((i * 131 + 7) % 256);
        stream[i] = c == '/' ? '\0' : c;
    }
    noise += stream;

    const long rssBefore = residentKiB();
    long rssPeak = rssBefore;
    qsizetype bufferPeak = 0;
    line->send(noise);
    ASSERT_TRUE(waitUntil(
        [&] {
            rssPeak = std::max(rssPeak, residentKiB());
            bufferPeak = std::max(bufferPeak, reader.form->reception().comBuffer().size());
            return line->done() && reader.port.inBufferCount() == 0;
        },
        120000));
    QTest::qWait(200);
    std::cout << "[ figures  ] noise: resident memory " << rssBefore << " KiB before, peak "
              << rssPeak << " KiB (+" << (rssPeak - rssBefore) << " KiB); ComBuffer peak "
              << bufferPeak << " bytes\n";
    EXPECT_LE(bufferPeak, 4096);
    if (kMemoryFiguresMeaningful) {
        EXPECT_LT(rssPeak - rssBefore, 16 * 1024) << "memory grew with the noise";
    }
    // Junk glued to a packet's front makes it slot 0 (a field 0 without a number), so the
    // junk download fails its check; the noise after it is no packet at all.
    EXPECT_EQ(reader.state(), "Data check error.");
    EXPECT_EQ(reader.detail(), "Please try again.");
    EXPECT_EQ(reader.mem().textMatrix(1, 1), "");

    // The meter proper comes in place of the noisy line.
    line.reset();
    MeterProcess meter;
    QString error;
    ASSERT_TRUE(meter.start(runtime.path(), {"--seed", "5", "--speed", "0"}, &error))
        << error.toStdString();
    reader.clickConnection();
    ASSERT_TRUE(reader.port.portOpen());
    ASSERT_TRUE(waitUntil([&] { return showsExpectedRows(reader.slotTable(), reader.mem(), 5); },
                          kDownloadMs))
        << reader.state().toStdString() << " / " << reader.detail().toStdString();
    EXPECT_TRUE(reader.idle());
}

TEST(Burst, threeHundredDownloadsOneAfterAnotherAllCompleteWithoutMemoryGrowth) {
    // The meter sends one download per transfer; the next transfer is started once the reader
    // has handled the one before, as fast as that goes.
    constexpr int kDownloads = 300;
    RuntimeDir runtime;
    ASSERT_TRUE(runtime.ok());
    MeterProcess meter;
    QString error;
    ASSERT_TRUE(meter.start(runtime.path(), {"--seed", "9", "--speed", "0"}, &error))
        << error.toStdString();
    LiveReader reader(runtime.portsFolder());
    ASSERT_TRUE(reader.port.portOpen());

    // Slot 0 of each download restamps row 1 (the clock moves on with every packet). At that
    // moment the panel still shows the outcome of the download before. Slot 100 ends one.
    auto* slotView = reader.form->fgData().findChild<QTableView*>();
    ASSERT_NE(slotView, nullptr);
    QStringList outcomes;
    std::vector<long> rssAtDownload;
    int ended = 0;
    bool transfersStarted = true;
    QObject::connect(slotView->model(), &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& topLeft) {
                         if (topLeft.column() != 11)
                             return;
                         if (topLeft.row() == 0) {
                             outcomes << reader.state();
                             rssAtDownload.push_back(residentKiB());
                         } else if (topLeft.row() == 100 && ++ended < kDownloads) {
                             transfersStarted = transfersStarted && meter.startTransfer();
                         }
                     });

    ASSERT_TRUE(waitUntil(
        [&] { return ended == kDownloads && reader.state() != u"Downloading..."; }, 110000))
        << outcomes.size() << " downloads begun, " << ended << " ended; "
        << reader.state().toStdString() << " " << meter.errors().toStdString();
    EXPECT_TRUE(transfersStarted);
    EXPECT_EQ(outcomes.size(), kDownloads);
    EXPECT_EQ(outcomes.count(QStringLiteral("Ready.")), kDownloads)
        << "an earlier download did not complete";
    EXPECT_TRUE(reader.idle());
    EXPECT_TRUE(showsExpectedRows(reader.slotTable(), reader.mem(), 9));
    EXPECT_EQ(reader.form->reception().comBuffer().size(), 0);

    ASSERT_GE(rssAtDownload.size(), size_t(kDownloads));
    const long early = rssAtDownload[100];
    const long late = rssAtDownload.back();
    std::cout << "[ figures  ] burst: resident memory at download 100 " << early
              << " KiB, at download " << kDownloads << " " << late << " KiB, peak "
              << *std::max_element(rssAtDownload.begin(), rssAtDownload.end()) << " KiB\n";
    if (kMemoryFiguresMeaningful) {
        EXPECT_LT(late - early, 4 * 1024) << "memory grows from one download to the next";
    }
}
