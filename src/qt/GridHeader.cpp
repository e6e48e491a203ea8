#include "qt/GridHeader.h"

#include <QPainter>

#include <algorithm>

namespace {

const QColor kBackground(224, 224, 224);
const QColor kRule(176, 176, 176);
constexpr int kPadding = 2;

} // namespace

GridHeader::GridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(0);
    setStretchLastSection(false);
}

void GridHeader::setSectionHeight(int pixels) {
    m_height = std::max(0, pixels);
    setFixedHeight(m_height);
    updateGeometry();
}

QSize GridHeader::sizeHint() const {
    // The toolkit's hint measures every header text; only the height is ever used.
    return {length(), m_height};
}

void GridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid() || !model())
        return;
    painter->save();
    painter->fillRect(rect, kBackground);
    painter->setPen(kRule);
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->setPen(Qt::black);
    const QString text = model()->headerData(logicalIndex, orientation()).toString();
    const int alignment =
        model()->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole).toInt();
    painter->drawText(rect.adjusted(kPadding, 0, -kPadding - 1, -1), alignment, text);
    painter->restore();
}
