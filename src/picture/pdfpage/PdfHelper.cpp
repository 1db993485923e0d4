#include "PdfHelper.h"

#include <poppler-qt6.h>

#include <QImageWriter>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace chartrek::pdfpage {

namespace {

// The PDF library draws at most about 537 million pixels at once (2^31 bytes at 4 bytes each)
// and hands back a 1 x 1 picture for anything larger. Bands of this many pixels stay well
// below that and keep the memory of a band small beside the whole page.
constexpr qint64 kBandPixels = qint64(1) << 26;

QString &lastError()
{
    static QString text;
    return text;
}

void keepLast(const QString &message, const QVariant &)
{
    lastError() = message.left(300);
}

// Pixels of a side of this many points at dpi, as the program counts them.
qint64 pixels(double points, double dpi)
{
    return qint64(std::ceil(points * dpi / 72.0 - 1e-6));
}

bool writePng(const QImage &image, const QString &fileName)
{
    QImageWriter writer(fileName, "png");
    // Quick rather than small: the file lives only until the program has read it.
    writer.setQuality(80);
    return writer.write(image);
}

// The page drawn band by band into one picture; null when a band came back other than asked.
QImage drawInBands(const Poppler::Page &page, int dpi, int w, int h, QString *why)
{
    const int bandRows = int(std::clamp<qint64>(kBandPixels / w, 1, h));
    QImage whole;
    for (int top = 0; top < h; top += bandRows) {
        const int rows = std::min(bandRows, h - top);
        QImage band = page.renderToImage(dpi, dpi, 0, top, w, rows);
        if (band.size() != QSize(w, rows)) {
            *why = QStringLiteral("rows %1 to %2 were drawn as %3 x %4 pixels instead of %5 x %6")
                       .arg(top)
                       .arg(top + rows)
                       .arg(band.width())
                       .arg(band.height())
                       .arg(w)
                       .arg(rows);
            return {};
        }
        if (rows == h)
            return band;
        if (whole.isNull()) {
            whole = QImage(w, h, band.format());
            if (whole.isNull()) {
                *why = QStringLiteral("no memory for %1 x %2 pixels").arg(w).arg(h);
                return {};
            }
        }
        if (band.format() != whole.format())
            band.convertTo(whole.format());
        const size_t bytes = size_t(std::min(band.bytesPerLine(), whole.bytesPerLine()));
        for (int r = 0; r < rows; ++r)
            std::memcpy(whole.scanLine(top + r), band.constScanLine(r), bytes);
    }
    return whole;
}

} // namespace

void quietLibrary()
{
    Poppler::setDebugErrorFunction(keepLast, {});
}

QString lastLibraryError()
{
    return lastError();
}

Exit checkDocument(const Poppler::Document *document)
{
    if (!document)
        return Damaged;
    if (document->isLocked())
        return Locked;
    if (document->numPages() < 1)
        return NoPages;
    return Ok;
}

Exit listPages(Poppler::Document &document, QTextStream &out)
{
    const int count = document.numPages();
    out << "pages " << count << '\n';
    QSizeF runSize;
    int run = 0;
    const auto endRun = [&] {
        if (run > 0)
            out << "size " << QString::number(runSize.width(), 'f', 4) << ' '
                << QString::number(runSize.height(), 'f', 4) << ' ' << run << '\n';
    };
    for (int i = 0; i < count; ++i) {
        const std::unique_ptr<Poppler::Page> page = document.page(i);
        const QSizeF size = page ? page->pageSizeF() : QSizeF(0, 0);
        if (run > 0 && size == runSize) {
            ++run;
            continue;
        }
        endRun();
        runSize = size;
        run = 1;
    }
    endRun();
    return Ok;
}

Exit drawThumbnails(Poppler::Document &document, const QString &folder, int side, const QList<int> &pages,
                    QTextStream &out)
{
    document.setRenderHint(Poppler::Document::Antialiasing);
    document.setRenderHint(Poppler::Document::TextAntialiasing);
    for (const int number : pages) {
        const std::unique_ptr<Poppler::Page> page = document.page(number - 1);
        const QSizeF size = page ? page->pageSizeF() : QSizeF();
        if (size.isEmpty())
            continue;
        // A thumbnail is only a help in choosing; a page that cannot be drawn small gets none.
        const double dpi = 72.0 * side / std::max(size.width(), size.height());
        const QImage thumb = page->renderToImage(dpi, dpi);
        if (thumb.isNull() || thumb.width() > side + 1 || thumb.height() > side + 1
            || !writePng(thumb, QStringLiteral("%1/thumb-%2.png").arg(folder).arg(number)))
            continue;
        out << "thumb " << number << '\n';
        out.flush();
    }
    return Ok;
}

Exit renderPage(Poppler::Document &document, int number, int dpi, bool smooth, int maxSide, const QString &output,
                QString *why)
{
    if (number < 1 || number > document.numPages()) {
        *why = QStringLiteral("no page %1").arg(number);
        return Usage;
    }
    document.setRenderHint(Poppler::Document::Antialiasing, smooth);
    document.setRenderHint(Poppler::Document::TextAntialiasing, smooth);
    const std::unique_ptr<Poppler::Page> page = document.page(number - 1);
    if (!page) {
        *why = QStringLiteral("page %1 cannot be read").arg(number);
        return Damaged;
    }
    // Told before drawing: a page too large would only fill the memory.
    const QSizeF size = page->pageSizeF();
    const qint64 w = pixels(size.width(), dpi), h = pixels(size.height(), dpi);
    if (w > maxSide || h > maxSide) {
        *why = QStringLiteral("%1 x %2").arg(w).arg(h);
        return TooLarge;
    }
    if (w < 1 || h < 1) {
        *why = QStringLiteral("page %1 is empty").arg(number);
        return NoPages;
    }
    const QImage image = drawInBands(*page, dpi, int(w), int(h), why);
    if (image.isNull())
        return NotDrawn;
    if (!writePng(image, output)) {
        *why = QStringLiteral("cannot write %1").arg(output);
        return NotWritten;
    }
    return Ok;
}

} // namespace chartrek::pdfpage
