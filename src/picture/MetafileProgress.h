#pragma once

#include "picture/HelperWait.h"

#include <QString>

class QProcess;
class QWidget;

namespace chartrek {

// Waits for the metafile converter (or another drawing helper, named in text; without one, "Drawing
// the metafile ...") while the window
// keeps repainting. Input waits for the
// first moments, so that a quick drawing flashes no dialog; after that a window-modal busy
// dialog with a Cancel button shows until the converter ends, the timeout passes or the
// person cancels (button, Escape or closing the dialog).
HelperWait waitForMetafileHelper(QWidget *parent, QProcess &helper, int timeoutMs,
                                 const QString &text = {});

} // namespace chartrek
