// Find axes on one picture, headless, with the code the Find axes command runs: writes the
// calibration it found in the benchmark's FOUND format (the two log flags, then the four
// references with their pixel positions and axis values, never exponents).
//
//   bench_calibrate PICTURE [--hint X,Y] [--out FILE] [--verbose]
//
// stderr ends with "confidence=high|low ms=T cpu_ms=C", T the wall time of the text reader's
// set-up and the search, C the processor time it took (what a busy machine does not stretch). Exit status: 0 found, 1 bad input, 2 nothing found.

#include "axes/AxisFinder.h"
#include "axes/LabelReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QStringList>

#include <cstdio>
#include <ctime>

using namespace chartrek;

namespace {

[[noreturn]] void fail(const QString &text)
{
    std::fprintf(stderr, "bench_calibrate: %s\n", qPrintable(text));
    std::exit(1);
}

QString number(double v)
{
    return QString::number(v, 'g', 17);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString picturePath, outPath;
    std::optional<QPointF> hint;
    bool verbose = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--hint") && i + 1 < args.size()) {
            const QStringList xy = args[++i].split(QLatin1Char(','));
            bool okX = false, okY = false;
            if (xy.size() == 2)
                hint = QPointF(xy[0].toDouble(&okX), xy[1].toDouble(&okY));
            if (!okX || !okY)
                fail(QStringLiteral("--hint wants X,Y"));
        } else if (a == QLatin1String("--out") && i + 1 < args.size()) {
            outPath = args[++i];
        } else if (a == QLatin1String("--verbose")) {
            verbose = true;
        } else if (picturePath.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            picturePath = a;
        } else {
            fail(QStringLiteral("usage: bench_calibrate PICTURE [--hint X,Y] [--out FILE] [--verbose]"));
        }
    }
    if (picturePath.isEmpty())
        fail(QStringLiteral("usage: bench_calibrate PICTURE [--hint X,Y] [--out FILE] [--verbose]"));
    const QImage picture(picturePath);
    if (picture.isNull())
        fail(QStringLiteral("cannot read %1").arg(picturePath));

    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpuStart = std::clock();
    LabelReader reader;
    if (!reader.isReady())
        fail(reader.errorString());
    AxisFinder finder(reader);
    if (verbose)
        finder.setTrace([](const QString &line) { std::fprintf(stderr, "%s\n", qPrintable(line)); });
    const AxesProposal found = finder.find(picture, hint);
    const qint64 ms = clock.elapsed();
    const long cpuMs = long(double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC);

    for (const FoundAxis *axis : {&found.x, &found.y}) {
        const char *name = axis == &found.x ? "x" : "y";
        if (axis->found)
            std::fprintf(stderr, "%s: %s, %d ticks, %s%s\n", name, axis->log ? "log" : "linear", axis->ticks,
                         axis->sure ? "sure" : "not sure: ", qPrintable(axis->problem));
        else
            std::fprintf(stderr, "%s: not found: %s\n", name, qPrintable(axis->problem));
    }
    const bool any = found.x.found || found.y.found;
    if (any) {
        QString text;
        text += QStringLiteral("x\tlog\t%1\ny\tlog\t%2\n").arg(found.x.log ? 1 : 0).arg(found.y.log ? 1 : 0);
        const auto ref = [&](const char *key, double px, double py, double value) {
            text += QStringLiteral("%1\t%2\t%3\t%4\n").arg(QLatin1String(key), number(px), number(py), number(value));
        };
        ref("X1", found.x.first.along, found.x.first.across, found.x.first.value);
        ref("X2", found.x.second.along, found.x.second.across, found.x.second.value);
        ref("Y1", found.y.first.across, found.y.first.along, found.y.first.value);
        ref("Y2", found.y.second.across, found.y.second.along, found.y.second.value);
        if (outPath.isEmpty()) {
            std::fputs(qPrintable(text), stdout);
        } else {
            QFile out(outPath);
            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(text.toUtf8()) < 0)
                fail(QStringLiteral("cannot write %1").arg(outPath));
        }
    }
    std::fprintf(stderr, "confidence=%s ms=%lld cpu_ms=%ld\n", found.sure() ? "high" : "low", ms, cpuMs);
    return any ? 0 : 2;
}
