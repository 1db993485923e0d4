#pragma once

#include <QPoint>

class QWidget;

namespace chartrek {

// Moves a window of its own to `topLeft` (screen pixels), or as near to it as keeps the whole
// window, frame included, on the screen that holds that point (else the screen of the window's
// owner): a place worked out from the main window's edges may lie beyond the screen's.
void placeOnScreen(QWidget &window, QPoint topLeft);

} // namespace chartrek
