#include "picture/PdfThumbnails.h"

#include "picture/PdfPages.h"

#include <QFile>
#include <QImageReader>
#include <QProcess>

namespace chartrek {

namespace {

// Pages a helper run draws: about a screenful, so that the first come soon.
constexpr int kBatch = 24;

} // namespace

PdfThumbnails::PdfThumbnails(const QString &fileName, int side, QObject *parent)
    : QObject(parent), mFileName(fileName), mSide(side)
{
    mDeadline.setSingleShot(true);
    connect(&mDeadline, &QTimer::timeout, this, [this] {
        stopHelper();
        runEnded();
    });
}

PdfThumbnails::~PdfThumbnails()
{
    stopHelper();
}

void PdfThumbnails::request(const QList<int> &pages)
{
    mWanted.clear();
    for (const int page : pages) {
        if (!mDone.contains(page) && !mRunning.contains(page))
            mWanted.append(page);
    }
    if (!mHelper)
        startNext();
}

void PdfThumbnails::startNext()
{
    if (mWanted.isEmpty() || !mDir.isValid())
        return;
    mRunning = mWanted.mid(0, kBatch);
    mWanted.remove(0, mRunning.size());
    QStringList arguments{QStringLiteral("thumbs"), mFileName, mDir.path(), QString::number(mSide)};
    for (const int page : std::as_const(mRunning))
        arguments << QString::number(page + 1);

    const PdfSettings &settings = pdfSettings();
    mHelper = std::make_unique<QProcess>();
    limitHelper(*mHelper, {settings.memoryBytes, settings.thumbnailCpuSeconds, settings.outputBytes});
    // The library's complaints are of no use here, and a hostile file makes many.
    mHelper->setStandardErrorFile(QProcess::nullDevice());
    connect(mHelper.get(), &QProcess::readyReadStandardOutput, this, &PdfThumbnails::readDrawn);
    connect(mHelper.get(), &QProcess::finished, this, &PdfThumbnails::runEnded);
    connect(mHelper.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        // Without a helper no page gets a thumbnail; there is nothing to try again.
        for (const int page : std::as_const(mRunning) + mWanted)
            mDone.insert(page);
        mRunning.clear();
        mWanted.clear();
        runEnded();
    });
    mDeadline.start(settings.thumbnailTimeoutMs);
    mHelper->start(pdfHelperProgram(), arguments);
}

void PdfThumbnails::readDrawn()
{
    while (mHelper && mHelper->canReadLine()) {
        const QList<QByteArray> cells = mHelper->readLine().trimmed().split(' ');
        bool ok = false;
        const int page = cells.value(1).toInt(&ok) - 1;
        if (cells.size() != 2 || cells[0] != "thumb" || !ok || !mRunning.contains(page))
            continue;
        mRunning.removeOne(page);
        mDone.insert(page);
        const QString file = mDir.filePath(QStringLiteral("thumb-%1.png").arg(page + 1));
        QImageReader reader(file, "png");
        // Read only when it is as small as a thumbnail should be.
        const QSize size = reader.size();
        const QImage thumbnail = size.isValid() && size.width() <= mSide + 1 && size.height() <= mSide + 1
            ? reader.read()
            : QImage();
        QFile::remove(file);
        if (!thumbnail.isNull())
            emit drawn(page, thumbnail);
    }
}

void PdfThumbnails::runEnded()
{
    mDeadline.stop();
    readDrawn();
    if (!mRunning.isEmpty()) {
        // The page the run stopped at is given up; the rest are drawn by the next run.
        mDone.insert(mRunning.takeFirst());
        mWanted = mRunning + mWanted;
        mRunning.clear();
    }
    if (mHelper) {
        mHelper->disconnect(this);
        // Its own signal may be running: deleted once that has returned.
        mHelper.release()->deleteLater();
    }
    startNext();
}

void PdfThumbnails::stopHelper()
{
    if (!mHelper)
        return;
    mHelper->disconnect(this);
    mHelper->kill();
    mHelper->waitForFinished(1000);
}

} // namespace chartrek
