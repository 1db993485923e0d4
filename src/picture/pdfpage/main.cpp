// chartrek-pdfpage: reads one PDF file for Chartrek.
//
//   chartrek-pdfpage pages FILE THUMBDIR THUMBSIDE MAXTHUMBS
//       prints "pages N", then "page WIDTH HEIGHT" in points (1/72 inch) for each page, and
//       writes thumb-I.png (I from 1) of at most THUMBSIDE pixels for the first MAXTHUMBS pages
//   chartrek-pdfpage render FILE PAGE DPI sharp|smooth MAXSIDE OUTPUT
//       draws page PAGE (from 1) at DPI into the PNG file OUTPUT
//
// The exit code tells what went wrong; the caller words the message.
#include <poppler-qt6.h>

#include <QCoreApplication>
#include <QFile>
#include <QImageWriter>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

enum Exit { Ok = 0, Usage = 2, Damaged = 3, Locked = 4, NoPages = 5, TooLarge = 6, NotDrawn = 7, NotWritten = 8 };

int fail(Exit code, const QString &why)
{
    std::fprintf(stderr, "%s\n", qPrintable(why));
    return code;
}

// Opens the document for drawing; a code other than Ok when it cannot be drawn.
Exit open(const QString &fileName, std::unique_ptr<Poppler::Document> &document)
{
    document = Poppler::Document::load(fileName);
    if (!document)
        return Damaged;
    if (document->isLocked())
        return Locked;
    if (document->numPages() < 1)
        return NoPages;
    return Ok;
}

// Pixels of a side of this many points at dpi, as the drawing rounds them.
qint64 pixels(double points, int dpi)
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

int listPages(const QStringList &args)
{
    bool sideOk = false, countOk = false;
    const int side = args.value(4).toInt(&sideOk);
    const int maxThumbs = args.value(5).toInt(&countOk);
    if (args.size() != 6 || !sideOk || !countOk || side < 1 || side > 1024 || maxThumbs < 0)
        return fail(Usage, QStringLiteral("usage: pages FILE THUMBDIR THUMBSIDE MAXTHUMBS"));
    std::unique_ptr<Poppler::Document> document;
    if (const Exit code = open(args[2], document); code != Ok)
        return fail(code, QStringLiteral("cannot open %1").arg(args[2]));
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    QTextStream out(stdout);
    out << "pages " << document->numPages() << '\n';
    for (int i = 0; i < document->numPages(); ++i) {
        const std::unique_ptr<Poppler::Page> page = document->page(i);
        const QSizeF size = page ? page->pageSizeF() : QSizeF();
        out << "page " << QString::number(size.width(), 'f', 4) << ' ' << QString::number(size.height(), 'f', 4)
            << '\n';
        if (!page || i >= maxThumbs || size.isEmpty())
            continue;
        // A thumbnail is only a help in choosing; a page that cannot be drawn small gets none.
        const double dpi = 72.0 * side / std::max(size.width(), size.height());
        const QImage thumb = page->renderToImage(dpi, dpi);
        if (!thumb.isNull())
            writePng(thumb, QStringLiteral("%1/thumb-%2.png").arg(args[3]).arg(i + 1));
    }
    out.flush();
    return Ok;
}

int renderPage(const QStringList &args)
{
    bool pageOk = false, dpiOk = false, sideOk = false;
    const int number = args.value(3).toInt(&pageOk);
    const int dpi = args.value(4).toInt(&dpiOk);
    const QString edges = args.value(5);
    const int maxSide = args.value(6).toInt(&sideOk);
    if (args.size() != 8 || !pageOk || !dpiOk || !sideOk || dpi < 1 || dpi > 2400 || maxSide < 1
        || (edges != QLatin1String("sharp") && edges != QLatin1String("smooth")))
        return fail(Usage, QStringLiteral("usage: render FILE PAGE DPI sharp|smooth MAXSIDE OUTPUT"));
    std::unique_ptr<Poppler::Document> document;
    if (const Exit code = open(args[2], document); code != Ok)
        return fail(code, QStringLiteral("cannot open %1").arg(args[2]));
    if (number < 1 || number > document->numPages())
        return fail(Usage, QStringLiteral("no page %1").arg(number));
    const bool smooth = edges == QLatin1String("smooth");
    document->setRenderHint(Poppler::Document::Antialiasing, smooth);
    document->setRenderHint(Poppler::Document::TextAntialiasing, smooth);
    const std::unique_ptr<Poppler::Page> page = document->page(number - 1);
    if (!page)
        return fail(Damaged, QStringLiteral("page %1 cannot be read").arg(number));
    // Told before drawing: a page too large would only fill the memory.
    const QSizeF size = page->pageSizeF();
    const qint64 w = pixels(size.width(), dpi), h = pixels(size.height(), dpi);
    if (w > maxSide || h > maxSide)
        return fail(TooLarge, QStringLiteral("%1 x %2").arg(w).arg(h));
    if (w < 1 || h < 1)
        return fail(NoPages, QStringLiteral("page %1 is empty").arg(number));
    const QImage image = page->renderToImage(dpi, dpi);
    if (image.isNull())
        return fail(NotDrawn, QStringLiteral("page %1 could not be drawn").arg(number));
    if (!writePng(image, args[7]))
        return fail(NotWritten, QStringLiteral("cannot write %1").arg(args[7]));
    return Ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("pages"))
        return listPages(args);
    if (args.value(1) == QLatin1String("render"))
        return renderPage(args);
    return fail(Usage, QStringLiteral("usage: chartrek-pdfpage pages|render ..."));
}
