#include "qt/Grid.h"

#include <QHeaderView>
#include <QImage>
#include <QKeySequence>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kRows = 11; // header + 10 data rows
constexpr int kCols = 4;

struct Shown {
    explicit Shown(double twipsPerPixel = 15.0) : grid(kRows, kCols, twipsPerPixel) {
        grid.resize(400, 300);
        grid.setRowHeight(0, 600);
        for (int c = 0; c < kCols; ++c)
            grid.setColWidth(c, 1200);
        grid.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&grid));
        view = grid.findChild<QTableView*>();
    }
    QWidget* viewport() const { return view->viewport(); }
    QHeaderView* header() const { return view->horizontalHeader(); }
    // The header's own viewport is where its mouse events arrive.
    QWidget* headerArea() const { return header()->viewport(); }
    // Centre of a data cell in viewport pixels (grid row >= 1).
    QPoint cell(int row, int col) const {
        return view->visualRect(view->model()->index(row - 1, col)).center();
    }
    std::vector<int> selectedRows() const {
        std::vector<int> rows;
        for (const QModelIndex& i : view->selectionModel()->selectedIndexes())
            rows.push_back(i.row() + 1);
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        return rows;
    }
    Grid grid;
    QTableView* view = nullptr;
};

void fillColumn(Grid& grid, int col, std::initializer_list<const char*> texts) {
    int r = 1;
    for (const char* t : texts)
        grid.setTextMatrix(r++, col, QString::fromUtf8(t));
}

// Column texts of rows 1.. as one list.
std::vector<QString> column(const Grid& grid, int col) {
    std::vector<QString> out;
    for (int r = 1; r < grid.rows(); ++r)
        out.push_back(grid.textMatrix(r, col));
    return out;
}

// A move with no button held, through the window as the system would deliver it, so that it
// reaches the widget only if the widget tracks the mouse.
void hover(QWidget* widget, QPoint pos) {
    QTest::mouseMove(widget->window()->windowHandle(), widget->mapTo(widget->window(), pos));
}

std::vector<QString> texts(std::initializer_list<const char*> items) {
    std::vector<QString> out;
    for (const char* item : items)
        out.push_back(QString::fromUtf8(item));
    return out;
}

} // namespace

TEST(GridCells, readingAndWritingCellsLeavesCurrentCellAndSelection) {
    Shown s;
    s.grid.selectBlock(2, 1, 4, 3);
    const auto before = s.selectedRows();
    s.grid.setTextMatrix(7, 0, "x");
    s.grid.setTextMatrix(0, 2, "Head");
    EXPECT_EQ(s.grid.textMatrix(7, 0), "x");
    EXPECT_EQ(s.grid.textMatrix(0, 2), "Head");
    EXPECT_EQ(s.grid.row(), 2);
    EXPECT_EQ(s.grid.col(), 1);
    EXPECT_EQ(s.grid.rowSel(), 4);
    EXPECT_EQ(s.grid.colSel(), 3);
    EXPECT_EQ(s.selectedRows(), before);
    EXPECT_EQ(s.selectedRows(), (std::vector<int>{2, 3, 4}));
}

TEST(GridCells, cellsOutsideTheGridAreEmptyAndIgnored) {
    Grid grid(3, 2, 15.0);
    grid.setTextMatrix(3, 0, "no");
    grid.setTextMatrix(0, -1, "no");
    EXPECT_EQ(grid.textMatrix(3, 0), "");
    EXPECT_EQ(grid.textMatrix(-1, 0), "");
    EXPECT_EQ(grid.rows(), 3);
    EXPECT_EQ(grid.cols(), 2);
}

TEST(GridCells, aCellWriteTellsTheViewAboutThatCellOnly) {
    Grid grid(kRows, kCols, 15.0);
    QAbstractItemModel* model = grid.findChild<QTableView*>()->model();
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(model, &QAbstractItemModel::modelReset);
    grid.setTextMatrix(3, 2, "v");
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), model->index(2, 2));
    EXPECT_EQ(changed[0][1].toModelIndex(), model->index(2, 2));
    EXPECT_EQ(reset.count(), 0);
}

TEST(GridCurrentCell, writingRowOrColShrinksTheSelection) {
    Shown s;
    s.grid.selectBlock(2, 1, 5, 3);
    s.grid.setRow(4);
    EXPECT_EQ(s.grid.row(), 4);
    EXPECT_EQ(s.grid.rowSel(), 4);
    EXPECT_EQ(s.grid.col(), 1);
    EXPECT_EQ(s.grid.colSel(), 1);
    EXPECT_EQ(s.view->selectionModel()->selectedIndexes().size(), 1);

    s.grid.selectBlock(2, 1, 5, 3);
    s.grid.setCol(2);
    EXPECT_EQ(s.grid.row(), 2);
    EXPECT_EQ(s.grid.rowSel(), 2);
    EXPECT_EQ(s.grid.colSel(), 2);
    EXPECT_EQ(s.view->currentIndex(), s.view->model()->index(1, 2));

    s.grid.setRow(kRows);
    s.grid.setCol(-1);
    EXPECT_EQ(s.grid.row(), 2);
    EXPECT_EQ(s.grid.col(), 2);
}

TEST(GridCurrentCell, textAndAlignmentActOnTheCurrentCellHeaderIncluded) {
    Grid grid(kRows, kCols, 15.0);
    QAbstractItemModel* model = grid.findChild<QTableView*>()->model();
    grid.setRow(0);
    grid.setCol(2);
    grid.setText("Crest\rFactor");
    grid.setCellAlignment(GridState::kAlignCenterCenter);
    EXPECT_EQ(grid.textMatrix(0, 2), "Crest\rFactor");
    EXPECT_EQ(grid.text(), "Crest\rFactor");
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "Crest\nFactor");
    EXPECT_EQ(model->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignCenter));
    EXPECT_FALSE(grid.findChild<QTableView*>()->currentIndex().isValid());

    grid.setRow(3);
    grid.setText("v");
    EXPECT_EQ(grid.textMatrix(3, 2), "v");
    EXPECT_EQ(model->data(model->index(2, 2)).toString(), "v");
}

TEST(GridCurrentCell, cellAlignmentFallsBackOnTheColumn) {
    Grid grid(kRows, kCols, 15.0);
    QAbstractItemModel* model = grid.findChild<QTableView*>()->model();
    grid.setColAlignment(1, GridState::kAlignCenterCenter);
    EXPECT_EQ(grid.colAlignment(1), 4);
    EXPECT_EQ(grid.cellAlignment(5, 1), 4);
    EXPECT_EQ(model->data(model->index(4, 1), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    grid.setRow(5);
    grid.setCol(1);
    grid.setCellAlignment(7);
    EXPECT_EQ(grid.cellAlignment(5, 1), 7);
    EXPECT_EQ(model->data(model->index(4, 1), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(grid.cellAlignment(6, 1), 4);
}

TEST(GridMouseSelection, dragSelectsFromPressToRelease) {
    Shown s;
    QTest::mousePress(s.viewport(), Qt::LeftButton, {}, s.cell(2, 1));
    QTest::mouseMove(s.viewport(), s.cell(4, 2));
    QTest::mouseMove(s.viewport(), s.cell(5, 3));
    QTest::mouseRelease(s.viewport(), Qt::LeftButton, {}, s.cell(5, 3));
    EXPECT_EQ(s.grid.row(), 2);
    EXPECT_EQ(s.grid.col(), 1);
    EXPECT_EQ(s.grid.rowSel(), 5);
    EXPECT_EQ(s.grid.colSel(), 3);
    EXPECT_EQ(s.selectedRows(), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(s.view->selectionModel()->selectedIndexes().size(), 12);
}

TEST(GridMouseSelection, upwardDragAndShiftClickKeepTheAnchorAsCurrentCell) {
    Shown s;
    QTest::mousePress(s.viewport(), Qt::LeftButton, {}, s.cell(6, 2));
    QTest::mouseMove(s.viewport(), s.cell(3, 2));
    QTest::mouseRelease(s.viewport(), Qt::LeftButton, {}, s.cell(3, 2));
    EXPECT_EQ(s.grid.row(), 6);
    EXPECT_EQ(s.grid.rowSel(), 3);
    EXPECT_EQ(s.selectedRows(), (std::vector<int>{3, 4, 5, 6}));

    QTest::mouseClick(s.viewport(), Qt::LeftButton, {}, s.cell(3, 0));
    QTest::mouseClick(s.viewport(), Qt::LeftButton, Qt::ShiftModifier, s.cell(1, 2));
    EXPECT_EQ(s.grid.row(), 3);
    EXPECT_EQ(s.grid.col(), 0);
    EXPECT_EQ(s.grid.rowSel(), 1);
    EXPECT_EQ(s.grid.colSel(), 2);
    EXPECT_EQ(s.selectedRows(), (std::vector<int>{1, 2, 3}));
}

TEST(GridMouseSelection, dragAboveTheCellsStopsAtTheFirstDataRow) {
    Shown s;
    const QPoint above(s.cell(3, 1).x(), -5);
    QTest::mousePress(s.viewport(), Qt::LeftButton, {}, s.cell(3, 1));
    QTest::mouseMove(s.viewport(), above);
    QTest::mouseRelease(s.viewport(), Qt::LeftButton, {}, above);
    EXPECT_EQ(s.grid.row(), 3);
    EXPECT_EQ(s.grid.rowSel(), 1);
    EXPECT_EQ(s.selectedRows(), (std::vector<int>{1, 2, 3}));
}

TEST(GridKeyboardSelection, arrowsMoveAndShiftArrowsExtend) {
    Shown s;
    QTest::mouseClick(s.viewport(), Qt::LeftButton, {}, s.cell(2, 1));
    QTest::keyClick(s.view, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(s.view, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(s.view, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(s.grid.row(), 2);
    EXPECT_EQ(s.grid.col(), 1);
    EXPECT_EQ(s.grid.rowSel(), 4);
    EXPECT_EQ(s.grid.colSel(), 2);

    QTest::keyClick(s.view, Qt::Key_Up);
    EXPECT_EQ(s.grid.row(), 1);
    EXPECT_EQ(s.grid.rowSel(), 1);
    EXPECT_EQ(s.grid.colSel(), 1);
    QTest::keyClick(s.view, Qt::Key_Up);
    EXPECT_EQ(s.grid.row(), 1) << "the keyboard never enters the header row";

    QTest::keyClick(s.view, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClicks(s.view, "abc");
    EXPECT_EQ(s.selectedRows(), (std::vector<int>{1}));
}

TEST(GridKeyboardSelection, ctrlKeysReachTheEdgesAndShiftExtendsToThem) {
    Shown s;
    QTest::mouseClick(s.viewport(), Qt::LeftButton, {}, s.cell(3, 1));
    QTest::keyClick(s.view, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(s.grid.row(), kRows - 1);
    EXPECT_EQ(s.grid.col(), 1);
    QTest::keyClick(s.view, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(s.grid.col(), kCols - 1);
    QTest::keyClick(s.view, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(s.grid.row(), 1);
    EXPECT_EQ(s.grid.col(), 0);
    EXPECT_EQ(s.grid.rowSel(), 1);

    QTest::mouseClick(s.viewport(), Qt::LeftButton, {}, s.cell(2, 2));
    QTest::keyClick(s.view, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(s.grid.row(), 2);
    EXPECT_EQ(s.grid.col(), 2);
    EXPECT_EQ(s.grid.rowSel(), kRows - 1);
    EXPECT_EQ(s.grid.colSel(), kCols - 1);
    EXPECT_EQ(s.selectedRows().size(), static_cast<size_t>(kRows - 2));
}

TEST(GridKeyboardSelection, afterEveryKeyTheViewShowsTheBlockThatASelectionExportWrites) {
    Shown s;
    QTest::mousePress(s.viewport(), Qt::LeftButton, {}, s.cell(5, 2));
    QTest::mouseMove(s.viewport(), s.cell(3, 1));
    QTest::mouseRelease(s.viewport(), Qt::LeftButton, {}, s.cell(3, 1));
    using Cells = std::vector<std::pair<int, int>>;
    const auto shown = [&] {
        Cells cells;
        for (const QModelIndex& i : s.view->selectionModel()->selectedIndexes())
            cells.emplace_back(i.row() + 1, i.column());
        std::sort(cells.begin(), cells.end());
        return cells;
    };
    const auto block = [](int top, int left, int bottom, int right) {
        Cells cells;
        for (int r = top; r <= bottom; ++r)
            for (int c = left; c <= right; ++c)
                cells.emplace_back(r, c);
        return cells;
    };
    // Each key, and the block (top, left, bottom, right) after it, worked out by hand from the
    // block dragged from (5, 2) up to (3, 1). Space and Ctrl+A select through the toolkit alone
    // and leave the grid's block as it was; the others move it.
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int top, left, bottom, right;
    } steps[] = {
        {Qt::Key_Space, Qt::NoModifier, 3, 1, 5, 2},
        {Qt::Key_Space, Qt::ControlModifier, 3, 1, 5, 2},
        {Qt::Key_Space, Qt::ShiftModifier, 3, 1, 5, 2},
        {Qt::Key_A, Qt::ControlModifier, 3, 1, 5, 2},
        {Qt::Key_Down, Qt::ShiftModifier, 4, 1, 5, 2},
        {Qt::Key_Space, Qt::NoModifier, 4, 1, 5, 2},
        {Qt::Key_Right, Qt::NoModifier, 5, 3, 5, 3},
        {Qt::Key_A, Qt::ControlModifier, 5, 3, 5, 3},
        {Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier, 5, 3, kRows - 1, 3},
        {Qt::Key_Space, Qt::ControlModifier, 5, 3, kRows - 1, 3},
    };
    for (const auto& step : steps) {
        QTest::keyClick(s.view, step.key, step.modifiers);
        const std::string key = QKeySequence(step.key | step.modifiers).toString().toStdString();
        // The rows a selection export writes: from the current row to the selection-end row.
        EXPECT_EQ(std::min(s.grid.row(), s.grid.rowSel()), step.top) << key;
        EXPECT_EQ(std::max(s.grid.row(), s.grid.rowSel()), step.bottom) << key;
        EXPECT_EQ(std::min(s.grid.col(), s.grid.colSel()), step.left) << key;
        EXPECT_EQ(std::max(s.grid.col(), s.grid.colSel()), step.right) << key;
        EXPECT_EQ(shown(), block(step.top, step.left, step.bottom, step.right))
            << "the view shows another block after " << key;
    }
}

TEST(GridMouseSelection, headerClicksSelectAndSortNothing) {
    Shown s;
    fillColumn(s.grid, 0, {"3", "1", "2"});
    s.grid.selectBlock(2, 0, 3, 1);
    const QPoint inHeader(s.header()->sectionViewportPosition(1) + 5, 5);
    QTest::mouseClick(s.headerArea(), Qt::LeftButton, {}, inHeader);
    EXPECT_EQ(s.grid.row(), 2);
    EXPECT_EQ(s.grid.rowSel(), 3);
    EXPECT_EQ(s.grid.colSel(), 1);
    EXPECT_EQ(column(s.grid, 0)[0], "3");
    EXPECT_EQ(s.selectedRows(), (std::vector<int>{2, 3}));
}

TEST(GridSort, sortsWholeRowsByTheCurrentColumnAndNeverMovesTheHeader) {
    Grid grid(6, 3, 15.0);
    grid.setTextMatrix(0, 0, "Slot#");
    grid.setTextMatrix(0, 1, "Filter");
    fillColumn(grid, 0, {"1", "2", "3", "4", "5"});
    fillColumn(grid, 1, {"10kHz", "-", "1kHz", "5kHz", "1kHz"});
    fillColumn(grid, 2, {"a", "b", "c", "d", "e"});
    grid.setRow(1);
    grid.setCol(1);

    grid.sort(3);
    EXPECT_EQ(column(grid, 1), texts({"1kHz", "1kHz", "5kHz", "10kHz", "-"}));
    EXPECT_EQ(column(grid, 0), texts({"3", "5", "4", "1", "2"}));
    EXPECT_EQ(column(grid, 2), texts({"c", "e", "d", "a", "b"}));
    EXPECT_EQ(grid.textMatrix(0, 0), "Slot#");
    EXPECT_EQ(grid.textMatrix(0, 1), "Filter");

    grid.sort(4);
    EXPECT_EQ(column(grid, 1), texts({"-", "10kHz", "5kHz", "1kHz", "1kHz"}));
    EXPECT_EQ(column(grid, 0), texts({"2", "1", "4", "3", "5"}));
    EXPECT_EQ(grid.textMatrix(0, 1), "Filter");
    EXPECT_EQ(grid.row(), 1);
    EXPECT_EQ(grid.col(), 1);
}

TEST(GridSort, textCodesAndUnknownCodes) {
    Grid grid(5, 2, 15.0);
    fillColumn(grid, 0, {"rms", "Peak", "RMS", "peak"});
    fillColumn(grid, 1, {"1", "2", "3", "4"});
    grid.setCol(0);
    grid.sort(5);
    EXPECT_EQ(column(grid, 1), texts({"2", "4", "1", "3"}));
    grid.sort(7);
    EXPECT_EQ(column(grid, 0), texts({"Peak", "RMS", "peak", "rms"}));
    EXPECT_EQ(column(grid, 1), texts({"2", "3", "4", "1"}));
    grid.sort(8);
    EXPECT_EQ(column(grid, 0), texts({"rms", "peak", "RMS", "Peak"}));
    const auto before = column(grid, 1);
    grid.sort(9);
    grid.sort(2);
    EXPECT_EQ(column(grid, 1), before);
}

TEST(GridSort, cellAlignmentTravelsWithItsRow) {
    Grid grid(4, 1, 15.0);
    fillColumn(grid, 0, {"3", "1", "2"});
    grid.setRow(1);
    grid.setCellAlignment(GridState::kAlignCenterCenter);
    grid.sort(3);
    EXPECT_EQ(grid.textMatrix(3, 0), "3");
    EXPECT_EQ(grid.cellAlignment(3, 0), 4);
    EXPECT_NE(grid.cellAlignment(1, 0), 4);
}

TEST(GridClear, emptiesEveryCellAndItsAlignmentButKeepsTheShape) {
    Grid grid(kRows, kCols, 15.0);
    grid.setColAlignment(0, 4);
    grid.setColWidth(0, 720);
    grid.setRow(0);
    grid.setText("Slot#");
    grid.setCol(3);
    grid.setCellAlignment(7);
    grid.setTextMatrix(10, 3, "x");
    grid.clear();
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            EXPECT_EQ(grid.textMatrix(r, c), "") << r << "," << c;
    EXPECT_EQ(grid.cellAlignment(0, 3), grid.colAlignment(3));
    EXPECT_EQ(grid.colAlignment(0), 4);
    EXPECT_EQ(grid.colWidth(0), 720);
    EXPECT_EQ(grid.rows(), kRows);
    EXPECT_EQ(grid.cols(), kCols);
    EXPECT_EQ(grid.findChild<QTableView*>()->model()->rowCount(), kRows - 1);
}

TEST(GridSizes, twipsBecomePixelsAtTheGivenFactor) {
    Grid at15(kRows, kCols, 15.0);
    QTableView* view = at15.findChild<QTableView*>();
    at15.setColWidth(1, 720);
    at15.setRowHeight(0, 600);
    at15.setRowHeight(2, 300);
    EXPECT_EQ(view->horizontalHeader()->sectionSize(1), 48);
    EXPECT_EQ(view->horizontalHeader()->height(), 40);
    EXPECT_EQ(view->rowHeight(1), 20);
    EXPECT_EQ(at15.colWidth(1), 720);
    EXPECT_EQ(at15.rowHeight(0), 600);
    EXPECT_EQ(at15.rowHeight(2), 300);

    Grid at12(kRows, kCols, 12.0);
    at12.setColWidth(1, 720);
    at12.setRowHeight(0, 600);
    EXPECT_EQ(at12.findChild<QTableView*>()->horizontalHeader()->sectionSize(1), 60);
    EXPECT_EQ(at12.findChild<QTableView*>()->horizontalHeader()->height(), 50);
    EXPECT_EQ(at12.rowHeight(0), 600);

    // Whole pixels: the height read back is what is shown.
    Grid at14(kRows, kCols, 14.0);
    at14.setRowHeight(0, 600);
    EXPECT_EQ(at14.findChild<QTableView*>()->horizontalHeader()->height(), 43);
    EXPECT_EQ(at14.rowHeight(0), 602);
}

TEST(GridSizes, defaultRowHeightFollowsTheFontButSetHeightsStay) {
    Grid grid(kRows, kCols, 15.0);
    grid.setRowHeight(3, 450);
    QFont small = grid.font();
    small.setPixelSize(10);
    grid.setFont(small);
    const int smallHeight = grid.rowHeight(1);
    QFont big = small;
    big.setPixelSize(30);
    grid.setFont(big);
    EXPECT_EQ(grid.findChild<QTableView*>()->font().pixelSize(), 30);
    EXPECT_GT(grid.rowHeight(1), smallHeight);
    EXPECT_EQ(grid.rowHeight(1), (QFontMetrics(big).height() + 6) * 15);
    EXPECT_EQ(grid.rowHeight(3), 450);
}

TEST(GridMouse, notificationsCarryTwipsFromTheTopLeftHeaderIncluded) {
    Shown s(12.0);
    QSignalSpy moved(&s.grid, &Grid::mouseMoved);
    QSignalSpy released(&s.grid, &Grid::mouseReleased);
    const float headerHeight = static_cast<float>(s.grid.rowHeight(0));

    const int col2 = s.header()->sectionViewportPosition(2);
    hover(s.headerArea(), QPoint(col2 + 4, 10));
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved[0][0].toInt(), 0);
    EXPECT_FLOAT_EQ(moved[0][2].toFloat(), (col2 + 4) * 12.0f);
    EXPECT_FLOAT_EQ(moved[0][3].toFloat(), 10 * 12.0f);
    EXPECT_LT(moved[0][3].toFloat(), headerHeight);
    EXPECT_EQ(s.grid.mouseCol(), 2);

    QTest::mouseRelease(s.headerArea(), Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier,
                        QPoint(col2 + 4, 10));
    ASSERT_EQ(released.count(), 1);
    EXPECT_EQ(released[0][0].toInt(), 2);
    EXPECT_EQ(released[0][1].toInt(), 3);
    EXPECT_LT(released[0][3].toFloat(), headerHeight);

    const QPoint inCell = s.cell(1, 3);
    hover(s.viewport(), inCell);
    ASSERT_EQ(moved.count(), 2);
    const QPoint inGrid = s.viewport()->mapTo(&s.grid, inCell);
    EXPECT_FLOAT_EQ(moved[1][2].toFloat(), inGrid.x() * 12.0f);
    EXPECT_FLOAT_EQ(moved[1][3].toFloat(), inGrid.y() * 12.0f);
    EXPECT_GE(moved[1][3].toFloat(), headerHeight);
    EXPECT_EQ(s.grid.mouseCol(), 3);

    // The top pixel line of the first data row is already below the header.
    hover(s.viewport(), QPoint(inCell.x(), 0));
    EXPECT_FLOAT_EQ(moved[2][3].toFloat(), headerHeight);
}

TEST(GridMouse, pointerCodesSwitchTheCursorOverTheWholeGrid) {
    Shown s;
    EXPECT_EQ(s.grid.mousePointer(), 0);
    s.grid.setMousePointer(7);
    EXPECT_EQ(s.grid.mousePointer(), 7);
    EXPECT_EQ(s.viewport()->cursor().shape(), Qt::SizeVerCursor);
    EXPECT_EQ(s.headerArea()->cursor().shape(), Qt::SizeVerCursor);
    s.grid.setMousePointer(3);
    EXPECT_EQ(s.grid.mousePointer(), 7);
    s.grid.setMousePointer(0);
    EXPECT_EQ(s.grid.mousePointer(), 0);
    EXPECT_EQ(s.viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST(GridMouse, clickedComesAfterTheCurrentCellMoved) {
    Shown s;
    s.grid.setTextMatrix(4, 2, "clicked text");
    QString seen;
    int seenRow = -1;
    QObject::connect(&s.grid, &Grid::clicked, [&] {
        seen = s.grid.text();
        seenRow = s.grid.row();
    });
    QSignalSpy released(&s.grid, &Grid::mouseReleased);
    QTest::mouseClick(s.viewport(), Qt::LeftButton, {}, s.cell(4, 2));
    EXPECT_EQ(seenRow, 4);
    EXPECT_EQ(seen, "clicked text");
    EXPECT_EQ(released.count(), 1);

    // The header row is clicked as well, but never becomes the current cell.
    seenRow = -1;
    seen.clear();
    QTest::mouseClick(s.headerArea(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(seenRow, 4);
    EXPECT_EQ(seen, "clicked text");

    seenRow = -1;
    QTest::mouseClick(s.headerArea(), Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseClick(s.viewport(), Qt::RightButton, {}, s.cell(2, 2));
    EXPECT_EQ(seenRow, -1) << "only a left click is a click";
    EXPECT_EQ(s.grid.row(), 4);
}

TEST(GridLook, headerSelectionAndCellColours) {
    Shown s;
    s.grid.selectBlock(2, 0, 2, 0);
    const QImage image = s.grid.grab().toImage();
    const QPoint header(30, 10);
    const QPoint selected = s.viewport()->mapTo(&s.grid, s.cell(2, 0) + QPoint(-20, 0));
    const QPoint plain = s.viewport()->mapTo(&s.grid, s.cell(3, 1) + QPoint(-20, 0));
    EXPECT_EQ(image.pixelColor(header), QColor(224, 224, 224));
    EXPECT_EQ(image.pixelColor(selected), QColor(255, 192, 192));
    EXPECT_EQ(image.pixelColor(plain), QColor(Qt::white));

    // Grid lines on the right and bottom of every cell, the same colour whatever the style.
    const QRect cell = s.view->visualRect(s.view->model()->index(2, 1));
    const QPoint rightLine = s.viewport()->mapTo(&s.grid, QPoint(cell.right(), cell.center().y()));
    const QPoint bottomLine =
        s.viewport()->mapTo(&s.grid, QPoint(cell.center().x(), cell.bottom()));
    EXPECT_EQ(image.pixelColor(rightLine), QColor(208, 208, 208));
    EXPECT_EQ(image.pixelColor(bottomLine), QColor(208, 208, 208));
    // The header's rules.
    const int headerRight = s.header()->sectionViewportPosition(0) + s.header()->sectionSize(0) - 1;
    EXPECT_EQ(image.pixelColor(s.header()->mapTo(&s.grid, QPoint(headerRight, 10))),
              QColor(176, 176, 176));
}

TEST(GridLook, theCurrentCellDrawsNoFocusFrame) {
    Shown s;
    s.grid.selectBlock(3, 1, 3, 1);
    s.view->setFocus();
    QImage focused = s.grid.grab().toImage();
    const QRect cell = s.view->visualRect(s.view->model()->index(2, 1));
    // Every pixel inside the cell's lines is the selection colour: no dotted frame.
    for (int x = cell.left(); x < cell.right(); ++x)
        for (int y : {cell.top(), cell.top() + 1, cell.bottom() - 1}) {
            const QPoint p = s.viewport()->mapTo(&s.grid, QPoint(x, y));
            ASSERT_EQ(focused.pixelColor(p), QColor(255, 192, 192)) << x << "," << y;
        }
}
