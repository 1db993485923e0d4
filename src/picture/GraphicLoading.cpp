#include "picture/GraphicLoading.h"

#include "core/TwipsGeometry.h"
#include "picture/ImageControl.h"
#include "picture/ImageOps.h"
#include "picture/MetafileProgress.h"
#include "picture/ScannerSelectDialog.h"
#include "picture/Views.h"

#include <QWidget>

namespace chartrek {

GraphicLoading::GraphicLoading(const Controls &controls, const Services &services) : mC(controls), mS(services)
{
    QWidget *window = mC.window;
    mScanner.selectSource = [window](const QString &last) {
        return ScannerSelectDialog::selectSource(window, last);
    };
    mScanner.acquire = [window](const QString &device) { return acquireWithProgress(window, device); };
    mWaitForHelper = [window](QProcess &helper, int timeoutMs) {
        return waitForMetafileHelper(window, helper, timeoutMs);
    };
}

const QString &GraphicLoading::tooBigText()
{
    static const QString text = QStringLiteral(
        "The picture is to big. Please reduce the size of the picture to max 32760 pixels height and width.");
    return text;
}

FileDialogRequest GraphicLoading::openRequest()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Grafik laden:");
    request.filter = QStringLiteral(
        "Grafiken (*.bmp *.dip *.wmf *.jpg *.jpeg *.png *.gif *.tif *.tiff *.webp)");
    request.defaultSuffix = QStringLiteral("bmp");
    request.mustExist = true;
    return request;
}

bool GraphicLoading::CheckPictureSize(const ImageControl &control)
{
    return pictureSizeAllowed(control.image().size());
}

bool GraphicLoading::refuseLoad(LoadStatus status, const QString &error)
{
    if (status == LoadStatus::Loaded && CheckPictureSize(mC.mTestLead))
        return false;
    if (status == LoadStatus::Cancelled) {
        // The person stopped it: nothing to report, and nothing changes.
    } else if (status == LoadStatus::Failed) {
        // Nothing is said about this case by the program's older versions; silence would look
        // like success, so the reader's reason is shown.
        mS.messages.ShowError(QStringLiteral("The graphic could not be loaded: ") + error);
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
    QString error;
    const LoadStatus status = mC.mTestLead.load(fileName, &error, mWaitForHelper);
    if (refuseLoad(status, error))
        return false;
    showNewPicture();
    mS.toolMode.SetPointerTool();
    return true;
}

void GraphicLoading::showNewPicture()
{
    takeTestPicture();
    mS.tables.ResetPointTables();
    mS.state.mFitToWindow = false;
    // Laid out afresh through the fit view, ending 1:1 with the Normal check mark.
    mS.views.SetNormalPictureView();
    mS.views.mnuViewWindow_Click();
    mS.views.mnuViewNormal_Click();
}

void GraphicLoading::mnuEditInsert_Click()
{
    if (!ImageControl::clipboardHasPicture()) {
        mS.messages.ShowInfo(QStringLiteral("There is no graphic in the clipboard, or the graphic format is unknown."));
    } else {
        QString error;
        const LoadStatus status = mC.mTestLead.paste(&error);
        if (refuseLoad(status, error))
            return;
        mS.toolMode.SetPointerTool();
        showNewPicture();
    }
    if (mLayout)
        mLayout();
}

void GraphicLoading::mnuFileGetFromScanner_Click()
{
    GetScannerPicture();
    mS.toolMode.SetPointerTool();
}

namespace {

const QString &scanTooBigText()
{
    static const QString text = QStringLiteral("The picture is to big. To reduce the size of the picture \r\n"
                                               "to max 32760 pixels height and width, select a smaler resolution "
                                               "for the scan.");
    return text;
}

} // namespace

void GraphicLoading::GetScannerPicture()
{
    const std::optional<ScanDevice> device = mScanner.selectSource(mLastScanner);
    if (!device) {
        mS.messages.ShowError(QStringLiteral("The device was not found, or cancel was selected."));
        return;
    }
    mLastScanner = device->name;
    const AcquireResult scan = mScanner.acquire(device->name);
    if (!scan.image) {
        if (scan.tooLarge)
            mS.messages.ShowError(scanTooBigText());
        else if (!scan.cancelled) // a scan the person cancelled is no failure to report
            mS.messages.ShowError(QStringLiteral("TWAIN device not ready"));
        return;
    }
    mC.mTestLead.setImage(*scan.image);
    if (!CheckPictureSize(mC.mTestLead)) {
        mS.messages.ShowError(scanTooBigText());
        mC.mTestLead.freeBitmap();
        return;
    }
    takeTestPicture();
    mS.tables.ClearPointRows();
    mS.views.SetNormalPictureView();
}

bool GraphicLoading::takeClipboardPicture()
{
    if (!ImageControl::clipboardHasPicture() || mC.mPicture.paste() != LoadStatus::Loaded)
        return false;
    mC.mPicture.colorReduce();
    copyIntoZoomWindow();
    mS.state.mFitToWindow = false;
    return true;
}

} // namespace chartrek
