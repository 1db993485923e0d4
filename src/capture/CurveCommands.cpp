#include "capture/CurveCommands.h"

#include "capture/PictureMarkers.h"
#include "capture/UndoCommands.h"

namespace chartrek {

CurveCommands::CurveCommands(PointTables &tables, PictureMarkers &markers, Messages &messages, QObject *parent)
    : QObject(parent), mTables(tables), mMarkers(markers), mMessages(messages)
{
    setObjectName(QStringLiteral("curveCommands"));
    connect(&mTables.curves(), &Curves::renameRequested, this, &CurveCommands::renameCurve);
}

namespace {
QString withCurve(QString text, int id, const Curves &curves)
{
    const int index = curves.indexOf(id);
    if (curves.count() > 1 && index >= 0)
        text += QStringLiteral(" (") + curves.name(index) + QLatin1Char(')');
    return text;
}
} // namespace

QString CurveCommands::undoText(const UndoHistory &history, const Curves &curves)
{
    return withCurve(UndoCommands::undoText(history), history.undoCurve(), curves);
}

QString CurveCommands::redoText(const UndoHistory &history, const Curves &curves)
{
    return withCurve(UndoCommands::redoText(history), history.redoCurve(), curves);
}

void CurveCommands::mnuCurveNew_Click()
{
    UndoHistory::Step step(mTables.history(), tr("new curve"));
    mTables.curves().addCurve();
}

void CurveCommands::mnuCurveDelete_Click()
{
    Curves &curves = mTables.curves();
    const int current = curves.current();
    if (curves.count() < 2)
        return;
    const int points = curves.pointCount(current);
    if (points > 0
        && mMessages.AskYesNo(tr("Delete the curve \"%1\" and its %2 points?").arg(curves.name(current)).arg(points))
            != AnswerYes)
        return;
    {
        UndoHistory::Step step(mTables.history(), tr("delete curve"));
        curves.removeCurve(current);
    }
    mMarkers.redraw();
}

void CurveCommands::renameCurve(int index, const QString &name)
{
    UndoHistory::Step step(mTables.history(), tr("rename curve"));
    mTables.curves().rename(index, name);
}

void CurveCommands::recolorCurve(int index, quint32 color)
{
    {
        UndoHistory::Step step(mTables.history(), tr("curve colour"));
        mTables.curves().recolor(index, color);
    }
    mMarkers.redraw();
}

void CurveCommands::chooseCurve(int index)
{
    Curves &curves = mTables.curves();
    if (index == curves.current() || index < 0 || index >= curves.count())
        return;
    curves.setCurrent(index);
    mMarkers.redraw(); // its markers on top
}

} // namespace chartrek
