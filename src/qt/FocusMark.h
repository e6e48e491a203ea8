#pragma once

#include <QWidget>

// A frame drawn over a control while the control, or a widget inside it, has the keyboard
// focus, so that the user sees where the keys go. The mouse passes through it.
class FocusMark : public QWidget {
    Q_OBJECT
public:
    // Marks the control; the mark is the control's child and lives as long as it does.
    explicit FocusMark(QWidget* control);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Follows the control's size.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(const QWidget* focused);

    QWidget* m_control = nullptr;
};
