#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace chartrek::test {

// Drives a modal dialog from inside its own event loop: once a visible top-level widget
// named objectName satisfies ready, act runs on it once. Keeps polling until then.
// A dialog that act failed to close is rejected after a while, so a fault fails the test
// instead of hanging it.
inline void whenDialogReady(const QString &objectName, std::function<bool(QWidget *)> ready,
                            std::function<void(QWidget *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, objectName, ready, act] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == objectName && w->isVisible() && ready(w)) {
                timer->stop();
                timer->deleteLater();
                act(w);
                QTimer::singleShot(5000, w, [dialog = QPointer(qobject_cast<QDialog *>(w))] {
                    if (dialog && dialog->isVisible())
                        dialog->reject();
                });
                return;
            }
        }
    });
    timer->start();
}

} // namespace chartrek::test
