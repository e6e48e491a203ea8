// A download kept by the real window from the simulated meter on a pty, and opened again.
#include "E2eSupport.h"
#include "FileDrop.h"
#include "Files.h"
#include "MeterMemory.h"
#include "QtPrinters.h"

#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>

namespace {

constexpr int kDownloadMs = 20000;

} // namespace

TEST(KeptDownloadWindow, aPtyDownloadIsKeptAsSentAndOpensAgainIntoTheSameTablesOnTheOpenLine) {
    RuntimeDir runtime;
    ASSERT_TRUE(runtime.ok());
    MeterProcess meter;
    QString error;
    ASSERT_TRUE(meter.start(runtime.path(), {"--seed", "9", "--speed", "0"}, &error))
        << error.toStdString();
    LiveReader reader(runtime.portsFolder());
    const QDir folder(reader.store.folder());
    const QStringList before = folder.entryList(QDir::Files);
    ASSERT_TRUE(waitUntil([&] { return reader.mem().textMatrix(100, 0) == "100"; }, kDownloadMs))
        << reader.state().toStdString() << " " << meter.errors().toStdString();

    QStringList kept = folder.entryList(QDir::Files);
    for (const QString& old : before)
        kept.removeOne(old);
    ASSERT_EQ(kept.size(), 1);
    const QString path = folder.filePath(kept.first());
    EXPECT_EQ(fileBytes(path), metersim::downloadText(metersim::makeMeterMemory(9)));

    const QStringList slotTable = gridTexts(reader.slotTable(), 102, 12);
    const QStringList memTable = gridTexts(reader.mem(), 101, 8);
    reader.form->C_Clear_Click();
    ASSERT_NE(gridTexts(reader.mem(), 101, 8), memTable);

    // Dropped on the window, as from a file manager; it opens once the drop has ended.
    ASSERT_TRUE(dropFile(reader.form.get(), path));
    QCoreApplication::processEvents();

    EXPECT_EQ(gridTexts(reader.mem(), 101, 8), memTable);
    const QStringList reopened = gridTexts(reader.slotTable(), 102, 12);
    // The file keeps the packets, not when each arrived: "Received" (column 11) is left out.
    for (qsizetype i = 0; i < reopened.size(); ++i) {
        if (i % 12 != 11) {
            EXPECT_EQ(reopened.at(i), slotTable.at(i)) << "row " << i / 12 << " col " << i % 12;
        }
    }
    EXPECT_TRUE(reader.dialogs.boxes.empty());
    EXPECT_TRUE(reader.port.portOpen()) << "the meter's line was touched";
    EXPECT_EQ(reader.state(), QStringLiteral("Ready."));
    EXPECT_EQ(reader.detail(), QStringLiteral("COM:181"));
    EXPECT_EQ(folder.entryList(QDir::Files).size(), before.size() + 1)
        << "an opened download was kept again";
}
