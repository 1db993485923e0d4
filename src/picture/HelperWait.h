#pragma once

#include <QtGlobal>

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

// What a helper that reads hostile files may use.
struct HelperLimits {
    qint64 memoryBytes = 0;
    int cpuSeconds = 0;
    qint64 outputBytes = 0;
};

// Prepares a helper before it starts: no input, its output channels apart, and the limits set
// in the child (no core file either), so that a hostile file can only take the helper down.
void limitHelper(QProcess &helper, const HelperLimits &limits);

} // namespace chartrek
