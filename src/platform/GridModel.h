#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

// The cells of a Grid. Row 0 of the grid is the header row and is offered as horizontal header
// data; model row r is grid row r + 1. Texts are kept as given; the views see a carriage return
// as a line break.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Alignment used where neither the cell nor its column has one: left, vertically centred.
    static constexpr int kDefaultAlignment = 1;

    // gridRows includes the header row; at least one row and one column are kept.
    GridModel(int gridRows, int gridCols, QObject* parent = nullptr);

    int gridRows() const { return m_rows; }
    int gridCols() const { return m_cols; }
    bool contains(int row, int col) const {
        return row >= 0 && row < m_rows && col >= 0 && col < m_cols;
    }

    // Text of grid cell (row, col); empty outside the grid.
    QString cell(int row, int col) const;
    // Sets a cell's text and tells the views about that one cell; outside the grid: ignored.
    void setCell(int row, int col, const QString& text);

    // A cell's own alignment code, or -1 to fall back on its column's.
    void setCellAlignment(int row, int col, int code);
    // The code in effect for a cell: its own, else its column's.
    int cellAlignment(int row, int col) const;
    void setColAlignment(int col, int code);
    int colAlignment(int col) const;

    // Every cell loses its text and its own alignment, the header row included.
    void clearCells();
    // Reorders the data rows (grid rows 1..): data row i takes what data row order[i] held,
    // texts and own alignments together. order must be a permutation of 0..gridRows()-2.
    void reorderDataRows(const std::vector<int>& order);

    // Qt alignment flags for an alignment code: codes 0 to 8 are left/centre/right (code / 3)
    // times top/centre/bottom (code % 3); other codes give left, vertically centred.
    static Qt::Alignment qtAlignment(int code);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    size_t at(int row, int col) const { return static_cast<size_t>(row) * m_cols + col; }
    static QString displayText(const QString& text);

    int m_rows = 1;
    int m_cols = 1;
    std::vector<QString> m_texts;
    std::vector<int> m_cellAlignments;
    std::vector<int> m_colAlignments;
};
