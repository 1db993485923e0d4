#include "core/ToolMode.h"

namespace chartrek {

void ToolMode::SetPointerTool()
{
    mState.mToolMode = SharedState::PointerTool;
    emit pointerToolSet();
    mState.mAutoLineStep = 0;
    mState.mRotatePickStep = 1;
}

} // namespace chartrek
