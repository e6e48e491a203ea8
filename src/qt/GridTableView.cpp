#include "qt/GridTableView.h"

#include "grid/GridState.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>

#include <algorithm>

GridTableView::GridTableView(GridState& state, QWidget* parent)
    : QTableView(parent), m_state(state) {}

void GridTableView::showState() {
    QItemSelectionModel* selection = selectionModel();
    if (!selection)
        return;
    const int top = std::max(1, std::min(m_state.row(), m_state.rowSel()));
    const int bottom = std::max(m_state.row(), m_state.rowSel());
    if (bottom >= 1) {
        const int left = std::min(m_state.col(), m_state.colSel());
        const int right = std::max(m_state.col(), m_state.colSel());
        selection->select(
            QItemSelection(model()->index(top - 1, left), model()->index(bottom - 1, right)),
            QItemSelectionModel::ClearAndSelect);
    } else {
        selection->clearSelection();
    }
    const QModelIndex end = m_state.rowSel() >= 1
                                ? model()->index(m_state.rowSel() - 1, m_state.colSel())
                                : QModelIndex();
    selection->setCurrentIndex(end, QItemSelectionModel::NoUpdate);
}

void GridTableView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    m_selected = true;
    const QPoint end = rect.bottomRight();
    const int row = rowNear(end.y());
    const int col = colNear(end.x());
    // Shift extends the block, also on the keys that Ctrl makes a plain move for the toolkit.
    if (command.testFlag(QItemSelectionModel::Current) ||
        m_keyModifiers.testFlag(Qt::ShiftModifier))
        m_state.selectBlock(m_state.row(), m_state.col(), row, col);
    else
        m_state.selectBlock(row, col, row, col);
}

QModelIndex GridTableView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const int lastRow = model()->rowCount() - 1;
    const int lastCol = model()->columnCount() - 1;
    if (lastRow < 0 || lastCol < 0)
        return {};
    if (!modifiers.testFlag(Qt::ShiftModifier)) {
        // From the header row the first key lands on the first data row of the same column.
        if (m_state.row() < 1)
            return model()->index(0, m_state.col());
        const QSignalBlocker quiet(selectionModel());
        selectionModel()->setCurrentIndex(model()->index(m_state.row() - 1, m_state.col()),
                                          QItemSelectionModel::NoUpdate);
    }
    const QModelIndex from = currentIndex();
    if (modifiers.testFlag(Qt::ControlModifier) && from.isValid()) {
        switch (action) {
        case MoveUp:
            return model()->index(0, from.column());
        case MoveDown:
            return model()->index(lastRow, from.column());
        case MoveLeft:
            return model()->index(from.row(), 0);
        case MoveRight:
            return model()->index(from.row(), lastCol);
        default:
            break;
        }
    }
    return QTableView::moveCursor(action, modifiers);
}

void GridTableView::mousePressEvent(QMouseEvent* event) {
    // Only the left button selects; a right click leaves the current cell where it is.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    m_dragging = indexAt(event->position().toPoint()).isValid();
    QTableView::mousePressEvent(event);
    showState();
}

void GridTableView::mouseMoveEvent(QMouseEvent* event) {
    const bool dragging = m_dragging && event->buttons().testFlag(Qt::LeftButton);
    m_selected = false;
    QTableView::mouseMoveEvent(event);
    if (!dragging)
        return;
    // The toolkit stops selecting where the pointer leaves the cells; the grid goes on to the
    // nearest cell, one further while the pointer is beyond an edge.
    if (!m_selected) {
        const QPoint pos = event->position().toPoint();
        extendTo(rowNear(pos.y()), colNear(pos.x()));
    }
    showState();
}

void GridTableView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    QTableView::mouseReleaseEvent(event);
}

void GridTableView::keyPressEvent(QKeyEvent* event) {
    m_keyModifiers = event->modifiers();
    QTableView::keyPressEvent(event);
    m_keyModifiers = Qt::NoModifier;
    // Keys that select nothing (space, Ctrl+A) must not leave the view showing another block.
    showState();
}

int GridTableView::rowNear(int y) const {
    const int height = viewport()->height();
    const int last = model()->rowCount() - 1;
    int row = rowAt(std::clamp(y, 0, std::max(0, height - 1)));
    if (row < 0)
        row = last;
    if (y < 0)
        --row;
    else if (y >= height)
        ++row;
    return std::clamp(row, 0, last) + 1;
}

int GridTableView::colNear(int x) const {
    const int width = viewport()->width();
    const int last = model()->columnCount() - 1;
    int col = columnAt(std::clamp(x, 0, std::max(0, width - 1)));
    if (col < 0)
        col = last;
    if (x < 0)
        --col;
    else if (x >= width)
        ++col;
    return std::clamp(col, 0, last);
}

void GridTableView::extendTo(int row, int col) {
    if (row == m_state.rowSel() && col == m_state.colSel())
        return;
    m_state.selectBlock(m_state.row(), m_state.col(), row, col);
    scrollTo(model()->index(row - 1, col));
}
