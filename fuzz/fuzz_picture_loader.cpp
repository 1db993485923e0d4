// The picture loader's checks and the decoders behind them, on a picture in any format but a
// metafile (drawn by a helper program of its own).
#include "picture/FileChecks.h"
#include "picture/ImageOps.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>

#include <cstdlib>

namespace {

// Pictures that may be held but take a gigabyte to decode teach the fuzzer nothing the small
// ones do not, and would only fill the memory; those refused for their size are tried.
bool worthTrying(QIODevice &device)
{
    const auto side = [](QSize size) { return size.isValid() ? qint64(size.width()) * size.height() : 0; };
    const qint64 announced = std::max(side(chartrek::announcedSize(device.peek(32))), side(QImageReader(&device).size()));
    device.seek(0);
    const QSize fromHeader = chartrek::announcedSize(device.peek(32));
    const bool refused = fromHeader.isValid() && !chartrek::pictureSizeAllowed(fromHeader);
    return refused || announced <= qint64(4096) * 4096;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The image format plugins are found through the application; the decoders' warnings
    // about broken files would only fill the log.
    static QCoreApplication app(*argc, *argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    if (!worthTrying(buffer) || !buffer.seek(0))
        return 0;
    const chartrek::LoadedPicture loaded = chartrek::loadRasterPicture(buffer);
    // A picture taken is one the program can hold; a refusal says why.
    if (loaded.status == chartrek::LoadStatus::Loaded
        && (loaded.image.isNull() || !chartrek::isHeldFormat(loaded.image.format())
            || !chartrek::pictureSizeAllowed(loaded.image.size()) || loaded.image.hasAlphaChannel()))
        std::abort();
    if (loaded.status != chartrek::LoadStatus::Loaded && loaded.error.isEmpty())
        std::abort();
    return 0;
}
