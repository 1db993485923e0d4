#pragma once

#include "picture/HelperWait.h"
#include "picture/ImageOps.h"

#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>

namespace chartrek {

// How PDF pages are read and drawn: by the helper chartrek-pdfpage, the one program that links
// the PDF library, run as a separate process so that a hostile file can only take the helper
// down. It runs under limits on memory, CPU time and output size, and is stopped after a
// wall-clock timeout. The memory limit leaves room for the largest picture allowed.
struct PdfSettings {
    QString program; // empty: chartrek-pdfpage from programPartFolders()
    int timeoutMs = 120000;
    int cpuSeconds = 100;
    qint64 memoryBytes = qint64(10) << 30;
    qint64 outputBytes = qint64(2) << 30;
};

// The settings every PDF load uses; tests change them.
PdfSettings &pdfSettings();

// True when the first bytes hold the PDF header.
bool looksLikePdf(const QByteArray &head);

struct PdfPage {
    QSizeF points;   // the page's size in points, 1/72 inch
    QImage thumbnail; // null when none was drawn
};

struct PdfDocument {
    LoadStatus status = LoadStatus::Failed; // Loaded when pages holds at least one page
    QList<PdfPage> pages;
    QString error;
};

// Thumbnails are drawn for this many pages at most; the rest are offered by number.
constexpr int MaxPdfThumbnails = 200;
constexpr int PdfThumbnailSide = 160;

// The pages of a PDF file with their sizes and thumbnails. A locked, damaged, incomplete or
// empty file gives a failure that says which.
PdfDocument readPdfPages(const QString &fileName, const HelperWaiter &wait = waitBlocking);

// How a page is drawn: which one (from 0), at what resolution, with smoothed edges or not.
// Sharp edges keep a line's colour exact, which the tracer needs.
struct PdfRendering {
    int page = 0;
    int dpi = 300;
    bool smooth = false;
};

// The pixels a page of this many points takes at dpi.
QSize pdfPagePixels(QSizeF points, int dpi);

// Draws one page into a picture in the held form. A page larger than MaxPictureSide at that
// resolution is refused, with a failure that says so, before it is drawn.
LoadedPicture renderPdfPage(const QString &fileName, const PdfPage &page, const PdfRendering &how,
                            const HelperWaiter &wait = waitBlocking);

} // namespace chartrek
