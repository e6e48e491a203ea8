#pragma once

#include <QLabel>
#include <QMouseEvent>

// A caption label that takes its own mouse events, so the window's background handlers do not
// fire over it, and reports a click.
class CaptionLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override { e->accept(); }
    void mouseMoveEvent(QMouseEvent* e) override { e->accept(); }
    void mouseReleaseEvent(QMouseEvent* e) override {
        e->accept();
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            emit clicked();
    }
};

// A status line that counts its writes: texts that follow the mouse or the data must only be
// written when they change, and the count makes that observable.
class StatusLine : public CaptionLabel {
    Q_OBJECT
public:
    using CaptionLabel::CaptionLabel;
    // Sets the text and counts the write, even when the text is the same.
    void write(const QString& text) {
        ++m_writes;
        setText(text);
    }
    // Writes the text only when it differs from the one shown.
    void writeIfChanged(const QString& text) {
        if (this->text() != text)
            write(text);
    }
    int writes() const { return m_writes; }

private:
    int m_writes = 0;
};
