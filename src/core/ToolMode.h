#pragma once

#include "core/SharedState.h"

#include <functional>

namespace chartrek {

// Owns the return to the pointer tool, which ends every action. The window part (press the
// pointer button, arrow cursor, bars, closing the Autoline dialog) is attached by the main
// window; until it is, only the state changes.
class ToolMode {
public:
    explicit ToolMode(SharedState &state) : mState(state) {}

    void SetPointerTool();
    void setWindowSteps(std::function<void()> steps) { mWindowSteps = std::move(steps); }

private:
    SharedState &mState;
    std::function<void()> mWindowSteps;
};

} // namespace chartrek
