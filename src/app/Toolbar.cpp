#include "app/Toolbar.h"

#include "core/ProgramIcons.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QToolBar>

namespace chartrek {

QToolBar *buildToolbar(QWidget *parent, ToolbarButtons &b)
{
    auto *bar = new QToolBar(parent);
    bar->setObjectName(QStringLiteral("mToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(24, 24));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);

    auto add = [bar](QAction *&slot, const char *key, const char *icon, const char *tip) {
        slot = bar->addAction(programIcon(QLatin1String(icon)), QString());
        slot->setObjectName(QLatin1String(key));
        slot->setToolTip(QLatin1String(tip));
        return slot;
    };
    add(b.tbOpen, "tbOpen", "open", "open graphic");
    add(b.tbScan, "tbScan", "scan", "get graphic from scanner");
    bar->addSeparator();
    add(b.tbZeiger, "tbZeiger", "zeiger", "select arrow");
    add(b.tbPoint, "tbPoint", "point", "get points");
    add(b.tbAutomaticLine, "tbAutomaticLine", "autoline", "autoline");
    add(b.tbLine, "tbLine", "line", "draw a line");
    add(b.tbZoom, "tbZoom", "zoom", "zoom");
    add(b.tbNormal, "tbNormal", "normal", "show 1:1");
    add(b.tbStrech, "tbStrech", "strech", "fit to window");
    add(b.tbRepaint, "tbRepaint", "repaint", "repaint");
    bar->addSeparator();
    add(b.tbUndo, "tbUndo", "undo", "undo");
    add(b.tbRedo, "tbRedo", "redo", "redo");
    add(b.tbDel, "tbDel", "del", "delete data");
    bar->addSeparator();
    add(b.tbFindAxes, "tbFindAxes", "findaxes", "find axes");

    b.tools = new QActionGroup(bar);
    b.tools->setExclusive(true);
    for (QAction *tool : {b.tbZeiger, b.tbPoint, b.tbAutomaticLine, b.tbLine, b.tbZoom}) {
        tool->setCheckable(true);
        b.tools->addAction(tool);
    }
    b.tbZeiger->setChecked(true);
    return bar;
}

} // namespace chartrek
