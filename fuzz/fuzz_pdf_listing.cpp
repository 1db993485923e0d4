// The PDF helper's page listing, as the helper runs it, on a document of any bytes.
#include "picture/pdfpage/PdfHelper.h"

#include <poppler-qt6.h>

#include <QBuffer>
#include <QTextStream>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    chartrek::pdfpage::quietLibrary();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(bytes);
    if (chartrek::pdfpage::checkDocument(document.get()) != chartrek::pdfpage::Ok)
        return 0;
    QByteArray listing;
    QTextStream out(&listing);
    chartrek::pdfpage::listPages(*document, out);
    out.flush();
    // The runs add up to the pages the listing announces.
    const QList<QByteArray> lines = listing.trimmed().split('\n');
    qint64 pages = 0;
    for (qsizetype i = 1; i < lines.size(); ++i)
        pages += lines[i].split(' ').value(3).toLongLong();
    if (lines.value(0) != "pages " + QByteArray::number(document->numPages()) || pages != document->numPages())
        std::abort();
    return 0;
}
