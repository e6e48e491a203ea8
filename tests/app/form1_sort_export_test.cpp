#include "Download.h"
#include "Files.h"
#include "Rig.h"
#include "qt/Grid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Header row is 600 twips high; these points lie on it and below it.
constexpr float kOnHeader = 300;
constexpr float kBelowHeader = 2000;
// x of the middle of each column, in twips (widths 720, 2280, 1500 ...).
constexpr float kColumnX[] = {360, 1860, 3750, 5250, 6750, 8040, 9180, 10380};

// Records with distinct slots, values and units, so sorts move rows visibly.
QByteArray mixedDownload() {
    const auto record = [](int slot) {
        const int t = (slot * 7919) % 100 * 3600;
        const int reading = (slot * 37) % 4096;
        const int units = slot % 6;
        return metersim::MeterRecord{quint8(t & 0xFF),
                                     quint8((t >> 8) & 0xFF),
                                     quint8((t >> 16) & 0xFF),
                                     0,
                                     quint8(reading & 0xFF),
                                     quint8((reading >> 8) | ((slot % 3) << 4)),
                                     0x8C,
                                     quint8(units << 5),
                                     quint8((slot % 3) << 3)};
    };
    return downloadOf(record, {515, 756, 1012, 500, 500, 500});
}

struct Loaded : Rig {
    Loaded() : Rig({kMeter181}) {
        form->Form_Load();
        port.receive(mixedDownload());
    }
    void moveOn(int col) { sendMove(col, kOnHeader); }
    void sendMove(int col, float y) {
        pointAt(col, y);
        form->FG_Mem_MouseMove(0, 0, kColumnX[col], y);
    }
    void clickHeader(int col) {
        pointAt(col, kOnHeader);
        form->FG_Mem_MouseUp(1, 0, kColumnX[col], kOnHeader);
    }
    // Moves the real pointer so the grid knows the column under it.
    void pointAt(int col, float y) {
        const double f = form->fgMem().twipsPerPixel();
        pointAtMem(QPoint(int(kColumnX[col] / f), int(y / f)));
    }
    QStringList column(int c) const {
        QStringList out;
        for (int r = 1; r <= 100; ++r)
            out << form->fgMem().textMatrix(r, c);
        return out;
    }
    QStringList row(int r) const {
        QStringList out;
        for (int c = 0; c < 8; ++c)
            out << form->fgMem().textMatrix(r, c);
        return out;
    }
};

} // namespace

TEST(Form1Sort, headerClicksAlternateDirectionAcrossColumnsAndMoveWholeRows) {
    Loaded rig;
    rig.form->show();
    QMap<QString, QStringList> rowsBySlot;
    for (int r = 1; r <= 100; ++r)
        rowsBySlot[rig.row(r)[0]] = rig.row(r);

    rig.clickHeader(4); // value, numeric ascending
    QStringList values = rig.column(4);
    for (int r = 1; r < 100; ++r)
        ASSERT_LE(values[r - 1].toDouble(), values[r].toDouble()) << "row " << r;
    EXPECT_TRUE(rig.form->lastSortAscending());

    rig.clickHeader(1); // timestamp: the next click sorts descending
    const QStringList stamps = rig.column(1);
    for (int r = 1; r < 100; ++r)
        ASSERT_GE(stamps[r - 1], stamps[r]) << "row " << r;
    EXPECT_FALSE(rig.form->lastSortAscending());

    for (int r = 1; r <= 100; ++r)
        EXPECT_EQ(rig.row(r), rowsBySlot[rig.row(r)[0]]) << "row " << r;
    EXPECT_EQ(rig.form->fgMem().textMatrix(0, 0), "Slot#");
}

TEST(Form1Sort, slotNumbersSortAsNumbersAndFiltersByTheirLeadingNumber) {
    Loaded rig;
    rig.form->show();
    rig.clickHeader(0);
    rig.clickHeader(0); // descending
    rig.clickHeader(0); // ascending again
    EXPECT_EQ(rig.column(0).mid(0, 3), QStringList({"1", "2", "3"}));
    rig.clickHeader(7); // descending
    rig.clickHeader(7); // ascending
    const QStringList filters = rig.column(7);
    EXPECT_EQ(filters.first(), "1kHz");
    EXPECT_EQ(filters.last(), "10kHz");
    EXPECT_LT(filters.lastIndexOf("5kHz"), filters.indexOf("10kHz"));
}

TEST(Form1Sort, emptyTableClickStillFlipsTheFlagAndANewDownloadKeepsIt) {
    Loaded rig;
    rig.form->show();
    rig.form->C_Clear_Click();
    rig.clickHeader(2);
    EXPECT_TRUE(rig.form->lastSortAscending());
    rig.port.receive(mixedDownload());
    EXPECT_TRUE(rig.form->lastSortAscending());
    EXPECT_EQ(rig.form->fgMem().textMatrix(1, 0), "1");
}

TEST(Form1Sort, aReleaseOnTheHeaderEdgeCountsAsBelowIt) {
    Loaded rig;
    rig.form->show();
    rig.pointAt(0, 300);
    rig.form->FG_Mem_MouseUp(1, 0, kColumnX[0], 600);
    EXPECT_FALSE(rig.form->lastSortAscending());
    EXPECT_EQ(rig.state(), "Ready.");
}

TEST(Form1Hint, hoverShowsTheNextDirectionAndTheOneLineHeaderOnce) {
    Loaded rig;
    rig.form->show();
    rig.moveOn(2);
    EXPECT_EQ(rig.state(), "Sort ascending by");
    EXPECT_EQ(rig.detail(), "Measurement Mode");
    EXPECT_EQ(rig.form->fgMem().mousePointer(), 7);
    const int w0 = rig.form->lStatus(0).writes();
    const int w1 = rig.form->lStatus(1).writes();
    rig.moveOn(2);
    rig.moveOn(2);
    EXPECT_EQ(rig.form->lStatus(0).writes(), w0);
    EXPECT_EQ(rig.form->lStatus(1).writes(), w1);

    rig.clickHeader(2);
    rig.moveOn(6);
    EXPECT_EQ(rig.state(), "Sort descending by");
    EXPECT_EQ(rig.detail(), "Crest Factor");

    rig.sendMove(6, kBelowHeader);
    EXPECT_EQ(rig.state(), "Ready.");
    EXPECT_EQ(rig.detail(), "COM:181");
    EXPECT_EQ(rig.form->fgMem().mousePointer(), 0);
}

TEST(Form1Hint, thePointerStaysADoubleArrowThroughADownloadUntilTheNextRefresh) {
    Loaded rig;
    rig.form->show();
    rig.moveOn(1);
    rig.port.receive("0,00,00,00,00,00,00,00,00,00,00/");
    rig.form->Form_MouseMove();
    EXPECT_EQ(rig.form->fgMem().mousePointer(), 7);
    rig.port.receive(mixedDownload().mid(mixedDownload().indexOf('/') + 1));
    rig.form->Form_MouseMove();
    EXPECT_EQ(rig.form->fgMem().mousePointer(), 0);
}

TEST(Form1Export, allRowsGoToTheChosenNameExactlyWithTheFilterAndTheLastNameOfferedAgain) {
    Loaded rig;
    QTemporaryDir dir;
    const QString name = dir.filePath("measurements"); // no extension: used as given
    rig.dialogs.saveAnswers << name << name;
    rig.form->C_Export_Click(0);
    rig.form->C_Export_Click(0);
    EXPECT_EQ(rig.dialogs.filters.first(),
              "Comma Separated Files (*.csv)|*.csv|Excel Workbook (*.xlsx)|*.xlsx");
    EXPECT_EQ(rig.dialogs.offeredNames, QStringList({"", name}));
    EXPECT_FALSE(QFile::exists(name + ".csv"));
    const QList<QByteArray> lines = fileBytes(name).split('\n');
    ASSERT_EQ(lines.size(), 103); // 102 lines and the empty piece after the last CR LF
    EXPECT_EQ(lines[0], "Exported 2027.02.01 21:05:03,,,,,,\r");
    EXPECT_EQ(lines[1], "Slot#,Timestamp,Measurement Mode,Calculation Mode,Measurement Value,Units,"
                        "Crest Factor,Filter\r");
    EXPECT_TRUE(lines[2].startsWith("1,2012."));
    EXPECT_TRUE(lines[2].contains(",m/s\xB2,")) << lines[2].data();
    EXPECT_TRUE(lines.last().isEmpty());
}

TEST(Form1Export, anUpwardSelectionWritesItsRowsTopToBottom) {
    Loaded rig;
    QTemporaryDir dir;
    rig.dialogs.saveAnswers << dir.filePath("sel.csv");
    rig.form->fgMem().selectBlock(9, 0, 4, 7);
    rig.form->C_Export_Click(1);
    const QList<QByteArray> lines = fileBytes(dir.filePath("sel.csv")).split('\n');
    ASSERT_EQ(lines.size(), 2 + 6 + 1);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(lines[2 + i].startsWith(QByteArray::number(4 + i) + ","))
            << lines[2 + i].data();
}

TEST(Form1Export, noDataSelectedAfterStartUpClearAndDownloadUntilACellIsPicked) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    rig.form->C_Export_Click(1);
    rig.port.receive(mixedDownload());
    rig.form->C_Export_Click(1);
    rig.form->C_Clear_Click();
    rig.form->C_Export_Click(1);
    ASSERT_EQ(rig.dialogs.boxes.size(), 3u);
    for (const auto& box : rig.dialogs.boxes) {
        EXPECT_EQ(box.text, "No data selected");
        EXPECT_EQ(box.caption, "PX417");
    }
    EXPECT_TRUE(rig.dialogs.filters.isEmpty());
}

TEST(Form1Export, cancelWritesNothingAndSaysNothing) {
    Loaded rig;
    rig.form->C_Export_Click(0);
    EXPECT_EQ(rig.dialogs.filters.size(), 1);
    EXPECT_TRUE(rig.dialogs.boxes.empty());
}

TEST(Form1Export, aFailedWriteNamesTheFileAndLeavesAnExistingFileIntact) {
    Loaded rig;
    QTemporaryDir dir;
    const QString folder = dir.filePath("a-folder.csv");
    ASSERT_TRUE(QDir().mkpath(folder));
    rig.dialogs.saveAnswers << folder;
    rig.form->C_Export_Click(0);
    ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
    EXPECT_TRUE(rig.dialogs.boxes[0].text.contains(folder));
    EXPECT_EQ(rig.dialogs.boxes[0].icon, Dialogs::Icon::Critical);
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(Form1Hint, realPointerMovesOverHeaderThenCellsThenBackgroundDriveHintAndRefresh) {
    Loaded rig;
    rig.form->show();
    rig.pointAt(3, kOnHeader);
    EXPECT_EQ(rig.state(), "Sort ascending by");
    EXPECT_EQ(rig.detail(), "Calculation Mode");
    rig.pointAt(3, kBelowHeader);
    EXPECT_EQ(rig.state(), "Ready.");
    rig.pointAt(3, kOnHeader);
    QTest::mouseMove(rig.form.get(), QPoint(960, 440));
    EXPECT_EQ(rig.state(), "Ready.");
    EXPECT_EQ(rig.form->fgMem().mousePointer(), 0);
}

TEST(Form1Sort, aRealClickOnAHeaderSortsOnce) {
    Loaded rig;
    rig.form->show();
    Grid& g = rig.form->fgMem();
    const QPoint p(int(kColumnX[0] / g.twipsPerPixel()), 10);
    QWidget* header = g.childAt(p);
    ASSERT_NE(header, nullptr);
    QTest::mouseClick(header, Qt::LeftButton, {}, header->mapFrom(&g, p));
    EXPECT_TRUE(rig.form->lastSortAscending());
    EXPECT_EQ(g.textMatrix(1, 0), "1");
    QTest::mouseClick(header, Qt::LeftButton, {}, header->mapFrom(&g, p));
    EXPECT_FALSE(rig.form->lastSortAscending());
    EXPECT_EQ(g.textMatrix(1, 0), "100");
}
