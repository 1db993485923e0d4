#include "app/Toolbar.h"

#include "core/ProgramIcons.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
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
        slot->setToolTip(QCoreApplication::translate("Toolbar", tip));
        return slot;
    };
    add(b.tbOpen, "tbOpen", "open", QT_TRANSLATE_NOOP("Toolbar", "open graphic"));
    add(b.tbScan, "tbScan", "scan", QT_TRANSLATE_NOOP("Toolbar", "get graphic from scanner"));
    bar->addSeparator();
    add(b.tbZeiger, "tbZeiger", "zeiger", QT_TRANSLATE_NOOP("Toolbar", "select arrow"));
    add(b.tbPoint, "tbPoint", "point", QT_TRANSLATE_NOOP("Toolbar", "get points"));
    add(b.tbAutomaticLine, "tbAutomaticLine", "autoline", QT_TRANSLATE_NOOP("Toolbar", "autoline"));
    add(b.tbLine, "tbLine", "line", QT_TRANSLATE_NOOP("Toolbar", "draw a line"));
    add(b.tbZoom, "tbZoom", "zoom", QT_TRANSLATE_NOOP("Toolbar", "zoom"));
    add(b.tbNormal, "tbNormal", "normal", QT_TRANSLATE_NOOP("Toolbar", "show 1:1"));
    add(b.tbStrech, "tbStrech", "strech", QT_TRANSLATE_NOOP("Toolbar", "fit to window"));
    add(b.tbRepaint, "tbRepaint", "repaint", QT_TRANSLATE_NOOP("Toolbar", "repaint"));
    bar->addSeparator();
    add(b.tbUndo, "tbUndo", "undo", QT_TRANSLATE_NOOP("Toolbar", "undo"));
    add(b.tbRedo, "tbRedo", "redo", QT_TRANSLATE_NOOP("Toolbar", "redo"));
    add(b.tbDel, "tbDel", "del", QT_TRANSLATE_NOOP("Toolbar", "delete data"));
    bar->addSeparator();
    add(b.tbFindAxes, "tbFindAxes", "findaxes", QT_TRANSLATE_NOOP("Toolbar", "find axes"));

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
