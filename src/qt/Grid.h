#pragma once

#include "grid/GridState.h"

#include <QWidget>

#include <vector>

class QMouseEvent;
class GridHeader;
class GridModel;
class GridTableView;

// The view of a GridState: a table whose header row (row 0) does not scroll, sized in twips.
// A header text holding a carriage return shows on two lines. The grid owns its state; the
// operations below act on that state and the view follows it. The selection is the
// rectangular block between the current cell (row(), col()) and the selection end
// (rowSel(), colSel()).
class Grid : public QWidget, private GridState::Observer {
    Q_OBJECT
public:
    // rows includes the header row. twipsPerPixel converts the twips of the API to pixels.
    Grid(int rows, int cols, double twipsPerPixel, QWidget* parent = nullptr);
    ~Grid() override;

    // The cells and the selection, for code that needs no widget.
    GridState& state() { return m_state; }
    const GridState& state() const { return m_state; }

    int rows() const { return m_state.rows(); }
    int cols() const { return m_state.cols(); }
    QString textMatrix(int row, int col) const { return m_state.textMatrix(row, col); }
    void setTextMatrix(int row, int col, const QString& text) {
        m_state.setTextMatrix(row, col, text);
    }
    int row() const { return m_state.row(); }
    void setRow(int row) { m_state.setRow(row); }
    int col() const { return m_state.col(); }
    void setCol(int col) { m_state.setCol(col); }
    int rowSel() const { return m_state.rowSel(); }
    int colSel() const { return m_state.colSel(); }
    // Selects the block from the current cell (row, col) to (rowSel, colSel), as a user drag
    // would.
    void selectBlock(int row, int col, int rowSel, int colSel) {
        m_state.selectBlock(row, col, rowSel, colSel);
    }
    QString text() const { return m_state.text(); }
    void setText(const QString& text) { m_state.setText(text); }
    void setCellAlignment(int code) { m_state.setCellAlignment(code); }
    int cellAlignment(int row, int col) const { return m_state.cellAlignment(row, col); }
    void setColAlignment(int col, int code) { m_state.setColAlignment(col, code); }
    int colAlignment(int col) const { return m_state.colAlignment(col); }
    void clear() { m_state.clear(); }
    void sort(int code) { m_state.sort(code); }

    // Column widths and row heights in twips. Reading gives what is shown: whole pixels
    // converted back, so a height set at a factor that does not divide it reads back rounded.
    void setColWidth(int col, int widthTwips) { m_state.setColWidth(col, widthTwips); }
    int colWidth(int col) const;
    void setRowHeight(int row, int heightTwips) { m_state.setRowHeight(row, heightTwips); }
    int rowHeight(int row) const;

    // Column under the pointer as of the latest mouse event over the grid (-1 before any).
    int mouseCol() const { return m_mouseCol; }
    // Pointer shape: 0 default arrow, 7 north-south double arrow; other codes are ignored.
    int mousePointer() const { return m_pointer; }
    void setMousePointer(int code);

    double twipsPerPixel() const { return m_twipsPerPixel; }

signals:
    // A left click on a cell, which is current by then, or on the header row, which leaves the
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
    // GridState::Observer
    void cellChanged(int row, int col) override;
    void cellsChanged(int firstRow) override;
    void colWidthChanged(int col) override;
    void rowHeightChanged(int row) override;
    void selectionChanged() override;

    // Hands the grid's font to the view and header and resizes the rows to it.
    void followFont();
    // Applies the default and the set row heights in pixels.
    void applyRowHeights();
    int defaultRowHeightPixels() const;
    void notifyMouse(QWidget* source, QMouseEvent* event);
    void headerClick(QMouseEvent* event);

    double m_twipsPerPixel = 15.0;
    GridState m_state;
    GridModel* m_model = nullptr;
    GridHeader* m_header = nullptr;
    GridTableView* m_view = nullptr;
    int m_mouseCol = -1;
    int m_pointer = 0;
    bool m_headerPressed = false;
};
