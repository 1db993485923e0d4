#include "capture/UndoCommands.h"

#include "capture/PictureMarkers.h"

namespace chartrek {

UndoCommands::UndoCommands(PictureMarkers &markers, PointTables &tables, const SharedState &state, QObject *parent)
    : QObject(parent), mMarkers(markers), mTables(tables), mState(state)
{
    setObjectName(QStringLiteral("undoCommands"));
}

QString UndoCommands::undoText(const UndoHistory &history)
{
    return history.canUndo() ? tr("&Undo %1").arg(history.undoName()) : tr("&Undo");
}

QString UndoCommands::redoText(const UndoHistory &history)
{
    return history.canRedo() ? tr("&Redo %1").arg(history.redoName()) : tr("&Redo");
}

bool UndoCommands::allowed() const
{
    return !mState.mCalibrating && !mMarkers.trying();
}

void UndoCommands::mnuEditUndo_Click()
{
    if (allowed() && mTables.undo())
        mMarkers.redraw();
}

void UndoCommands::mnuEditRedo_Click()
{
    if (allowed() && mTables.redo())
        mMarkers.redraw();
}

} // namespace chartrek
