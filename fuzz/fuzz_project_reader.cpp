// The project reader: the archive, its description and its picture, as a stranger may send them.
#include "project/ProjectFile.h"

#include <QCoreApplication>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

namespace {
// What a project taken must be for the window to show it safely.
bool sound(const chartrek::Project &p, bool withPicture)
{
    if (p.curves.isEmpty() || p.current < 0 || p.current >= p.curves.size())
        return false;
    for (const chartrek::ProjectCurve &curve : p.curves) {
        if (curve.points.size() != curve.values.size())
            return false;
    }
    return !withPicture || p.picture.size() == p.pictureSize;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    const std::optional<chartrek::Project> described = chartrek::readProjectBytes(bytes, &error, false);
    if (!described) {
        if (error.isEmpty())
            std::abort(); // a refusal says why
        return 0;
    }
    if (!sound(*described, false))
        std::abort();
    // Pictures that may be held but take a gigabyte to decode teach the fuzzer nothing.
    if (qint64(described->pictureSize.width()) * described->pictureSize.height() > qint64(4096) * 4096)
        return 0;
    error.clear();
    const std::optional<chartrek::Project> whole = chartrek::readProjectBytes(bytes, &error, true);
    if (whole ? !sound(*whole, true) : error.isEmpty())
        std::abort();
    return 0;
}
