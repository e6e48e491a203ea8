#pragma once

#include "Fakes.h"

#include <QEvent>
#include <QImage>
#include <QRect>

#include <memory>

class Form1;

// The reader's own window, driven offscreen through its handlers with one simulated meter on
// COM181, for pictures of the real thing. Every step is fixed, so the pictures are the same on
// every run.
class WindowShots {
public:
    // Builds the window at 15 twips per pixel and runs its start-up.
    WindowShots();
    ~WindowShots();

    Form1& form() { return *m_form; }

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

    FakeSerialPort m_port;
    FakeDeviceList m_devices;
    FakeDialogs m_dialogs; // boxes are recorded, never shown; the save dialog is cancelled
    FixedClock m_clock;
    FakeProgram m_program;
    std::unique_ptr<Form1> m_form;
    QByteArray m_download;
    qsizetype m_fed = 0;
};
