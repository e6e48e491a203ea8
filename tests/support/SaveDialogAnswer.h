#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <functional>

// Runs answer on the real save dialog once it is shown, as the user at the screen would.
inline void whenSaveDialogShown(std::function<void(QFileDialog&)> answer) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(*dialog);
        }
    });
    timer->start(10);
}
