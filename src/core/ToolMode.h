#pragma once

#include "core/SharedState.h"

#include <QObject>

namespace chartrek {

// Owns the return to the pointer tool, which ends every action. The window shows it (the
// pointer button pressed, the arrow cursor, the status bar back) in reply to pointerToolSet.
class ToolMode : public QObject {
    Q_OBJECT
public:
    explicit ToolMode(SharedState &state, QObject *parent = nullptr) : QObject(parent), mState(state) {}

    void SetPointerTool();

signals:
    // Connected directly: the window's steps run before the pick steps are reset.
    void pointerToolSet();

private:
    SharedState &mState;
};

} // namespace chartrek
