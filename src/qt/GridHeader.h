#pragma once

#include <QHeaderView>

// The horizontal header that shows a Grid's row 0. Its height is the grid's row 0 height and
// nothing else: the view lays itself out from this size hint.
class GridHeader : public QHeaderView {
public:
    explicit GridHeader(QWidget* parent = nullptr);

    // Height of the header row in pixels.
    void setSectionHeight(int pixels);
    int sectionHeight() const { return m_height; }

    QSize sizeHint() const override;

protected:
    // A flat grey cell with a rule on its right and bottom, its text as the model aligns it.
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    int m_height = 20;
};
