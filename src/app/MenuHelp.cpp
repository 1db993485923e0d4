#include "app/MenuHelp.h"

#include "app/HelpTopics.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

namespace chartrek {

namespace {
const char *const kProperty = "helpContextId";
}

MenuHelp::MenuHelp(QObject *parent) : QObject(parent) {}

void MenuHelp::watch(QMenu *menu)
{
    menu->installEventFilter(this);
    for (QAction *action : menu->actions()) {
        if (QMenu *sub = action->menu())
            watch(sub);
    }
}

void MenuHelp::setHelpContextId(QAction *action, int helpContextId)
{
    action->setProperty(kProperty, helpContextId);
}

int MenuHelp::helpContextId(const QAction *action)
{
    return action ? action->property(kProperty).toInt() : 0;
}

bool MenuHelp::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    auto *menu = qobject_cast<QMenu *>(watched);
    if (!menu || key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
        return false;

    // An item without a topic of its own takes that of the nearest menu above it that has one.
    int id = helpContextId(menu->activeAction());
    for (QMenu *m = menu; id == 0 && m; m = qobject_cast<QMenu *>(m->parentWidget()))
        id = helpContextId(m->menuAction());
    if (id == 0)
        id = kHelpIndexId;

    // An open menu holds the keyboard; close the whole chain so the help window gets it.
    for (int guard = 0; guard < 16 && QApplication::activePopupWidget(); ++guard)
        QApplication::activePopupWidget()->close();
    menu->close();
    emit topicRequested(id);
    return true;
}

} // namespace chartrek
