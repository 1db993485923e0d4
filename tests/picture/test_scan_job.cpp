#include "ScannerTestSetup.h"
#include "picture/ScanDevices.h"
#include "picture/ScanJob.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <sane/sane.h>

#include <memory>

using namespace chartrek;

Q_DECLARE_METATYPE(chartrek::ScanOptions)

namespace {

const QString device = QStringLiteral("test:0");

// The test backend's grid: 10 mm squares, the top left one white.
// Checks the centre pixel of every whole square, in any pixel format.
void verifyGrid(const QImage &image, double dpi)
{
    const double square = 10.0 / 25.4 * dpi;
    auto gridSquareIsDark = [square](int x, int y) { return (int(x / square) + int(y / square)) % 2 == 1; };
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    for (double cy = square / 2; cy < gray.height(); cy += square) {
        for (double cx = square / 2; cx < gray.width(); cx += square) {
            const int x = int(cx), y = int(cy);
            const bool dark = qGray(gray.pixel(x, y)) < 128;
            if (dark != gridSquareIsDark(x, y))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3").arg(x).arg(y).arg(qGray(gray.pixel(x, y)))));
        }
    }
}

std::unique_ptr<ScanJob> runScan(const QString &name, const ScanOptions &options)
{
    auto job = std::make_unique<ScanJob>(name, options);
    QSignalSpy finished(job.get(), &ScanJob::finished);
    job->start();
    if (!finished.wait(20000))
        qWarning("scan did not finish");
    return job;
}

} // namespace

class TestScanJob : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { test::useTestScanner(); }

    void listsTheTestDevices()
    {
        QString error;
        const auto devices = listScanDevices(&error);
        QVERIFY2(devices.has_value(), qPrintable(error));
        QStringList names;
        for (const ScanDevice &d : *devices)
            names << d.name;
        QCOMPARE(names, QStringList({"test:0", "test:1"}));
        QCOMPARE(devices->first().displayName(), QStringLiteral("Noname frontend-tester (test:0)"));
    }

    void asyncQueryAnswersOnTheOwnersThread()
    {
        ScanDeviceQuery query;
        QSignalSpy finished(&query, &ScanDeviceQuery::finished);
        QThread *answeredOn = nullptr;
        connect(&query, &ScanDeviceQuery::finished, this, [&] { answeredOn = QThread::currentThread(); });
        query.start();
        QVERIFY(query.isRunning());
        QVERIFY(finished.wait(10000));
        QCOMPARE(answeredOn, QThread::currentThread());
        QVERIFY(!query.isRunning());
        QVERIFY(query.devices().has_value());
        QCOMPARE(query.devices()->size(), 2);
    }

    void scanGivesThePicture_data()
    {
        QTest::addColumn<ScanOptions>("options");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<double>("dpi");
        const QSize small(78, 39);
        QTest::newRow("gray, 8 bits") << ScanOptions{} << small << QImage::Format_Grayscale8 << 25.0;
        QTest::newRow("gray, 16 bits") << ScanOptions{{"depth", 16}} << small << QImage::Format_Grayscale16 << 25.0;
        QTest::newRow("lineart, 1 bit") << ScanOptions{{"depth", 1}} << small << QImage::Format_Mono << 25.0;
        QTest::newRow("colour in one frame") << ScanOptions{{"mode", "Color"}} << small << QImage::Format_RGB888 << 25.0;
        QTest::newRow("colour, 16 bits") << ScanOptions{{"mode", "Color"}, {"depth", 16}} << small
                                         << QImage::Format_RGBX64 << 25.0;
        QTest::newRow("colour, 1 bit") << ScanOptions{{"mode", "Color"}, {"depth", 1}} << small
                                       << QImage::Format_RGB888 << 25.0;
        QTest::newRow("colour in three passes")
            << ScanOptions{{"mode", "Color"}, {"three-pass", true}} << small << QImage::Format_RGB888 << 25.0;
        QTest::newRow("three passes, blue first")
            << ScanOptions{{"mode", "Color"}, {"three-pass", true}, {"three-pass-order", "BRG"}} << small
            << QImage::Format_RGB888 << 25.0;
        QTest::newRow("double resolution, doubled size") << ScanOptions{{"resolution", 50}} << QSize(157, 78)
                                                         << QImage::Format_Grayscale8 << 50.0;
        QTest::newRow("lines padded after the pixels") << ScanOptions{{"ppl-loss", 5}} << QSize(73, 39)
                                                       << QImage::Format_Grayscale8 << 25.0;
        QTest::newRow("one byte per read") << ScanOptions{{"read-limit", true}, {"read-limit-size", 1}} << small
                                           << QImage::Format_Grayscale8 << 25.0;
        QTest::newRow("non-blocking reads with a select descriptor")
            << ScanOptions{{"non-blocking", true}, {"select-fd", true}, {"read-limit", true}, {"read-limit-size", 64}}
            << small << QImage::Format_Grayscale8 << 25.0;
        QTest::newRow("height known only at the end (hand scanner)")
            << ScanOptions{{"hand-scanner", true}} << QSize(108, 167) << QImage::Format_Grayscale8 << 25.0;
    }

    void scanGivesThePicture()
    {
        QFETCH(ScanOptions, options);
        QFETCH(QSize, size);
        QFETCH(QImage::Format, format);
        QFETCH(double, dpi);
        ScanJob job(device, options);
        QList<int> percents;
        bool onOwnThread = true;
        connect(&job, &ScanJob::progress, this, [&](int percent) {
            percents << percent;
            onOwnThread = onOwnThread && QThread::currentThread() == thread();
        });
        QSignalSpy finished(&job, &ScanJob::finished);
        job.start();
        QVERIFY(job.isRunning());
        QVERIFY(finished.wait(20000));
        QVERIFY(!job.isRunning());
        QVERIFY2(job.outcome() == ScanJob::Outcome::Scanned, qPrintable(job.errorString()));
        QCOMPARE(job.image().size(), size);
        QCOMPARE(job.image().format(), format);
        verifyGrid(job.image(), dpi);
        QVERIFY(onOwnThread);
        QVERIFY(!percents.isEmpty());
        QCOMPARE(percents.last(), 100);
        for (qsizetype i = 1; i < percents.size(); ++i) {
            if (percents[i - 1] >= 0)
                QVERIFY2(percents[i] > percents[i - 1], "progress goes forward");
        }
    }

    // The colour pattern, not the grey grid, shows whether channels land where they belong:
    // three separate colour frames must give what one RGB frame gives.
    void colourFramesAgree_data()
    {
        QTest::addColumn<ScanOptions>("options");
        QTest::addColumn<QString>("order");
        QTest::newRow("red-green-blue order") << ScanOptions{} << "RGB";
        QTest::newRow("green-blue-red order") << ScanOptions{} << "GBR";
        QTest::newRow("blue-red-green order, 16 bits") << ScanOptions{{"depth", 16}} << "BRG";
    }

    void colourFramesAgree()
    {
        QFETCH(ScanOptions, options);
        QFETCH(QString, order);
        const ScanOptions pattern = ScanOptions{{"mode", "Color"}, {"test-picture", "Color pattern"}} + options;
        const auto reference = runScan(device, pattern);
        QCOMPARE(reference->outcome(), ScanJob::Outcome::Scanned);
        const auto passes = runScan(device, pattern + ScanOptions{{"three-pass", true}, {"three-pass-order", order}});
        QVERIFY2(passes->outcome() == ScanJob::Outcome::Scanned, qPrintable(passes->errorString()));
        const QImage &expected = reference->image();
        QVERIFY(expected.pixel(0, 0) != expected.pixel(expected.width() - 1, expected.height() / 2));
        QCOMPARE(passes->image(), expected);
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<QString>("deviceName");
        QTest::addColumn<ScanOptions>("options");
        QTest::addColumn<ScanJob::Outcome>("outcome");
        QTest::addColumn<QString>("errorPart");
        const auto failed = ScanJob::Outcome::Failed;
        QTest::newRow("unknown device") << "nosuch:0" << ScanOptions{} << failed
                                        << "The scanner \"nosuch:0\" could not be opened: ";
        QTest::newRow("option the device lacks") << device << ScanOptions{{"brightness", 3}} << failed
                                                 << "The scanner has no option \"brightness\".";
        QTest::newRow("inactive option") << device << ScanOptions{{"read-delay-duration", 5000}} << failed
                                         << "The scanner option \"read-delay-duration\" cannot be set now.";
        QTest::newRow("value the option refuses") << device << ScanOptions{{"mode", "Red"}} << failed
                                                  << "The scanner option \"mode\" could not be set: ";
        QTest::newRow("number option given text") << device << ScanOptions{{"depth", "deep"}} << failed
                                                  << "The scanner option \"depth\" cannot take the value \"deep\".";
        QTest::newRow("paper jam while reading")
            << device << ScanOptions{{"read-return-value", "SANE_STATUS_JAMMED"}} << failed
            << "The scanner stopped: " + QString::fromUtf8(sane_strstatus(SANE_STATUS_JAMMED));
        QTest::newRow("device without paper")
            << device << ScanOptions{{"read-return-value", "SANE_STATUS_NO_DOCS"}} << failed
            << QString::fromUtf8(sane_strstatus(SANE_STATUS_NO_DOCS));
        QTest::newRow("cancelled at the device") << device
                                                 << ScanOptions{{"read-return-value", "SANE_STATUS_CANCELLED"}}
                                                 << ScanJob::Outcome::Cancelled
                                                 << QString::fromUtf8(sane_strstatus(SANE_STATUS_CANCELLED));
    }

    void failuresAreReported()
    {
        QFETCH(QString, deviceName);
        QFETCH(ScanOptions, options);
        QFETCH(ScanJob::Outcome, outcome);
        QFETCH(QString, errorPart);
        const auto job = runScan(deviceName, options);
        QCOMPARE(job->outcome(), outcome);
        QVERIFY(job->image().isNull());
        QVERIFY2(job->errorString().contains(errorPart), qPrintable(job->errorString()));
        // Whatever went wrong, the device was closed and scans again.
        QCOMPARE(runScan(device, {})->outcome(), ScanJob::Outcome::Scanned);
    }

    void cancelStopsASlowScan_data()
    {
        QTest::addColumn<bool>("destroyInstead");
        QTest::addColumn<ScanOptions>("io");
        const ScanOptions selectFd{{"non-blocking", true}, {"select-fd", true}};
        QTest::newRow("cancel after the first progress") << false << ScanOptions{};
        QTest::newRow("job destroyed while scanning") << true << ScanOptions{};
        QTest::newRow("cancel while waiting on the select descriptor") << false << selectFd;
        QTest::newRow("destroyed while waiting on the select descriptor") << true << selectFd;
    }

    void cancelStopsASlowScan()
    {
        QFETCH(bool, destroyInstead);
        QFETCH(ScanOptions, io);
        // 3042 bytes in 16-byte reads, 50 ms apiece: about ten seconds when not cancelled.
        const ScanOptions slow = io + ScanOptions{{"read-limit", true}, {"read-limit-size", 16}, {"read-delay", true},
                                                  {"read-delay-duration", 50000}};
        auto job = std::make_unique<ScanJob>(device, slow);
        QSignalSpy progress(job.get(), &ScanJob::progress);
        QSignalSpy finished(job.get(), &ScanJob::finished);
        QElapsedTimer clock;
        clock.start();
        job->start();
        QVERIFY(progress.wait(10000));
        if (destroyInstead) {
            job.reset();
        } else {
            job->cancel();
            QVERIFY(finished.wait(10000));
            QCOMPARE(job->outcome(), ScanJob::Outcome::Cancelled);
            QVERIFY(job->image().isNull());
            QCOMPARE(job->errorString(), QStringLiteral("The scan was cancelled."));
            QVERIFY2(progress.last().first().toInt() < 100, "cancelled while reading, not after");
        }
        QVERIFY2(clock.elapsed() < 5000, "the scan stopped early");
        QCOMPARE(runScan(device, {})->outcome(), ScanJob::Outcome::Scanned);
    }

    void cancelAfterTheLastReadStillGivesNoPicture()
    {
        ScanJob job(device);
        // progress(100) is queued before finished(), so this cancel comes after the worker
        // has read everything but before the job reports.
        connect(&job, &ScanJob::progress, &job, [&job](int percent) {
            if (percent == 100)
                job.cancel();
        });
        QSignalSpy finished(&job, &ScanJob::finished);
        job.start();
        QVERIFY(finished.wait(10000));
        QCOMPARE(job.outcome(), ScanJob::Outcome::Cancelled);
        QVERIFY(job.image().isNull());
    }
};

QTEST_GUILESS_MAIN(TestScanJob)
#include "test_scan_job.moc"
