#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QWidget>

#include <functional>

// The dialog on the screen, found among the top-level widgets: the toolkit's record of the
// active modal window can lag behind the dialog being shown.
template <typename Dialog> Dialog* shownDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<Dialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

// Runs answer on the dialog once it is shown, as the user at the screen would.
template <typename Dialog> void whenShownAs(std::function<void(Dialog&)> answer) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (Dialog* dialog = shownDialog<Dialog>()) {
            timer->stop();
            timer->deleteLater();
            answer(*dialog);
        }
    });
    timer->start(10);
}

// Runs answer on the real save dialog once it is shown.
inline void whenSaveDialogShown(std::function<void(QFileDialog&)> answer) {
    whenShownAs<QFileDialog>(std::move(answer));
}
