// The JPEG segment walk that decides whether a JPEG is whole, before the decoder sees it.
#include "picture/FileChecks.h"

#include <QBuffer>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    chartrek::jpegComplete(buffer);
    // The decoder reads next, and must find the file where it began.
    if (buffer.pos() != 0)
        std::abort();
    return 0;
}
