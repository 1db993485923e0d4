// The metafile header check, before the converter is started on a file.
#include "picture/FileChecks.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray head = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    // The file's size is taken from the input's first bytes, so that both short and long files
    // are claimed.
    const qint64 fileSize = size >= 1 ? qint64(data[0]) * 97 : 0;
    const chartrek::MetafileHeader header = chartrek::checkMetafileHeader(head, fileSize);
    // Only a file taken for a metafile reaches the header check at all.
    if (header == chartrek::MetafileHeader::Sound && !chartrek::looksLikeMetafile(head))
        std::abort();
    return 0;
}
