#include "scanner/ScanJob.h"

#include "scanner/ScannerTexts.h"

#include "scanner/SaneSession.h"
#include "scanner/ScanFrames.h"

#include <sane/sane.h>

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <new>
#include <thread>
#include <vector>

namespace chartrek {

namespace {

struct WorkerResult {
    ScanJob::Outcome outcome = ScanJob::Outcome::Failed;
    QImage image;
    QString error;
};

WorkerResult failed(const QString &error)
{
    return {ScanJob::Outcome::Failed, {}, error};
}

WorkerResult cancelled()
{
    return {ScanJob::Outcome::Cancelled, {}, ScannerTexts::tr("The scan was cancelled.")};
}

WorkerResult tooLarge(int limit)
{
    return {ScanJob::Outcome::TooLarge, {},
            ScannerTexts::tr("The scanned picture would be larger than %1 pixels.").arg(limit)};
}

// Where the job publishes the open handle for its cancel().
struct DeviceSlot {
    std::mutex &mutex;
    void *&handle;
};

// An open device; closing it on every way out keeps a failed or cancelled scan from
// leaving the scanner blocked for the next one.
class OpenDevice {
public:
    OpenDevice(SANE_Handle handle, DeviceSlot slot) : mHandle(handle), mSlot(slot)
    {
        std::lock_guard guard(mSlot.mutex);
        mSlot.handle = mHandle;
    }
    ~OpenDevice()
    {
        {
            std::lock_guard guard(mSlot.mutex);
            mSlot.handle = nullptr;
        }
        sane_cancel(mHandle);
        auto guard = SaneSession::lock();
        sane_close(mHandle);
    }
    OpenDevice(const OpenDevice &) = delete;
    OpenDevice &operator=(const OpenDevice &) = delete;

private:
    SANE_Handle mHandle;
    DeviceSlot mSlot;
};

QString setOption(SANE_Handle handle, const ScanOption &option)
{
    const QString name = QString::fromUtf8(option.name);
    SANE_Int count = 0;
    if (sane_control_option(handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
        count = 0;
    SANE_Int index = 1;
    const SANE_Option_Descriptor *desc = nullptr;
    for (; index < count; ++index) {
        desc = sane_get_option_descriptor(handle, index);
        if (desc && desc->name && option.name == desc->name)
            break;
    }
    if (index >= count)
        return ScannerTexts::tr("The scanner has no option \"%1\".").arg(name);
    if (!SANE_OPTION_IS_ACTIVE(desc->cap) || !SANE_OPTION_IS_SETTABLE(desc->cap))
        return ScannerTexts::tr("The scanner option \"%1\" cannot be set now.").arg(name);

    SANE_Word word = 0;
    std::vector<char> text;
    void *value = &word;
    bool ok = true;
    switch (desc->type) {
    case SANE_TYPE_BOOL:
        word = option.value.toBool() ? SANE_TRUE : SANE_FALSE;
        break;
    case SANE_TYPE_INT:
        word = option.value.toInt(&ok);
        break;
    case SANE_TYPE_FIXED:
        word = SANE_FIX(option.value.toDouble(&ok));
        break;
    case SANE_TYPE_STRING: {
        const QByteArray utf8 = option.value.toString().toUtf8();
        ok = utf8.size() < desc->size;
        text.assign(std::size_t(std::max(desc->size, SANE_Int(1))), '\0');
        if (ok)
            std::copy(utf8.begin(), utf8.end(), text.begin());
        value = text.data();
        break;
    }
    case SANE_TYPE_BUTTON:
        value = nullptr;
        break;
    default:
        ok = false;
    }
    const bool scalar = desc->type == SANE_TYPE_STRING || desc->type == SANE_TYPE_BUTTON
                        || desc->size == SANE_Int(sizeof(SANE_Word));
    if (!ok || !scalar)
        return ScannerTexts::tr("The scanner option \"%1\" cannot take the value \"%2\".")
            .arg(name, option.value.toString());
    SANE_Int info = 0;
    const SANE_Status status = sane_control_option(handle, index, SANE_ACTION_SET_VALUE, value, &info);
    if (status != SANE_STATUS_GOOD)
        return ScannerTexts::tr("The scanner option \"%1\" could not be set: %2").arg(name, SaneSession::statusText(status));
    return {};
}

// Where the backend can signal readiness through a descriptor, reads become non-blocking
// and the worker waits on the descriptor in short steps, so a cancel is seen even while
// the device sends nothing (a lamp warming up). Returns -1 for plain blocking reads.
int useSelectDescriptor(SANE_Handle handle)
{
    if (sane_set_io_mode(handle, SANE_TRUE) != SANE_STATUS_GOOD)
        return -1;
    SANE_Int fd = -1;
    if (sane_get_select_fd(handle, &fd) == SANE_STATUS_GOOD && fd >= 0)
        return fd;
    sane_set_io_mode(handle, SANE_FALSE);
    return -1;
}

enum class Wait { Ready, Cancelled, Useless };

// Waits until the descriptor has data or the scan is cancelled. A descriptor that is hung
// up, in error or not open answers at once every time, and waiting on it would spin: Useless.
Wait waitForData(int fd, const std::atomic_bool &cancel)
{
    pollfd entry{fd, POLLIN, 0};
    for (;;) {
        if (cancel)
            return Wait::Cancelled;
        const int ready = poll(&entry, 1, 100);
        if (ready > 0)
            return entry.revents & (POLLERR | POLLHUP | POLLNVAL) ? Wait::Useless : Wait::Ready;
        if (ready < 0 && errno != EINTR)
            return Wait::Useless;
    }
}

ScanFrameFormat formatOf(const SANE_Parameters &p)
{
    return {int(p.format), p.depth, p.pixels_per_line, p.bytes_per_line, p.lines, p.last_frame == SANE_TRUE};
}

// Reads frames until the device says the last one is done. Frames of separate colours
// (older three-pass scanners) come as three frames, each started on its own.
WorkerResult readFrames(SANE_Handle handle, int sizeLimit, const std::atomic_bool &cancel,
                        const std::function<void(int)> &report)
{
    constexpr int bufferSize = 64 * 1024;
    std::vector<SANE_Byte> buffer(bufferSize);
    QList<ScanFrame> frames;
    int lastPercent = -2;
    for (;;) {
        if (cancel)
            return cancelled();
        SANE_Status status = sane_start(handle);
        if (cancel)
            return cancelled();
        if (status != SANE_STATUS_GOOD)
            return failed(ScannerTexts::tr("The scan could not be started: %1").arg(SaneSession::statusText(status)));
        SANE_Parameters parameters{};
        status = sane_get_parameters(handle, &parameters);
        if (status != SANE_STATUS_GOOD)
            return failed(ScannerTexts::tr("The scanner did not describe its picture: %1").arg(SaneSession::statusText(status)));
        ScanFrame frame{formatOf(parameters), {}};
        QString error;
        if (!isSupportedScanFrame(frame.format, &error))
            return failed(error);
        if (frame.format.pixelsPerLine > sizeLimit || frame.format.lines > sizeLimit)
            return tooLarge(sizeLimit);
        // Past this many bytes a frame of unknown height has more lines than the limit.
        const qint64 bytesAllowed = qint64(sizeLimit) * frame.format.bytesPerLine;

        const bool separateColours = frame.format.format >= SANE_FRAME_RED && frame.format.format <= SANE_FRAME_BLUE;
        const int framesExpected = separateColours ? 3 : 1;
        if (frames.size() >= framesExpected)
            return failed(ScannerTexts::tr("The scanner sent more frames than a picture has."));
        const qint64 frameBytes = expectedScanFrameBytes(frame.format);
        if (frameBytes > 0)
            frame.data.reserve(frameBytes);

        const qint64 doneBefore = frameBytes > 0 ? frames.size() * frameBytes : 0;
        auto reportProgress = [&] {
            const int percent = frameBytes > 0
                ? int((doneBefore + frame.data.size()) * 100 / (framesExpected * frameBytes))
                : -1;
            if (percent != lastPercent) {
                lastPercent = percent;
                report(percent);
            }
        };
        reportProgress();
        int selectFd = useSelectDescriptor(handle);
        bool nonBlocking = selectFd >= 0;
        for (;;) {
            if (selectFd >= 0 && waitForData(selectFd, cancel) == Wait::Useless) {
                // Read on without the descriptor; a cancel interrupts a blocking read.
                selectFd = -1;
                nonBlocking = sane_set_io_mode(handle, SANE_FALSE) != SANE_STATUS_GOOD;
            }
            if (cancel)
                return cancelled();
            SANE_Int length = 0;
            status = sane_read(handle, buffer.data(), bufferSize, &length);
            // A cancel can end the read with any status, end of data included.
            if (cancel)
                return cancelled();
            if (status == SANE_STATUS_EOF)
                break;
            if (status != SANE_STATUS_GOOD)
                return failed(ScannerTexts::tr("The scanner stopped: %1").arg(SaneSession::statusText(status)));
            if (length < 0 || length > bufferSize)
                return failed(ScannerTexts::tr("The scanner reported %1 bytes read into %2.").arg(length).arg(bufferSize));
            if (length == 0 && nonBlocking && selectFd < 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(10)); // nothing to wait on
            // More than announced is dropped; the picture has the announced size.
            qint64 take = length;
            if (frameBytes >= 0)
                take = std::min<qint64>(take, frameBytes - frame.data.size());
            frame.data.append(reinterpret_cast<const char *>(buffer.data()), take);
            if (frame.data.size() > bytesAllowed)
                return tooLarge(sizeLimit);
            reportProgress();
        }
        frames.append(std::move(frame));
        if (frames.last().format.lastFrame || frames.size() == 3)
            break;
    }
    QString error;
    std::optional<QImage> image = imageFromScanFrames(frames, &error);
    if (!image)
        return failed(error);
    if (lastPercent != 100)
        report(100);
    return {ScanJob::Outcome::Scanned, std::move(*image), {}};
}

WorkerResult scan(const QString &deviceName, const ScanOptions &options, int sizeLimit,
                  const std::atomic_bool &cancel, DeviceSlot slot, const std::function<void(int)> &report)
{
    SaneSession session;
    if (!session.isReady())
        return failed(session.errorString());
    if (cancel)
        return cancelled();
    SANE_Handle handle = nullptr;
    SANE_Status status;
    {
        auto guard = SaneSession::lock();
        status = sane_open(deviceName.toUtf8().constData(), &handle);
    }
    if (status != SANE_STATUS_GOOD || !handle)
        return failed(ScannerTexts::tr("The scanner \"%1\" could not be opened: %2").arg(deviceName, SaneSession::statusText(status)));
    OpenDevice device(handle, slot);
    for (const ScanOption &option : options) {
        const QString error = setOption(handle, option);
        if (!error.isEmpty())
            return failed(error);
    }
    try {
        return readFrames(handle, sizeLimit, cancel, report);
    } catch (const std::bad_alloc &) {
        return failed(ScannerTexts::tr("There is not enough memory for the scanned picture."));
    }
}

} // namespace

ScanJob::ScanJob(QString deviceName, ScanOptions options, QObject *parent)
    : QObject(parent), mDeviceName(std::move(deviceName)), mOptions(std::move(options))
{
}

ScanJob::~ScanJob()
{
    cancel();
    if (mThread.joinable())
        mThread.join();
}

void ScanJob::start()
{
    if (mThread.joinable() || mOutcome != Outcome::NotFinished)
        return;
    mThread = std::thread([this] {
        auto report = [this](int percent) {
            QMetaObject::invokeMethod(this, [this, percent] { emit progress(percent); }, Qt::QueuedConnection);
        };
        WorkerResult result = scan(mDeviceName, mOptions, mSizeLimit, mCancel, {mDeviceMutex, mDevice}, report);
        QMetaObject::invokeMethod(
            this,
            [this, result = std::move(result)]() mutable {
                finish(result.outcome, std::move(result.image), std::move(result.error));
            },
            Qt::QueuedConnection);
    });
}

void ScanJob::cancel()
{
    // The flag first: the worker then takes whatever the interrupted read returns for the cancel.
    mCancel = true;
    std::lock_guard guard(mDeviceMutex);
    if (mDevice)
        sane_cancel(mDevice);
}

void ScanJob::finish(Outcome outcome, QImage image, QString error)
{
    mThread.join();
    // A cancel the worker could no longer see still wins: the person asked for no picture.
    if (mCancel && outcome == Outcome::Scanned) {
        outcome = Outcome::Cancelled;
        image = QImage();
        error = ScannerTexts::tr("The scan was cancelled.");
    }
    mOutcome = outcome;
    mImage = std::move(image);
    mError = std::move(error);
    emit finished();
}

} // namespace chartrek
