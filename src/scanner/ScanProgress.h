#pragma once

#include "scanner/ScanJob.h"

#include <QImage>
#include <QString>

#include <optional>

class QWidget;

namespace chartrek {

struct AcquireResult {
    std::optional<QImage> image; // the scanned picture; empty when the scan failed or was cancelled
    QString error;               // why there is no picture
    bool cancelled = false;      // the person cancelled
    bool tooLarge = false;       // the picture would pass the size limit; the scan was stopped
};

// Scans from deviceName while a window-modal progress dialog with a Cancel button shows
// how far the scan is; the window keeps repainting meanwhile. Returns when the scan has
// ended and the device is closed again. Cancel (button, Escape or closing the dialog)
// gives a cancelled result without a picture.
AcquireResult acquireWithProgress(QWidget *parent, const QString &deviceName, const ScanOptions &options = {});

} // namespace chartrek
