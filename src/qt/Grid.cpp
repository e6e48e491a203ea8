#include "qt/Grid.h"

#include "qt/GridHeader.h"
#include "qt/GridModel.h"
#include "qt/GridTableView.h"
#include "qt/MouseCodes.h"
#include "qt/Twips.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

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
      m_state(rows, cols), m_model(new GridModel(m_state, this)),
      m_view(new GridTableView(m_state, this)) {
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
    m_view->viewport()->installEventFilter(this);
    m_header->viewport()->setMouseTracking(true);
    m_header->viewport()->installEventFilter(this);
    connect(m_view, &QAbstractItemView::clicked, this, &Grid::clicked);

    m_state.setObserver(this);
    followFont();
    m_view->showState();
}

Grid::~Grid() {
    m_state.setObserver(nullptr);
}

int Grid::colWidth(int col) const {
    if (col < 0 || col >= cols())
        return 0;
    return static_cast<int>(
        std::lround(twips::fromPixels(m_header->sectionSize(col), m_twipsPerPixel)));
}

int Grid::rowHeight(int row) const {
    if (row < 0 || row >= rows())
        return 0;
    const int pixels =
        row == 0 ? m_header->sectionHeight() : m_view->verticalHeader()->sectionSize(row - 1);
    return static_cast<int>(std::lround(twips::fromPixels(pixels, m_twipsPerPixel)));
}

void Grid::setMousePointer(int code) {
    if (code != mouse::kPointerDefault && code != mouse::kPointerSizeNS)
        return;
    m_pointer = code;
    setCursor(code == mouse::kPointerSizeNS ? Qt::SizeVerCursor : Qt::ArrowCursor);
}

void Grid::cellChanged(int row, int col) {
    m_model->cellChanged(row, col);
}

void Grid::cellsChanged(int firstRow) {
    m_model->cellsChanged(firstRow);
}

void Grid::colWidthChanged(int col) {
    m_header->resizeSection(col, twips::toPixels(m_state.colWidth(col), m_twipsPerPixel));
}

void Grid::rowHeightChanged(int row) {
    const int pixels = twips::toPixels(m_state.rowHeight(row), m_twipsPerPixel);
    if (row == 0) {
        m_header->setSectionHeight(pixels);
        m_view->doItemsLayout();
    } else {
        m_view->verticalHeader()->resizeSection(row - 1, pixels);
    }
}

void Grid::selectionChanged() {
    m_view->showState();
}

bool Grid::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        auto* mouseEvent = static_cast<QMouseEvent*>(event);
        const int x = mouseEvent->position().toPoint().x();
        if (watched == m_view->viewport()) {
            m_mouseCol = m_view->columnAt(x);
        } else if (watched == m_header->viewport()) {
            m_mouseCol = m_header->logicalIndexAt(x);
        } else {
            break;
        }
        if (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonRelease)
            notifyMouse(static_cast<QWidget*>(watched), mouseEvent);
        if (watched == m_header->viewport())
            headerClick(mouseEvent);
        break;
    }
    case QEvent::FontChange:
        if (watched == this)
            followFont();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Grid::headerClick(QMouseEvent* event) {
    // A click on the header row is a click on the grid too; the fixed row never becomes
    // current, so the current cell stays where it was.
    if (event->button() != Qt::LeftButton)
        return;
    if (event->type() == QEvent::MouseButtonPress)
        m_headerPressed = true;
    else if (event->type() == QEvent::MouseButtonRelease && std::exchange(m_headerPressed, false))
        emit clicked();
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
        const int set = m_state.rowHeight(r);
        if (set != GridState::kUnset)
            rowsHeader->resizeSection(r - 1, twips::toPixels(set, m_twipsPerPixel));
    }
    const int headerTwips = m_state.rowHeight(0);
    m_header->setSectionHeight(headerTwips != GridState::kUnset
                                   ? twips::toPixels(headerTwips, m_twipsPerPixel)
                                   : defaultPixels);
    m_view->doItemsLayout();
}

int Grid::defaultRowHeightPixels() const {
    return QFontMetrics(m_view->font()).height() + kRowPaddingPixels;
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
