// The check that a PDF file is whole: its end-of-file marker after everything but padding.
#include "picture/FileChecks.h"

#include <QBuffer>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    chartrek::looksLikePdf(bytes);
    const bool complete = chartrek::pdfComplete(buffer);
    // The same answer, read the plain way from the whole file.
    qsizetype end = bytes.size();
    while (end > 0 && QByteArray(" \t\r\n\f", 6).contains(bytes[end - 1]))
        --end;
    if (complete != bytes.left(end).endsWith("%%EOF"))
        std::abort();
    return 0;
}
