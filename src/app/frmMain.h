#pragma once

#include "app/MainMenus.h"
#include "app/Toolbar.h"
#include "calibration/Calibration.h"
#include "calibration/ReferenceCapture.h"
#include "core/FileDialogs.h"
#include "core/LongOperations.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "core/SharedState.h"
#include "core/ToolMode.h"
#include "points/PointTableModel.h"
#include "points/PointTables.h"

#include <QMainWindow>

#include <memory>

class QComboBox;
class QFrame;
class QKeyEvent;
class QListView;
class QProgressBar;
class QStatusBar;
class QTableView;
class QToolBar;

namespace chartrek {

class AutoLineSetup;
class CalibrationMarks;
class CurveCommands;
class ProjectDocument;
class RecoveryCopy;
class DataExport;
class FindAxes;
class GraphicLoading;
class GraphicSaving;
class HelpWindow;
class ImageControl;
class KeyboardControl;
class LostLineRecovery;
class Magnifier;
class MemoryMonitor;
class ModalCalls;
class PictureMarkers;
class PictureMouse;
class PointDeletion;
class RecentFiles;
class RememberedChoices;
class RotateGraphic;
class ScalePanel;
class ScannerReading;
class SingleInstance;
class UndoCommands;
class Views;

// The main window: builds the controls at their design places, creates the subsystems and
// wires them to the window's dispatch points (commands, the picture's mouse, key presses, the
// close step). The work itself lives with the subsystems; none of them knows this window.
class frmMain : public QMainWindow, public PictureHolder {
    Q_OBJECT
public:
    // The caption without a picture from a file: the program's name and version.
    static QString designCaption();
    static QString closeQuestion();

    // Messages go to `sink` and file dialogs to `dialogs` when given (tests answer them
    // there), else to boxes and dialogs on screen.
    explicit frmMain(MessageSink *sink = nullptr, FileDialogs *dialogs = nullptr, QWidget *parent = nullptr);
    ~frmMain() override;

    bool hasBitmap() const override;

    // The data the window works on, and its commands.
    SharedState &state() { return mState; }
    Calibration &calibration() { return mCalibration; }
    PointTables &tables() { return mTables; }
    const MainMenuItems &menuItems() const { return mMenus; }
    const ToolbarButtons &toolbarButtons() const { return mButtons; }

    // Takes the hand-overs of later starts from the single-instance service. Each waits while
    // a dialog, a message box or a long operation runs, and comes afterwards, in order.
    void attachHandOvers(SingleInstance &service);

    // Opens a file named on the command line as File > Open would; a project as Open Project.
    bool openFile(const QString &fileName);

    ProjectDocument &document() { return *mDocument; }
    RecoveryCopy &recovery() { return *mRecoveryCopy; }
    // At start: offers the work an earlier run left unsaved, when it left any.
    void offerRecovery();
    // The program is ended from outside: the unsaved work is kept for the next start.
    void keepUnsavedWork();

public slots:
    // A second instance (or any local program) asks this one to come up and take the
    // clipboard picture, or the named file when it gives one. A file replaces the points only
    // after the user agreed; the clipboard picture keeps them.
    void MainWindowProc_HandOver(const QString &fileName = {});
    void mToolBar_ButtonClick(QAction *button);

signals:
    // Key preview: every key press meant for a control of this window, before the control
    // sees it. A receiver that takes the key accepts the event; the control then does not get
    // it. Connected directly, since the answer is read right after.
    void formKeyDown(QKeyEvent *event);
    // The close question was answered Yes; subsystems stop their timers and windows.
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildSubsystems();
    void connectSubsystems();
    void setStartValues();
    void placeCrosshair();
    void alignBottomBars();
    void resizeToStart();
    // The caption names the file the picture came from.
    void showPictureName(const QString &fileName);
    void takeClipboardPicture();
    // Decides every enabled state and check mark from the state.
    void updateActions();
    void pointerToolWindowSteps();
    void useTool(int mode);
    HelpWindow *helpWindow();
    // Whether the key is the shortcut of an enabled menu item.
    bool menuShortcut(const QKeyEvent *key) const;
    // Whether the object is a control of this window (key events come from every window).
    bool ownWidget(const QObject *object) const;
    bool handOverMustWait() const;
    // A dialog or long operation ended: hand-overs that wait may come now.
    void handOversMayGo();
    void blockCommandsWhileTracing(bool tracing);
    void placeCurveList();

    SharedState mState;
    std::unique_ptr<MessageSink> mOwnSink;
    std::unique_ptr<FileDialogs> mOwnDialogs;
    std::unique_ptr<ModalCalls> mModal;
    std::unique_ptr<Messages> mMessages;
    std::unique_ptr<Settings> mSettings;
    ToolMode mToolMode{mState};
    LongOperations *mLongOperations = nullptr;
    Calibration mCalibration{mState, *this};
    PointTableModel mTableModel;
    PointTables mTables{mTableModel, mCalibration, mState};
    UndoHistory mHistory{mTableModel, &mCalibration};
    std::unique_ptr<ReferenceCapture> mCapture;
    SingleInstance *mHandOvers = nullptr;

    // Subsystems, children of this window.
    Views *mViews = nullptr;
    PictureMouse *mMouse = nullptr;
    Magnifier *mMagnifier = nullptr;
    KeyboardControl *mKeyboard = nullptr;
    PictureMarkers *mMarkers = nullptr;
    CalibrationMarks *mCalibrationMarks = nullptr;
    PointDeletion *mDeletion = nullptr;
    GraphicLoading *mLoading = nullptr;
    ScannerReading *mScanner = nullptr;
    DataExport *mExport = nullptr;
    GraphicSaving *mSaving = nullptr;
    UndoCommands *mUndo = nullptr;
    LostLineRecovery *mRecovery = nullptr;
    AutoLineSetup *mAutoLine = nullptr;
    MemoryMonitor *mMemory = nullptr;
    RotateGraphic *mRotate = nullptr;
    CurveCommands *mCurveCommands = nullptr;
    ProjectDocument *mDocument = nullptr;
    RecoveryCopy *mRecoveryCopy = nullptr;
    FindAxes *mFindAxes = nullptr;
    RememberedChoices *mChoices = nullptr;
    RecentFiles *mRecent = nullptr;
    QList<QAction *> mBlockedCommands;
    QString mPictureName; // the file name of the picture shown, for the caption
    bool mCloseAfterTrace = false;

    // Controls.
    QWidget *mClient = nullptr;
    QToolBar *mToolBar = nullptr;
    ToolbarButtons mButtons;
    MainMenuItems mMenus;
    ScalePanel *Picture1 = nullptr;
    ImageControl *mPicture = nullptr;
    ImageControl *mTestLead = nullptr;
    ImageControl *mZoomWindow = nullptr;
    QFrame *lfHor = nullptr;
    QFrame *lfVert = nullptr;
    QComboBox *mZoomBox = nullptr;
    QTableView *grdDataPoints = nullptr;
    QListView *lstCurves = nullptr;
    QTableView *grdOriginale = nullptr;
    QProgressBar *mProgBar = nullptr;
    QStatusBar *mStatusBar = nullptr;
    HelpWindow *mHelpWindow = nullptr;
};

} // namespace chartrek
