#pragma once

#include <QString>

// Text cells addressed by row and column, as the tables of the window hold them.
// Pure code (decoding, export) reads and writes through this so it never needs a widget.
class CellTable {
public:
    virtual ~CellTable() = default;
    // Number of rows, header row included.
    virtual int rows() const = 0;
    virtual int cols() const = 0;
    // Text of a cell; an empty text for a cell outside the table.
    virtual QString textMatrix(int row, int col) const = 0;
    // Sets a cell's text; a cell outside the table is ignored.
    virtual void setTextMatrix(int row, int col, const QString& text) = 0;
};
