#include "qt/FocusMark.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace {

constexpr int kWidth = 2;

} // namespace

FocusMark::FocusMark(QWidget* control) : QWidget(control), m_control(control) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(control->rect());
    control->installEventFilter(this);
    // The style's own focus frames show only after a Tab, and the grids draw none: one mark
    // for every way the focus arrives.
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { follow(now); });
    follow(QApplication::focusWidget());
}

void FocusMark::follow(const QWidget* focused) {
    const bool marked = focused && (focused == m_control || m_control->isAncestorOf(focused));
    if (marked)
        raise();
    setVisible(marked);
}

bool FocusMark::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_control && event->type() == QEvent::Resize)
        setGeometry(m_control->rect());
    return QWidget::eventFilter(watched, event);
}

void FocusMark::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), kWidth));
    painter.drawRect(rect().adjusted(kWidth / 2, kWidth / 2, -kWidth / 2, -kWidth / 2));
}
