#include "axes/FindAxes.h"

#include "axes/AxesCalibration.h"
#include "core/Twips.h"
#include "picture/ImageControl.h"

#include <QCursor>
#include <QLabel>
#include <QProgressDialog>
#include <QStatusBar>

namespace chartrek {

namespace {

QString axisWord(const FoundAxis &axis, const char *name)
{
    return FindAxes::tr("%1 %2 (%3 ticks)")
        .arg(QLatin1String(name), axis.log ? FindAxes::tr("logarithmic") : FindAxes::tr("linear"))
        .arg(axis.ticks);
}

} // namespace

QString FindAxes::nothingFoundText()
{
    return tr("No axis could be found with certainty; the calibration is unchanged.");
}

FindAxes::FindAxes(const Controls &controls, const Services &services, QObject *parent)
    : QObject(parent), mC(controls), mS(services)
{
    mConfidence = new QLabel(&mC.statusBar);
    mConfidence->setObjectName(QStringLiteral("lblAxesConfidence"));
    mC.statusBar.addPermanentWidget(mConfidence);
}

FindAxes::~FindAxes()
{
    if (mCancel)
        *mCancel = true;
    if (mWorker.joinable())
        mWorker.join();
}

QString FindAxes::confidenceText() const
{
    return mConfidence->text();
}

std::optional<QPointF> FindAxes::toPicturePixels(float x, float y) const
{
    const ImageControl &p = mC.picture;
    const PictureCoords at = ControlToPicture(x, y, p.displayLeft(), p.displayTop(), mS.calibration.state().mViewScale);
    const QPointF pixel(-at.x / kTwipsPerPixel, -at.y / kTwipsPerPixel);
    if (pixel.x() < 0 || pixel.y() < 0 || pixel.x() >= p.image().width() || pixel.y() >= p.image().height())
        return std::nullopt;
    return pixel;
}

void FindAxes::pictureMouseDown(int, int, float x, float y)
{
    if (const auto pixel = toPicturePixels(x, y))
        mLastClick = pixel;
}

void FindAxes::pictureReplaced()
{
    mConfidence->clear();
    mLastClick.reset();
}

std::optional<QPointF> FindAxes::hint() const
{
    const QPoint pointer = mC.picture.mapFromGlobal(QCursor::pos());
    if (mC.picture.rect().contains(pointer)) {
        if (const auto pixel = toPicturePixels(float(pointer.x() * kTwipsPerPixel), float(pointer.y() * kTwipsPerPixel)))
            return pixel;
    }
    return mLastClick;
}

void FindAxes::mnuEditFindAxes_Click()
{
    if (mRunning || !mC.clean.hasBitmap())
        return;
    // A cancelled search ends at its next label; it is waited for before the next starts.
    if (mWorker.joinable())
        mWorker.join();
    mRunning = true;
    mLong.emplace(mS.longOperations);
    emit runningChanged(true);
    const quint64 run = ++mRun;
    mCancel = std::make_shared<std::atomic_bool>(false);
    const QImage picture = mC.clean.image();
    mPictureKey = picture.cacheKey();
    *mSearching = true;
    mWorker = std::thread([this, run, picture, hint = hint(), cancel = mCancel, searching = mSearching] {
        LabelReader reader;
        AxesProposal found;
        if (reader.isReady())
            found = AxisFinder(reader).find(picture, hint, cancel.get());
        else
            found.x.problem = found.y.problem = reader.errorString();
        QMetaObject::invokeMethod(this, [this, run, found] { searched(run, found); }, Qt::QueuedConnection);
        *searching = false;
    });

    // A search of a second or less shows no dialog; a longer one can be cancelled.
    mProgress = new QProgressDialog(tr("Finding the axes..."), tr("Cancel"), 0, 0, &mC.window);
    mProgress->setObjectName(QStringLiteral("findAxesProgress"));
    mProgress->setWindowTitle(tr("Find axes"));
    mProgress->setWindowModality(Qt::WindowModal);
    mProgress->setMinimumDuration(400);
    mProgress->setAutoClose(false);
    mProgress->setAutoReset(false);
    mProgress->setValue(0); // starts the clock of the minimum duration
    connect(mProgress, &QProgressDialog::canceled, this, [this] { stop(true); });
}

void FindAxes::stop(bool cancelled)
{
    if (!mRunning)
        return;
    if (cancelled) {
        *mCancel = true;
        ++mRun; // whatever the search still sends is for no one
        mConfidence->setText(tr("Find axes cancelled"));
    }
    if (mProgress) {
        mProgress->blockSignals(true);
        mProgress->deleteLater();
        mProgress.clear();
    }
    mRunning = false;
    mLong.reset();
    emit runningChanged(false);
    emit finished();
}

void FindAxes::searched(quint64 run, const AxesProposal &found)
{
    if (run != mRun)
        return;
    if (mWorker.joinable())
        mWorker.join();
    if (!mC.clean.hasBitmap() || mC.clean.image().cacheKey() != mPictureKey) {
        mConfidence->setText(tr("The picture changed during Find axes; nothing was set"));
        stop(false);
        return;
    }
    std::optional<AxisSetting> x, y;
    if (found.x.sure)
        x = axisSetting(found.x);
    if (found.y.sure)
        y = axisSetting(found.y);
    if (x || y)
        applyAxisSettings(mS.calibration, mS.points, x, y);

    QString text;
    if (found.sure()) {
        text = tr("Axes found, sure: %1, %2").arg(axisWord(found.x, "x"), axisWord(found.y, "y"));
    } else if (x || y) {
        const FoundAxis &unsure = x ? found.y : found.x;
        text = tr("%1 axis found, sure: %2; the %3 axis is unchanged: %4")
                   .arg(x ? QStringLiteral("x") : QStringLiteral("y"), x ? axisWord(found.x, "x") : axisWord(found.y, "y"),
                        x ? QStringLiteral("y") : QStringLiteral("x"), unsure.problem);
    } else {
        text = found.x.problem == found.y.problem ? tr("Axes not found: %1").arg(found.x.problem)
                                                  : tr("Axes not found: %1; %2").arg(found.x.problem, found.y.problem);
    }
    mConfidence->setText(text);
    stop(false);
    for (const FoundAxis *axis : {x ? &found.x : nullptr, y ? &found.y : nullptr}) {
        if (!axis)
            continue;
        const bool isX = axis == &found.x;
        for (const AxisReference *ref : {&axis->first, &axis->second})
            markReference(isX ? ref->along : ref->across, isX ? ref->across : ref->along);
    }
    if (!x && !y) {
        // Both axes share one reason when the search could not start (no recognition data).
        const QString why = found.x.problem == found.y.problem
                                ? found.x.problem
                                : found.x.problem + QStringLiteral(";\n") + found.y.problem + QLatin1Char('.');
        mS.messages.ShowInfo(nothingFoundText() + QStringLiteral("\n") + why);
    }
}

// A small cross over the picture on the screen at a reference (picture pixels).
void FindAxes::markReference(double px, double py)
{
    const ImageControl &p = mC.picture;
    const double scale = mS.calibration.state().mViewScale;
    const qint32 x = qint32(std::lround(p.displayLeft() + px * kTwipsPerPixel / scale));
    const qint32 y = qint32(std::lround(p.displayTop() + py * kTwipsPerPixel / scale));
    const qint32 arm = 6 * kTwipsPerPixel;
    mC.picture.invertLine(x - arm, y, x + arm + kTwipsPerPixel, y);
    mC.picture.invertLine(x, y - arm, x, y - kTwipsPerPixel / 2);
    mC.picture.invertLine(x, y + kTwipsPerPixel, x, y + arm + kTwipsPerPixel);
}

} // namespace chartrek
