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
    request.title = QStringLiteral("Diagramm speichern");
    request.filter = QStringLiteral("Bitmap (*.bmp)");
    request.defaultSuffix = QStringLiteral("bmp");
    request.mustExist = true; // the name box is empty at every opening
    request.rememberFolder = Setting::SaveGraphicFolder;
    const QString path = mDialogs.getSaveFileName(request);
    if (path.isEmpty())
        return;
    // A file that could not be written is said so, and an existing one keeps its content.
    QString reason;
    if (!mPicture.save(path, &reason)) {
        mMessages.ShowError(QStringLiteral("An error accured while saving the graphic: ") + reason
                            + QStringLiteral(". If the problem is permanent, please copy the graphic over the clipboard."));
        return;
    }
    mMessages.ShowInfo(QStringLiteral("The graphic was saved as ") + path + QStringLiteral("."));
}

void GraphicSaving::mnuEditCopyPicture_Click()
{
    mPicture.copy();
}

} // namespace chartrek
