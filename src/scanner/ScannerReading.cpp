#include "scanner/ScannerReading.h"

#include "picture/GraphicLoading.h"
#include "picture/ImageOps.h"
#include "scanner/ScannerSelectDialog.h"

namespace chartrek {

ScannerReading::ScannerReading(const Services &services, QWidget *window, QObject *parent)
    : QObject(parent), mS(services)
{
    setObjectName(QStringLiteral("scannerReading"));
    mScanner.selectSource = [window](const QString &last) { return ScannerSelectDialog::selectSource(window, last); };
    mScanner.acquire = [window](const QString &device) { return acquireWithProgress(window, device); };
}

QString ScannerReading::tooBigText()
{
    return tr("The picture is too big. To reduce the size of the picture\r\n"
              "to at most 32760 pixels in height and width, select a smaller resolution for the scan.");
}

void ScannerReading::mnuFileGetFromScanner_Click()
{
    GetScannerPicture();
    mS.toolMode.SetPointerTool();
}

void ScannerReading::GetScannerPicture()
{
    const std::optional<ScanDevice> device = mScanner.selectSource(mLastScanner);
    if (!device) {
        mS.messages.ShowError(tr("The device was not found, or cancel was selected."));
        return;
    }
    mLastScanner = device->name;
    const AcquireResult scan = mScanner.acquire(device->name);
    if (!scan.image) {
        if (scan.tooLarge)
            mS.messages.ShowError(tooBigText());
        else if (!scan.cancelled) // a scan the person cancelled is no failure to report
            mS.messages.ShowError(tr("TWAIN device not ready"));
        return;
    }
    if (!pictureSizeAllowed(scan.image->size())) {
        mS.messages.ShowError(tooBigText());
        return;
    }
    mS.loading.takeScannedPicture(*scan.image);
}

} // namespace chartrek
