#pragma once

#include "core/Messages.h"
#include "points/PointTables.h"

#include <QObject>

namespace chartrek {

class PictureMarkers;

// The commands on the curves of the figure: a new curve, deleting, renaming and recolouring
// one, and choosing the current one. Each change is one step of the undo history; choosing is
// none. The picture follows: every curve's markers, the current one's on top.
class CurveCommands : public QObject {
    Q_OBJECT
public:
    CurveCommands(PointTables &tables, PictureMarkers &markers, Messages &messages, QObject *parent = nullptr);

    // "Undo capture point (Curve 2)" when the figure has several curves and the step changed
    // one curve's table; as for one curve otherwise.
    static QString undoText(const UndoHistory &history, const Curves &curves);
    static QString redoText(const UndoHistory &history, const Curves &curves);

public slots:
    // Edit > New curve (Ctrl+N): an empty curve after the others, made current.
    void mnuCurveNew_Click();
    // Edit > Delete curve: the current one, after a question when it holds points.
    void mnuCurveDelete_Click();
    void renameCurve(int index, const QString &name);
    void recolorCurve(int index, quint32 color);
    void chooseCurve(int index);

private:
    PointTables &mTables;
    PictureMarkers &mMarkers;
    Messages &mMessages;
};

} // namespace chartrek
