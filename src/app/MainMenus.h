#pragma once

class QAction;
class QMenu;
class QMenuBar;

namespace chartrek {

// The menu bar's items. Each carries its help context number (MenuHelp::helpContextId),
// which F1 on the highlighted item opens.
struct MainMenuItems {
    QMenu *mnuDatei = nullptr;
    QAction *mnuFileOpen = nullptr;
    QAction *mnuFileSaveData = nullptr;
    QAction *mnuFileSaveBitmap = nullptr;
    QAction *mnuFileOpenProject = nullptr;
    QAction *mnuFileSaveProject = nullptr;
    QAction *mnuFileSaveProjectAs = nullptr;
    QAction *mnuFileApplyCalibration = nullptr;
    QAction *mnuFileGetFromScanner = nullptr;
    QAction *mnuFileQuit = nullptr;

    QMenu *mnuEdit = nullptr;
    QAction *mnuEditUndo = nullptr;
    QAction *mnuEditRedo = nullptr;
    QAction *mnuEditCopyPicture = nullptr;
    QAction *mnuEditInsert = nullptr;
    QAction *mnuEditKopie = nullptr;
    QAction *mnuEditDelete = nullptr;
    QAction *mnuEditCopyAllCurves = nullptr;
    QAction *mnuCurveNew = nullptr;
    QAction *mnuCurveDelete = nullptr;
    QAction *mnuCurveRename = nullptr;
    QAction *mnuEditFindAxes = nullptr;

    QMenu *mnuView = nullptr;
    QAction *mnuViewNormal = nullptr;
    QAction *mnuViewWindow = nullptr;
    QAction *mnuViewZoomIn = nullptr;
    QAction *mnuViewZoomOut = nullptr;
    QAction *mnuViewRepaint = nullptr;
    QAction *mnuViewMarker = nullptr;
    QAction *mnuViewCheck = nullptr;
    QAction *mnuEditSort = nullptr;
    QAction *mnuViewRotate = nullptr;
    QAction *mnuAutomatic = nullptr;

    QMenu *mnuHelp = nullptr;
    QAction *mnuHilfeIndex = nullptr;
    QAction *mnuHilfeVersion = nullptr;
    QAction *mnuMemory = nullptr;
};

// Fills the menu bar with every item, caption, shortcut, check mark and help context number.
void buildMainMenus(QMenuBar *bar, MainMenuItems &items);

} // namespace chartrek
