#include "app/MainMenus.h"

#include "app/HelpTopics.h"
#include "app/MenuHelp.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

namespace chartrek {

namespace {

QMenu *addMenu(QMenuBar *bar, const char *name, const char *caption, int help)
{
    QMenu *menu = bar->addMenu(QCoreApplication::translate("MainMenus", caption));
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    if (help != 0)
        MenuHelp::setHelpContextId(menu->menuAction(), help);
    return menu;
}

QAction *addItem(QMenu *menu, const char *name, const char *caption, int help,
                 QKeySequence key = QKeySequence())
{
    QAction *item = menu->addAction(QCoreApplication::translate("MainMenus", caption));
    item->setObjectName(QLatin1String(name));
    if (!key.isEmpty())
        item->setShortcut(key);
    if (help != 0)
        MenuHelp::setHelpContextId(item, help);
    return item;
}

QAction *addCheckItem(QMenu *menu, const char *name, const char *caption, int help, bool checked,
                      QKeySequence key = QKeySequence())
{
    QAction *item = addItem(menu, name, caption, help, key);
    item->setCheckable(true);
    item->setChecked(checked);
    return item;
}

} // namespace

void buildMainMenus(QMenuBar *bar, MainMenuItems &m)
{
    m.mnuDatei = addMenu(bar, "mnuDatei", QT_TRANSLATE_NOOP("MainMenus", "&File"), 1000);
    m.mnuFileOpen = addItem(m.mnuDatei, "mnuFileOpen", QT_TRANSLATE_NOOP("MainMenus", "&Open ..."), 1007,
                            QKeySequence(Qt::CTRL | Qt::Key_O));
    m.mnuFileSaveData = addItem(m.mnuDatei, "mnuFileSaveData", QT_TRANSLATE_NOOP("MainMenus", "&Save Data ..."), 1017,
                                QKeySequence(Qt::CTRL | Qt::Key_S));
    m.mnuFileSaveBitmap = addItem(m.mnuDatei, "mnuFileSaveBitmap",
                                  QT_TRANSLATE_NOOP("MainMenus", "Save &Graphic ..."), 1018);
    m.mnuDatei->addSeparator();
    m.mnuFileOpenProject = addItem(m.mnuDatei, "mnuFileOpenProject", QT_TRANSLATE_NOOP("MainMenus", "Open &Project ..."),
                                   kProjectsHelpId);
    m.mnuFileSaveProject = addItem(m.mnuDatei, "mnuFileSaveProject", QT_TRANSLATE_NOOP("MainMenus", "Sa&ve Project"),
                                   kProjectsHelpId);
    m.mnuFileSaveProjectAs = addItem(m.mnuDatei, "mnuFileSaveProjectAs",
                                     QT_TRANSLATE_NOOP("MainMenus", "Save Project &As ..."), kProjectsHelpId,
                                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    m.mnuFileApplyCalibration = addItem(m.mnuDatei, "mnuFileApplyCalibration",
                                        QT_TRANSLATE_NOOP("MainMenus", "Apply &calibration from project ..."),
                                        kProjectsHelpId);
    m.mnuDatei->addSeparator();
    m.mnuFileGetFromScanner = addItem(m.mnuDatei, "mnuFileGetFromScanner",
                                      QT_TRANSLATE_NOOP("MainMenus", "&Read graphic (TWAIN)"), 1008);
    m.mnuDatei->addSeparator();
    m.mnuFileQuit = addItem(m.mnuDatei, "mnuFileQuit", QT_TRANSLATE_NOOP("MainMenus", "&Exit"), 1019);

    m.mnuEdit = addMenu(bar, "mnuEdit", QT_TRANSLATE_NOOP("MainMenus", "&Edit"), 1000);
    m.mnuEditUndo = addItem(m.mnuEdit, "mnuEditUndo", QT_TRANSLATE_NOOP("MainMenus", "&Undo"), 0,
                            QKeySequence(Qt::CTRL | Qt::Key_Z));
    m.mnuEditRedo = addItem(m.mnuEdit, "mnuEditRedo", QT_TRANSLATE_NOOP("MainMenus", "&Redo"), 0,
                            QKeySequence(Qt::CTRL | Qt::Key_Y));
    m.mnuEditRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    m.mnuEditUndo->setEnabled(false);
    m.mnuEditRedo->setEnabled(false);
    m.mnuEdit->addSeparator();
    m.mnuEditCopyPicture = addItem(m.mnuEdit, "mnuEditCopyPicture", QT_TRANSLATE_NOOP("MainMenus", "&Copy graphic"),
                                   0);
    m.mnuEditInsert = addItem(m.mnuEdit, "mnuEditInsert", QT_TRANSLATE_NOOP("MainMenus", "&Paste graphic"), 1021,
                              QKeySequence(Qt::CTRL | Qt::Key_V));
    m.mnuEdit->addSeparator();
    m.mnuEditKopie = addItem(m.mnuEdit, "mnuEditKopie", QT_TRANSLATE_NOOP("MainMenus", "Copy &Data"), 1020,
                             QKeySequence(Qt::CTRL | Qt::Key_C));
    m.mnuEditDelete = addItem(m.mnuEdit, "mnuEditDelete", QT_TRANSLATE_NOOP("MainMenus", "De&lete data"), 1016);
    m.mnuEdit->addSeparator();
    m.mnuEditFindAxes = addItem(m.mnuEdit, "mnuEditFindAxes", QT_TRANSLATE_NOOP("MainMenus", "Find &axes"), 1030,
                                QKeySequence(Qt::CTRL | Qt::Key_K));
    m.mnuEditCopyAllCurves = addItem(m.mnuEdit, "mnuEditCopyAllCurves",
                                     QT_TRANSLATE_NOOP("MainMenus", "Copy all curve&s"), kCurvesHelpId);
    m.mnuEdit->addSeparator();
    // Ctrl+N is View > Normal's: a new curve takes Ctrl+Shift+N.
    m.mnuCurveNew = addItem(m.mnuEdit, "mnuCurveNew", QT_TRANSLATE_NOOP("MainMenus", "&New curve"), kCurvesHelpId,
                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    m.mnuCurveDelete = addItem(m.mnuEdit, "mnuCurveDelete", QT_TRANSLATE_NOOP("MainMenus", "Delete cur&ve"),
                               kCurvesHelpId);
    m.mnuCurveRename = addItem(m.mnuEdit, "mnuCurveRename", QT_TRANSLATE_NOOP("MainMenus", "Rena&me curve"),
                               kCurvesHelpId, QKeySequence(Qt::Key_F2));

    m.mnuView = addMenu(bar, "mnuView", QT_TRANSLATE_NOOP("MainMenus", "&View"), 0);
    m.mnuViewNormal = addCheckItem(m.mnuView, "mnuViewNormal", QT_TRANSLATE_NOOP("MainMenus", "&Normal"), 1013, true,
                                   QKeySequence(Qt::CTRL | Qt::Key_N));
    m.mnuViewNormal->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::CTRL | Qt::Key_0)});
    m.mnuViewWindow = addCheckItem(m.mnuView, "mnuViewWindow", QT_TRANSLATE_NOOP("MainMenus", "&Fit to window"), 1014,
                                   false, QKeySequence(Qt::CTRL | Qt::Key_W));
    // Ctrl++ is Ctrl+= on keyboards where + needs Shift.
    m.mnuViewZoomIn = addItem(m.mnuView, "mnuViewZoomIn", QT_TRANSLATE_NOOP("MainMenus", "Zoom &in"), kZoomHelpId);
    m.mnuViewZoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    m.mnuViewZoomOut = addItem(m.mnuView, "mnuViewZoomOut", QT_TRANSLATE_NOOP("MainMenus", "Zoom o&ut"), kZoomHelpId,
                               QKeySequence(Qt::CTRL | Qt::Key_Minus));
    m.mnuViewRepaint = addItem(m.mnuView, "mnuViewRepaint", QT_TRANSLATE_NOOP("MainMenus", "&Repaint"), 1015,
                               QKeySequence(Qt::CTRL | Qt::Key_R));
    m.mnuView->addSeparator();
    m.mnuViewMarker = addCheckItem(m.mnuView, "mnuViewMarker", QT_TRANSLATE_NOOP("MainMenus", "&Show markers"), 1022,
                                   true);
    m.mnuViewCheck = addCheckItem(m.mnuView, "mnuViewCheck", QT_TRANSLATE_NOOP("MainMenus", "&Check calibration"), kCheckHelpId, false);
    m.mnuEditSort = addCheckItem(m.mnuView, "mnuEditSort", QT_TRANSLATE_NOOP("MainMenus", "S&ort data (by X)"), 1023,
                                 true);
    m.mnuView->addSeparator();
    m.mnuViewRotate = addItem(m.mnuView, "mnuViewRotate", QT_TRANSLATE_NOOP("MainMenus", "Rotate &Graphic"), 1024);
    m.mnuAutomatic = addItem(m.mnuView, "mnuAutomatic", QT_TRANSLATE_NOOP("MainMenus", "&Autoline"), 1029,
                             QKeySequence(Qt::CTRL | Qt::Key_A));

    m.mnuHelp = addMenu(bar, "mnuHelp", QT_TRANSLATE_NOOP("MainMenus", "&?"), 0);
    m.mnuHilfeIndex = addItem(m.mnuHelp, "mnuHilfeIndex", QT_TRANSLATE_NOOP("MainMenus", "&Index"), 1000);
    m.mnuHelp->addSeparator();
    m.mnuHilfeVersion = addItem(m.mnuHelp, "mnuHilfeVersion", QT_TRANSLATE_NOOP("MainMenus", "&About"), 1000);
    m.mnuHelp->addSeparator();
    m.mnuMemory = addItem(m.mnuHelp, "mnuMemory", QT_TRANSLATE_NOOP("MainMenus", "&Memory info"), 0);
}

} // namespace chartrek
