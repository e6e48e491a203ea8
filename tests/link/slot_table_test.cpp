#include "link/SlotTable.h"

#include "grid/GridState.h"

#include <gtest/gtest.h>

TEST(SlotTable, layoutListHoldsTwelveWidthsThenTwelveHeaders) {
    const QVariantList& layout = slotTableLayout();
    ASSERT_EQ(layout.size(), 2 * kSlotTableCols);
    EXPECT_EQ(layout.at(0).toInt(), 600);
    EXPECT_EQ(layout.at(kRawColumn).toInt(), 3000);
    EXPECT_EQ(layout.at(kReceivedColumn).toInt(), 2000);
    EXPECT_EQ(layout.at(kSlotTableCols).toString(), "Slot#");
    EXPECT_EQ(layout.at(kSlotTableCols + kFirstByteColumn + 8).toString(), "B8");
}

TEST(SlotTable, layoutSetsEveryColumnAndEndsOnTheReceivedHeader) {
    GridState grid(kSlotTableRows, kSlotTableCols);
    layoutSlotTable(grid);

    const QStringList headers{"Slot#", "B0", "B1", "B2", "B3",  "B4",
                              "B5",    "B6", "B7", "B8", "Raw", "Received"};
    for (int col = 0; col < kSlotTableCols; ++col) {
        const int width = col == kRawColumn ? 3000 : col == kReceivedColumn ? 2000 : 600;
        EXPECT_EQ(grid.colWidth(col), width) << "column " << col;
        EXPECT_EQ(grid.colAlignment(col), GridState::kAlignCenterCenter) << "column " << col;
        EXPECT_EQ(grid.cellAlignment(0, col), GridState::kAlignCenterCenter) << "column " << col;
        EXPECT_EQ(grid.textMatrix(0, col), headers[col]) << "column " << col;
        EXPECT_TRUE(grid.textMatrix(1, col).isEmpty());
        EXPECT_TRUE(grid.textMatrix(slotRow(kCalibrationSlot), col).isEmpty());
    }
    EXPECT_EQ(grid.row(), 0);
    EXPECT_EQ(grid.col(), kReceivedColumn);
}

TEST(SlotTable, receivedStampUsesTheTwentyFourHourClockWithZeroPadding) {
    EXPECT_EQ(receivedStamp(QDateTime(QDate(2027, 2, 1), QTime(21, 5, 3))), "2027_02_01 21:05:03");
    EXPECT_EQ(receivedStamp(QDateTime(QDate(2026, 12, 7), QTime(0, 0, 9))), "2026_12_07 00:00:09");
}
