#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

namespace chartrek::test {

// Once a visible top-level widget named objectName satisfies ready, runs act on it from inside
// its modal loop. A dialog act left open is rejected after a while, so a fault cannot hang.
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
