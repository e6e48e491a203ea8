#pragma once

#include "CellTable.h"

#include <QWidget>

#include <vector>

class QTableView;
class QMouseEvent;
class QKeyEvent;
class GridModel;
class GridHeader;

// A grid of text cells with one fixed header row (row 0) and no fixed column, sized in twips.
// Row 0 does not scroll and is never sorted; a header text holding a carriage return shows
// on two lines. The grid keeps a current cell (row(), col()) and a selection end
// (rowSel(), colSel()); the selection is the rectangular block between them.
class Grid : public QWidget, public CellTable {
    Q_OBJECT
public:
    // Alignment code that centres a cell's text horizontally and vertically.
    static constexpr int kAlignCenterCenter = 4;

    // rows includes the header row. twipsPerPixel converts the twips of the API to pixels.
    Grid(int rows, int cols, double twipsPerPixel, QWidget* parent = nullptr);
    ~Grid() override;

    int rows() const override;
    int cols() const override;
    // Reading or writing a cell never moves the current cell or the selection.
    QString textMatrix(int row, int col) const override;
    void setTextMatrix(int row, int col, const QString& text) override;

    // Current cell. Writing Row or Col moves the current cell and shrinks the selection to it.
    int row() const;
    void setRow(int row);
    int col() const;
    void setCol(int col);
    // The other end of the selected block.
    int rowSel() const;
    int colSel() const;
    // Selects the block from the current cell (row, col) to (rowSel, colSel), as a user drag
    // would.
    void selectBlock(int row, int col, int rowSel, int colSel);

    // Text of the current cell.
    QString text() const;
    void setText(const QString& text);
    // Alignment code of the current cell alone (4: centre-centre).
    void setCellAlignment(int code);
    // Alignment code used for a cell: its own, else its column's.
    int cellAlignment(int row, int col) const;

    // Column widths and row heights in twips.
    void setColWidth(int col, int widthTwips);
    int colWidth(int col) const;
    void setColAlignment(int col, int code);
    int colAlignment(int col) const;
    void setRowHeight(int row, int heightTwips);
    int rowHeight(int row) const;

    // Every cell loses its text and its own alignment, the header row included.
    void clear();

    // Sorts rows 1.. by the current column, whole rows together. Codes: 3 numeric ascending,
    // 4 numeric descending, 5/6 text ignoring case, 7/8 text case-sensitive.
    // Other codes do nothing.
    void sort(int code);

    // Column under the pointer as of the latest mouse event over the grid (-1 before any).
    int mouseCol() const;
    // Pointer shape: 0 default arrow, 7 north-south double arrow.
    int mousePointer() const;
    void setMousePointer(int code);

    double twipsPerPixel() const { return m_twipsPerPixel; }

signals:
    // A click on a cell, which is current by then, or on the header row, which leaves the
    // current cell as it was.
    void clicked();
    // Mouse moved over the grid. button and shift are the codes of MouseCodes.h; x and y are
    // twips from the grid's top left corner, header row included.
    void mouseMoved(int button, int shift, float x, float y);
    // A button released over the grid, with the same arguments.
    void mouseReleased(int button, int shift, float x, float y);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows (row, col)..(rowSel, colSel) in the view; the header row is never highlighted.
    void showSelection();
    void setBlock(int row, int col, int rowSel, int colSel);
    // Hands the grid's font to the view and header and resizes the rows to it.
    void followFont();
    // Applies the default and the set row heights in pixels.
    void applyRowHeights();
    int defaultRowHeightPixels() const;
    int clampedRow(int row) const;
    int clampedCol(int col) const;
    // Data row and column nearest a viewport point, for drags that leave the cells.
    int dragRow(int y) const;
    int dragCol(int x) const;

    bool viewportMouse(QMouseEvent* event);
    void headerMouse(QMouseEvent* event);
    bool viewKey(QKeyEvent* event);
    void notifyMouse(QWidget* source, QMouseEvent* event);

    double m_twipsPerPixel = 15.0;
    GridModel* m_model = nullptr;
    GridHeader* m_header = nullptr;
    QTableView* m_view = nullptr;
    // Heights set through setRowHeight, in twips, by grid row; -1 keeps the default height.
    std::vector<int> m_setRowHeights;
    int m_row = 0;
    int m_col = 0;
    int m_rowSel = 0;
    int m_colSel = 0;
    int m_mouseCol = -1;
    int m_pointer = 0;
    bool m_dragging = false;
    bool m_headerPressed = false;
};
