#include "project/RecoveryCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <mutex>

namespace chartrek {

struct RecoveryCopy::Encoded {
    std::mutex lock;
    qint64 key = 0;
    QByteArray png;
};

namespace {
// A few seconds after a change: often enough to lose little, seldom enough to cost nothing.
constexpr int kDefaultDelayMs = 3000;

bool writeCopy(const QString &path, const Project &project, RecoveryCopy::Encoded *encoded)
{
    QByteArray png;
    {
        std::lock_guard<std::mutex> guard(encoded->lock);
        if (encoded->key == project.picture.cacheKey())
            png = encoded->png;
    }
    if (png.isEmpty()) {
        png = encodePicture(project.picture);
        std::lock_guard<std::mutex> guard(encoded->lock);
        encoded->key = project.picture.cacheKey();
        encoded->png = png;
    }
    // The folder holds one's unsaved work: for its owner only.
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QString error;
    return !png.isEmpty() && writeProject(path, project, &error, png);
}
} // namespace

RecoveryCopy::RecoveryCopy(std::function<Project()> snapshot, QString path, QObject *parent)
    : QObject(parent), mSnapshot(std::move(snapshot)), mPath(std::move(path)), mEncoded(std::make_shared<Encoded>())
{
    setObjectName(QStringLiteral("recoveryCopy"));
    mTimer.setSingleShot(true);
    mTimer.setInterval(kDefaultDelayMs);
    connect(&mTimer, &QTimer::timeout, this, &RecoveryCopy::startWrite);
}

RecoveryCopy::~RecoveryCopy()
{
    waitForWriter();
}

QString RecoveryCopy::defaultPath()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/chartrek/recovery.chartrek");
}

std::optional<QDateTime> RecoveryCopy::found() const
{
    const QFileInfo info(mPath);
    if (!info.isFile())
        return std::nullopt;
    return info.lastModified();
}

void RecoveryCopy::figureChanged(bool modified)
{
    if (!modified) {
        discard();
        return;
    }
    if (mWriter)
        mPending = true; // written again once the write under way has ended
    else if (!mTimer.isActive())
        mTimer.start();
}

void RecoveryCopy::startWrite()
{
    if (mWriter) {
        mPending = true;
        return;
    }
    mPending = false;
    // The snapshot shares the picture's pixels with the window: taking it costs next to nothing.
    Project project = mSnapshot();
    if (project.picture.isNull())
        return;
    std::shared_ptr<Encoded> encoded = mEncoded;
    const QString path = mPath;
    mWriter = QThread::create([this, project = std::move(project), encoded, path] {
        mWriterOk = writeCopy(path, project, encoded.get());
    });
    QThread *writer = mWriter;
    // A writer already waited for is gone; its late report is not taken for a later one's.
    connect(mWriter, &QThread::finished, this, [this, writer] {
        if (writer == mWriter)
            writerFinished();
    });
    mWriter->start(QThread::LowPriority);
}

void RecoveryCopy::writerFinished()
{
    mWriter->wait();
    delete mWriter;
    mWriter = nullptr;
    emit written(mWriterOk);
    if (mPending)
        mTimer.start();
}

void RecoveryCopy::waitForWriter()
{
    if (!mWriter)
        return;
    mWriter->wait();
    delete mWriter;
    mWriter = nullptr;
}

bool RecoveryCopy::writeNow()
{
    mTimer.stop();
    waitForWriter();
    mPending = false;
    const Project project = mSnapshot();
    if (project.picture.isNull())
        return false;
    const bool ok = writeCopy(mPath, project, mEncoded.get());
    emit written(ok);
    return ok;
}

void RecoveryCopy::discard()
{
    mTimer.stop();
    mPending = false;
    waitForWriter();
    QFile::remove(mPath);
}

} // namespace chartrek
