#include "picture/GraphicLoading.h"

#include "core/TwipsGeometry.h"
#include "picture/FileChecks.h"
#include "picture/ImageControl.h"
#include "picture/ImageOps.h"
#include "picture/MetafileProgress.h"
#include "picture/PdfPageDialog.h"
#include "picture/Views.h"

#include <QFile>
#include <QFileInfo>
#include <QWidget>

namespace chartrek {

namespace {

// Told by content; a file named .pdf that is none is refused on the PDF road with a reason.
bool isPdfFile(const QString &fileName)
{
    // Anything but a regular file goes the usual road, which refuses it without reading it.
    if (!QFileInfo(fileName).isFile())
        return false;
    QFile file(fileName);
    return fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)
        || (file.open(QIODevice::ReadOnly) && looksLikePdf(file.read(1024)));
}

} // namespace

GraphicLoading::GraphicLoading(const Controls &controls, const Services &services, QObject *parent)
    : QObject(parent), mC(controls), mS(services)
{
    setObjectName(QStringLiteral("graphicLoading"));
    QWidget *window = mC.window;
    mWaitForHelper = [window](QProcess &helper, int timeoutMs) {
        return waitForMetafileHelper(window, helper, timeoutMs);
    };
    mWaitForPdfList = [window](QProcess &helper, int timeoutMs) {
        return waitForMetafileHelper(window, helper, timeoutMs,
                                     tr("Reading the pages of the PDF document ..."));
    };
    mWaitForPdfHelper = [window](QProcess &helper, int timeoutMs) {
        return waitForMetafileHelper(window, helper, timeoutMs, tr("Drawing the PDF page ..."));
    };
}

QString GraphicLoading::tooBigText()
{
    return tr("The picture is too big. Please reduce the size of the picture to at most 32760 pixels in height and "
              "width.");
}

QString GraphicLoading::replaceQuestion()
{
    return tr("Delete existing data?");
}

FileDialogRequest GraphicLoading::openRequest()
{
    FileDialogRequest request;
    request.title = tr("Open Graphic");
    request.filter = tr("Pictures (*.bmp *.dip *.wmf *.jpg *.jpeg *.png *.gif *.tif *.tiff *.webp *.pdf)");
    request.defaultSuffix = QStringLiteral("bmp");
    request.mustExist = true;
    request.rememberFolder = Setting::OpenFolder;
    return request;
}

bool GraphicLoading::CheckPictureSize(const ImageControl &control)
{
    return pictureSizeAllowed(control.image().size());
}

bool GraphicLoading::refuseLoad(LoadStatus status, const QString &error)
{
    if (status == LoadStatus::Loaded && CheckPictureSize(mC.mTestLead)) {
        // The points are gone for good once a new picture is in: not without a yes.
        const UnsavedWork::Answer work = mUnsaved ? mUnsaved->beforeReplacing() : UnsavedWork::Ask;
        if (work == UnsavedWork::Replace)
            return false;
        if (work == UnsavedWork::Ask
            && (!mS.tables.hasPoints() || mS.messages.AskYesNo(replaceQuestion()) == AnswerYes))
            return false;
    } else if (status == LoadStatus::Cancelled) {
        // The person stopped it: nothing to report, and nothing changes.
    } else if (status == LoadStatus::Failed) {
        // Silence would look like success: the reader's reason is shown.
        mS.messages.ShowError(tr("The graphic could not be loaded: %1").arg(error));
    } else {
        mS.messages.ShowError(tooBigText());
    }
    mC.mTestLead.freeBitmap();
    return true;
}

void GraphicLoading::copyIntoZoomWindow()
{
    mC.mZoomWindow.assignFrom(mC.mPicture);
    const QSize area = twipsSize(&mC.mPicture);
    mC.mZoomWindow.setupZoomWindow(0, 0, float(area.width()), float(area.height()), mC.mPicture);
    mC.mZoomWindow.setRepaintEnabled(true);
}

void GraphicLoading::takeTestPicture()
{
    // The picture is read once, into the test control, and handed on from there.
    mC.mPicture.setRepaintEnabled(false);
    mC.mPicture.assignFrom(mC.mTestLead);
    mC.mTestLead.freeBitmap();
    mC.mPicture.colorReduce();
    mC.mPicture.setRepaintEnabled(true);
    copyIntoZoomWindow();
}

void GraphicLoading::mnuFileOpen_Click()
{
    const QString fileName = mS.dialogs.getOpenFileName(openRequest());
    if (fileName.isEmpty())
        return;
    openFile(fileName);
}

bool GraphicLoading::openFile(const QString &fileName)
{
    const LongOperations::Scope drawing(mS.longOperations);
    QString error;
    const LoadStatus status = isPdfFile(fileName) ? loadPdfPage(fileName, &error)
                                                  : mC.mTestLead.load(fileName, &error, mWaitForHelper);
    if (refuseLoad(status, error))
        return false;
    showNewPicture();
    mS.toolMode.SetPointerTool();
    emit pictureTaken(fileName);
    return true;
}

LoadStatus GraphicLoading::loadPdfPage(const QString &fileName, QString *error)
{
    const PdfDocument document = readPdfPages(fileName, mWaitForPdfList);
    if (document.status != LoadStatus::Loaded) {
        *error = document.error;
        return document.status;
    }
    // The resolution and the edges are chosen for every document, the page when there are
    // several; a one-page document shows its page chosen.
    PdfRendering how = mPdfRendering;
    how.page = 0;
    const std::optional<PdfRendering> chosen = PdfPageDialog::choose(fileName, document.pages, how, mC.window);
    if (!chosen)
        return LoadStatus::Cancelled;
    how = *chosen;
    mPdfRendering = how;
    LoadedPicture drawn = renderPdfPage(fileName, document.pages.at(how.page), how, mWaitForPdfHelper);
    if (drawn.status != LoadStatus::Loaded) {
        *error = drawn.error;
        return drawn.status;
    }
    mC.mTestLead.setImage(std::move(drawn.image));
    return LoadStatus::Loaded;
}

void GraphicLoading::showNewPicture()
{
    takeTestPicture();
    mS.tables.startAfresh();
    mS.state.mFitToWindow = false;
    // Laid out afresh through the fit view, ending 1:1 with the Normal check mark.
    mS.views.SetNormalPictureView();
    mS.views.mnuViewWindow_Click();
    mS.views.mnuViewNormal_Click();
}

void GraphicLoading::mnuEditInsert_Click()
{
    if (!ImageControl::clipboardHasPicture()) {
        mS.messages.ShowInfo(tr("There is no graphic in the clipboard, or the graphic format is unknown."));
    } else {
        QString error;
        const LoadStatus status = mC.mTestLead.paste(&error);
        if (refuseLoad(status, error))
            return;
        mS.toolMode.SetPointerTool();
        showNewPicture();
        emit pictureTaken({});
    }
    mS.views.Form_Resize();
}

bool GraphicLoading::takeScannedPicture(const QImage &image)
{
    LoadedPicture taken = acceptPicture(image);
    if (taken.status == LoadStatus::Loaded)
        mC.mTestLead.setImage(std::move(taken.image));
    if (refuseLoad(taken.status, taken.error))
        return false;
    takeTestPicture();
    mS.tables.startAfresh();
    mS.views.SetNormalPictureView();
    emit pictureTaken({});
    return true;
}

bool GraphicLoading::takeClipboardPicture()
{
    if (!ImageControl::clipboardHasPicture() || mC.mPicture.paste() != LoadStatus::Loaded)
        return false;
    mC.mPicture.colorReduce();
    copyIntoZoomWindow();
    mS.state.mFitToWindow = false;
    emit pictureTaken({});
    return true;
}

void GraphicLoading::takeProjectPicture(const QImage &picture)
{
    mC.mPicture.setRepaintEnabled(false);
    mC.mPicture.setImage(picture);
    mC.mPicture.setRepaintEnabled(true);
    copyIntoZoomWindow();
    mS.tables.startAfresh();
    mS.state.mFitToWindow = false;
    mS.views.SetNormalPictureView();
    mS.views.mnuViewWindow_Click();
    mS.views.mnuViewNormal_Click();
    mS.toolMode.SetPointerTool();
}

} // namespace chartrek
