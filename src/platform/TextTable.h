#pragma once

#include "CellTable.h"

#include <vector>

// An in-memory CellTable, for plain code and tests.
class TextTable : public CellTable {
public:
    TextTable(int rows, int cols)
        : m_rows(rows), m_cols(cols), m_cells(static_cast<size_t>(rows * cols)) {}

    int rows() const override { return m_rows; }
    int cols() const override { return m_cols; }
    QString textMatrix(int row, int col) const override {
        return inside(row, col) ? m_cells[index(row, col)] : QString();
    }
    void setTextMatrix(int row, int col, const QString& text) override {
        if (inside(row, col))
            m_cells[index(row, col)] = text;
    }

private:
    bool inside(int row, int col) const {
        return row >= 0 && row < m_rows && col >= 0 && col < m_cols;
    }
    size_t index(int row, int col) const { return static_cast<size_t>(row * m_cols + col); }

    int m_rows = 0;
    int m_cols = 0;
    std::vector<QString> m_cells;
};
