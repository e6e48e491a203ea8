#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

// The dialog on the screen, found among the top-level widgets: the toolkit's record of the
// active modal window can lag behind the dialog being shown.
template <typename Dialog> Dialog* shownDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<Dialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

// Runs answer on the dialog once it is shown and waiting for the user in its own event loop,
// as the user at the screen would. An answer given while the dialog is still being shown would
// close it before that loop starts, and the loop would then wait for good.
template <typename Dialog> void whenShownAs(std::function<void(Dialog&)> answer) {
    const int outerLoops = QThread::currentThread()->loopLevel();
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer, outerLoops] {
        if (QThread::currentThread()->loopLevel() <= outerLoops)
            return;
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

// Types path into the dialog's name field, as a user does before pressing Save. Choosing the
// file with selectFile() moves the dialog to the file's folder too, and that folder's listing,
// which arrives later, can empty the name again, so that Save would only open the folder.
inline void typeFileName(QFileDialog& dialog, const QString& path) {
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!name) {
        ADD_FAILURE() << "the save dialog has no name field";
        return;
    }
    name->setText(path);
}
