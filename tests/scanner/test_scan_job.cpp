#include "ScannerTestSetup.h"
#include "scanner/SaneSession.h"
#include "scanner/ScanFrames.h"
#include "scanner/ScanDevices.h"
#include "scanner/ScanJob.h"

#include <QtTest>

#include <sane/sane.h>

#include <dlfcn.h>
#include <unistd.h>

#include <memory>

using namespace chartrek;

namespace {

enum class Cancel { No, DuringARead, AfterTheLastRead };

// Link seams in front of the SANE library. gStall: the next read, having taken its data, waits
// until sane_cancel (ten seconds at most), as a read waiting for a scanner's lamp does. Every
// device offers gSelectFd, a hung-up descriptor, to wait on in non-blocking mode.
// The test backend's reader thread can hang the process when a cancel catches it writing into
// a full pipe, so every picture here fits into the pipe.
std::atomic_bool gStall = false, gStalled = false, gStallCancelled = false;
int gSelectFd = -1;
std::atomic_int gReads = 0;

template<typename F> F realSane(const char *name) { return reinterpret_cast<F>(dlsym(RTLD_NEXT, name)); }

// A scan of the first test device to its end, cancelled as asked. A limit of 150 pixels stands
// in for 32760.
std::unique_ptr<ScanJob> runScan(const ScanOptions &options, Cancel cancel = Cancel::No)
{
    auto job = std::make_unique<ScanJob>(QStringLiteral("test:0"), options);
    job->setSizeLimit(150);
    QSignalSpy finished(job.get(), &ScanJob::finished);
    QObject::connect(job.get(), &ScanJob::progress, job.get(), [scan = job.get(), cancel](int percent) {
        if (cancel == Cancel::AfterTheLastRead && percent == 100)
            scan->cancel();
    });
    gStall = cancel == Cancel::DuringARead;
    job->start();
    if (cancel == Cancel::DuringARead && QTest::qWaitFor([] { return bool(gStalled); }))
        job->cancel();
    finished.wait(20000); // a scan that does not end stays NotFinished
    return job;
}

ScanFrame frame(int format, int depth, int width, int bytesPerLine, int lines, QByteArray data)
{
    return {{format, depth, width, bytesPerLine, lines, true}, std::move(data)};
}

// "rrggbb" per pixel, rows apart by " / ": short to write, plain to read in a failure.
QString pixels(const QImage &image)
{
    QString text;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            text += QString::asprintf(x ? " %06x" : y ? " / %06x" : "%06x", image.pixel(x, y) & 0xFFFFFF);
    return text;
}

// A scan with these options and how it ends; the picture's format (Invalid: no picture).
struct Scan {
    ScanOptions options;
    ScanJob::Outcome outcome;
    QImage::Format format = QImage::Format_Invalid;
    Cancel cancel = Cancel::No;
};

} // namespace

extern "C" SANE_Status sane_read(SANE_Handle handle, SANE_Byte *data, SANE_Int max, SANE_Int *length)
{
    ++gReads;
    const SANE_Status status = realSane<decltype(&sane_read)>("sane_read")(handle, data, max, length);
    if (!gStall.exchange(false))
        return status;
    gStalled = true;
    for (int i = 0; gStalled && i < 10000; ++i)
        usleep(1000);
    gStallCancelled = !gStalled;
    *length = 0;
    return SANE_STATUS_CANCELLED;
}

extern "C" void sane_cancel(SANE_Handle handle)
{
    gStalled = false;
    realSane<decltype(&sane_cancel)>("sane_cancel")(handle);
}

extern "C" SANE_Status sane_get_select_fd(SANE_Handle, SANE_Int *fd)
{
    *fd = gSelectFd;
    return SANE_STATUS_GOOD;
}

class TestScanJob : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        test::useTestScanner();
        int ends[2];
        QCOMPARE(pipe(ends), 0);
        close(ends[1]);
        gSelectFd = ends[0];
    }

    void scanEnds_data()
    {
        QTest::addColumn<Scan>("row");
        using O = ScanJob::Outcome;
        QTest::newRow("gray, 8 bits") << Scan{{}, O::Scanned, QImage::Format_Grayscale8};
        QTest::newRow("lineart, 1 bit") << Scan{{{"depth", 1}}, O::Scanned, QImage::Format_Mono};
        QTest::newRow("colour in one frame") << Scan{{{"mode", "Color"}}, O::Scanned, QImage::Format_RGB888};
        QTest::newRow("colour in three passes") << Scan{{{"mode", "Color"}, {"three-pass", true}}, O::Scanned, QImage::Format_RGB888};
        QTest::newRow("cancelled at the device, not by the person")
            << Scan{{{"read-return-value", "SANE_STATUS_CANCELLED"}}, O::Failed};
        // The hand scanner sends 167 lines of 108 pixels without announcing the lines.
        QTest::newRow("unknown height stopped at the size limit") << Scan{{{"hand-scanner", true}}, O::TooLarge};
        // Two pieces, 100 ms apart: reads that block take them in a few reads.
        QTest::newRow("a hung-up select descriptor is not spun on") << Scan{{{"non-blocking", true}, {"select-fd", true},
            {"read-delay", true}, {"read-delay-duration", 100000}}, O::Scanned, QImage::Format_Grayscale8};
        QTest::newRow("a cancel interrupts a read waiting on the device") << Scan{{}, O::Cancelled, {}, Cancel::DuringARead};
        // progress(100) is queued before finished(): the worker has read all, the job not reported.
        QTest::newRow("a cancel after the last read wins") << Scan{{}, O::Cancelled, {}, Cancel::AfterTheLastRead};
    }
    void scanEnds()
    {
        QFETCH(Scan, row);
        const auto &[options, outcome, format, cancel] = row;
        gReads = 0;
        const auto job = runScan(options, cancel);
        QVERIFY2(cancel != Cancel::DuringARead || gStallCancelled, "the read was interrupted, not waited out");
        QCOMPARE(job->outcome(), outcome);
        QVERIFY2(gReads < 50, qPrintable(QString::number(gReads) + " reads"));
        QCOMPARE(job->image().format(), format);
        QCOMPARE(job->image().size(), format == QImage::Format_Invalid ? QSize(0, 0) : QSize(78, 39));
        // The backend's grid: 10 mm squares at 25 dpi, the top left one white.
        const QImage gray = job->image().convertToFormat(QImage::Format_Grayscale8);
        const double square = 10.0 / 25.4 * 25;
        for (double cy = square / 2; cy < gray.height(); cy += square)
            for (double cx = square / 2; cx < gray.width(); cx += square)
                QCOMPARE(qGray(gray.pixel(int(cx), int(cy))) < 128, (int(cx / square) + int(cy / square)) % 2 == 1);
        QCOMPARE(runScan({})->outcome(), ScanJob::Outcome::Scanned); // the device was closed
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
        QTest::addColumn<QString>("expected"); // the pixels, or why there are none
        const ScanFrame red = frame(SANE_FRAME_RED, 8, 1, 1, 1, "\x01"), green = frame(SANE_FRAME_GREEN, 8, 1, 1, 1, "\x01");
        QTest::newRow("gray lines skip their padding bytes")
            << QList{frame(SANE_FRAME_GRAY, 8, 2, 4, 2, QByteArray("\x10\x20\xff\xff\x30\x40\xff\xff", 8))}
            << "101010 202020 / 303030 404040";
        // Red, cyan, white: bits 100 011 111, then padding.
        QTest::newRow("rgb, 1 bit: samples run across byte edges")
            << QList{frame(SANE_FRAME_RGB, 1, 3, 2, 1, QByteArray("\x8f\x80", 2))} << "ff0000 00ffff ffffff";
        QTest::newRow("colour frames in green-blue-red order")
            << QList{frame(SANE_FRAME_GREEN, 8, 2, 2, 1, "\x01\x02"), frame(SANE_FRAME_BLUE, 8, 2, 2, 1, "\x03\x04"),
                     frame(SANE_FRAME_RED, 8, 2, 2, 1, "\x05\x06")} << "050103 060204";
        QTest::newRow("unknown height: the whole lines that came")
            << QList{frame(SANE_FRAME_GRAY, 8, 2, 2, -1, QByteArray("\x00\xff\xff\x00\x7f", 5))}
            << "000000 ffffff / ffffff 000000";
        QTest::newRow("unknown height and not one whole line") << QList{frame(SANE_FRAME_GRAY, 8, 2, 2, -1, "\x7f")}
                                                               << "The scanner sent no picture data.";
        QTest::newRow("JPEG frame") << QList{frame(11 /* SANE_FRAME_JPEG of later SANE versions */, 8, 1, 1, 1, "\x01")}
            << "The scanner sends pictures in a form this program cannot read (frame type 11).";
        QTest::newRow("4 bits per sample") << QList{frame(SANE_FRAME_GRAY, 4, 2, 1, 1, "\x01")}
                                           << "The scanner sends 4 bits per sample; 1, 8 or 16 can be read.";
        QTest::newRow("fewer lines than announced") << QList{frame(SANE_FRAME_GRAY, 8, 2, 2, 3, "\x01\x02\x03\x04")}
                                                    << "The scanner sent 2 of 3 lines.";
        QTest::newRow("two colour frames") << QList{red, green} << "The scanner sent 2 colour frames instead of three.";
        QTest::newRow("colour frames of different widths")
            << QList{red, green, frame(SANE_FRAME_BLUE, 8, 2, 2, 1, "\x01\x02")}
            << "The scanner sent colour frames of different sizes.";
    }
    void framesMakeAPictureOrSayWhyNot()
    {
        QFETCH(QList<ScanFrame>, frames);
        QFETCH(QString, expected);
        QString error;
        const auto image = imageFromScanFrames(frames, &error);
        QCOMPARE(image ? pixels(*image) : error, expected);
    }
};

QTEST_GUILESS_MAIN(TestScanJob)
#include "test_scan_job.moc"
