#include "grid/GridState.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

// Every notification as a short text, in order.
class Log : public GridState::Observer {
public:
    void cellChanged(int row, int col) override {
        events << QStringLiteral("cell %1,%2").arg(row).arg(col);
    }
    void cellsChanged(int firstRow) override { events << QStringLiteral("cells %1").arg(firstRow); }
    void colWidthChanged(int col) override { events << QStringLiteral("width %1").arg(col); }
    void rowHeightChanged(int row) override { events << QStringLiteral("height %1").arg(row); }
    void selectionChanged() override { events << QStringLiteral("selection"); }
    QStringList events;
};

TEST(GridState, tellsItsObserverOfRealChangesOnly) {
    GridState grid(4, 3);
    Log log;
    grid.setObserver(&log);
    grid.setTextMatrix(2, 1, "a");
    grid.setTextMatrix(2, 1, "a");
    grid.setTextMatrix(9, 1, "outside");
    grid.setColWidth(2, 600);
    grid.setColWidth(2, -1);
    grid.setRowHeight(0, 450);
    grid.setRow(3);
    grid.setRow(4);
    grid.sort(4);
    grid.sort(2);
    grid.clear();
    EXPECT_EQ(log.events,
              QStringList({"cell 2,1", "width 2", "height 0", "selection", "cells 1", "cells 0"}));
    grid.setObserver(nullptr);
    grid.setTextMatrix(1, 1, "quiet");
    EXPECT_EQ(log.events.size(), 6);
}

TEST(GridState, sizesAreTwipsAsSetAndUnsetUntilThen) {
    GridState grid(3, 2);
    EXPECT_EQ(grid.colWidth(0), GridState::kUnset);
    EXPECT_EQ(grid.rowHeight(1), GridState::kUnset);
    grid.setColWidth(0, 2040);
    grid.setRowHeight(1, 301);
    EXPECT_EQ(grid.colWidth(0), 2040);
    EXPECT_EQ(grid.rowHeight(1), 301);
    EXPECT_EQ(grid.colWidth(2), GridState::kUnset);
    grid.clear();
    EXPECT_EQ(grid.colWidth(0), 2040);
}

TEST(GridState, blockEndsAreClampedAndTheCurrentCellStaysPutOnSort) {
    GridState grid(5, 2);
    grid.selectBlock(-3, 7, 9, -1);
    EXPECT_EQ(grid.row(), 0);
    EXPECT_EQ(grid.col(), 1);
    EXPECT_EQ(grid.rowSel(), 4);
    EXPECT_EQ(grid.colSel(), 0);

    for (int r = 1; r <= 4; ++r)
        grid.setTextMatrix(r, 0, QString::number(5 - r));
    grid.setRow(2);
    grid.setCol(0);
    grid.sort(3);
    EXPECT_EQ(grid.textMatrix(1, 0), "1");
    EXPECT_EQ(grid.textMatrix(4, 0), "4");
    EXPECT_EQ(grid.row(), 2);
    EXPECT_EQ(grid.col(), 0);
}

TEST(GridState, aShapeBelowOneCellKeepsOneCell) {
    GridState grid(0, -2);
    EXPECT_EQ(grid.rows(), 1);
    EXPECT_EQ(grid.cols(), 1);
    grid.setText("only");
    EXPECT_EQ(grid.textMatrix(0, 0), "only");
}

} // namespace
