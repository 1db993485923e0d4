#pragma once

#include "core/FileDialogs.h"
#include "core/LongOperations.h"
#include "core/Messages.h"
#include "core/SharedState.h"
#include "core/ToolMode.h"
#include "core/UnsavedWork.h"
#include "picture/HelperWait.h"
#include "picture/ImageOps.h"
#include "picture/PdfPages.h"
#include "points/PointTables.h"

#include <QObject>

class QWidget;

namespace chartrek {

class ImageControl;
class Views;

// Brings a new picture in: from a file, the clipboard, or a scan the scanner hands over. Every
// new picture passes the size test in the hidden test control first, so that a refused one
// changes nothing; one that would empty tables holding points asks first.
class GraphicLoading : public QObject {
    Q_OBJECT
public:
    struct Controls {
        ImageControl &mPicture;
        ImageControl &mTestLead;
        ImageControl &mZoomWindow;
        QWidget *window; // parent of the progress dialog
    };
    struct Services {
        SharedState &state;
        Views &views;
        PointTables &tables;
        ToolMode &toolMode;
        Messages &messages;
        FileDialogs &dialogs;
        LongOperations &longOperations;
    };

    GraphicLoading(const Controls &controls, const Services &services, QObject *parent = nullptr);

    // Opens a named file as File > Open does after its dialog; false when it was not taken.
    // A metafile's converter runs while the window's events do, behind a progress dialog: a
    // long operation. A PDF document of several pages asks for the page first.
    bool openFile(const QString &fileName);
    // The resolution and edges the next PDF page is drawn with: 300 dpi and sharp at first,
    // then what the page dialog was last given. A one-page document opens with them at once.
    PdfRendering &pdfRendering() { return mPdfRendering; }
    // A scanned picture, of an allowed size: shown 1:1, the points cleared, the headers kept.
    bool takeScannedPicture(const QImage &image);
    // The clipboard picture at start and on a hand-over: no size test, tables kept.
    bool takeClipboardPicture();

    // Shows a picture kept in a project, as it was: no colour reduction, the tables emptied.
    void takeProjectPicture(const QImage &picture);
    // Asked before a new picture replaces the figure; without it only the points are asked about.
    void setUnsavedWork(UnsavedWork *work) { mUnsaved = work; }

    static bool CheckPictureSize(const ImageControl &control);
    static FileDialogRequest openRequest();
    static QString tooBigText();
    static QString replaceQuestion();

signals:
    // A new picture is shown: from the named file, or (an empty name) from the clipboard or a
    // scanner.
    void pictureTaken(const QString &fileName);

public slots:
    // File > Open.
    void mnuFileOpen_Click();
    // Edit > Paste graphic.
    void mnuEditInsert_Click();

private:
    // True when the test control's picture is not to be taken: refused, or the user keeps the
    // points. The test control is then emptied.
    bool refuseLoad(LoadStatus status, const QString &error);
    // Draws the chosen page of a PDF document into the test control.
    LoadStatus loadPdfPage(const QString &fileName, QString *error);
    void takeTestPicture();
    // After Open and Paste: the test control's picture shown 1:1 with empty tables.
    void showNewPicture();
    void copyIntoZoomWindow();

    Controls mC;
    Services mS;
    HelperWaiter mWaitForHelper;
    HelperWaiter mWaitForPdfList;
    HelperWaiter mWaitForPdfHelper;
    PdfRendering mPdfRendering;
    UnsavedWork *mUnsaved = nullptr;
};

} // namespace chartrek
