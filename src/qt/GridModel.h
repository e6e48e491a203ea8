#pragma once

#include <QAbstractTableModel>

class GridState;

// A GridState as the toolkit's item views see it. Row 0 of the grid is offered as horizontal
// header data; model row r is grid row r + 1. The views see a carriage return as a line break.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The state must outlive the model.
    explicit GridModel(const GridState& state, QObject* parent = nullptr);

    // Tells the views that one grid cell changed (the header row included).
    void cellChanged(int row, int col);
    // Tells the views that any cell from grid row firstRow on may have changed, keeping their
    // selection and scroll.
    void cellsChanged(int firstRow);

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
    static QString displayText(const QString& text);

    const GridState& m_state;
};
