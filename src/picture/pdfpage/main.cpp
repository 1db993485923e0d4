// chartrek-pdfpage: reads one PDF file for Chartrek.
//
//   chartrek-pdfpage pages FILE
//       prints "pages N", then "size WIDTH HEIGHT COUNT" in points (1/72 inch) for each run of
//       pages of one size
//   chartrek-pdfpage thumbs FILE FOLDER SIDE PAGE...
//       writes thumb-P.png of at most SIDE pixels into FOLDER for each page P (from 1), and
//       prints "thumb P" after each
//   chartrek-pdfpage render FILE PAGE DPI sharp|smooth MAXSIDE OUTPUT
//       draws page PAGE (from 1) at DPI into the PNG file OUTPUT
//
// The exit code tells what went wrong; the caller words the message.
#include "PdfHelper.h"

#include <poppler-qt6.h>

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

using namespace chartrek::pdfpage;

namespace {

int fail(Exit code, const QString &why)
{
    const QString library = lastLibraryError();
    std::fprintf(stderr, "%s\n", qPrintable(library.isEmpty() ? why : why + QStringLiteral(": ") + library));
    return code;
}

int toInt(const QString &text, int lowest, int highest, bool &ok)
{
    bool number = false;
    const int value = text.toInt(&number);
    ok = ok && number && value >= lowest && value <= highest;
    return value;
}

int run(const QStringList &args)
{
    const QString command = args.value(1);
    const bool pages = command == QLatin1String("pages") && args.size() == 3;
    const bool thumbs = command == QLatin1String("thumbs") && args.size() >= 5;
    const bool render = command == QLatin1String("render") && args.size() == 8;
    if (!pages && !thumbs && !render)
        return fail(Usage, QStringLiteral("usage: chartrek-pdfpage pages|thumbs|render ..."));
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(args[2]);
    if (const Exit code = checkDocument(document.get()); code != Ok)
        return fail(code, QStringLiteral("cannot open %1").arg(args[2]));
    QTextStream out(stdout);
    bool ok = true;
    if (pages)
        return listPages(*document, out);
    if (thumbs) {
        const int side = toInt(args[4], 1, 1024, ok);
        QList<int> numbers;
        for (qsizetype i = 5; i < args.size(); ++i)
            numbers << toInt(args[i], 1, document->numPages(), ok);
        if (!ok)
            return fail(Usage, QStringLiteral("usage: thumbs FILE FOLDER SIDE PAGE..."));
        return drawThumbnails(*document, args[3], side, numbers, out);
    }
    const int number = toInt(args[3], 1, document->numPages(), ok);
    const int dpi = toInt(args[4], 1, 2400, ok);
    const int maxSide = toInt(args[6], 1, 1 << 20, ok);
    const QString edges = args[5];
    if (!ok || (edges != QLatin1String("sharp") && edges != QLatin1String("smooth")))
        return fail(Usage, QStringLiteral("usage: render FILE PAGE DPI sharp|smooth MAXSIDE OUTPUT"));
    QString why;
    const Exit code = renderPage(*document, number, dpi, edges == QLatin1String("smooth"), maxSide, args[7], &why);
    return code == Ok ? Ok : fail(code, why);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    quietLibrary();
    return run(app.arguments());
}
