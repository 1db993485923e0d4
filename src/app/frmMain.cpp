#include "app/frmMain.h"

#include "app/FieldEditKeys.h"
#include "app/FileDrop.h"
#include "app/HelpWindow.h"
#include "app/MenuHelp.h"
#include "app/MessageBoxSink.h"
#include "app/ModalCalls.h"
#include "core/ProgramVersion.h"
#include "app/QtFileDialogs.h"
#include "app/RecentFiles.h"
#include "app/RememberedChoices.h"
#include "app/SingleInstance.h"
#include "app/frmSplash.h"
#include "autoline/AutoLineSetup.h"
#include "axes/FindAxes.h"
#include "autoline/LostLineRecovery.h"
#include "calibration/ScalePanel.h"
#include "capture/CalibrationMarks.h"
#include "capture/CurveCommands.h"
#include "capture/KeyboardControl.h"
#include "capture/Magnifier.h"
#include "capture/PictureMarkers.h"
#include "capture/PictureMouse.h"
#include "capture/PointDeletion.h"
#include "capture/UndoCommands.h"
#include "capture/RotateGraphic.h"
#include "memory/MemoryMonitor.h"
#include "picture/GraphicLoading.h"
#include "picture/GraphicSaving.h"
#include "picture/ImageControl.h"
#include "picture/Views.h"
#include "points/DataExport.h"
#include "project/ProjectDocument.h"
#include "project/RecoveryCopy.h"
#include "scanner/ScannerReading.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>

namespace chartrek {

QString frmMain::designCaption()
{
    return programTitle();
}

QString frmMain::closeQuestion()
{
    return tr("Close the program?");
}

frmMain::frmMain(MessageSink *sink, FileDialogs *dialogs, QWidget *parent) : QMainWindow(parent)
{
    if (!sink) {
        mOwnSink = std::make_unique<MessageBoxSink>(this);
        sink = mOwnSink.get();
    }
    if (!dialogs) {
        mOwnDialogs = std::make_unique<QtFileDialogs>(this);
        dialogs = mOwnDialogs.get();
    }
    // Every message box and file dialog runs a modal loop the window must know of.
    mModal = std::make_unique<ModalCalls>(*sink, *dialogs, [this] { handOversMayGo(); });
    mMessages = std::make_unique<Messages>(*mModal);
    mSettings = std::make_unique<Settings>(*mMessages);
    mModal->setSettings(mSettings.get());
    mLongOperations = new LongOperations(this);
    mLongOperations->setObjectName(QStringLiteral("longOperations"));
    mCapture = std::make_unique<ReferenceCapture>(mCalibration, mTables, *mMessages, mToolMode, *this);

    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(designCaption());

    buildControls();
    buildSubsystems();
    connectSubsystems();

    // Key preview: the window sees key presses before its controls.
    qApp->installEventFilter(this);

    setStartValues();
    mChoices->restore();
    takeClipboardPicture();

    resizeToStart();
    updateActions();
}

frmMain::~frmMain()
{
    // The controls outlive the members they show; no event may reach them on the way out.
    qApp->removeEventFilter(this);
    mClient->removeEventFilter(this);
}

bool frmMain::hasBitmap() const
{
    return mPicture && mPicture->hasBitmap();
}

// Each subsystem gets the controls and services it works with at construction; it never sees
// this window.
void frmMain::buildSubsystems()
{
    mViews = new Views(mState, mToolMode,
                       ViewControls{mClient, mPicture, mZoomWindow, mZoomBox, grdDataPoints, mToolBar, mStatusBar}, this);
    mMarkers = new PictureMarkers(*mPicture, *mZoomWindow, mTables, mState, this);
    mCalibrationMarks = new CalibrationMarks(*mPicture, mCalibration, mState, this);
    mMouse = new PictureMouse(
        PictureMouse::Services{mState, *mPicture, mCalibration, *mCapture, mTables, mToolMode, *mMessages, *mMarkers},
        this);
    mMagnifier = new Magnifier(Magnifier::Controls{*mZoomWindow, *mZoomBox, *mPicture}, mState, *mMouse, this);
    mKeyboard = new KeyboardControl(KeyboardControl::Controls{*mPicture, *mZoomWindow, *mZoomBox},
                                    KeyboardControl::Services{mState, *mCapture, *mMouse, *mMagnifier}, this);
    mDeletion = new PointDeletion(PointDeletion::Controls{*mPicture, *grdDataPoints},
                                  PointDeletion::Services{mTables, *mMessages, *mViews, *mMarkers}, this);
    mLoading = new GraphicLoading(GraphicLoading::Controls{*mPicture, *mTestLead, *mZoomWindow, this},
                                  GraphicLoading::Services{mState, *mViews, mTables, mToolMode, *mMessages, *mModal,
                                                           *mLongOperations},
                                  this);
    mScanner = new ScannerReading(ScannerReading::Services{*mLoading, *mMessages, mToolMode}, this, this);
    mExport = new DataExport(mTableModel, mCalibration, *mMessages, *mModal, this);
    mSaving = new GraphicSaving(*mPicture, *mModal, *mMessages, this);
    mTables.setHistory(&mHistory);
    mUndo = new UndoCommands(*mMarkers, mTables, mState, this);
    mRecovery = new LostLineRecovery(LostLineRecovery::Controls{*mPicture},
                                     LostLineRecovery::Services{mState, *mMessages}, this);
    mAutoLine = new AutoLineSetup(
        AutoLineSetup::Controls{*this, *mPicture, *mZoomWindow, *grdDataPoints, *mProgBar, *mStatusBar},
        AutoLineSetup::Services{mState, mCalibration, mTables, mToolMode, *mMessages, *mViews, *mLongOperations,
                                *mRecovery},
        this);
    mMemory = new MemoryMonitor(MemoryMonitor::Controls{*this, *grdDataPoints, *mPicture},
                                MemorySources::ofThisProcess(), this);
    mRotate = new RotateGraphic(RotateGraphic::Controls{*this, *mPicture, *mZoomWindow, *mStatusBar},
                                RotateGraphic::Services{mState, mToolMode, *mMessages, *mViews, *mMarkers}, this);
    mCurveCommands = new CurveCommands(mTables, *mMarkers, *mMessages, this);
    mExport->setCurves(&mTables.curves());
    mDocument = new ProjectDocument(ProjectDocument::Controls{*mPicture, *mZoomWindow},
                                    ProjectDocument::Services{mState, mCalibration, mTables, *mViews, *mLoading, *mMarkers,
                                                              *mMessages, *mModal},
                                    this);
    mLoading->setUnsavedWork(mDocument);
    mRecoveryCopy = new RecoveryCopy([this] { return mDocument->snapshot(); }, RecoveryCopy::defaultPath(), this);
    mFindAxes = new FindAxes(FindAxes::Controls{*this, *mPicture, *mZoomWindow, *mStatusBar},
                             FindAxes::Services{mCalibration, mTables, *mMessages, *mLongOperations}, this);
    mFindAxes->setObjectName(QStringLiteral("findAxes"));
    mChoices = new RememberedChoices(RememberedChoices::Controls{*this, mMenus, *mZoomBox},
                                     RememberedChoices::Services{*mSettings, mState, *mLoading, *mAutoLine}, this);
    mRecent = new RecentFiles(*mMenus.mnuDatei, mMenus.mnuFileQuit, *mSettings, *mMessages, this);
}

// The one place where the subsystems meet the window's dispatch points: commands, the
// picture's mouse, key presses and the close step. A command without a subsystem yet stays
// unconnected and does nothing.
void frmMain::connectSubsystems()
{
    // Commands. The toolbar's command buttons trigger their menu items.
    const MainMenuItems &m = mMenus;
    connect(mToolBar, &QToolBar::actionTriggered, this, &frmMain::mToolBar_ButtonClick);
    connect(m.mnuFileOpen, &QAction::triggered, mLoading, &GraphicLoading::mnuFileOpen_Click);
    connect(m.mnuFileSaveData, &QAction::triggered, mExport, &DataExport::mnuFileSaveData_Click);
    connect(m.mnuFileSaveBitmap, &QAction::triggered, mSaving, &GraphicSaving::mnuFileSaveBitmap_Click);
    connect(m.mnuEditCopyPicture, &QAction::triggered, mSaving, &GraphicSaving::mnuEditCopyPicture_Click);
    connect(m.mnuFileGetFromScanner, &QAction::triggered, mScanner, &ScannerReading::mnuFileGetFromScanner_Click);
    connect(m.mnuFileQuit, &QAction::triggered, this, &QWidget::close);
    connect(m.mnuAutomatic, &QAction::triggered, mAutoLine, &AutoLineSetup::mnuAutomatic_Click);
    connect(m.mnuEditInsert, &QAction::triggered, mLoading, &GraphicLoading::mnuEditInsert_Click);
    connect(m.mnuEditKopie, &QAction::triggered, mExport, &DataExport::mnuEditKopie_Click);
    connect(m.mnuEditDelete, &QAction::triggered, mDeletion, &PointDeletion::mnuEditDelete_Click);
    connect(m.mnuEditUndo, &QAction::triggered, mUndo, &UndoCommands::mnuEditUndo_Click);
    connect(m.mnuEditRedo, &QAction::triggered, mUndo, &UndoCommands::mnuEditRedo_Click);
    connect(&mHistory, &UndoHistory::changed, this, &frmMain::updateActions);
    connect(&mCalibration, &Calibration::changed, this, &frmMain::updateActions); // a capture starts or ends
    connect(mMarkers, &PictureMarkers::trialChanged, this, &frmMain::updateActions);
    connect(m.mnuViewNormal, &QAction::triggered, mViews, &Views::mnuViewNormal_Click);
    connect(m.mnuViewWindow, &QAction::triggered, mViews, &Views::mnuViewWindow_Click);
    // Repaint shows the picture as the rule has it: without the marks of deleted points.
    connect(m.mnuViewRepaint, &QAction::triggered, mMarkers, &PictureMarkers::redraw);
    connect(m.mnuViewRepaint, &QAction::triggered, mViews, &Views::mnuViewRepaint_Click);
    connect(m.mnuEditSort, &QAction::toggled, this, [this](bool on) { mState.mSortData = on; });
    connect(m.mnuViewMarker, &QAction::toggled, this, [this](bool on) {
        mState.mShowMarkers = on;
        mMarkers->redraw();
        mCalibrationMarks->refresh();
    });
    // Moving around the picture, and the marks that show the calibration on it.
    connect(m.mnuViewZoomIn, &QAction::triggered, mViews, &Views::mnuViewZoomIn_Click);
    connect(m.mnuViewZoomOut, &QAction::triggered, mViews, &Views::mnuViewZoomOut_Click);
    connect(mPicture, &ImageControl::zoomRequested, mViews, &Views::zoomBy);
    connect(m.mnuViewCheck, &QAction::toggled, mCalibrationMarks, &CalibrationMarks::setGridShown);
    connect(&mCalibration, &Calibration::changed, mCalibrationMarks, &CalibrationMarks::refresh);
    connect(mPicture, &ImageControl::viewMoved, mCalibrationMarks, &CalibrationMarks::refresh);
    connect(mPicture, &ImageControl::viewMoved, mMouse, &PictureMouse::viewMoved);
    connect(m.mnuHilfeIndex, &QAction::triggered, this, [this] { helpWindow()->showIndex(); });
    connect(m.mnuHilfeVersion, &QAction::triggered, this, [this] { frmSplash::showAbout(this); });
    connect(m.mnuMemory, &QAction::triggered, mMemory, &MemoryMonitor::mnuMemory_Click);
    auto *menuHelp = new MenuHelp(this);
    for (QMenu *menu : {m.mnuDatei, m.mnuEdit, m.mnuView, m.mnuHelp})
        menuHelp->watch(menu);
    connect(menuHelp, &MenuHelp::topicRequested, this, [this](int id) { helpWindow()->showTopic(id); });

    // The picture's mouse. PictureMouse's hand-off signals go to the subsystems that own those
    // tools, connected directly (see PictureMouse).
    connect(mPicture, &ImageControl::mouseDown, mMouse, &PictureMouse::mPicture_MouseDown);
    connect(mPicture, &ImageControl::mouseMove, mMouse, &PictureMouse::mPicture_MouseMove);
    connect(mPicture, &ImageControl::mouseUp, mMouse, &PictureMouse::mPicture_MouseUp);
    connect(mMouse, &PictureMouse::statusText, mStatusBar, [this](const QString &text) { mStatusBar->showMessage(text); });
    connect(mMouse, &PictureMouse::zoomed, mViews, &Views::zoomMade);
    connect(mMouse, &PictureMouse::magnifierUpdate, mMagnifier, &Magnifier::UpdateMagnifier, Qt::DirectConnection);
    connect(mMouse, &PictureMouse::deletePointRequested, mDeletion, &PointDeletion::DeletePointAt,
            Qt::DirectConnection);
    connect(mMouse, &PictureMouse::autoLinePress, mAutoLine, &AutoLineSetup::AutoLineClick, Qt::DirectConnection);
    connect(mMouse, &PictureMouse::autoLineColorProbe, mAutoLine, &AutoLineSetup::showProbedColor,
            Qt::DirectConnection);
    // The floating magnifier passes presses and moves on to the picture; docked, it ignores them.
    connect(mZoomWindow, &ImageControl::mouseDown, mMagnifier, &Magnifier::mZoomWindow_MouseDown);
    connect(mZoomWindow, &ImageControl::mouseMove, mMagnifier, &Magnifier::mZoomWindow_MouseMove);
    connect(grdDataPoints, &QTableView::doubleClicked, mDeletion, &PointDeletion::grdDataPoints_DblClick);

    // Key presses, the magnifier's included: they reach formKeyDown through the key preview.
    connect(this, &frmMain::formKeyDown, mKeyboard, &KeyboardControl::Form_KeyDown, Qt::DirectConnection);

    // What the subsystems report back.
    connect(mViews, &Views::changed, this, &frmMain::updateActions);
    connect(&mToolMode, &ToolMode::pointerToolSet, this, &frmMain::pointerToolWindowSteps, Qt::DirectConnection);
    connect(&mToolMode, &ToolMode::pointerToolSet, mAutoLine, &AutoLineSetup::closeDialog, Qt::DirectConnection);
    connect(mAutoLine, &AutoLineSetup::tracingChanged, this, &frmMain::blockCommandsWhileTracing);
    connect(mLongOperations, &LongOperations::ended, this, &frmMain::handOversMayGo);

    // A new picture: its file's name in the caption and on the recent files' list. A file
    // chosen there or dropped on the window opens as File > Open opens it.
    connect(mLoading, &GraphicLoading::pictureTaken, this, &frmMain::showPictureName);
    connect(mLoading, &GraphicLoading::pictureTaken, mRecent, &RecentFiles::add);
    connect(mRecent, &RecentFiles::openRequested, this, &frmMain::openFile);
    connect(new FileDrop(*this, *m.mnuFileOpen, this), &FileDrop::fileDropped, this, &frmMain::openFile);

    // The close step.
    connect(this, &frmMain::closing, mMemory, &MemoryMonitor::stop);
    connect(this, &frmMain::closing, mChoices, &RememberedChoices::windowClosing);
    // The rotate dialog: its command, its presses on the picture, and no turn under a trace.
    connect(m.mnuViewRotate, &QAction::triggered, mRotate, &RotateGraphic::mnuViewRotate_Click);

    // Curves: the list shows them and chooses the current one.
    Curves &curves = mTables.curves();
    connect(m.mnuCurveNew, &QAction::triggered, mCurveCommands, &CurveCommands::mnuCurveNew_Click);
    connect(m.mnuCurveDelete, &QAction::triggered, mCurveCommands, &CurveCommands::mnuCurveDelete_Click);
    connect(m.mnuCurveRename, &QAction::triggered, this, [this] {
        lstCurves->setFocus();
        lstCurves->edit(mTables.curves().index(mTables.curves().current()));
    });
    connect(lstCurves->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &index) { mCurveCommands->chooseCurve(index.row()); });
    connect(&curves, &Curves::currentChanged, this, &frmMain::placeCurveList);
    connect(&curves, &Curves::currentChanged, this, &frmMain::updateActions);
    connect(&curves, &QAbstractItemModel::modelReset, this, &frmMain::placeCurveList);
    connect(m.mnuEditCopyAllCurves, &QAction::triggered, mExport, &DataExport::mnuEditCopyAllCurves_Click);

    // The project file and the recovery copy.
    connect(m.mnuFileOpenProject, &QAction::triggered, mDocument, &ProjectDocument::mnuFileOpenProject_Click);
    connect(m.mnuFileSaveProject, &QAction::triggered, mDocument, &ProjectDocument::mnuFileSaveProject_Click);
    connect(m.mnuFileSaveProjectAs, &QAction::triggered, mDocument, &ProjectDocument::mnuFileSaveProjectAs_Click);
    connect(m.mnuFileApplyCalibration, &QAction::triggered, mDocument,
            &ProjectDocument::mnuFileApplyCalibration_Click);
    connect(&mHistory, &UndoHistory::changed, mDocument, &ProjectDocument::markModified);
    connect(mLoading, &GraphicLoading::pictureTaken, mDocument, &ProjectDocument::pictureReplaced);
    connect(mDocument, &ProjectDocument::titleChanged, this, &frmMain::updateActions);
    connect(mDocument, &ProjectDocument::modifiedChanged, mRecoveryCopy, &RecoveryCopy::figureChanged);
    connect(this, &frmMain::closing, mRecoveryCopy, &RecoveryCopy::discard);
    connect(mMouse, &PictureMouse::anglePickPress, mRotate, &RotateGraphic::anglePick, Qt::DirectConnection);
    connect(mAutoLine, &AutoLineSetup::tracingChanged, mRotate, &RotateGraphic::setTracing);
    connect(m.mnuEditFindAxes, &QAction::triggered, mFindAxes, &FindAxes::mnuEditFindAxes_Click);
    connect(mPicture, &ImageControl::mouseDown, mFindAxes, &FindAxes::pictureMouseDown);
    connect(mLoading, &GraphicLoading::pictureTaken, mFindAxes, &FindAxes::pictureReplaced);
    connect(mFindAxes, &FindAxes::runningChanged, this, &frmMain::updateActions);
}

void frmMain::updateActions()
{
    mMenus.mnuEditUndo->setText(CurveCommands::undoText(mHistory, mTables.curves()));
    mMenus.mnuEditRedo->setText(CurveCommands::redoText(mHistory, mTables.curves()));
    setWindowTitle(mDocument->title(designCaption(), mPictureName));
    // While a trace runs the commands stay blocked; they are set free after it.
    if (!mAutoLine->tracing()) {
        mMenus.mnuCurveDelete->setEnabled(mTables.curves().count() > 1);
        mMenus.mnuEditUndo->setEnabled(mHistory.canUndo() && mUndo->allowed());
        mMenus.mnuEditRedo->setEnabled(mHistory.canRedo() && mUndo->allowed());
        mMenus.mnuEditFindAxes->setEnabled(!mFindAxes->running());
    }
    mButtons.tbUndo->setEnabled(mMenus.mnuEditUndo->isEnabled() && mToolBar->isEnabled());
    mButtons.tbRedo->setEnabled(mMenus.mnuEditRedo->isEnabled() && mToolBar->isEnabled());
    mButtons.tbUndo->setToolTip(mMenus.mnuEditUndo->text().remove(QLatin1Char('&')));
    mButtons.tbRedo->setToolTip(mMenus.mnuEditRedo->text().remove(QLatin1Char('&')));
    mButtons.tbZoom->setEnabled(mViews->zoomAllowed());
    if (mToolBar->isEnabled()) { // not while a trace holds the commands
        mMenus.mnuViewZoomIn->setEnabled(hasBitmap());
        mMenus.mnuViewZoomOut->setEnabled(hasBitmap());
    }
    mMenus.mnuViewNormal->setChecked(mViews->normalChecked());
    mMenus.mnuViewWindow->setChecked(mViews->fitChecked());
}

void frmMain::pointerToolWindowSteps()
{
    mButtons.tbZeiger->setChecked(true);
    mPicture->setMousePointer(ImageControl::PointerArrow);
    mProgBar->hide();
    mStatusBar->show();
}

void frmMain::useTool(int mode)
{
    mState.mToolMode = mode;
    mPicture->setMousePointer(ImageControl::PointerCustom);
}

void frmMain::mToolBar_ButtonClick(QAction *button)
{
    const ToolbarButtons &b = mButtons;
    const MainMenuItems &m = mMenus;
    // The command buttons do what their menu items do.
    const std::pair<QAction *, QAction *> commands[] = {
        {b.tbOpen, m.mnuFileOpen},     {b.tbScan, m.mnuFileGetFromScanner}, {b.tbAutomaticLine, m.mnuAutomatic},
        {b.tbNormal, m.mnuViewNormal}, {b.tbStrech, m.mnuViewWindow},       {b.tbRepaint, m.mnuViewRepaint},
        {b.tbDel, m.mnuEditDelete},    {b.tbUndo, m.mnuEditUndo},           {b.tbRedo, m.mnuEditRedo},
        {b.tbFindAxes, m.mnuEditFindAxes},
    };
    for (const auto &[tool, item] : commands) {
        if (button == tool) {
            item->trigger();
            return;
        }
    }
    if (button == b.tbZeiger) {
        mToolMode.SetPointerTool();
    } else if (button == b.tbPoint) {
        if (mCalibration.IsCalibrated())
            useTool(SharedState::PointTool);
        else
            AskForOrigin(*mMessages, mToolMode);
    } else if (button == b.tbLine) {
        useTool(SharedState::LineTool);
    } else if (button == b.tbZoom) {
        if (hasBitmap()) {
            useTool(SharedState::ZoomTool);
            mState.mFitToWindow = false;
        } else {
            mToolMode.SetPointerTool();
        }
    }
}

bool frmMain::openFile(const QString &fileName)
{
    if (QFileInfo(fileName).suffix().compare(QLatin1String("chartrek"), Qt::CaseInsensitive) == 0)
        return mDocument->openAsking(fileName);
    return mLoading->openFile(fileName);
}

void frmMain::offerRecovery()
{
    const std::optional<QDateTime> when = mRecoveryCopy->found();
    if (!when)
        return;
    QString error;
    const std::optional<Project> project = readProject(mRecoveryCopy->path(), &error);
    if (!project) {
        mMessages->ShowError(tr("The unsaved work of an earlier session cannot be restored. %1").arg(error));
        mRecoveryCopy->discard();
        return;
    }
    const QString question = tr("Restore the unsaved work from %1?")
                                 .arg(QLocale().toString(*when, QLocale::ShortFormat));
    if (mMessages->AskYesNo(question) == AnswerYes)
        mDocument->takeUnnamed(*project);
    else
        mRecoveryCopy->discard();
}

void frmMain::keepUnsavedWork()
{
    if (mDocument->modified())
        mRecoveryCopy->writeNow();
}

void frmMain::showPictureName(const QString &fileName)
{
    mPictureName = fileName.isEmpty() ? QString() : QFileInfo(fileName).fileName();
    updateActions();
}

HelpWindow *frmMain::helpWindow()
{
    if (!mHelpWindow)
        mHelpWindow = new HelpWindow(this);
    return mHelpWindow;
}

void frmMain::takeClipboardPicture()
{
    // Shown 1:1 with the Normal check mark, whatever view was on before; the points it keeps
    // keep their markers.
    if (mLoading->takeClipboardPicture()) {
        mMarkers->redraw();
        mViews->mnuViewNormal_Click();
    }
}

void frmMain::attachHandOvers(SingleInstance &service)
{
    mHandOvers = &service;
    service.setHold([this] { return handOverMustWait(); });
    connect(&service, &SingleInstance::handOverReceived, this, &frmMain::MainWindowProc_HandOver);
}

bool frmMain::handOverMustWait() const
{
    // Dialogs that do not go through the message routines or the file dialogs (About, the
    // scanner's, the metafile's progress) are modal widgets of their own.
    return mLongOperations->running() || mModal->running() || QApplication::activeModalWidget();
}

void frmMain::handOversMayGo()
{
    // From the event loop: whoever ended the dialog finishes its work first.
    if (mHandOvers)
        QMetaObject::invokeMethod(mHandOvers, &SingleInstance::deliverWaiting, Qt::QueuedConnection);
}

void frmMain::MainWindowProc_HandOver(const QString &fileName)
{
    if (isMinimized())
        showMaximized();
    raise();
    activateWindow();
    if (!fileName.isEmpty()) {
        openFile(fileName); // which asks before it discards points
    } else if (ImageControl::clipboardHasPicture()) {
        mToolMode.SetPointerTool();
        takeClipboardPicture();
    }
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!mCloseAfterTrace) {
        // A project with unsaved changes is asked about as a document; otherwise as ever.
        const bool project = !mAutoLine->tracing() && mDocument->modified() && !mDocument->path().isEmpty();
        if (project ? !mDocument->mayClose() : mMessages->AskYesNo(closeQuestion()) != AnswerYes) {
            event->ignore();
            return;
        }
    }
    if (mAutoLine->tracing()) {
        // The trace runs inside a click further down the stack: it is cancelled, unwinds, and
        // the window closes when it has ended.
        mCloseAfterTrace = true;
        mState.mAutoLineCancel = true;
        event->ignore();
        return;
    }
    emit closing();
    if (mHelpWindow)
        mHelpWindow->close();
    event->accept();
}

void frmMain::blockCommandsWhileTracing(bool tracing)
{
    // A trace runs inside a click and lets events through: a command that changed the picture,
    // the tables or the tool under it would corrupt what it writes. Quit and Help stay.
    mToolBar->setEnabled(!tracing);
    grdDataPoints->setEnabled(!tracing); // a double click deletes a row
    lstCurves->setEnabled(!tracing);     // the trace writes into the current curve
    Picture1->setEnabled(!tracing);      // a new scale would land in the trace's step
    if (tracing) {
        mBlockedCommands.clear();
        for (QMenu *menu : {mMenus.mnuDatei, mMenus.mnuEdit, mMenus.mnuView}) {
            for (QAction *item : menu->actions()) {
                if (item != mMenus.mnuFileQuit && item->isEnabled()) {
                    item->setEnabled(false);
                    mBlockedCommands.append(item);
                }
            }
        }
        return;
    }
    for (QAction *item : std::as_const(mBlockedCommands))
        item->setEnabled(true);
    mBlockedCommands.clear();
    updateActions();
    if (mCloseAfterTrace)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

bool frmMain::ownWidget(const QObject *object) const
{
    const auto *widget = qobject_cast<const QWidget *>(object);
    return widget && widget->window() == this;
}

bool frmMain::menuShortcut(const QKeyEvent *key) const
{
    const QKeySequence pressed(key->keyCombination());
    for (const QMenu *menu : {mMenus.mnuDatei, mMenus.mnuEdit, mMenus.mnuView, mMenus.mnuHelp}) {
        for (const QAction *item : menu->actions()) {
            const QList<QKeySequence> keys = item->shortcuts();
            if (item->isEnabled() && std::any_of(keys.cbegin(), keys.cend(), [&](const QKeySequence &k) {
                    return k.matches(pressed) == QKeySequence::ExactMatch;
                }))
                return true;
        }
    }
    return false;
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && event->type() == QEvent::WindowUnblocked) {
        handOversMayGo(); // a modal dialog over this window has closed
    } else if (watched == mClient && event->type() == QEvent::Resize) {
        alignBottomBars();
        mViews->Form_Resize();
        placeCurveList();
    } else if (event->type() == QEvent::ShortcutOverride && ownWidget(watched)) {
        auto *key = static_cast<QKeyEvent *>(event);
        // A field keeps the editing keys it can use now; otherwise, where a field would take
        // Ctrl+C, Ctrl+V or Ctrl+A for itself, the menus' shortcuts win, as the menus promise.
        // Accepted, the key goes on to the field; left unaccepted, to the menu.
        if (fieldEdit(watched, *key) != FieldEdit::None) {
            event->accept();
            return true;
        }
        if (menuShortcut(key)) {
            event->ignore();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress && ownWidget(watched)
               && fieldEdit(watched, *static_cast<QKeyEvent *>(event)) != FieldEdit::None) {
        // Made here, as the key promises, whatever the platform binds it to in a field.
        applyFieldEdit(watched, fieldEdit(watched, *static_cast<QKeyEvent *>(event)));
        return true;
    } else if (event->type() == QEvent::KeyPress) {
        // Once per key: at the control that has the focus, before it sees the key.
        auto *widget = qobject_cast<QWidget *>(watched);
        const QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        if (widget == target && widget->window() == this) {
            auto *key = static_cast<QKeyEvent *>(event);
            const bool accepted = key->isAccepted();
            key->ignore();
            emit formKeyDown(key);
            if (key->isAccepted())
                return true;
            key->setAccepted(accepted);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace chartrek
