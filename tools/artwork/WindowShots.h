#pragma once

#include "Rig.h"

#include <QEvent>
#include <QImage>
#include <QRect>


// The reader's own window, driven offscreen through its handlers with one simulated meter on
// COM181, for pictures of the real thing. Every step is fixed, so the pictures are the same on
// every run.
class WindowShots {
public:
    // Builds the window at 15 twips per pixel and runs its start-up.
    WindowShots();
    ~WindowShots();

    Form1& form() { return *m_rig.form; }

    // Feeds the packets of slots 0 to lastSlot, as a download under way.
    void feedUpTo(int lastSlot);
    // Feeds the rest of the download, so the table fills.
    void feedRest();
    // Feeds a whole download in which the packet of one slot was lost.
    void feedLosingSlot(int slot);
    // Selects data rows first to last, all columns, as a drag over them would.
    void selectRows(int first, int last);
    // Moves the mouse over the header of a column, as the user would before a click.
    void hoverHeader(int col);
    // Clicks a column header: a move, a press and a release.
    void clickHeader(int col);

    // The window as it shows now.
    QImage grab();
    // A part of the window, in window pixels.
    QImage grab(const QRect& area);
    // Where a control lies in the window.
    QRect areaOf(const QWidget& w) const;
    // Centre of a column's header cell in window pixels.
    QPoint headerCentre(int col) const;

private:
    void settle();
    void sendHeaderMouse(QEvent::Type type, int col);

    // The window tests' rig: boxes are recorded, never shown; the save dialog is cancelled.
    Rig m_rig;
    QByteArray m_download;
    qsizetype m_fed = 0;
};
