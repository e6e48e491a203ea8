#include "GridModel.h"

#include <algorithm>

namespace {
constexpr int kNoAlignment = -1;
}

GridModel::GridModel(int gridRows, int gridCols, QObject* parent)
    : QAbstractTableModel(parent), m_rows(std::max(1, gridRows)), m_cols(std::max(1, gridCols)),
      m_texts(static_cast<size_t>(m_rows) * m_cols),
      m_cellAlignments(static_cast<size_t>(m_rows) * m_cols, kNoAlignment),
      m_colAlignments(static_cast<size_t>(m_cols), kDefaultAlignment) {}

QString GridModel::cell(int row, int col) const {
    return contains(row, col) ? m_texts[at(row, col)] : QString();
}

void GridModel::setCell(int row, int col, const QString& text) {
    if (!contains(row, col))
        return;
    QString& stored = m_texts[at(row, col)];
    if (stored == text)
        return;
    stored = text;
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
    } else {
        const QModelIndex changed = index(row - 1, col);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }
}

void GridModel::setCellAlignment(int row, int col, int code) {
    if (!contains(row, col))
        return;
    m_cellAlignments[at(row, col)] = code;
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
    } else {
        const QModelIndex changed = index(row - 1, col);
        emit dataChanged(changed, changed, {Qt::TextAlignmentRole});
    }
}

int GridModel::cellAlignment(int row, int col) const {
    if (!contains(row, col))
        return kDefaultAlignment;
    const int own = m_cellAlignments[at(row, col)];
    return own != kNoAlignment ? own : m_colAlignments[static_cast<size_t>(col)];
}

void GridModel::setColAlignment(int col, int code) {
    if (col < 0 || col >= m_cols)
        return;
    m_colAlignments[static_cast<size_t>(col)] = code;
    emit headerDataChanged(Qt::Horizontal, col, col);
    if (m_rows > 1)
        emit dataChanged(index(0, col), index(m_rows - 2, col), {Qt::TextAlignmentRole});
}

int GridModel::colAlignment(int col) const {
    return col >= 0 && col < m_cols ? m_colAlignments[static_cast<size_t>(col)] : kDefaultAlignment;
}

void GridModel::clearCells() {
    std::fill(m_texts.begin(), m_texts.end(), QString());
    std::fill(m_cellAlignments.begin(), m_cellAlignments.end(), kNoAlignment);
    emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    if (m_rows > 1)
        emit dataChanged(index(0, 0), index(m_rows - 2, m_cols - 1));
}

void GridModel::reorderDataRows(const std::vector<int>& order) {
    if (order.size() != static_cast<size_t>(m_rows - 1))
        return;
    std::vector<QString> texts(m_texts.begin(), m_texts.begin() + m_cols);
    std::vector<int> alignments(m_cellAlignments.begin(), m_cellAlignments.begin() + m_cols);
    texts.reserve(m_texts.size());
    alignments.reserve(m_cellAlignments.size());
    for (int source : order) {
        const auto first = static_cast<std::ptrdiff_t>(at(source + 1, 0));
        std::move(m_texts.begin() + first, m_texts.begin() + first + m_cols,
                  std::back_inserter(texts));
        std::copy(m_cellAlignments.begin() + first, m_cellAlignments.begin() + first + m_cols,
                  std::back_inserter(alignments));
    }
    m_texts = std::move(texts);
    m_cellAlignments = std::move(alignments);
    // Same shape, new contents: a data change keeps the views' selection and scroll position.
    if (m_rows > 1)
        emit dataChanged(index(0, 0), index(m_rows - 2, m_cols - 1));
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
    return parent.isValid() ? 0 : m_rows - 1;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_cols;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return displayText(cell(row, index.column()));
    case Qt::TextAlignmentRole:
        return qtAlignment(cellAlignment(row, index.column())).toInt();
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_cols)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return displayText(cell(0, section));
    case Qt::TextAlignmentRole:
        return qtAlignment(cellAlignment(0, section)).toInt();
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
