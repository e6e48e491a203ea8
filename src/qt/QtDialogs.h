#pragma once

#include "system/Dialogs.h"

class QWidget;

// Message boxes and the save dialog as Qt widgets, parented to the window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    void message(const QString& text, const QString& caption, Icon icon) override;
    QString saveFileName(const QString& filter, const QString& initialName,
                         int* filterIndex) override;

private:
    QWidget* m_parent = nullptr;
};
