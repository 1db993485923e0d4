#include "memory/MemoryStatus.h"

#include "core/NumberText.h"

#include <QFile>

#include <algorithm>
#include <limits>

#include <sys/resource.h>

namespace chartrek {

namespace {

// The "Name:   1234 kB" lines of a /proc file, as bytes. A missing name, a value that is no
// number or one too large for 64 bits is empty: wrapping it would show a wrong figure.
class KbLines {
public:
    explicit KbLines(const QString &path)
    {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            mText = file.readAll(); // /proc files report no size: read to the end
    }

    std::optional<quint64> bytes(const char *name) const
    {
        const QByteArray key = QByteArray(name) + ':';
        qsizetype at = 0;
        while ((at = mText.indexOf(key, at)) >= 0) {
            if (at == 0 || mText.at(at - 1) == '\n')
                break;
            at += key.size();
        }
        if (at < 0)
            return std::nullopt;
        const qsizetype start = at + key.size();
        const qsizetype end = mText.indexOf('\n', start);
        QByteArray value = mText.mid(start, end < 0 ? -1 : end - start).trimmed();
        if (!value.endsWith(" kB"))
            return std::nullopt;
        value.chop(3);
        bool ok = false;
        const quint64 kb = value.trimmed().toULongLong(&ok);
        if (!ok || kb > std::numeric_limits<quint64>::max() / 1024)
            return std::nullopt;
        return kb * 1024;
    }

private:
    QByteArray mText;
};

QString sizeText(const std::optional<quint64> &bytes, const QLocale &locale)
{
    if (!bytes)
        return QStringLiteral("?");
    return generalNumberText(double(*bytes) / 1024.0, locale) + QStringLiteral(" KB");
}

} // namespace

MemorySources MemorySources::ofThisProcess()
{
    return {QStringLiteral("/proc/meminfo"), QStringLiteral("/proc/self/status"), processAddressLimit()};
}

quint64 processAddressLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return kUserAddressSpace;
    return std::min<quint64>(limit.rlim_cur, kUserAddressSpace);
}

MemoryFigures readMemoryFigures(const MemorySources &sources)
{
    MemoryFigures f;
    const KbLines meminfo(sources.meminfoPath);
    f.totalPhys = meminfo.bytes("MemTotal");
    f.availPhys = meminfo.bytes("MemAvailable");
    f.totalPageFile = meminfo.bytes("SwapTotal");
    f.availPageFile = meminfo.bytes("SwapFree");
    if (f.totalPhys && f.availPhys && *f.totalPhys > 0) {
        const quint64 total = *f.totalPhys / 1024; // KB again, so that 100 times it cannot overflow
        const quint64 used = total - std::min(total, *f.availPhys / 1024);
        f.load = quint32((used * 100 + total / 2) / total);
    }

    f.totalVirtual = std::min(sources.addressLimit, kUserAddressSpace);
    if (const auto size = KbLines(sources.statusPath).bytes("VmSize"))
        f.availVirtual = *f.totalVirtual - std::min(*f.totalVirtual, *size);
    return f;
}

bool memoryNearlyFull(const MemoryFigures &figures)
{
    return figures.load && *figures.load > kNearlyFullLoad;
}

std::array<QString, 7> memoryTexts(const MemoryFigures &f, const QLocale &locale)
{
    return {f.load ? QString::number(*f.load) + QStringLiteral(" %") : QStringLiteral("?"),
            sizeText(f.totalPhys, locale),
            sizeText(f.availPhys, locale),
            sizeText(f.totalPageFile, locale),
            sizeText(f.availPageFile, locale),
            sizeText(f.totalVirtual, locale),
            sizeText(f.availVirtual, locale)};
}

} // namespace chartrek
