// The real window against the simulated meter on a pseudo-terminal: discovery through the
// runtime folder, automatic connection, a paced download decoded into the table.
#include "E2eSupport.h"
#include "ExpectedRows.h"
#include "QtPrinters.h"

#include <QListWidget>
#include <QSet>
#include <gtest/gtest.h>

using namespace e2e;

namespace {

constexpr int kDownloadMs = 20000;

// A simulator in a private runtime directory, and the reader started against it.
struct Session {
    RuntimeDir runtime;
    MeterProcess meter;
    std::unique_ptr<LiveReader> reader;

    bool start(const QStringList& options, QString* error) {
        if (!runtime.ok() || !meter.start(runtime.path(), options, error))
            return false;
        reader = std::make_unique<LiveReader>(runtime.portsFolder());
        return true;
    }
};

} // namespace

TEST(WindowEndToEnd, findsTheSimulatedMeterConnectsAndShowsThePacedDownload) {
    Session session;
    QString error;
    ASSERT_TRUE(session.start({"--seed", "7", "--speed", "9600"}, &error)) << error.toStdString();
    LiveReader& reader = *session.reader;
    MeterProcess& meter = session.meter;
    ASSERT_EQ(reader.form->lComPorts().count(), 1);
    EXPECT_EQ(reader.form->lComPorts().item(0)->text(), "QT570R (COM181)");
    ASSERT_TRUE(reader.port.portOpen()) << "dialogs shown: " << reader.dialogs.boxes.size();
    EXPECT_EQ(reader.form->lStatus(1).text(), "COM:181");

    const Grid& mem = reader.mem();
    ASSERT_TRUE(waitUntil([&] { return mem.textMatrix(100, 0) == "100"; }, kDownloadMs))
        << reader.state().toStdString() << " " << meter.errors().toStdString();
    EXPECT_EQ(reader.state(), "Ready.");
    EXPECT_EQ(reader.form->lStatus(1).text(), "COM:181");

    EXPECT_TRUE(showsExpectedRows(reader.slotTable(), mem, 7));
    EXPECT_TRUE(reader.dialogs.boxes.empty());
    EXPECT_FALSE(reader.program.ended);
}

TEST(WindowEndToEnd, aBrokenOffTransferKeepsDownloadingUntilTheMeterIsChosenAgain) {
    Session session;
    QString error;
    ASSERT_TRUE(session.start({"--speed", "0", "--stop-after", "49"}, &error))
        << error.toStdString();
    LiveReader& reader = *session.reader;
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

TEST(WindowEndToEnd, aDownloadSortedByEveryColumnExportsWholeRowsInWindows1252) {
    Session session;
    QString error;
    ASSERT_TRUE(session.start({"--speed", "0"}, &error)) << error.toStdString();
    LiveReader& reader = *session.reader;
    reader.form->show();
    Grid& mem = reader.form->fgMem();
    ASSERT_TRUE(waitUntil([&] { return mem.textMatrix(100, 0) == "100"; }, kDownloadMs));

    QSet<QString> rowsBefore;
    for (int r = 1; r <= 100; ++r) {
        QStringList cells;
        for (int c = 0; c < 8; ++c)
            cells << mem.textMatrix(r, c);
        rowsBefore << cells.join(',');
    }
    QTemporaryDir dir;
    int x = 0;
    for (int c = 0; c < 8; ++c) {
        const int width = mem.colWidth(c) / 15;
        const QPoint p(x + width / 2, 10);
        x += width;
        QWidget* header = mem.childAt(p);
        ASSERT_NE(header, nullptr);
        QTest::mouseClick(header, Qt::LeftButton, {}, header->mapFrom(&mem, p));
        const QString name = dir.filePath(QStringLiteral("sorted-%1.csv").arg(c));
        reader.dialogs.saveAnswers << name;
        reader.form->C_Export_Click(0);
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "column " << c;
        const QList<QByteArray> lines = file.readAll().split('\n');
        ASSERT_EQ(lines.size(), 103);
        QSet<QString> rowsAfter;
        for (int i = 2; i < 102; ++i) {
            ASSERT_TRUE(lines[i].endsWith('\r'));
            const QByteArray line = lines[i].chopped(1);
            ASSERT_EQ(line.count(','), 7) << line.data();
            rowsAfter << QString::fromLatin1(line);
        }
        EXPECT_EQ(rowsAfter.size(), 100);
        // Latin-1 and Windows-1252 agree on the unit symbols, so decoding as Latin-1 must
        // give back exactly the rows the table showed.
        EXPECT_EQ(rowsAfter, rowsBefore) << "column " << c;
    }
    EXPECT_TRUE(reader.dialogs.boxes.empty());
}
