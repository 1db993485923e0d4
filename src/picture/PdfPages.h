#pragma once

#include "picture/HelperWait.h"
#include "picture/ImageOps.h"

#include <QList>
#include <QSizeF>
#include <QString>

namespace chartrek {

// How PDF pages are read and drawn: by the helper chartrek-pdfpage, the one program that links
// the PDF library, run as a separate process so that a hostile file can only take the helper
// down. It runs under limits on memory, CPU time and output size, and is stopped after a
// wall-clock timeout. The memory limit leaves room for the largest picture allowed. Thumbnails
// are only a help in choosing: each run drawing them has shorter limits of its own.
struct PdfSettings {
    QString program; // empty: chartrek-pdfpage from programPartFolders()
    int timeoutMs = 120000;
    int cpuSeconds = 100;
    qint64 memoryBytes = qint64(10) << 30;
    qint64 outputBytes = qint64(2) << 30;
    int thumbnailTimeoutMs = 30000;
    int thumbnailCpuSeconds = 25;
};

// The settings every PDF load uses; tests change them.
PdfSettings &pdfSettings();

// The helper program every PDF load runs.
QString pdfHelperProgram();

// The sizes of a document's pages in points (1/72 inch), kept as runs of equal ones: a
// document of a million pages mostly repeats a few sizes.
class PdfPageSizes {
public:
    int count() const { return mCount; }
    // Page from 0; an empty size past the end.
    QSizeF at(int page) const;
    void append(QSizeF size, int repeat);

private:
    struct Run {
        int first;
        QSizeF size;
    };
    QList<Run> mRuns;
    int mCount = 0;
};

struct PdfDocument {
    LoadStatus status = LoadStatus::Failed; // Loaded when it has at least one page
    PdfPageSizes pages;
    QString error;
};

constexpr int PdfThumbnailSide = 160;

// The pages of a PDF file with their sizes, without drawing any. A locked, damaged,
// incomplete or empty file gives a failure that says which.
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

// The highest resolution at which a page of this many points stays within MaxPictureSide;
// 0 when none does.
int largestPdfDpi(QSizeF points);

// Draws one page of this size into a picture in the held form. A page larger than
// MaxPictureSide at that resolution is refused, with a failure that names a resolution that
// fits, before it is drawn; a page drawn at another size than asked is refused too.
LoadedPicture renderPdfPage(const QString &fileName, QSizeF points, const PdfRendering &how,
                            const HelperWaiter &wait = waitBlocking);

} // namespace chartrek
