#pragma once

#include "core/FileDialogs.h"
#include "app/MainMenus.h"
#include "core/Messages.h"
#include "core/SharedState.h"
#include "core/ToolMode.h"
#include "app/Toolbar.h"
#include "calibration/Calibration.h"
#include "calibration/ReferenceCapture.h"
#include "points/PointTableModel.h"
#include "points/PointTables.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QComboBox;
class QFrame;
class QKeyEvent;
class QProgressBar;
class QStatusBar;
class QTableView;
class QToolBar;

namespace chartrek {

class DataExport;
class GraphicLoading;
class HelpWindow;
class ImageControl;
class ModalCalls;
class PictureMouse;
class ScalePanel;
class SingleInstance;
class Views;

// The main window: builds the controls at their design places, wires their events to the
// subsystems and owns the state they share. Handler bodies live with their subsystems.
class frmMain : public QMainWindow, public PictureHolder {
    Q_OBJECT
public:
    // The design-time caption; a running instance is found by it.
    static const QString &designCaption();
    static const QString &closeQuestion();

    // Messages go to `sink` and file dialogs to `dialogs` when given (tests answer them
    // there), else to boxes and dialogs on screen.
    explicit frmMain(MessageSink *sink = nullptr, FileDialogs *dialogs = nullptr, QWidget *parent = nullptr);
    ~frmMain() override;

    bool hasBitmap() const override;

    // --- seams for the subsystems built on this window ---
    SharedState &state() { return mState; }
    Messages &messages() { return *mMessages; }
    ToolMode &toolMode() { return mToolModeRoutines; }
    Calibration &calibration() { return mCalibration; }
    PointTables &tables() { return mTables; }
    ReferenceCapture &referenceCapture() { return *mCapture; }
    Views &views() { return *mViews; }
    PictureMouse &pictureMouse() { return *mMouse; }
    GraphicLoading &graphicLoading() { return *mLoading; }
    ImageControl *picture() const { return mPicture; }
    ImageControl *testLead() const { return mTestLead; }
    ImageControl *zoomWindow() const { return mZoomWindow; }
    QComboBox *zoomBox() const { return mZoomBox; }
    QTableView *dataPointsView() const { return grdDataPoints; }
    QStatusBar *statusBarControl() const { return mStatusBar; }
    QProgressBar *progressBar() const { return mProgBar; }
    ScalePanel *scalePanel() const { return Picture1; }
    const ToolbarButtons &toolbarButtons() const { return mButtons; }
    const MainMenuItems &menuItems() const { return mMenus; }
    QWidget *clientArea() const { return mClient; }

    // Key preview: sees every key press meant for a control of this window before the
    // control does; returning true swallows the key.
    void setFormKeyDown(std::function<bool(QKeyEvent *)> handler) { mFormKeyDown = std::move(handler); }

    // Takes the hand-overs of later starts from the single-instance service. Each waits while
    // a dialog, a message box or a long operation runs, and comes afterwards, in order.
    void attachHandOvers(SingleInstance &service);

    // A long operation (the Autoline trace, opening a file) lets window events run while it
    // works; a hand-over that arrives meanwhile waits until the operation ends.
    void beginLongOperation();
    void endLongOperation();
    bool longOperationRunning() const { return mLongOperations > 0; }

    // Decides every enabled state and check mark from the state.
    void updateActions();

    // The help window, made on first use.
    HelpWindow *helpWindow();

    static const QString &handOverQuestion();

public slots:
    // A second instance (or any local program) asks this one to come up and take the
    // clipboard picture, or the named file when it gives one. A file replaces the points only
    // after the user agreed.
    void MainWindowProc_HandOver(const QString &fileName = {});
    // Opens a file named on the command line as File > Open would.
    bool openFile(const QString &fileName);

    // --- commands ---
    void mToolBar_ButtonClick(QAction *button);
    void mnuFileOpen_Click();
    void mnuFileSaveData_Click();
    void mnuFileSaveBitmap_Click();
    void mnuFileGetFromScanner_Click();
    void mnuFileQuit_Click();
    void mnuEditCopyPicture_Click();
    void mnuEditInsert_Click();
    void mnuEditKopie_Click();
    void mnuEditDelete_Click();
    void mnuViewRotate_Click();
    void mnuAutomatic_Click();
    void mnuHilfeIndex_Click();
    void mnuHilfeVersion_Click();
    void mnuMemory_Click();
    void openHelpTopic(int helpContextId);

    // --- picture mouse events (twips) ---
    void mPicture_MouseDown(int button, int shift, float x, float y);
    void mPicture_MouseMove(int button, int shift, float x, float y);
    void mPicture_MouseUp(int button, int shift, float x, float y);

signals:
    // The close question was answered Yes; subsystems stop their timers and windows.
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void connectCommands();
    void setStartValues();
    void placeCrosshair();
    void alignBottomBars();
    void takeClipboardPicture();
    void buildSubsystems();
    void pointerToolWindowSteps();
    void useTool(int mode);
    bool handOverMustWait() const;
    // A dialog or long operation ended: hand-overs that wait may come now.
    void handOversMayGo();
    // Whether the key is the shortcut of an enabled menu item.
    bool menuShortcut(const QKeyEvent *key) const;

    SharedState mState;
    std::unique_ptr<MessageSink> mOwnSink;
    std::unique_ptr<FileDialogs> mOwnDialogs;
    std::unique_ptr<ModalCalls> mModal;
    std::unique_ptr<Messages> mMessages;
    ToolMode mToolModeRoutines{mState};
    Calibration mCalibration{mState, *this};
    PointTableModel mTableModel;
    PointTables mTables{mTableModel, mCalibration, mState};
    std::unique_ptr<ReferenceCapture> mCapture;
    std::unique_ptr<Views> mViews;
    FileDialogs *mDialogs = nullptr;
    std::unique_ptr<PictureMouse> mMouse;
    std::unique_ptr<GraphicLoading> mLoading;
    std::unique_ptr<DataExport> mExport;

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
    QTableView *grdOriginale = nullptr;
    QProgressBar *mProgBar = nullptr;
    QStatusBar *mStatusBar = nullptr;
    HelpWindow *mHelpWindow = nullptr;

    std::function<bool(QKeyEvent *)> mFormKeyDown;
    int mLongOperations = 0;
    SingleInstance *mHandOvers = nullptr;
};

} // namespace chartrek
