#pragma once

#include "core/FileDialogs.h"
#include "core/Messages.h"

#include <QObject>

namespace chartrek {

class ImageControl;

// File > Save Graphic and Edit > Copy graphic: the shown picture, markers included, as a
// Windows bitmap file or on the clipboard. Both do nothing without a picture.
class GraphicSaving : public QObject {
    Q_OBJECT
public:
    GraphicSaving(ImageControl &picture, FileDialogs &dialogs, Messages &messages, QObject *parent = nullptr);

public slots:
    void mnuFileSaveBitmap_Click();
    void mnuEditCopyPicture_Click();

private:
    ImageControl &mPicture;
    FileDialogs &mDialogs;
    Messages &mMessages;
};

} // namespace chartrek
