#include "Grid.h"

#include "GridHeader.h"
#include "GridModel.h"
#include "GridSort.h"
#include "MouseCodes.h"
#include "Twips.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Room around one line of text in a row of the default height.
constexpr int kRowPaddingPixels = 6;

const QColor kCellText(64, 64, 64);
const QColor kGridLine(208, 208, 208);
const QColor kSelection(255, 192, 192);

// Draws each cell with its grid lines (right and bottom, as a grid shows them) in one fixed
// colour, whatever the style's own, and without a focus frame: the selection alone shows
// where the user is.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem inner = option;
        inner.rect.adjust(0, 0, -1, -1);
        QStyledItemDelegate::paint(painter, inner, index);
        painter->save();
        painter->setPen(kGridLine);
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }
};

int buttonsCode(Qt::MouseButtons buttons) {
    int code = 0;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (buttons.testFlag(b))
            code |= mouse::buttonCode(b);
    return code;
}

} // namespace

Grid::Grid(int rows, int cols, double twipsPerPixel, QWidget* parent)
    : QWidget(parent), m_twipsPerPixel(twipsPerPixel > 0 ? twipsPerPixel : 15.0),
      m_model(new GridModel(rows, cols, this)), m_view(new QTableView(this)) {
    m_setRowHeights.assign(static_cast<size_t>(m_model->gridRows()), -1);

    m_header = new GridHeader(m_view);
    m_view->setHorizontalHeader(m_header);
    m_view->setModel(m_model);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setMinimumSectionSize(0);
    m_view->setCornerButtonEnabled(false);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_view->setTabKeyNavigation(false);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setShowGrid(false); // the cells draw their own lines
    m_view->viewport()->setMouseTracking(true);
    // Colours go through the palette, not a style sheet: a style sheet sends every paint and
    // size query of the view through the style-sheet engine, a millisecond of start-up per grid.
    QPalette colours = m_view->palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, kCellText);
    colours.setColor(QPalette::Highlight, kSelection);
    colours.setColor(QPalette::HighlightedText, Qt::black);
    m_view->setPalette(colours);
    m_view->setItemDelegate(new CellDelegate(m_view));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);

    installEventFilter(this);
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);
    m_header->viewport()->setMouseTracking(true);
    m_header->viewport()->installEventFilter(this);

    followFont();
    showSelection();
}

Grid::~Grid() = default;

int Grid::rows() const {
    return m_model->gridRows();
}

int Grid::cols() const {
    return m_model->gridCols();
}

QString Grid::textMatrix(int row, int col) const {
    return m_model->cell(row, col);
}

void Grid::setTextMatrix(int row, int col, const QString& text) {
    m_model->setCell(row, col, text);
}

int Grid::row() const {
    return m_row;
}

void Grid::setRow(int row) {
    if (row < 0 || row >= rows())
        return;
    setBlock(row, m_col, row, m_col);
}

int Grid::col() const {
    return m_col;
}

void Grid::setCol(int col) {
    if (col < 0 || col >= cols())
        return;
    setBlock(m_row, col, m_row, col);
}

int Grid::rowSel() const {
    return m_rowSel;
}

int Grid::colSel() const {
    return m_colSel;
}

void Grid::selectBlock(int row, int col, int rowSel, int colSel) {
    setBlock(clampedRow(row), clampedCol(col), clampedRow(rowSel), clampedCol(colSel));
}

QString Grid::text() const {
    return textMatrix(m_row, m_col);
}

void Grid::setText(const QString& text) {
    setTextMatrix(m_row, m_col, text);
}

void Grid::setCellAlignment(int code) {
    m_model->setCellAlignment(m_row, m_col, code);
}

int Grid::cellAlignment(int row, int col) const {
    return m_model->cellAlignment(row, col);
}

void Grid::setColWidth(int col, int widthTwips) {
    if (col < 0 || col >= cols() || widthTwips < 0)
        return;
    m_header->resizeSection(col, twips::toPixels(widthTwips, m_twipsPerPixel));
}

int Grid::colWidth(int col) const {
    if (col < 0 || col >= cols())
        return 0;
    return static_cast<int>(
        std::lround(twips::fromPixels(m_header->sectionSize(col), m_twipsPerPixel)));
}

void Grid::setColAlignment(int col, int code) {
    m_model->setColAlignment(col, code);
}

int Grid::colAlignment(int col) const {
    return m_model->colAlignment(col);
}

void Grid::setRowHeight(int row, int heightTwips) {
    if (row < 0 || row >= rows() || heightTwips < 0)
        return;
    m_setRowHeights[static_cast<size_t>(row)] = heightTwips;
    const int pixels = twips::toPixels(heightTwips, m_twipsPerPixel);
    if (row == 0) {
        m_header->setSectionHeight(pixels);
        m_view->doItemsLayout();
    } else {
        m_view->verticalHeader()->resizeSection(row - 1, pixels);
    }
}

int Grid::rowHeight(int row) const {
    if (row < 0 || row >= rows())
        return 0;
    const int pixels =
        row == 0 ? m_header->sectionHeight() : m_view->verticalHeader()->sectionSize(row - 1);
    return static_cast<int>(std::lround(twips::fromPixels(pixels, m_twipsPerPixel)));
}

void Grid::clear() {
    m_model->clearCells();
}

void Grid::sort(int code) {
    if (!gridsort::isSortCode(code) || rows() < 3)
        return;
    std::vector<QString> keys;
    keys.reserve(static_cast<size_t>(rows() - 1));
    for (int r = 1; r < rows(); ++r)
        keys.push_back(m_model->cell(r, m_col));
    m_model->reorderDataRows(gridsort::sortedOrder(keys, code));
}

int Grid::mouseCol() const {
    return m_mouseCol;
}

int Grid::mousePointer() const {
    return m_pointer;
}

void Grid::setMousePointer(int code) {
    if (code != mouse::kPointerDefault && code != mouse::kPointerSizeNS)
        return;
    m_pointer = code;
    setCursor(code == mouse::kPointerSizeNS ? Qt::SizeVerCursor : Qt::ArrowCursor);
}

bool Grid::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        if (watched == m_view->viewport())
            return viewportMouse(static_cast<QMouseEvent*>(event));
        if (watched == m_header->viewport())
            headerMouse(static_cast<QMouseEvent*>(event));
        break;
    case QEvent::KeyPress:
        if (watched == m_view)
            return viewKey(static_cast<QKeyEvent*>(event));
        break;
    case QEvent::FontChange:
        if (watched == this)
            followFont();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Grid::showSelection() {
    QItemSelectionModel* selection = m_view->selectionModel();
    const int top = std::max(1, std::min(m_row, m_rowSel));
    const int bottom = std::max(m_row, m_rowSel);
    if (bottom >= 1) {
        const int left = std::min(m_col, m_colSel);
        const int right = std::max(m_col, m_colSel);
        selection->select(
            QItemSelection(m_model->index(top - 1, left), m_model->index(bottom - 1, right)),
            QItemSelectionModel::ClearAndSelect);
    } else {
        selection->clearSelection();
    }
    const QModelIndex current = m_row >= 1 ? m_model->index(m_row - 1, m_col) : QModelIndex();
    selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
}

void Grid::setBlock(int row, int col, int rowSel, int colSel) {
    m_row = row;
    m_col = col;
    m_rowSel = rowSel;
    m_colSel = colSel;
    showSelection();
}

void Grid::followFont() {
    // The row heights are measured from the font, so they follow it.
    m_view->setFont(font());
    m_header->setFont(font());
    applyRowHeights();
}

void Grid::applyRowHeights() {
    const int defaultPixels = defaultRowHeightPixels();
    QHeaderView* rowsHeader = m_view->verticalHeader();
    rowsHeader->setDefaultSectionSize(defaultPixels);
    for (int r = 1; r < rows(); ++r) {
        const int set = m_setRowHeights[static_cast<size_t>(r)];
        if (set >= 0)
            rowsHeader->resizeSection(r - 1, twips::toPixels(set, m_twipsPerPixel));
    }
    const int headerTwips = m_setRowHeights[0];
    m_header->setSectionHeight(headerTwips >= 0 ? twips::toPixels(headerTwips, m_twipsPerPixel)
                                                : defaultPixels);
    m_view->doItemsLayout();
}

int Grid::defaultRowHeightPixels() const {
    return QFontMetrics(m_view->font()).height() + kRowPaddingPixels;
}

int Grid::clampedRow(int row) const {
    return std::clamp(row, 0, rows() - 1);
}

int Grid::clampedCol(int col) const {
    return std::clamp(col, 0, cols() - 1);
}

int Grid::dragRow(int y) const {
    const int height = m_view->viewport()->height();
    int row = m_view->rowAt(std::clamp(y, 0, std::max(0, height - 1)));
    if (row < 0)
        row = m_model->rowCount() - 1;
    if (y < 0)
        --row;
    else if (y >= height)
        ++row;
    return std::clamp(row, 0, m_model->rowCount() - 1) + 1;
}

int Grid::dragCol(int x) const {
    const int width = m_view->viewport()->width();
    int col = m_view->columnAt(std::clamp(x, 0, std::max(0, width - 1)));
    if (col < 0)
        col = m_model->columnCount() - 1;
    if (x < 0)
        --col;
    else if (x >= width)
        ++col;
    return std::clamp(col, 0, m_model->columnCount() - 1);
}

bool Grid::viewportMouse(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int column = m_view->columnAt(pos.x());
    m_mouseCol = column;

    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (event->button() == Qt::LeftButton) {
            m_view->setFocus(Qt::MouseFocusReason);
            const QModelIndex index = m_view->indexAt(pos);
            if (index.isValid()) {
                const int r = index.row() + 1;
                const int c = index.column();
                if (event->modifiers().testFlag(Qt::ShiftModifier))
                    setBlock(m_row, m_col, r, c);
                else
                    setBlock(r, c, r, c);
                m_dragging = true;
            }
        }
        break;
    case QEvent::MouseMove:
        if (m_dragging && event->buttons().testFlag(Qt::LeftButton)) {
            const int r = dragRow(pos.y());
            const int c = dragCol(pos.x());
            if (r != m_rowSel || c != m_colSel) {
                setBlock(m_row, m_col, r, c);
                m_view->scrollTo(m_model->index(r - 1, c));
            }
        }
        notifyMouse(m_view->viewport(), event);
        break;
    case QEvent::MouseButtonRelease: {
        const bool click = m_dragging && event->button() == Qt::LeftButton;
        if (click)
            m_dragging = false;
        notifyMouse(m_view->viewport(), event);
        if (click)
            emit clicked();
        break;
    }
    default:
        break;
    }
    // The grid owns selection and current cell; the view only shows them.
    return true;
}

void Grid::headerMouse(QMouseEvent* event) {
    m_mouseCol = m_header->logicalIndexAt(event->position().toPoint().x());
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonRelease)
        notifyMouse(m_header->viewport(), event);
    // A click on the header row is a click on the grid too; the fixed row never becomes
    // current, so the current cell stays where it was.
    if (event->button() != Qt::LeftButton)
        return;
    if (event->type() == QEvent::MouseButtonPress)
        m_headerPressed = true;
    else if (event->type() == QEvent::MouseButtonRelease && std::exchange(m_headerPressed, false))
        emit clicked();
}

bool Grid::viewKey(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return false;
    const int lastRow = rows() - 1;
    if (lastRow < 1)
        return true;

    const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
    const bool toEdge = event->modifiers().testFlag(Qt::ControlModifier);
    int r = extend ? m_rowSel : m_row;
    int c = extend ? m_colSel : m_col;
    const int rowHeight = std::max(1, m_view->verticalHeader()->defaultSectionSize());
    const int page = std::max(1, m_view->viewport()->height() / rowHeight - 1);
    switch (key) {
    case Qt::Key_Up:
        r = toEdge ? 1 : r - 1;
        break;
    case Qt::Key_Down:
        r = toEdge ? lastRow : r + 1;
        break;
    case Qt::Key_Left:
        c = toEdge ? 0 : c - 1;
        break;
    case Qt::Key_Right:
        c = toEdge ? cols() - 1 : c + 1;
        break;
    case Qt::Key_PageUp:
        r -= page;
        break;
    case Qt::Key_PageDown:
        r += page;
        break;
    case Qt::Key_Home:
        c = 0;
        if (toEdge)
            r = 1;
        break;
    case Qt::Key_End:
        c = cols() - 1;
        if (toEdge)
            r = lastRow;
        break;
    default:
        // Other keys must not reach the view, whose type-ahead search would move its own
        // selection behind the grid's back.
        return true;
    }
    // The keyboard stays on the data rows; the header row is reached only by code.
    r = std::clamp(r, 1, lastRow);
    c = clampedCol(c);
    if (extend)
        setBlock(m_row, m_col, r, c);
    else
        setBlock(r, c, r, c);
    m_view->scrollTo(m_model->index(r - 1, c));
    return true;
}

void Grid::notifyMouse(QWidget* source, QMouseEvent* event) {
    const QPointF at = source->mapTo(this, event->position());
    const auto x = static_cast<float>(twips::fromPixels(at.x(), m_twipsPerPixel));
    const auto y = static_cast<float>(twips::fromPixels(at.y(), m_twipsPerPixel));
    const int shift = mouse::shiftCode(event->modifiers());
    if (event->type() == QEvent::MouseMove)
        emit mouseMoved(buttonsCode(event->buttons()), shift, x, y);
    else
        emit mouseReleased(mouse::buttonCode(event->button()), shift, x, y);
}
