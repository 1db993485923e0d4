#pragma once

#include <functional>

class QProcess;

namespace chartrek {

enum class HelperWait { Finished, TimedOut, Cancelled };

// Waits until a started helper process has ended, for at most timeoutMs. The caller stops the
// helper on anything but Finished. The window passes one that keeps its events running and
// offers Cancel; callers without a window block.
using HelperWaiter = std::function<HelperWait(QProcess &helper, int timeoutMs)>;

// Blocks the calling thread; never Cancelled.
HelperWait waitBlocking(QProcess &helper, int timeoutMs);

} // namespace chartrek
