#pragma once

#include "core/SharedState.h"
#include "points/PointTables.h"

#include <QObject>

namespace chartrek {

class PictureMarkers;

// Edit > Undo and Redo: a step of the history taken back or made again, the calibration with
// it, and the picture brought in line: the clean copy with the markers of the points that remain.
class UndoCommands : public QObject {
    Q_OBJECT
public:
    UndoCommands(PictureMarkers &markers, PointTables &tables, const SharedState &state, QObject *parent = nullptr);

    // "Undo capture point" (or "Undo" when there is nothing to undo), and the same for redo.
    static QString undoText(const UndoHistory &history);
    static QString redoText(const UndoHistory &history);
    // Not while references are captured (the steps hold references) nor while a turn of the
    // picture is tried (the picture shown is not yet the clean copy).
    bool allowed() const;

public slots:
    void mnuEditUndo_Click();
    void mnuEditRedo_Click();

private:
    PictureMarkers &mMarkers;
    PointTables &mTables;
    const SharedState &mState;
};

} // namespace chartrek
