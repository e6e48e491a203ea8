#include "grid/GridState.h"

#include "grid/GridSort.h"

#include <algorithm>

namespace {
constexpr int kNoAlignment = -1;
}

GridState::GridState(int rows, int cols)
    : m_rows(std::max(1, rows)), m_cols(std::max(1, cols)),
      m_texts(static_cast<size_t>(m_rows) * m_cols),
      m_cellAlignments(static_cast<size_t>(m_rows) * m_cols, kNoAlignment),
      m_colAlignments(static_cast<size_t>(m_cols), kDefaultAlignment),
      m_colWidths(static_cast<size_t>(m_cols), kUnset),
      m_rowHeights(static_cast<size_t>(m_rows), kUnset) {}

QString GridState::textMatrix(int row, int col) const {
    return contains(row, col) ? m_texts[at(row, col)] : QString();
}

void GridState::setTextMatrix(int row, int col, const QString& text) {
    if (!contains(row, col))
        return;
    QString& stored = m_texts[at(row, col)];
    if (stored == text)
        return;
    stored = text;
    if (m_observer)
        m_observer->cellChanged(row, col);
}

void GridState::setRow(int row) {
    if (row < 0 || row >= m_rows)
        return;
    selectBlock(row, m_col, row, m_col);
}

void GridState::setCol(int col) {
    if (col < 0 || col >= m_cols)
        return;
    selectBlock(m_row, col, m_row, col);
}

void GridState::selectBlock(int row, int col, int rowSel, int colSel) {
    m_row = std::clamp(row, 0, m_rows - 1);
    m_col = std::clamp(col, 0, m_cols - 1);
    m_rowSel = std::clamp(rowSel, 0, m_rows - 1);
    m_colSel = std::clamp(colSel, 0, m_cols - 1);
    if (m_observer)
        m_observer->selectionChanged();
}

void GridState::setCellAlignment(int code) {
    m_cellAlignments[at(m_row, m_col)] = code;
    if (m_observer)
        m_observer->cellChanged(m_row, m_col);
}

int GridState::cellAlignment(int row, int col) const {
    if (!contains(row, col))
        return kDefaultAlignment;
    const int own = m_cellAlignments[at(row, col)];
    return own != kNoAlignment ? own : m_colAlignments[static_cast<size_t>(col)];
}

void GridState::setColAlignment(int col, int code) {
    if (col < 0 || col >= m_cols)
        return;
    m_colAlignments[static_cast<size_t>(col)] = code;
    if (m_observer)
        m_observer->cellsChanged(0);
}

int GridState::colAlignment(int col) const {
    return col >= 0 && col < m_cols ? m_colAlignments[static_cast<size_t>(col)] : kDefaultAlignment;
}

void GridState::setColWidth(int col, int widthTwips) {
    if (col < 0 || col >= m_cols || widthTwips < 0)
        return;
    m_colWidths[static_cast<size_t>(col)] = widthTwips;
    if (m_observer)
        m_observer->colWidthChanged(col);
}

int GridState::colWidth(int col) const {
    return col >= 0 && col < m_cols ? m_colWidths[static_cast<size_t>(col)] : kUnset;
}

void GridState::setRowHeight(int row, int heightTwips) {
    if (row < 0 || row >= m_rows || heightTwips < 0)
        return;
    m_rowHeights[static_cast<size_t>(row)] = heightTwips;
    if (m_observer)
        m_observer->rowHeightChanged(row);
}

int GridState::rowHeight(int row) const {
    return row >= 0 && row < m_rows ? m_rowHeights[static_cast<size_t>(row)] : kUnset;
}

void GridState::clear() {
    std::fill(m_texts.begin(), m_texts.end(), QString());
    std::fill(m_cellAlignments.begin(), m_cellAlignments.end(), kNoAlignment);
    if (m_observer)
        m_observer->cellsChanged(0);
}

void GridState::sort(int code) {
    if (!gridsort::isSortCode(code) || m_rows < 3)
        return;
    std::vector<QString> keys;
    keys.reserve(static_cast<size_t>(m_rows - 1));
    for (int r = 1; r < m_rows; ++r)
        keys.push_back(m_texts[at(r, m_col)]);
    const std::vector<int> order = gridsort::sortedOrder(keys, code);

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
    if (m_observer)
        m_observer->cellsChanged(1);
}
