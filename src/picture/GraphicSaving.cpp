#include "picture/GraphicSaving.h"

#include "picture/ImageControl.h"

namespace chartrek {

GraphicSaving::GraphicSaving(ImageControl &picture, FileDialogs &dialogs, Messages &messages, QObject *parent)
    : QObject(parent), mPicture(picture), mDialogs(dialogs), mMessages(messages)
{
    setObjectName(QStringLiteral("graphicSaving"));
}

void GraphicSaving::mnuFileSaveBitmap_Click()
{
    if (!mPicture.hasBitmap())
        return;
    FileDialogRequest request;
    request.title = tr("Save Graphic");
    request.filter = tr("Bitmap (*.bmp)");
    request.defaultSuffix = QStringLiteral("bmp");
    request.mustExist = true; // the name box is empty at every opening
    request.rememberFolder = Setting::SaveGraphicFolder;
    const QString path = mDialogs.getSaveFileName(request);
    if (path.isEmpty())
        return;
    // A file that could not be written is said so, and an existing one keeps its content.
    QString reason;
    if (!mPicture.save(path, &reason)) {
        mMessages.ShowError(tr("An error occurred while saving the graphic: %1. If the problem is permanent, please "
                               "copy the graphic via the clipboard.")
                                .arg(reason));
        return;
    }
    mMessages.ShowInfo(tr("The graphic was saved as %1.").arg(path));
}

void GraphicSaving::mnuEditCopyPicture_Click()
{
    mPicture.copy();
}

} // namespace chartrek
