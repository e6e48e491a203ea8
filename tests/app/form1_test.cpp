#include "Download.h"
#include "Rig.h"
#include "app/Controls.h"
#include "app/Form1.h"
#include "qt/Grid.h"

#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

TEST(Form1StartUp, withNoMeterTheListIsEmptyThePortClosedAndBothLinesReadReady) {
    Rig rig;
    rig.form->Form_Load();
    EXPECT_EQ(rig.form->lComPorts().count(), 0);
    EXPECT_FALSE(rig.port.portOpen());
    EXPECT_EQ(rig.form->comPort(), -1);
    EXPECT_EQ(rig.state(), "Ready");
    EXPECT_EQ(rig.detail(), "Ready");
    EXPECT_TRUE(rig.dialogs.boxes.empty());
}

TEST(Form1StartUp, laysOutBothTablesAndPlacesTheHiddenHelpFrameOverTheTable) {
    Rig rig;
    rig.form->Form_Load();
    EXPECT_EQ(rig.form->fgMem().textMatrix(0, 2), QStringLiteral("Measurement\rMode"));
    EXPECT_EQ(rig.form->fgMem().row(), 0);
    EXPECT_EQ(rig.form->fgMem().col(), 7);
    EXPECT_EQ(rig.form->fgData().textMatrix(0, 11), "Received");
    EXPECT_FALSE(rig.form->fgData().isVisibleTo(rig.form.get()));
    EXPECT_FALSE(rig.form->pHelp(0).isVisibleTo(rig.form.get()));
    EXPECT_EQ(rig.form->pHelp(0).geometry(), rig.form->fgMem().geometry());
    EXPECT_EQ(rig.form->vsHelp().maximum(), 2139);
    EXPECT_EQ(rig.form->vsHelp().pageStep(), 91);
    EXPECT_EQ(rig.form->size(), QSize(976, 458));
}

TEST(Form1StartUp, aFailedConnectionEndsStartUpBeforeTheTablesAreLaidOut) {
    Rig rig({kMeter181});
    rig.port.missingPorts.insert(181);
    rig.form->Form_Load();
    ASSERT_TRUE(rig.program.ended);
    EXPECT_EQ(rig.form->fgMem().textMatrix(0, 0), "");
    EXPECT_EQ(rig.state(), "Ready");
}

TEST(Form1Connection, aClickOnStatusCaptionDoesNothing) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    QTest::mouseClick(&rig.form->label1(0), Qt::LeftButton);
    EXPECT_EQ(rig.devices.scans, 1);
    QTest::mouseClick(&rig.form->label1(1), Qt::LeftButton);
    EXPECT_EQ(rig.devices.scans, 2);
}

TEST(Form1Connection, clickingTheAlreadyOpenEntryReopensIt) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    rig.form->show();
    rig.port.log.clear();
    QListWidget& list = rig.form->lComPorts();
    const QRect r = list.visualItemRect(list.item(0));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(rig.port.log.first(), "close");
    EXPECT_EQ(rig.port.log.count("open 181"), 1);
}

TEST(Form1Reception, aFullDownloadFillsTheTableAndReturnsToReady) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    rig.port.receive(downloadText());
    EXPECT_EQ(rig.state(), "Ready.");
    EXPECT_EQ(rig.detail(), "COM:181");
    EXPECT_EQ(rig.form->fgData().textMatrix(6, 11), "2027_02_01 21:05:03");
    const Grid& mem = rig.form->fgMem();
    const QStringList expected{
        "1", "2012.01.01 02:17:26", "Acceleration", "RMS", "1.000", "g", "1.40", "1kHz"};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(mem.textMatrix(1, c), expected[c]) << "column " << c;
    EXPECT_EQ(mem.textMatrix(100, 0), "100");
}

TEST(Form1Reception, aSortedTableIsRefilledInSlotOrderByTheNextDownload) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    rig.port.receive(downloadText());
    rig.form->show();
    rig.pointAtMem(QPoint(10, 10)); // Slot# header
    rig.form->FG_Mem_MouseUp(1, 0, 150, 150);
    rig.form->FG_Mem_MouseUp(1, 0, 150, 150); // again: descending
    ASSERT_EQ(rig.form->fgMem().textMatrix(1, 0), "100");
    rig.port.receive(downloadText());
    EXPECT_EQ(rig.form->fgMem().textMatrix(1, 0), "1");
    EXPECT_EQ(rig.form->fgMem().textMatrix(100, 0), "100");
}

TEST(Form1Reception, aMissingSlotReportsTheDataCheckErrorAndKeepsTheTable) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    rig.port.receive(downloadText(QStringLiteral("36,20,00,00,AD,0A,8C,20,00"), 57));
    EXPECT_EQ(rig.state(), "Data check error.");
    EXPECT_EQ(rig.detail(), "Please try again.");
    EXPECT_EQ(rig.form->fgMem().textMatrix(1, 0), "");
}

TEST(Form1Status, idleRefreshWritesOnlyWhatChanged) {
    Rig rig;
    rig.form->Form_Load();
    rig.form->Form_MouseMove();
    EXPECT_EQ(rig.state(), "Ready.");
    EXPECT_EQ(rig.detail(), "COM:-1");
    const int w0 = rig.form->lStatus(0).writes();
    const int w1 = rig.form->lStatus(1).writes();
    for (int i = 0; i < 5; ++i)
        rig.form->Form_MouseMove();
    EXPECT_EQ(rig.form->lStatus(0).writes(), w0);
    EXPECT_EQ(rig.form->lStatus(1).writes(), w1);
}

TEST(Form1Status, progressIsWrittenOncePerChangeAndTheStateLineOncePerDownload) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    const int w0 = rig.form->lStatus(0).writes();
    rig.port.receive("3,00,00,00,00,00,00,00,00,00,00/");
    rig.port.receive("3,00,00,00,00,00,00,00,00,00,00/");
    rig.port.receive("4,00,00,00,00,00,00,00,00,00,00/");
    EXPECT_EQ(rig.form->lStatus(0).writes(), w0 + 1);
    EXPECT_EQ(rig.detail(), "5%");
}

TEST(Form1Status, theGuardBlocksEveryCommandDuringADownload) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    rig.port.receive(downloadText());
    rig.port.receive("0,00,00,00,00,00,00,00,00,00,00/");
    ASSERT_EQ(rig.state(), "Downloading...");
    const QString before = rig.form->fgMem().textMatrix(5, 4);
    const int writes0 = rig.form->lStatus(0).writes();
    const int writes1 = rig.form->lStatus(1).writes();

    rig.form->C_Clear_Click();
    rig.form->C_Export_Click(0);
    rig.form->C_Export_Click(1);
    rig.form->C_Help_Click();
    rig.form->Form_MouseMove();
    rig.form->FG_Mem_MouseMove(0, 0, 100, 100);
    rig.form->FG_Mem_MouseUp(1, 0, 100, 100);
    rig.form->FG_Mem_MouseUp(1, 0, 100, 2000);

    EXPECT_EQ(rig.form->fgMem().textMatrix(5, 4), before);
    EXPECT_TRUE(rig.dialogs.boxes.empty());
    EXPECT_TRUE(rig.dialogs.filters.isEmpty());
    EXPECT_FALSE(rig.form->pHelp(0).isVisibleTo(rig.form.get()));
    EXPECT_FALSE(rig.form->lastSortAscending());
    EXPECT_EQ(rig.form->lStatus(0).writes(), writes0);
    EXPECT_EQ(rig.form->lStatus(1).writes(), writes1);
}

TEST(Form1Status, aStateLineReadingDataCheckErrorBlocksNothing) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    rig.port.receive(downloadText());
    rig.port.receive(downloadText(QStringLiteral("00,00,00,00,00,00,00,00,00"), 3));
    ASSERT_EQ(rig.state(), "Data check error.");
    rig.form->C_Clear_Click();
    EXPECT_EQ(rig.form->fgMem().textMatrix(1, 0), "");
    EXPECT_EQ(rig.form->fgMem().textMatrix(0, 0), "Slot#");
}

TEST(Form1Table, clearEmptiesTheRowsAndRestoresTheLayoutKeepingSortDirection) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    rig.port.receive(downloadText());
    rig.form->show();
    rig.pointAtMem(QPoint(10, 10));
    rig.form->FG_Mem_MouseUp(1, 0, 150, 150);
    ASSERT_TRUE(rig.form->lastSortAscending());
    rig.form->C_Clear_Click();
    const Grid& mem = rig.form->fgMem();
    for (int r = 1; r <= 100; ++r)
        for (int c = 0; c < 8; ++c)
            ASSERT_EQ(mem.textMatrix(r, c), "") << r << "," << c;
    EXPECT_EQ(mem.textMatrix(0, 6), QStringLiteral("Crest\rFactor"));
    EXPECT_EQ(mem.colWidth(1), 2280);
    EXPECT_EQ(mem.rowHeight(0), 600);
    EXPECT_EQ(mem.row(), 0);
    EXPECT_EQ(mem.col(), 7);
    EXPECT_TRUE(rig.form->lastSortAscending());
    // The raw slots survive a clear.
    EXPECT_EQ(rig.form->fgData().textMatrix(1, 0), "0");
}

TEST(Form1SlotTable, onlyARightReleaseWithExactlyShiftAndCtrlOverTheBackgroundTogglesIt) {
    Rig rig;
    rig.form->Form_Load();
    rig.form->show();
    const auto shown = [&] { return rig.form->fgData().isVisible(); };
    const QPoint background(960, 440);
    ASSERT_EQ(rig.form->childAt(background), nullptr);
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        for (int held = 0; held < 8; ++held) {
            Qt::KeyboardModifiers modifiers;
            modifiers.setFlag(Qt::ShiftModifier, held & 1);
            modifiers.setFlag(Qt::ControlModifier, held & 2);
            modifiers.setFlag(Qt::AltModifier, held & 4);
            const bool toggles = button == Qt::RightButton && held == 3;
            const bool before = shown();
            QTest::mouseClick(rig.form.get(), button, modifiers, background);
            EXPECT_EQ(shown(), before != toggles) << "button " << button << ", held " << held;
            if (toggles) {
                QTest::mouseClick(rig.form.get(), button, modifiers, background);
                EXPECT_EQ(shown(), before) << "the second gesture";
            }
        }
    }
    EXPECT_FALSE(shown());
}

TEST(Form1SlotTable, theRealGestureOnTheBackgroundTogglesButNotOverAControl) {
    Rig rig;
    rig.form->Form_Load();
    rig.form->show();
    const Qt::KeyboardModifiers shiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
    QTest::mouseClick(&rig.form->label1(1), Qt::RightButton, shiftCtrl);
    EXPECT_FALSE(rig.form->fgData().isVisible());
    QTest::mouseClick(rig.form.get(), Qt::RightButton, shiftCtrl, QPoint(960, 440));
    EXPECT_TRUE(rig.form->fgData().isVisible());
}

TEST(Form1SlotTable, aCellClickShowsTheCellTextInABox) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    rig.port.receive("5,01,02,03,04,05,06,07,08,09,AA/");
    rig.form->fgData().setRow(6);
    rig.form->fgData().setCol(10);
    rig.form->FG_Data_Click();
    ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
    EXPECT_EQ(rig.dialogs.boxes[0].text, "5,01,02,03,04,05,06,07,08,09,AA");
    EXPECT_EQ(rig.dialogs.boxes[0].caption, "PX417");
}

TEST(Form1SlotTable, aClickOnTheHeaderRowShowsTheCurrentCellTextInABox) {
    Rig rig;
    rig.form->Form_Load();
    rig.form->show();
    rig.form->fgData().show();
    auto* view = rig.form->fgData().findChild<QTableView*>();
    ASSERT_NE(view, nullptr);
    // After the layout the current cell is the "Received" header cell.
    QTest::mouseClick(view->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
    EXPECT_EQ(rig.dialogs.boxes[0].text, "Received");
    EXPECT_EQ(rig.dialogs.boxes[0].caption, "PX417");
}

TEST(Form1Shutdown, closingWithThePortOpenClosesItThenWritesTheClosingTexts) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    rig.form->show();
    rig.form->close();
    EXPECT_FALSE(rig.port.portOpen());
    EXPECT_EQ(rig.port.log.last(), "close");
    EXPECT_EQ(rig.state(), "Closing COM port");
    EXPECT_EQ(rig.detail(), "Shutting down");
}

TEST(Form1Shutdown, closingWithNoPortLeavesTheStatusLinesAlone) {
    Rig rig;
    rig.form->Form_Load();
    rig.form->show();
    rig.form->close();
    EXPECT_EQ(rig.state(), "Ready");
    EXPECT_EQ(rig.detail(), "Ready");
    EXPECT_TRUE(rig.port.log.isEmpty());
}

TEST(Form1SlotTable, theGestureOverTheMeasurementTableDoesNothing) {
    Rig rig;
    rig.form->Form_Load();
    rig.form->show();
    const Qt::KeyboardModifiers shiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
    for (const QPoint p : {QPoint(20, 10), QPoint(100, 200)}) {
        QWidget* target = rig.form->fgMem().childAt(p);
        ASSERT_NE(target, nullptr);
        QTest::mouseClick(target, Qt::RightButton, shiftCtrl,
                          target->mapFrom(&rig.form->fgMem(), p));
    }
    // A button ignores a right click and passes it up to the window.
    QTest::mouseClick(&rig.form->cClear(), Qt::RightButton, shiftCtrl);
    EXPECT_FALSE(rig.form->fgData().isVisible());
    QTest::mouseClick(&rig.form->lComPorts(), Qt::RightButton, shiftCtrl);
    EXPECT_FALSE(rig.form->fgData().isVisible());
}
