#pragma once

#include <QString>

class QAction;
class QActionGroup;
class QToolBar;
class QWidget;

namespace chartrek {

// The toolbar's buttons, by key. The four tools and the zoom tool form one exclusive group.
struct ToolbarButtons {
    QAction *tbOpen = nullptr;
    QAction *tbScan = nullptr;
    QAction *tbZeiger = nullptr;
    QAction *tbPoint = nullptr;
    QAction *tbAutomaticLine = nullptr;
    QAction *tbLine = nullptr;
    QAction *tbZoom = nullptr;
    QAction *tbNormal = nullptr;
    QAction *tbStrech = nullptr;
    QAction *tbRepaint = nullptr;
    QAction *tbUndo = nullptr;
    QAction *tbRedo = nullptr;
    QAction *tbDel = nullptr;
    QAction *tbFindAxes = nullptr;
    QActionGroup *tools = nullptr;
};

// Builds `mToolBar` with its buttons, tool tips and pictures; tbZeiger starts pressed.
QToolBar *buildToolbar(QWidget *parent, ToolbarButtons &buttons);

} // namespace chartrek
