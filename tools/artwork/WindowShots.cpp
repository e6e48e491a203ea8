#include "WindowShots.h"

#include "SampleDownload.h"
#include "app/Form1.h"
#include "qt/Grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>

namespace {

constexpr double kTwipsPerPixel = 15.0;

QHeaderView* columnHeader(Grid& grid) {
    for (QHeaderView* h : grid.findChildren<QHeaderView*>())
        if (h->orientation() == Qt::Horizontal)
            return h;
    return nullptr;
}

} // namespace

WindowShots::WindowShots()
    : m_rig({QStringLiteral("Communications Port (COM1)"), kMeter181}, kTwipsPerPixel),
      m_download(sampleDownload()) {
    m_rig.clock.time = QDateTime(QDate(2026, 3, 13), QTime(16, 45, 0));
    m_rig.form->Form_Load();
    m_rig.form->move(0, 0);
    m_rig.form->show();
    settle();
}

WindowShots::~WindowShots() = default;

void WindowShots::settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

void WindowShots::feedUpTo(int lastSlot) {
    const QByteArray upTo = sampleDownloadUpTo(lastSlot);
    // One notification per packet, as the meter's pace gives them.
    while (m_fed < upTo.size()) {
        const qsizetype end = upTo.indexOf('/', m_fed) + 1;
        m_rig.port.receive(upTo.mid(m_fed, end - m_fed));
        m_fed = end;
    }
    settle();
}

void WindowShots::feedRest() {
    m_rig.port.receive(m_download.mid(m_fed));
    m_fed = m_download.size();
    settle();
}

void WindowShots::feedLosingSlot(int slot) {
    m_rig.port.receive(sampleDownloadWithout(slot));
    settle();
}

void WindowShots::selectRows(int first, int last) {
    Grid& grid = m_rig.form->fgMem();
    grid.selectBlock(first, 0, last, grid.cols() - 1);
    settle();
}

void WindowShots::sendHeaderMouse(QEvent::Type type, int col) {
    QHeaderView* header = columnHeader(m_rig.form->fgMem());
    const QPointF at(header->sectionViewportPosition(col) + header->sectionSize(col) / 2.0,
                     header->height() / 2.0);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonPress ? Qt::MouseButtons(Qt::LeftButton) : Qt::NoButton;
    // Mouse events reach a header through its viewport, as on screen.
    QWidget* target = header->viewport();
    QMouseEvent event(type, at, target->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void WindowShots::hoverHeader(int col) {
    sendHeaderMouse(QEvent::MouseMove, col);
    settle();
}

void WindowShots::clickHeader(int col) {
    sendHeaderMouse(QEvent::MouseMove, col);
    sendHeaderMouse(QEvent::MouseButtonPress, col);
    sendHeaderMouse(QEvent::MouseButtonRelease, col);
    settle();
}

QImage WindowShots::grab() {
    return m_rig.form->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage WindowShots::grab(const QRect& area) {
    return grab().copy(area);
}

QRect WindowShots::areaOf(const QWidget& w) const {
    return QRect(w.mapTo(m_rig.form.get(), QPoint(0, 0)), w.size());
}

QPoint WindowShots::headerCentre(int col) const {
    QHeaderView* header = columnHeader(m_rig.form->fgMem());
    const QPoint inHeader(header->sectionViewportPosition(col) + header->sectionSize(col) / 2,
                          header->height() / 2);
    return header->viewport()->mapTo(m_rig.form.get(), inHeader);
}
