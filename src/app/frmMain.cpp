#include "app/frmMain.h"

#include "app/MessageBoxSink.h"

#include <QHeaderView>
#include <QTableView>

namespace chartrek {

frmMain::frmMain(QWidget *parent)
    : QMainWindow(parent), mMessageSink(std::make_unique<MessageBoxSink>(this)),
      mMessages(std::make_unique<Messages>(*mMessageSink))
{
    setWindowTitle(QStringLiteral("Chartrek"));
    mCapture = std::make_unique<ReferenceCapture>(mCalibration, mTables, *mMessages, mToolModeRoutines, *this);

    grdDataPoints = new QTableView(this);
    grdDataPoints->setModel(&mTableModel);
    grdDataPoints->setToolTip(QStringLiteral("existing data"));
    grdDataPoints->verticalHeader()->hide();
    for (int c = PointTableModel::kValueColumns; c < mTableModel.columnCount(); ++c)
        grdDataPoints->setColumnHidden(c, true);
    setCentralWidget(grdDataPoints);

    mTableModel.setCell(PointTableModel::DataPoints, 0, 0, QStringLiteral("X"));
    mTableModel.setCell(PointTableModel::DataPoints, 0, 1, QStringLiteral("Y"));
    resize(800, 600);
}

frmMain::~frmMain() = default;

} // namespace chartrek
