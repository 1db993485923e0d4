#include "memory/MemoryMonitor.h"

#include "core/TwipsGeometry.h"
#include "core/WindowPlacement.h"
#include "memory/frmMemInfo.h"

#include <QTimer>

namespace chartrek {

MemoryMonitor::MemoryMonitor(const Controls &controls, const MemorySources &sources, QObject *parent)
    : QObject(parent), mControls(controls), mSources(sources)
{
    setObjectName(QStringLiteral("memoryMonitor"));
    memTestTimer = new QTimer(this);
    memTestTimer->setObjectName(QStringLiteral("memTestTimer"));
    memTestTimer->setInterval(500);
    connect(memTestTimer, &QTimer::timeout, this, &MemoryMonitor::memTestTimer_Timer);
    memTestTimer->start();
}

void MemoryMonitor::memTestTimer_Timer()
{
    const MemoryFigures figures = readMemoryFigures(mSources);
    frmMemInfo &window = loadedWindow();
    if (memoryNearlyFull(figures))
        window.markNearlyFull();
    window.showTexts(memoryTexts(figures));
}

// A window the user closed is created again, hidden, in its normal colour.
frmMemInfo &MemoryMonitor::loadedWindow()
{
    if (!mWindow) {
        mWindow = new frmMemInfo(&mControls.owner);
        connect(mWindow, &frmMemInfo::paintedAfterShow, this, &MemoryMonitor::returnFocus);
    }
    return *mWindow;
}

void MemoryMonitor::mnuMemory_Click()
{
    const bool fresh = !mWindow;
    frmMemInfo &window = loadedWindow();
    if (fresh)
        memTestTimer_Timer(); // no empty fields until the next reading
    // The grid's offsets inside the main window, taken as a place on the screen.
    const QRect grid = twipsGeometry(&mControls.grid);
    placeOnScreen(window, {toPixels(grid.left()), toPixels(grid.top() + kBelowGrid)});
    window.show();
    window.raise();
}

void MemoryMonitor::returnFocus()
{
    mControls.picture.activateWindow();
    mControls.picture.setFocus(Qt::OtherFocusReason);
}

void MemoryMonitor::stop()
{
    memTestTimer->stop();
    if (mWindow)
        mWindow->close();
}

} // namespace chartrek
