#pragma once

#include "picture/ImageOps.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <atomic>
#include <mutex>
#include <thread>

namespace chartrek {

// A device option to set before scanning, by its SANE name ("mode", "resolution", ...).
// Strings, whole numbers, fractional numbers and booleans are converted to the option's
// own type. Options are set in list order, since one option can enable another.
struct ScanOption {
    QByteArray name;
    QVariant value;
};
using ScanOptions = QList<ScanOption>;

// One acquisition from one device. The device is opened, read and closed on a worker
// thread so that the window stays responsive; progress() and finished() arrive on the
// thread that owns the job. The device is closed again however the scan ends.
class ScanJob : public QObject {
    Q_OBJECT
public:
    // Cancelled is the person's cancel only; a device that ends the scan by itself has Failed.
    // TooLarge: the picture would be wider or higher than the size limit.
    enum class Outcome { NotFinished, Scanned, Cancelled, Failed, TooLarge };

    explicit ScanJob(QString deviceName, ScanOptions options = {}, QObject *parent = nullptr);
    // Cancels a scan still running and waits until the worker has closed the device.
    ~ScanJob() override;

    // The largest width and height taken, MaxPictureSide unless set before start(). A scan
    // that reaches past it stops at once; tests lower it to reach it with a small scan.
    void setSizeLimit(int pixels) { mSizeLimit = pixels; }
    // Starts the scan; a job runs once.
    void start();
    // Stops the scan, also a read that is waiting on the device; finished() follows with
    // Outcome::Cancelled and no picture.
    void cancel();

    bool isRunning() const { return mThread.joinable(); }
    Outcome outcome() const { return mOutcome; }
    // The picture after Outcome::Scanned; null otherwise.
    const QImage &image() const { return mImage; }
    // Why the scan ended without a picture (Cancelled or Failed).
    QString errorString() const { return mError; }

signals:
    // Percent of the announced data read so far, 0 to 100; -1 when the device cannot
    // tell the size in advance.
    void progress(int percent);
    void finished();

private:
    void finish(Outcome outcome, QImage image, QString error);

    QString mDeviceName;
    ScanOptions mOptions;
    int mSizeLimit = MaxPictureSide;
    std::thread mThread;
    std::atomic_bool mCancel = false;
    // The device while the worker has it open, so that cancel() can interrupt a read: the
    // worker's close takes the mutex, so a cancel never reaches a closed handle.
    std::mutex mDeviceMutex;
    void *mDevice = nullptr;
    Outcome mOutcome = Outcome::NotFinished;
    QImage mImage;
    QString mError;
};

} // namespace chartrek
