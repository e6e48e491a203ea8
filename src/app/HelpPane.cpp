#include "app/HelpPane.h"

#include "help/HelpScroll.h"
#include "qt/Twips.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <iterator>

HelpPane::HelpPane(double twipsPerPixel, QWidget* parent)
    : QWidget(parent), m_twipsPerPixel(twipsPerPixel) {
    setAutoFillBackground(true);
    place(this, layout::kHelpDesign);
    // The help bitmap is decoded when the page is first shown: it is the largest picture the
    // program carries and most runs never open it.
    m_picture = new QLabel(this);
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(m_picture, layout::kHelpPicture);
    m_bar = new QScrollBar(Qt::Vertical, this);
    place(m_bar, layout::kHelpScrollBar);
    m_bar->setRange(0, 0);
    m_bar->setSingleStep(1);
    // The keys act on the scroll bar, which steps as its arrows, its trough and its ends do;
    // a click on the picture or a Tab gives it the focus.
    m_bar->setFocusPolicy(Qt::StrongFocus);
    setFocusPolicy(Qt::ClickFocus);
    setFocusProxy(m_bar);
    m_picture->installEventFilter(this);
    hide();
}

bool HelpPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_picture && event->type() == QEvent::Wheel) {
        QCoreApplication::sendEvent(m_bar, event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool HelpPane::scrollByKey(QKeyEvent* event) {
    static constexpr int kPageKeys[] = {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home,
                                        Qt::Key_End};
    if (isHidden() ||
        std::find(std::begin(kPageKeys), std::end(kPageKeys), event->key()) == std::end(kPageKeys))
        return false;
    QCoreApplication::sendEvent(m_bar, event);
    return true;
}

void HelpPane::place(QWidget* w, const layout::TwipsRect& r) const {
    w->setGeometry(layout::pixelRect(r, m_twipsPerPixel));
}

QWidget& HelpPane::picture() const {
    return *m_picture;
}

void HelpPane::placeOverTable() {
    move(twips::toPixels(layout::kTable.left, m_twipsPerPixel),
         twips::toPixels(layout::kTable.top, m_twipsPerPixel));
    const HelpScrollRange range =
        helpScrollRange(helpscroll::kFrameHeightTwips, helpscroll::kPictureHeightTwips,
                        static_cast<float>(m_twipsPerPixel));
    if (range.ok) {
        m_bar->setMaximum(range.maximum);
        m_bar->setPageStep(range.largeChange);
    }
}

void HelpPane::toggle() {
    if (isHidden() && m_picture->pixmap().isNull())
        m_picture->setPixmap(QPixmap(QStringLiteral(":/px417/help.png")));
    setVisible(isHidden());
}

void HelpPane::scrollPicture() {
    const auto pixelTwipsY = static_cast<float>(m_twipsPerPixel);
    const float top = helpPictureTop(pixelTwipsY, m_bar->value());
    m_picture->move(0, static_cast<int>(std::lround(top / pixelTwipsY)));
}
