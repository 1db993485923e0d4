#include "core/ToolMode.h"

namespace chartrek {

void ToolMode::SetPointerTool()
{
    mState.mToolMode = SharedState::PointerTool;
    if (mWindowSteps)
        mWindowSteps();
    mState.mAutoLineStep = 0;
    mState.mRotatePickStep = 1;
}

} // namespace chartrek
