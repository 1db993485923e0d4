#pragma once

#include "core/SharedState.h"
#include "points/PointTables.h"

#include <QObject>

namespace chartrek {

class ImageControl;

// Edit > Undo and Redo: a step of the point tables' history taken back or made again, and the
// picture brought in line: the clean copy with the markers of the points that remain.
class UndoCommands : public QObject {
    Q_OBJECT
public:
    UndoCommands(ImageControl &picture, ImageControl &clean, PointTables &tables, const SharedState &state,
                 QObject *parent = nullptr);

    // "Undo capture point" (or "Undo" when there is nothing to undo), and the same for redo.
    static QString undoText(const UndoHistory &history);
    static QString redoText(const UndoHistory &history);

public slots:
    void mnuEditUndo_Click();
    void mnuEditRedo_Click();

private:
    void showMarkers();

    ImageControl &mPicture;
    ImageControl &mClean;
    PointTables &mTables;
    const SharedState &mState;
};

} // namespace chartrek
