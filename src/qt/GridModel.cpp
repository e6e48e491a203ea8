#include "qt/GridModel.h"

#include "grid/GridState.h"

GridModel::GridModel(const GridState& state, QObject* parent)
    : QAbstractTableModel(parent), m_state(state) {}

void GridModel::cellChanged(int row, int col) {
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
    } else {
        const QModelIndex changed = index(row - 1, col);
        emit dataChanged(changed, changed);
    }
}

void GridModel::cellsChanged(int firstRow) {
    if (firstRow == 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_state.cols() - 1);
    // Same shape, new contents: a data change keeps the views' selection and scroll position.
    if (m_state.rows() > 1)
        emit dataChanged(index(0, 0), index(m_state.rows() - 2, m_state.cols() - 1));
}

Qt::Alignment GridModel::qtAlignment(int code) {
    if (code < 0 || code > 8)
        return Qt::AlignLeft | Qt::AlignVCenter;
    static constexpr Qt::AlignmentFlag kHorizontal[] = {Qt::AlignLeft, Qt::AlignHCenter,
                                                        Qt::AlignRight};
    static constexpr Qt::AlignmentFlag kVertical[] = {Qt::AlignTop, Qt::AlignVCenter,
                                                      Qt::AlignBottom};
    return kHorizontal[code / 3] | kVertical[code % 3];
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_state.rows() - 1;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_state.cols();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return displayText(m_state.textMatrix(row, index.column()));
    case Qt::TextAlignmentRole:
        return qtAlignment(m_state.cellAlignment(row, index.column())).toInt();
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_state.cols())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return displayText(m_state.textMatrix(0, section));
    case Qt::TextAlignmentRole:
        return qtAlignment(m_state.cellAlignment(0, section)).toInt();
    default:
        return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QString GridModel::displayText(const QString& text) {
    if (!text.contains(u'\r'))
        return text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}
