#pragma once

#include "app/WindowLayout.h"

#include <QWidget>

class QKeyEvent;
class QLabel;
class QScrollBar;

// The help page: a frame over the table holding the long help picture and the scroll bar that
// moves it. The picture is loaded when the page is first shown.
class HelpPane : public QWidget {
    Q_OBJECT
public:
    // Places the frame at its design position; twipsPerPixel is the screen's factor.
    HelpPane(double twipsPerPixel, QWidget* parent);

    // Start-up: moves the frame over the table and sets the scroll range from the frame's and
    // the picture's heights; an impossible range leaves the bar as it was.
    void placeOverTable();
    // Shows the page when hidden and hides it when shown.
    void toggle();
    // Moves the picture to the bar's value.
    void scrollPicture();
    // While the page is shown, hands a page key (PageUp, PageDown, Home, End) that no control
    // took to the scroll bar and returns true; otherwise returns false.
    bool scrollByKey(QKeyEvent* event);

    QWidget& picture() const;
    QScrollBar& scrollBar() const { return *m_bar; }

protected:
    // The wheel over the picture turns the scroll bar, notch for notch.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place(QWidget* w, const layout::TwipsRect& r) const;

    double m_twipsPerPixel = 15.0;
    QLabel* m_picture = nullptr;
    QScrollBar* m_bar = nullptr;
};
