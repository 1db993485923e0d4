#include "picture/PdfPages.h"

#include "core/ProgramFolders.h"
#include "picture/FileChecks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <climits>
#include <cmath>

namespace chartrek {

namespace {

const QString kHelperName = QStringLiteral("chartrek-pdfpage");

// The highest resolution the helper draws at.
constexpr int kHighestDpi = 2400;

constexpr qsizetype kErrorTailBytes = 4096;

// The helper's exit codes.
enum HelperExit { Usage = 2, Damaged = 3, Locked = 4, NoPages = 5, TooLarge = 6, NotDrawn = 7, NotWritten = 8 };

// A file cut short would be patched up by the PDF library into a page with parts missing.
QString fileProblem(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return PictureTexts::tr("The file %1 cannot be read: %2").arg(fileName, file.errorString());
    if (!looksLikePdf(file.read(1024)))
        return PictureTexts::tr("The file is not a PDF document, or its header is damaged.");
    if (!pdfComplete(file))
        return PictureTexts::tr("The PDF document is incomplete.");
    return {};
}

QString exitText(int code, const QString &detail)
{
    switch (code) {
    case Locked:
        return PictureTexts::tr("The PDF document is protected by a password.");
    case Damaged:
        return PictureTexts::tr("The PDF document is damaged.");
    case NoPages:
        return PictureTexts::tr("The PDF document has no page to show.");
    case TooLarge:
        return PictureTexts::tr("The page is too large at this resolution (%1 pixels); at most %2 pixels are "
                                "allowed in each direction.")
            .arg(detail)
            .arg(MaxPictureSide);
    case NotDrawn:
        return PictureTexts::tr("The page could not be drawn; there may not be enough memory at this resolution.");
    case NotWritten:
        return PictureTexts::tr("The drawn page could not be saved in the temporary folder.");
    default:
        return detail.isEmpty() ? PictureTexts::tr("The PDF document could not be read.")
                                : PictureTexts::tr("The PDF document could not be read: %1").arg(detail);
    }
}

// What a helper run gave: its output, or why there is none.
struct HelperRun {
    LoadStatus status = LoadStatus::Failed;
    QString error;
    QByteArray output;
};

HelperRun runHelper(const QStringList &arguments, const HelperWaiter &wait)
{
    const PdfSettings settings = pdfSettings();
    const QString program = pdfHelperProgram();
    QProcess helper;
    limitHelper(helper, {settings.memoryBytes, settings.cpuSeconds, settings.outputBytes});
    // Only the end of the error output is kept: its last line says what went wrong, and a
    // hostile file could make the rest fill the memory.
    QByteArray errors;
    const auto keepTail = [&errors, &helper] {
        errors += helper.readAllStandardError();
        if (errors.size() > 2 * kErrorTailBytes)
            errors = errors.right(kErrorTailBytes);
    };
    QObject::connect(&helper, &QProcess::readyReadStandardError, &helper, keepTail);
    helper.start(program, arguments);
    if (!helper.waitForStarted(settings.timeoutMs))
        return {LoadStatus::Failed,
                PictureTexts::tr("The PDF helper %1 could not be started: %2").arg(program,
                                 helper.errorString()), {}};
    const HelperWait outcome = wait(helper, settings.timeoutMs);
    if (outcome != HelperWait::Finished) {
        helper.kill();
        helper.waitForFinished(1000);
        if (outcome == HelperWait::Cancelled)
            return {LoadStatus::Cancelled, PictureTexts::tr("Reading the PDF document was cancelled."), {}};
        return {LoadStatus::Failed, PictureTexts::tr("Reading the PDF document took too long and was stopped."), {}};
    }
    if (helper.exitStatus() != QProcess::NormalExit)
        return {LoadStatus::Failed,
            PictureTexts::tr("The PDF helper stopped on this document; it may be damaged."), {}};
    if (helper.exitCode() != 0) {
        keepTail();
        const QString detail = QString::fromLocal8Bit(errors).trimmed();
        const QString lastLine = detail.section(QLatin1Char('\n'), -1).left(200);
        return {LoadStatus::Failed, exitText(helper.exitCode(), lastLine), {}};
    }
    return {LoadStatus::Loaded, {}, helper.readAllStandardOutput()};
}

// "pages N", then "size W H COUNT" lines for runs of pages of one size, in points written
// with a decimal point; the counts add up to N.
bool parsePages(const QByteArray &output, PdfPageSizes &pages)
{
    qsizetype from = 0;
    const auto nextLine = [&] {
        const qsizetype end = output.indexOf('\n', from);
        const QByteArray line = output.mid(from, end < 0 ? -1 : end - from);
        from = end < 0 ? output.size() : end + 1;
        return line.split(' ');
    };
    const QList<QByteArray> head = nextLine();
    bool ok = false;
    const int count = head.value(1).toInt(&ok);
    if (head.size() != 2 || head[0] != "pages" || !ok || count < 1)
        return false;
    while (pages.count() < count) {
        const QList<QByteArray> cells = nextLine();
        bool wOk = false, hOk = false, nOk = false;
        const double w = cells.value(1).toDouble(&wOk), h = cells.value(2).toDouble(&hOk);
        const int repeat = cells.value(3).toInt(&nOk);
        if (cells.size() != 4 || cells[0] != "size" || !wOk || !hOk || !nOk || !(w >= 0) || !(h >= 0) || repeat < 1
            || repeat > count - pages.count())
            return false;
        pages.append(QSizeF(w, h), repeat);
    }
    return true;
}

} // namespace

PdfSettings &pdfSettings()
{
    static PdfSettings settings;
    return settings;
}

QString pdfHelperProgram()
{
    const PdfSettings &settings = pdfSettings();
    if (!settings.program.isEmpty())
        return settings.program;
    for (const QString &folder : programPartFolders("CHARTREK_PDFPAGE_DIR")) {
        const QFileInfo candidate(QDir(folder).filePath(kHelperName));
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.filePath();
    }
    return kHelperName;
}

QSizeF PdfPageSizes::at(int page) const
{
    if (page < 0 || page >= mCount)
        return {};
    const auto after = std::upper_bound(mRuns.cbegin(), mRuns.cend(), page,
                                        [](int p, const Run &run) { return p < run.first; });
    return std::prev(after)->size;
}

void PdfPageSizes::append(QSizeF size, int repeat)
{
    if (repeat < 1)
        return;
    if (mRuns.isEmpty() || mRuns.last().size != size)
        mRuns.append({mCount, size});
    mCount += repeat;
}

QSize pdfPagePixels(QSizeF points, int dpi)
{
    const auto side = [dpi](double p) {
        const double pixels = std::ceil(p * dpi / 72.0 - 1e-6);
        return pixels > double(INT_MAX) ? INT_MAX : int(pixels);
    };
    return QSize(side(points.width()), side(points.height()));
}

int largestPdfDpi(QSizeF points)
{
    const double side = std::max(points.width(), points.height());
    if (!(side > 0))
        return kHighestDpi;
    int dpi = int(std::min<double>(kHighestDpi, MaxPictureSide * 72.0 / side));
    while (dpi > 0 && !pictureSizeAllowed(pdfPagePixels(points, dpi)))
        --dpi;
    return dpi;
}

PdfDocument readPdfPages(const QString &fileName, const HelperWaiter &wait)
{
    const QString problem = fileProblem(fileName);
    if (!problem.isEmpty())
        return {LoadStatus::Failed, {}, problem};
    const HelperRun run = runHelper({QStringLiteral("pages"), fileName}, wait);
    if (run.status != LoadStatus::Loaded)
        return {run.status, {}, run.error};
    PdfDocument document;
    if (!parsePages(run.output, document.pages))
        return {LoadStatus::Failed, {}, PictureTexts::tr("The PDF helper gave an answer that cannot be read.")};
    document.status = LoadStatus::Loaded;
    return document;
}

LoadedPicture renderPdfPage(const QString &fileName, QSizeF points, const PdfRendering &how,
                            const HelperWaiter &wait)
{
    const QSize pixels = pdfPagePixels(points, how.dpi);
    if (!pictureSizeAllowed(pixels)) {
        const QString tooLarge = exitText(TooLarge,
                                          QStringLiteral("%1 x %2").arg(pixels.width()).arg(pixels.height()));
        const int fits = largestPdfDpi(points);
        return LoadedPicture::failure(fits > 0 ? tooLarge +
            PictureTexts::tr(" Choose %1 dpi or less.").arg(fits) : tooLarge);
    }
    if (pixels.isEmpty())
        return LoadedPicture::failure(exitText(NoPages, {}));
    QTemporaryDir dir;
    if (!dir.isValid())
        return LoadedPicture::failure(
            PictureTexts::tr("No temporary folder for the PDF page: %1").arg(dir.errorString()));
    const QString output = dir.filePath(QStringLiteral("page.png"));
    const HelperRun run = runHelper({QStringLiteral("render"), fileName, QString::number(how.page + 1),
                                     QString::number(how.dpi), how.smooth ? QStringLiteral("smooth") : QStringLiteral("sharp"),
                                     QString::number(MaxPictureSide), output},
                                    wait);
    if (run.status != LoadStatus::Loaded)
        return {run.status, {}, run.error};
    LoadedPicture drawn = loadPicture(output);
    if (drawn.status == LoadStatus::Failed)
        drawn.error = PictureTexts::tr("The page could not be drawn: %1").arg(drawn.error);
    // The PDF library hands back a tiny picture for a page it cannot draw whole.
    if (drawn.status == LoadStatus::Loaded && drawn.image.size() != pixels)
        return LoadedPicture::failure(PictureTexts::tr("The page was drawn at %1 x %2 pixels instead of %3 x %4.")
                                          .arg(drawn.image.width())
                                          .arg(drawn.image.height())
                                          .arg(pixels.width())
                                          .arg(pixels.height()));
    return drawn;
}

} // namespace chartrek
