#include "capture/PointDeletion.h"

#include "capture/OverlayDrawing.h"
#include "capture/PictureMarkers.h"
#include "picture/ImageControl.h"
#include "picture/Views.h"

#include <QTableView>

namespace chartrek {

PointDeletion::PointDeletion(const Controls &controls, const Services &services, QObject *parent)
    : QObject(parent), mC(controls), mS(services)
{
    setObjectName(QStringLiteral("pointDeletion"));
}

void PointDeletion::grdDataPoints_DblClick()
{
    // The view shows the grid from its row 1; the trailing empty row has no text.
    const QModelIndex current = mC.grdDataPoints.currentIndex();
    if (!current.isValid())
        return;
    const int row = current.row() + 1;
    if (mS.tables.model().cell(PointTableModel::DataPoints, row, current.column()).isEmpty())
        return;
    if (mS.messages.AskYesNo(tr("Delete this point?")) != AnswerYes)
        return;
    mS.tables.removePoint(row);
    mS.markers.redraw();
}

void PointDeletion::DeletePointAt(const PicturePoint &point)
{
    const std::optional<int> row = mS.tables.FindPointNear(point);
    if (!row)
        return;
    if (mS.messages.AskYesNo(tr("Do you wish to delete this point?")) != AnswerYes)
        return;
    mS.tables.removePoint(*row);
    mS.markers.redraw();
    // Around the press, which lies within the tolerance of the deleted point.
    MarkDeletedPoint(-point.x, point.y, mC.mPicture, MarkerBlack);
}

void PointDeletion::mnuEditDelete_Click()
{
    // Asked also when there is nothing to delete.
    if (mS.messages.AskYesNo(tr("Delete existing data?")) != AnswerYes)
        return;
    mS.tables.ResetPointTables();
    // The clean copy takes away every marker and deletion mark drawn since the picture came.
    mS.markers.redraw();
    mS.views.mnuViewRepaint_Click();
}

} // namespace chartrek
