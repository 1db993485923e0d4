#include "ScannerTestSetup.h"
#include "picture/ImageOps.h"
#include "scanner/SaneSession.h"
#include "scanner/ScanFrames.h"
#include "scanner/ScanDevices.h"
#include "scanner/ScanJob.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <sane/sane.h>

#include <dlfcn.h>
#include <unistd.h>

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

ScanFrame frame(int format, int depth, int width, int bytesPerLine, int lines, QByteArray data)
{
    return {{format, depth, width, bytesPerLine, lines, true}, std::move(data)};
}

QImage rgb(int width, int height, std::initializer_list<QRgb> pixels)
{
    QImage image(width, height, QImage::Format_RGB32);
    auto it = pixels.begin();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, *it++);
    return image;
}

// Link seams in front of the SANE library. gStall: the next read, having taken its data, waits
// until sane_cancel (ten seconds at most), as a read waiting for a scanner's lamp does.
// gSelectFd: the descriptor the device offers.
//
// The test backend's reader thread can hang the process when a cancel catches it writing into
// a full pipe, so every picture here fits into the pipe.
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
    gStalled = true;
    const QDeadlineTimer deadline(10000);
    while (gStalled && !deadline.hasExpired())
        QThread::msleep(1);
    gStallCancelled = !gStalled;
    *length = 0;
    return SANE_STATUS_CANCELLED;
}

extern "C" void sane_cancel(SANE_Handle handle)
{
    gStalled = false;
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
        QTest::newRow("unknown device") << "nosuch:0" << ScanOptions{} << failed
                                        << "The scanner \"nosuch:0\" could not be opened: ";
        QTest::newRow("cancelled at the device, not by the person")
            << device << ScanOptions{{"read-return-value", "SANE_STATUS_CANCELLED"}} << failed
            << "The scanner stopped: " + QString::fromUtf8(sane_strstatus(SANE_STATUS_CANCELLED));
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

    void framesMakeAPictureOrSayWhyNot_data()
    {
        QTest::addColumn<QList<ScanFrame>>("frames");
        QTest::addColumn<QImage>("expected"); // null: refused
        QTest::addColumn<QString>("error");
        const ScanFrame red = frame(SANE_FRAME_RED, 8, 1, 1, 1, "\x01"), green = frame(SANE_FRAME_GREEN, 8, 1, 1, 1, "\x01");
        QTest::newRow("gray lines skip their padding bytes")
            << QList{frame(SANE_FRAME_GRAY, 8, 2, 4, 2, QByteArray("\x10\x20\xff\xff\x30\x40\xff\xff", 8))}
            << rgb(2, 2, {qRgb(16, 16, 16), qRgb(32, 32, 32), qRgb(48, 48, 48), qRgb(64, 64, 64)}) << "";
        QTest::newRow("rgb, 1 bit: samples run across byte edges")
            // pixels: red, cyan, white; bits 100 011 111 (then padding)
            << QList{frame(SANE_FRAME_RGB, 1, 3, 2, 1, QByteArray("\x8f\x80", 2))}
            << rgb(3, 1, {qRgb(255, 0, 0), qRgb(0, 255, 255), qRgb(255, 255, 255)}) << "";
        QTest::newRow("colour frames in green-blue-red order")
            << QList{frame(SANE_FRAME_GREEN, 8, 2, 2, 1, "\x01\x02"), frame(SANE_FRAME_BLUE, 8, 2, 2, 1, "\x03\x04"),
                     frame(SANE_FRAME_RED, 8, 2, 2, 1, "\x05\x06")}
            << rgb(2, 1, {qRgb(5, 1, 3), qRgb(6, 2, 4)}) << "";
        QTest::newRow("unknown height: the whole lines that came")
            << QList{frame(SANE_FRAME_GRAY, 8, 2, 2, -1, QByteArray("\x00\xff\xff\x00\x7f", 5))}
            << rgb(2, 2, {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(255, 255, 255), qRgb(0, 0, 0)}) << "";
        QTest::newRow("unknown height and not one whole line") << QList{frame(SANE_FRAME_GRAY, 8, 2, 2, -1, "\x7f")}
                                                               << QImage() << "The scanner sent no picture data.";
        QTest::newRow("JPEG frame") << QList{frame(11 /* SANE_FRAME_JPEG of later SANE versions */, 8, 1, 1, 1, "\x01")}
            << QImage() << "The scanner sends pictures in a form this program cannot read (frame type 11).";
        QTest::newRow("4 bits per sample") << QList{frame(SANE_FRAME_GRAY, 4, 2, 1, 1, "\x01")} << QImage()
                                           << "The scanner sends 4 bits per sample; 1, 8 or 16 can be read.";
        QTest::newRow("fewer lines than announced") << QList{frame(SANE_FRAME_GRAY, 8, 2, 2, 3, "\x01\x02\x03\x04")}
                                                    << QImage() << "The scanner sent 2 of 3 lines.";
        QTest::newRow("two colour frames") << QList{red, green} << QImage()
                                           << "The scanner sent 2 colour frames instead of three.";
        QTest::newRow("colour frames of different widths")
            << QList{red, green, frame(SANE_FRAME_BLUE, 8, 2, 2, 1, "\x01\x02")} << QImage()
            << "The scanner sent colour frames of different sizes.";
    }
    void framesMakeAPictureOrSayWhyNot()
    {
        QFETCH(QList<ScanFrame>, frames);
        QFETCH(QImage, expected);
        QFETCH(QString, error);
        QString actual;
        const auto image = imageFromScanFrames(frames, &actual);
        QCOMPARE(actual, error);
        QCOMPARE(image ? image->convertToFormat(QImage::Format_RGB32) : QImage(), expected);
    }
};

QTEST_GUILESS_MAIN(TestScanJob)
#include "test_scan_job.moc"
