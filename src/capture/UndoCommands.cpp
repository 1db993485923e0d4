#include "capture/UndoCommands.h"

#include "capture/OverlayDrawing.h"
#include "picture/ImageControl.h"

namespace chartrek {

UndoCommands::UndoCommands(ImageControl &picture, ImageControl &clean, PointTables &tables, const SharedState &state,
                           QObject *parent)
    : QObject(parent), mPicture(picture), mClean(clean), mTables(tables), mState(state)
{
    setObjectName(QStringLiteral("undoCommands"));
}

QString UndoCommands::undoText(const UndoHistory &history)
{
    return history.canUndo() ? QStringLiteral("&Undo ") + history.undoName() : QStringLiteral("&Undo");
}

QString UndoCommands::redoText(const UndoHistory &history)
{
    return history.canRedo() ? QStringLiteral("&Redo ") + history.redoName() : QStringLiteral("&Redo");
}

void UndoCommands::mnuEditUndo_Click()
{
    if (UndoHistory *history = mTables.history(); history && history->canUndo()) {
        history->undo();
        showMarkers();
    }
}

void UndoCommands::mnuEditRedo_Click()
{
    if (UndoHistory *history = mTables.history(); history && history->canRedo()) {
        history->redo();
        showMarkers();
    }
}

void UndoCommands::showMarkers()
{
    if (mPicture.hasBitmap())
        ShowPictureWithMarkers(mPicture, mClean, mTables, mState.mShowMarkers);
}

} // namespace chartrek
