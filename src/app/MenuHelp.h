#pragma once

#include <QObject>

class QAction;
class QMenu;

namespace chartrek {

// F1 on a highlighted menu item asks for that item's help topic.
// The help context number is stored on the QAction as the property "helpContextId"
// (an int; see setHelpContextId). An item without one falls back to the number of the
// nearest menu above it that has one (a menu's number sits on its menuAction()), and to
// the index when none has.
class MenuHelp : public QObject {
    Q_OBJECT
public:
    explicit MenuHelp(QObject *parent = nullptr);

    // Watches the menu and the submenus it holds now; call it once the menus are built.
    void watch(QMenu *menu);

    static void setHelpContextId(QAction *action, int helpContextId);
    // 0 when the action has none.
    static int helpContextId(const QAction *action);

signals:
    // The menus are closed by then, so the help window can take the focus.
    void topicRequested(int helpContextId);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace chartrek
