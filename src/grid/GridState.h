#pragma once

#include "grid/CellTable.h"

#include <QString>

#include <vector>

// The state of one grid of text cells, free of widgets: its cells, their alignments, the
// column widths and row heights in twips, the current cell and the selection end, sort and
// clear. Row 0 is the header row: it is never sorted. The grid's shape is fixed when it is made.
// A view follows the state through an Observer; the state never asks a view anything.
class GridState : public CellTable {
public:
    // Alignment code that centres a cell's text horizontally and vertically.
    static constexpr int kAlignCenterCenter = 4;
    // Alignment used where neither the cell nor its column has one: left, vertically centred.
    static constexpr int kDefaultAlignment = 1;
    // A width or height that was never set: the view's default applies.
    static constexpr int kUnset = -1;

    // Told about every change, after it is made.
    class Observer {
    public:
        virtual ~Observer() = default;
        // The text or own alignment of one cell changed.
        virtual void cellChanged(int row, int col) = 0;
        // Any cell from row firstRow on may have changed (0 after a clear or a column's
        // alignment, 1 after a sort, which never moves the header row).
        virtual void cellsChanged(int firstRow) = 0;
        virtual void colWidthChanged(int col) = 0;
        virtual void rowHeightChanged(int row) = 0;
        // The current cell or the selection end moved.
        virtual void selectionChanged() = 0;
    };

    // rows includes the header row; at least one row and one column are kept.
    GridState(int rows, int cols);

    // One observer at a time; nullptr stops the notifications.
    void setObserver(Observer* observer) { m_observer = observer; }

    int rows() const override { return m_rows; }
    int cols() const override { return m_cols; }
    bool contains(int row, int col) const {
        return row >= 0 && row < m_rows && col >= 0 && col < m_cols;
    }
    // Reading or writing a cell never moves the current cell or the selection.
    QString textMatrix(int row, int col) const override;
    void setTextMatrix(int row, int col, const QString& text) override;

    // Current cell. Writing Row or Col moves the current cell and shrinks the selection to it;
    // a number outside the grid is ignored.
    int row() const { return m_row; }
    void setRow(int row);
    int col() const { return m_col; }
    void setCol(int col);
    // The other end of the selected block (above, below or beside the current cell).
    int rowSel() const { return m_rowSel; }
    int colSel() const { return m_colSel; }
    // The block from the current cell (row, col) to the end (rowSel, colSel), each number
    // clamped into the grid.
    void selectBlock(int row, int col, int rowSel, int colSel);

    // Text of the current cell.
    QString text() const { return textMatrix(m_row, m_col); }
    void setText(const QString& text) { setTextMatrix(m_row, m_col, text); }
    // Alignment code of the current cell alone (4: centre-centre).
    void setCellAlignment(int code);
    // The code in effect for a cell: its own, else its column's.
    int cellAlignment(int row, int col) const;
    void setColAlignment(int col, int code);
    int colAlignment(int col) const;

    // Column widths and row heights in twips as set; kUnset when never set or outside the
    // grid. Negative sizes are ignored.
    void setColWidth(int col, int widthTwips);
    int colWidth(int col) const;
    void setRowHeight(int row, int heightTwips);
    int rowHeight(int row) const;

    // Every cell loses its text and its own alignment, the header row included; shape, sizes,
    // column alignments and the current cell stay.
    void clear();

    // Sorts rows 1.. by the current column, whole rows together with their own alignments.
    // Codes: 3 numeric ascending, 4 numeric descending, 5/6 text ignoring case, 7/8 text
    // case-sensitive. Other codes do nothing.
    void sort(int code);

private:
    size_t at(int row, int col) const { return static_cast<size_t>(row) * m_cols + col; }

    int m_rows = 1;
    int m_cols = 1;
    std::vector<QString> m_texts;
    std::vector<int> m_cellAlignments;
    std::vector<int> m_colAlignments;
    std::vector<int> m_colWidths;
    std::vector<int> m_rowHeights;
    int m_row = 0;
    int m_col = 0;
    int m_rowSel = 0;
    int m_colSel = 0;
    Observer* m_observer = nullptr;
};
