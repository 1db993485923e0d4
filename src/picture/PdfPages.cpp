#include "picture/PdfPages.h"

#include "core/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <climits>
#include <cmath>

namespace chartrek {

namespace {

const QString kHelperName = QStringLiteral("chartrek-pdfpage");

// The helper's exit codes.
enum HelperExit { Usage = 2, Damaged = 3, Locked = 4, NoPages = 5, TooLarge = 6, NotDrawn = 7, NotWritten = 8 };

QString helperProgram(const PdfSettings &settings)
{
    if (!settings.program.isEmpty())
        return settings.program;
    for (const QString &folder : programPartFolders("CHARTREK_PDFPAGE_DIR")) {
        const QFileInfo candidate(QDir(folder).filePath(kHelperName));
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.filePath();
    }
    return kHelperName;
}

// A PDF file ends with an end-of-file marker; a file cut short lacks it, and the PDF library
// would patch up what remains of it into a page with parts missing.
QString fileProblem(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return pictureText("The file %1 cannot be read: %2").arg(fileName, file.errorString());
    if (!looksLikePdf(file.read(1024)))
        return pictureText("The file is not a PDF document, or its header is damaged.");
    const qint64 tail = std::min<qint64>(file.size(), 2048);
    if (!file.seek(file.size() - tail) || !file.read(tail).contains("%%EOF"))
        return pictureText("The PDF document is incomplete.");
    return {};
}

QString exitText(int code, const QString &detail)
{
    switch (code) {
    case Locked:
        return pictureText("The PDF document is protected by a password.");
    case Damaged:
        return pictureText("The PDF document is damaged.");
    case NoPages:
        return pictureText("The PDF document has no page to show.");
    case TooLarge:
        return pictureText("The page is too large at this resolution (%1 pixels); at most %2 pixels are allowed in "
                           "each direction. Choose a lower resolution.").arg(detail).arg(MaxPictureSide);
    case NotDrawn:
        return pictureText("The page could not be drawn; there may not be enough memory at this resolution.");
    case NotWritten:
        return pictureText("The drawn page could not be saved in the temporary folder.");
    default:
        return detail.isEmpty() ? pictureText("The PDF document could not be read.")
                                : pictureText("The PDF document could not be read: %1").arg(detail);
    }
}

// Runs the helper to its end; on success an empty text and its output, else why not.
struct HelperRun {
    LoadStatus status = LoadStatus::Failed;
    QString error;
    QByteArray output;
};

HelperRun runHelper(const QStringList &arguments, const HelperWaiter &wait)
{
    const PdfSettings settings = pdfSettings();
    const QString program = helperProgram(settings);
    QProcess helper;
    limitHelper(helper, {settings.memoryBytes, settings.cpuSeconds, settings.outputBytes});
    helper.start(program, arguments);
    if (!helper.waitForStarted(settings.timeoutMs))
        return {LoadStatus::Failed,
                pictureText("The PDF helper %1 could not be started: %2").arg(program, helper.errorString()), {}};
    const HelperWait outcome = wait(helper, settings.timeoutMs);
    if (outcome != HelperWait::Finished) {
        helper.kill();
        helper.waitForFinished(1000);
        if (outcome == HelperWait::Cancelled)
            return {LoadStatus::Cancelled, pictureText("Reading the PDF document was cancelled."), {}};
        return {LoadStatus::Failed, pictureText("Reading the PDF document took too long and was stopped."), {}};
    }
    if (helper.exitStatus() != QProcess::NormalExit)
        return {LoadStatus::Failed, pictureText("The PDF helper stopped on this document; it may be damaged."), {}};
    if (helper.exitCode() != 0) {
        const QString detail = QString::fromLocal8Bit(helper.readAllStandardError()).trimmed();
        const QString lastLine = detail.section(QLatin1Char('\n'), -1).left(200);
        return {LoadStatus::Failed, exitText(helper.exitCode(), lastLine), {}};
    }
    return {LoadStatus::Loaded, {}, helper.readAllStandardOutput()};
}

// "pages N" then one "page W H" line a page, sizes in points written with a decimal point.
bool parsePages(const QByteArray &output, QList<PdfPage> &pages)
{
    const QList<QByteArray> lines = output.split('\n');
    const QList<QByteArray> head = lines.value(0).split(' ');
    bool ok = false;
    const int count = head.value(1).toInt(&ok);
    if (head.size() != 2 || head[0] != "pages" || !ok || count < 1 || lines.size() < count + 1)
        return false;
    for (int i = 1; i <= count; ++i) {
        const QList<QByteArray> cells = lines[i].split(' ');
        bool wOk = false, hOk = false;
        const double w = cells.value(1).toDouble(&wOk), h = cells.value(2).toDouble(&hOk);
        if (cells.size() != 3 || cells[0] != "page" || !wOk || !hOk || !(w >= 0) || !(h >= 0))
            return false;
        pages.append({QSizeF(w, h), {}});
    }
    return true;
}

// A thumbnail the helper drew, read only when it is as small as one should be.
QImage thumbnail(const QString &fileName)
{
    QImageReader reader(fileName, "png");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > PdfThumbnailSide + 1 || size.height() > PdfThumbnailSide + 1)
        return {};
    return reader.read();
}

} // namespace

PdfSettings &pdfSettings()
{
    static PdfSettings settings;
    return settings;
}

bool looksLikePdf(const QByteArray &head)
{
    // The header may follow some bytes of other matter, within the first kilobyte.
    return head.left(1024).contains("%PDF-");
}

QSize pdfPagePixels(QSizeF points, int dpi)
{
    const auto side = [dpi](double p) {
        const double pixels = std::ceil(p * dpi / 72.0 - 1e-6);
        return pixels > double(INT_MAX) ? INT_MAX : int(pixels);
    };
    return QSize(side(points.width()), side(points.height()));
}

PdfDocument readPdfPages(const QString &fileName, const HelperWaiter &wait)
{
    const QString problem = fileProblem(fileName);
    if (!problem.isEmpty())
        return {LoadStatus::Failed, {}, problem};
    QTemporaryDir dir;
    if (!dir.isValid())
        return {LoadStatus::Failed, {}, pictureText("No temporary folder for the PDF pages: %1").arg(dir.errorString())};
    const HelperRun run = runHelper({QStringLiteral("pages"), fileName, dir.path(), QString::number(PdfThumbnailSide),
                                     QString::number(MaxPdfThumbnails)},
                                    wait);
    if (run.status != LoadStatus::Loaded)
        return {run.status, {}, run.error};
    PdfDocument document;
    if (!parsePages(run.output, document.pages))
        return {LoadStatus::Failed, {}, pictureText("The PDF helper gave an answer that cannot be read.")};
    for (int i = 0; i < document.pages.size() && i < MaxPdfThumbnails; ++i)
        document.pages[i].thumbnail = thumbnail(dir.filePath(QStringLiteral("thumb-%1.png").arg(i + 1)));
    document.status = LoadStatus::Loaded;
    return document;
}

LoadedPicture renderPdfPage(const QString &fileName, const PdfPage &page, const PdfRendering &how,
                            const HelperWaiter &wait)
{
    const QSize pixels = pdfPagePixels(page.points, how.dpi);
    if (!pictureSizeAllowed(pixels))
        return LoadedPicture::failure(
            exitText(TooLarge, QStringLiteral("%1 x %2").arg(pixels.width()).arg(pixels.height())));
    if (pixels.isEmpty())
        return LoadedPicture::failure(exitText(NoPages, {}));
    QTemporaryDir dir;
    if (!dir.isValid())
        return LoadedPicture::failure(pictureText("No temporary folder for the PDF page: %1").arg(dir.errorString()));
    const QString output = dir.filePath(QStringLiteral("page.png"));
    const HelperRun run = runHelper({QStringLiteral("render"), fileName, QString::number(how.page + 1),
                                     QString::number(how.dpi), how.smooth ? QStringLiteral("smooth") : QStringLiteral("sharp"),
                                     QString::number(MaxPictureSide), output},
                                    wait);
    if (run.status != LoadStatus::Loaded)
        return {run.status, {}, run.error};
    LoadedPicture drawn = loadPicture(output);
    if (drawn.status == LoadStatus::Failed)
        drawn.error = pictureText("The page could not be drawn: %1").arg(drawn.error);
    return drawn;
}

} // namespace chartrek
