#include "app/frmMain.h"

#include "app/MainMenus.h"
#include "app/RememberedChoices.h"
#include "app/Toolbar.h"
#include "calibration/ScalePanel.h"
#include "core/ProgramIcons.h"
#include "core/TwipsGeometry.h"
#include "picture/ImageControl.h"

#include <QComboBox>
#include <QHeaderView>
#include <QListView>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>

// The window's controls, where the design put them, and their start values.
namespace chartrek {

namespace {
// The inner size of the window at design time, in twips.
constexpr int kDesignWidth = 11685;
constexpr int kDesignHeight = 5985;
// The toolbar holds one more button than the design's (Find axes), which moves the
// calibration panel right by as much.
constexpr int kToolbarExtra = 630;
// The window opens just wide enough to show the whole calibration panel, whose right end
// lies past the design width.
constexpr int kStartWidth = 11920 + kToolbarExtra;
constexpr int kBarHeight = 255;
// Around and behind a picture: a neutral grey that sets the picture's edges apart.
void setCanvasColor(QWidget *control)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::Window, QColor(0xA0, 0xA0, 0xA0));
    control->setPalette(palette);
}

} // namespace

void frmMain::buildControls()
{
    buildMainMenus(menuBar(), mMenus);

    mClient = new QWidget(this);
    mClient->setObjectName(QStringLiteral("client"));
    setCentralWidget(mClient);
    mClient->installEventFilter(this);

    mToolBar = buildToolbar(mClient, mButtons);
    setTwipsGeometry(mToolBar, 0, 0, 6780 + kToolbarExtra, 630);

    Picture1 = new ScalePanel(mCalibration, mTables, *mCapture, mClient);
    setTwipsGeometry(Picture1, 6775 + kToolbarExtra, 30, 5145, 555);

    mPicture = new ImageControl(mClient);
    mPicture->setObjectName(QStringLiteral("mPicture"));
    setTwipsGeometry(mPicture, 0, 630, 3615, 4815);
    mPicture->setMouseIcon(QCursor(programIcon(QStringLiteral("toolcursor")).pixmap(32, 32)));
    setCanvasColor(mPicture);
    mPicture->setScrollable(true);

    mZoomBox = new QComboBox(mClient);
    mZoomBox->setObjectName(QStringLiteral("mZoomBox"));
    mZoomBox->setToolTip(tr("select the zoom level for the zoom window"));
    for (int z = 2; z <= 6; ++z)
        mZoomBox->addItem(tr("%1 x Zoom").arg(z));
    setTwipsGeometry(mZoomBox, 3720, 630, 2200, 315);

    mZoomWindow = new ImageControl(mClient);
    mZoomWindow->setObjectName(QStringLiteral("mZoomWindow"));
    setTwipsGeometry(mZoomWindow, 3720, 960, 2205, 1605);
    setCanvasColor(mZoomWindow);
    lfHor = new QFrame(mZoomWindow);
    lfVert = new QFrame(mZoomWindow);
    lfHor->setObjectName(QStringLiteral("lfHor"));
    lfVert->setObjectName(QStringLiteral("lfVert"));
    for (QFrame *line : {lfHor, lfVert}) {
        line->setAutoFillBackground(true);
        line->setPalette(QPalette(QColor(0xC0, 0, 0)));
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    grdDataPoints = new QTableView(mClient);
    grdDataPoints->setObjectName(QStringLiteral("grdDataPoints"));
    grdDataPoints->setModel(&mTableModel);
    grdDataPoints->setToolTip(tr("existing data"));
    grdDataPoints->verticalHeader()->hide();
    grdDataPoints->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grdDataPoints->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int c = PointTableModel::kValueColumns; c < mTableModel.columnCount(); ++c)
        grdDataPoints->setColumnHidden(c, true);
    // The curves of the figure above their table; the current one is selected.
    lstCurves = new QListView(mClient);
    lstCurves->setObjectName(QStringLiteral("lstCurves"));
    lstCurves->setModel(&mTables.curves());
    lstCurves->setToolTip(tr("curves of the figure: click to choose, double-click to rename"));
    lstCurves->setSelectionMode(QAbstractItemView::SingleSelection);
    lstCurves->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setTwipsGeometry(lstCurves, 3720, 2640, 2205, 780);
    setTwipsGeometry(grdDataPoints, 3720, 3450, 2205, 285);

    grdOriginale = new QTableView(mClient);
    grdOriginale->setObjectName(QStringLiteral("grdOriginale"));
    grdOriginale->setModel(&mTableModel);
    for (int c = 0; c < PointTableModel::kValueColumns; ++c)
        grdOriginale->setColumnHidden(c, true);
    setTwipsGeometry(grdOriginale, 3720, 2640, 2175, 615);
    grdOriginale->hide();

    mTestLead = new ImageControl(mClient);
    mTestLead->setObjectName(QStringLiteral("mTestLead"));
    setTwipsGeometry(mTestLead, 6090, 1995, 435, 540);
    mTestLead->hide();

    mProgBar = new QProgressBar(mClient);
    mProgBar->setObjectName(QStringLiteral("mProgBar"));
    mProgBar->setTextVisible(false);
    setTwipsGeometry(mProgBar, 0, 5475, kDesignWidth, kBarHeight);
    mProgBar->hide();

    mStatusBar = new QStatusBar(mClient);
    mStatusBar->setObjectName(QStringLiteral("mStatusBar"));
    mStatusBar->setSizeGripEnabled(false);
    mStatusBar->setStyleSheet(QStringLiteral("QStatusBar { border-top: 1px solid palette(mid); }"));
    setTwipsGeometry(mStatusBar, 0, 5730, kDesignWidth, kBarHeight);

    placeCrosshair();
}

void frmMain::placeCurveList()
{
    const QRect grid = twipsGeometry(grdDataPoints);
    const QRect list = twipsGeometry(lstCurves);
    setTwipsGeometry(lstCurves, grid.left(), list.top(), grid.width(), list.height());
    const QModelIndex current = mTables.curves().index(mTables.curves().current());
    if (lstCurves->currentIndex() != current)
        lstCurves->setCurrentIndex(current);
}

void frmMain::placeCrosshair()
{
    const QRect zoom = twipsGeometry(mZoomWindow);
    const int w = zoom.width();
    const int h = zoom.height();
    lfHor->setGeometry(0, toPixels(h / 2), toPixels(w), 1);
    lfVert->setGeometry(toPixels(w / 2), 0, 1, toPixels(h));
}

void frmMain::setStartValues()
{
    mState.mToolMode = SharedState::PointerTool;
    mState.mViewScale = 1.0;
    mState.mFitToWindow = false;
    mState.mCalibrating = false;
    mState.mAutoLineStep = 0;
    mState.mAutoLineCancel = false;
    mState.mHasLines = true;
    mState.mHasGrid = true;
    mState.mRecoveryCenterX = 0;
    mState.mRecoveryCenterY = 0;
    mState.mLineFirstMove = false;
    mState.mLineDragging = false;
    mState.mRotatePickStep = 2;
    mState.mRotatePicking = false;
    mState.mSortData = mMenus.mnuEditSort->isChecked();
    mState.mShowMarkers = mMenus.mnuViewMarker->isChecked();
    mZoomBox->setCurrentIndex(0);
    mTableModel.setCell(PointTableModel::DataPoints, 0, 0, QStringLiteral("X"));
    mTableModel.setCell(PointTableModel::DataPoints, 0, 1, QStringLiteral("Y"));
}

void frmMain::alignBottomBars()
{
    const QSize inner = twipsSize(mClient);
    setTwipsGeometry(mStatusBar, 0, inner.height() - kBarHeight, inner.width(), kBarHeight);
    setTwipsGeometry(mProgBar, 0, inner.height() - 2 * kBarHeight, inner.width(), kBarHeight);
}

void frmMain::resizeToStart()
{
    if (mChoices->restoreWindow())
        return;
    // A first start: three quarters of the screen, and never less than the design size where
    // the screen has room for it; the window manager places it.
    const QSize client = toPixels(QRect(0, 0, kStartWidth, kDesignHeight)).size();
    const QSize design(client.width(), client.height() + menuBar()->sizeHint().height());
    const QRect area = screen()->availableGeometry();
    const QSize size = (area.size() * 3 / 4).expandedTo(design).boundedTo(area.size());
    resize(size);
}

} // namespace chartrek
