#include "core/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace chartrek {

void placeOnScreen(QWidget &window, QPoint topLeft)
{
    const QScreen *screen = QGuiApplication::screenAt(topLeft);
    if (!screen)
        screen = window.parentWidget() ? window.parentWidget()->screen() : window.screen();
    if (!screen) {
        window.move(topLeft);
        return;
    }
    // Before its first showing a window has no frame yet: its size hint stands for it, with a
    // frame as thick as its owner's.
    QSize frame = window.frameGeometry().size();
    if (!window.isVisible()) {
        frame = window.sizeHint().expandedTo(window.minimumSize());
        if (const QWidget *owner = window.parentWidget() ? window.parentWidget()->window() : nullptr)
            frame += owner->frameGeometry().size() - owner->geometry().size();
    }
    const QRect area = screen->availableGeometry();
    const int x = std::max(area.left(), std::min(topLeft.x(), area.right() + 1 - frame.width()));
    const int y = std::max(area.top(), std::min(topLeft.y(), area.bottom() + 1 - frame.height()));
    // Window managers place by the frame; move() takes the frame's corner.
    window.move(x, y);
}

} // namespace chartrek
