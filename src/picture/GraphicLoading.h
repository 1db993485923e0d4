#pragma once

#include "core/FileDialogs.h"
#include "core/Messages.h"
#include "core/SharedState.h"
#include "core/ToolMode.h"
#include "picture/ImageOps.h"
#include "picture/ScanProgress.h"
#include "picture/ScanDevices.h"
#include "points/PointTables.h"

#include <functional>
#include <optional>

class QWidget;

namespace chartrek {

class ImageControl;
class Views;

// Brings a new picture in: from a file, the clipboard or a scanner. Every new picture passes
// the size test in the hidden test control first, so that a refused one changes nothing.
class GraphicLoading {
public:
    struct Controls {
        ImageControl &mPicture;
        ImageControl &mTestLead;
        ImageControl &mZoomWindow;
        QWidget *window; // parent of the scanner dialogs
    };
    struct Services {
        SharedState &state;
        Views &views;
        PointTables &tables;
        ToolMode &toolMode;
        Messages &messages;
        FileDialogs &dialogs;
    };
    // The scanner as the window uses it; tests put their own source selection in.
    struct Scanner {
        std::function<std::optional<ScanDevice>(const QString &lastDevice)> selectSource;
        std::function<AcquireResult(const QString &device)> acquire;
    };

    GraphicLoading(const Controls &controls, const Services &services);

    void setScanner(Scanner scanner) { mScanner = std::move(scanner); }
    // Lays the window out again (the resize handler), after a paste.
    void setLayoutHandler(std::function<void()> layout) { mLayout = std::move(layout); }

    // File > Open.
    void mnuFileOpen_Click();
    // Opens a named file as File > Open does after its dialog; false when it was not taken.
    // A metafile's converter runs while the window's events do, behind a progress dialog.
    bool openFile(const QString &fileName);
    // Edit > Paste graphic.
    void mnuEditInsert_Click();
    // File > Read graphic.
    void mnuFileGetFromScanner_Click();
    void GetScannerPicture();
    // The clipboard picture at start and on a hand-over: no size test, tables kept.
    bool takeClipboardPicture();

    static bool CheckPictureSize(const ImageControl &control);
    static FileDialogRequest openRequest();
    static const QString &tooBigText();

private:
    bool refuseLoad(LoadStatus status, const QString &error);
    void takeTestPicture();
    // After Open and Paste: the test control's picture shown 1:1 with empty tables.
    void showNewPicture();
    void copyIntoZoomWindow();

    Controls mC;
    Services mS;
    Scanner mScanner;
    HelperWaiter mWaitForHelper;
    std::function<void()> mLayout;
    QString mLastScanner;
};

} // namespace chartrek
