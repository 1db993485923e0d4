#include "ScannerTestSetup.h"
#include "picture/ImageOps.h"
#include "scanner/SaneSession.h"
#include "scanner/ScanDevices.h"
#include "scanner/ScanJob.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <sane/sane.h>

#include <dlfcn.h>
#include <unistd.h>

#include <condition_variable>
#include <memory>

using namespace chartrek;

Q_DECLARE_METATYPE(chartrek::ScanOptions)

namespace {

const QString device = QStringLiteral("test:0");

std::unique_ptr<ScanJob> runScan(const QString &name, const ScanOptions &options, int sizeLimit = MaxPictureSide)
{
    auto job = std::make_unique<ScanJob>(name, options);
    job->setSizeLimit(sizeLimit);
    QSignalSpy finished(job.get(), &ScanJob::finished);
    job->start();
    if (!finished.wait(20000))
        qWarning("scan did not finish");
    return job;
}

// Link seams in front of the SANE library. gStall: the next read, having taken its data, waits
// for sane_cancel (ten seconds at most), as a read waiting for a scanner's lamp does.
// gSelectFd: the descriptor the device offers.
//
// The test backend's reader thread can hang the process when a cancel catches it writing into
// a full pipe, so every picture here fits into the pipe.
std::mutex gMutex;
std::condition_variable gCancelCalled;
std::atomic_bool gStall = false, gStalled = false, gStallCancelled = false;
int gSelectFd = -1;
std::atomic_int gReads = 0;

template<typename F> F realSane(const char *name) { return reinterpret_cast<F>(dlsym(RTLD_NEXT, name)); }

} // namespace

extern "C" SANE_Status sane_read(SANE_Handle handle, SANE_Byte *data, SANE_Int max, SANE_Int *length)
{
    ++gReads;
    const SANE_Status status = realSane<decltype(&sane_read)>("sane_read")(handle, data, max, length);
    if (!gStall.exchange(false))
        return status;
    std::unique_lock lock(gMutex);
    gStalled = true;
    gStallCancelled = gCancelCalled.wait_for(lock, std::chrono::seconds(10), [] { return !gStalled; });
    *length = 0;
    return SANE_STATUS_CANCELLED;
}

extern "C" void sane_cancel(SANE_Handle handle)
{
    std::unique_lock lock(gMutex);
    gStalled = false;
    gCancelCalled.notify_all();
    lock.unlock();
    realSane<decltype(&sane_cancel)>("sane_cancel")(handle);
}

extern "C" SANE_Status sane_get_select_fd(SANE_Handle handle, SANE_Int *fd)
{
    if (gSelectFd < 0)
        return realSane<decltype(&sane_get_select_fd)>("sane_get_select_fd")(handle, fd);
    *fd = gSelectFd;
    return SANE_STATUS_GOOD;
}

class TestScanJob : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::useTestScanner(); }

    void scanGivesThePicture_data()
    {
        QTest::addColumn<ScanOptions>("options");
        QTest::addColumn<QImage::Format>("format");
        QTest::newRow("gray, 8 bits") << ScanOptions{} << QImage::Format_Grayscale8;
        QTest::newRow("lineart, 1 bit") << ScanOptions{{"depth", 1}} << QImage::Format_Mono;
        QTest::newRow("colour in one frame") << ScanOptions{{"mode", "Color"}} << QImage::Format_RGB888;
        QTest::newRow("colour in three passes") << ScanOptions{{"mode", "Color"}, {"three-pass", true}}
                                                << QImage::Format_RGB888;
    }
    void scanGivesThePicture()
    {
        QFETCH(ScanOptions, options);
        QFETCH(QImage::Format, format);
        ScanJob job(device, options);
        QList<int> percents;
        bool onOwnThread = true;
        connect(&job, &ScanJob::progress, this, [&](int percent) {
            percents << percent;
            onOwnThread = onOwnThread && QThread::currentThread() == thread();
        });
        QSignalSpy finished(&job, &ScanJob::finished);
        job.start();
        QVERIFY(finished.wait(20000));
        QVERIFY2(job.outcome() == ScanJob::Outcome::Scanned, qPrintable(job.errorString()));
        QCOMPARE(job.image().size(), QSize(78, 39));
        QCOMPARE(job.image().format(), format);
        // The backend's grid: 10 mm squares at 25 dpi, the top left one white.
        const QImage gray = job.image().convertToFormat(QImage::Format_Grayscale8);
        const double square = 10.0 / 25.4 * 25;
        for (double cy = square / 2; cy < gray.height(); cy += square)
            for (double cx = square / 2; cx < gray.width(); cx += square)
                QCOMPARE(qGray(gray.pixel(int(cx), int(cy))) < 128, (int(cx / square) + int(cy / square)) % 2 == 1);
        QVERIFY(onOwnThread);
        QCOMPARE(percents.last(), 100);
        QVERIFY2(std::is_sorted(percents.begin(), percents.end()), "progress goes forward");
    }

    // A limit of 150 pixels stands in for 32760.
    void failuresAreReported_data()
    {
        QTest::addColumn<QString>("deviceName");
        QTest::addColumn<ScanOptions>("options");
        QTest::addColumn<ScanJob::Outcome>("outcome");
        QTest::addColumn<QString>("errorPart");
        const auto failed = ScanJob::Outcome::Failed;
        const auto stopped = [](SANE_Status status) { return "The scanner stopped: " + QString::fromUtf8(sane_strstatus(status)); };
        QTest::newRow("unknown device") << "nosuch:0" << ScanOptions{} << failed
                                        << "The scanner \"nosuch:0\" could not be opened: ";
        QTest::newRow("option the device lacks") << device << ScanOptions{{"brightness", 3}} << failed
                                                 << "The scanner has no option \"brightness\".";
        QTest::newRow("inactive option") << device << ScanOptions{{"read-delay-duration", 5000}} << failed
                                         << "The scanner option \"read-delay-duration\" cannot be set now.";
        QTest::newRow("value the option refuses") << device << ScanOptions{{"mode", "Red"}} << failed
                                                  << "The scanner option \"mode\" could not be set: ";
        QTest::newRow("paper jam while reading")
            << device << ScanOptions{{"read-return-value", "SANE_STATUS_JAMMED"}} << failed << stopped(SANE_STATUS_JAMMED);
        QTest::newRow("cancelled at the device, not by the person")
            << device << ScanOptions{{"read-return-value", "SANE_STATUS_CANCELLED"}} << failed << stopped(SANE_STATUS_CANCELLED);
        // The hand scanner sends 167 lines of 108 pixels without announcing the lines.
        QTest::newRow("unknown height stopped at the size limit")
            << device << ScanOptions{{"hand-scanner", true}} << ScanJob::Outcome::TooLarge << "larger than 150 pixels";
    }
    void failuresAreReported()
    {
        QFETCH(QString, deviceName);
        QFETCH(ScanOptions, options);
        QFETCH(ScanJob::Outcome, outcome);
        QFETCH(QString, errorPart);
        const auto job = runScan(deviceName, options, 150);
        QCOMPARE(job->outcome(), outcome);
        QVERIFY(job->image().isNull());
        QVERIFY2(job->errorString().contains(errorPart), qPrintable(job->errorString()));
        QCOMPARE(runScan(device, {})->outcome(), ScanJob::Outcome::Scanned); // the device was closed
    }

    // A cancel wins over whatever the worker is doing.
    void cancelGivesNoPicture_data()
    {
        QTest::addColumn<bool>("duringARead");
        QTest::newRow("a read waiting on the device is interrupted") << true;
        // progress(100) is queued before finished(): the worker has read all, the job not reported.
        QTest::newRow("after the last read") << false;
    }
    void cancelGivesNoPicture()
    {
        QFETCH(bool, duringARead);
        gStall = duringARead;
        ScanJob job(device);
        connect(&job, &ScanJob::progress, &job, [&job, duringARead](int percent) {
            if (!duringARead && percent == 100)
                job.cancel();
        });
        QSignalSpy finished(&job, &ScanJob::finished);
        job.start();
        if (duringARead) {
            QTRY_VERIFY(gStalled);
            job.cancel();
        }
        QVERIFY(finished.wait(20000));
        QVERIFY2(!duringARead || gStallCancelled, "the read was interrupted, not waited out");
        QCOMPARE(job.outcome(), ScanJob::Outcome::Cancelled);
        QVERIFY(job.image().isNull());
    }

    void hungUpSelectDescriptorIsNotSpunOn()
    {
        int ends[2];
        QCOMPARE(pipe(ends), 0);
        close(ends[1]);
        gSelectFd = ends[0];
        gReads = 0;
        // Two pieces, 100 ms apart: blocking reads take them in a few reads.
        const auto job = runScan(device, {{"non-blocking", true}, {"select-fd", true}, {"read-delay", true},
                                          {"read-delay-duration", 100000}});
        gSelectFd = -1;
        close(ends[0]);
        QCOMPARE(job->outcome(), ScanJob::Outcome::Scanned);
        QVERIFY2(gReads < 50, qPrintable(QString::number(gReads) + " reads"));
    }

    void abandonedSearchEndsBeforeTheProgram()
    {
        const auto threads = [] { return QDir(QStringLiteral("/proc/self/task")).count(); };
        const auto before = threads();
        auto backends = SaneSession::lock(); // keeps the search inside the backends
        auto *query = new ScanDeviceQuery;
        query->start();
        query->abandon();
        backends.unlock();
        ScanDeviceQuery::waitForRunningSearches();
        QCOMPARE(threads(), before);
    }
};

QTEST_GUILESS_MAIN(TestScanJob)
#include "test_scan_job.moc"
