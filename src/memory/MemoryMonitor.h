#pragma once

#include "memory/MemoryStatus.h"

#include <QObject>
#include <QPointer>

class QTimer;

namespace chartrek {

class frmMemInfo;

// The memory monitor: reads the memory figures twice a second from start to shutdown and
// writes them into the memory window, which the first reading creates, hidden. The window
// comes up from Help > Memory info, placed by the value table.
class MemoryMonitor : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget &owner; // the main window
        QWidget &grid; // the value table: the window opens at its offsets
        QWidget &picture; // takes the focus back once the window is up
    };

    MemoryMonitor(const Controls &controls, const MemorySources &sources, QObject *parent = nullptr);

    // Offset below the value table's top at which the window opens, in twips.
    static constexpr int kBelowGrid = 555;

public slots:
    void memTestTimer_Timer();
    void mnuMemory_Click();
    // Shutdown: the readings stop and the window goes.
    void stop();

private:
    frmMemInfo &loadedWindow();
    void returnFocus();

    Controls mControls;
    MemorySources mSources;
    QTimer *memTestTimer = nullptr;
    QPointer<frmMemInfo> mWindow;
};

} // namespace chartrek
