#include "GridHeader.h"

#include <algorithm>

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
    return {QHeaderView::sizeHint().width(), m_height};
}
