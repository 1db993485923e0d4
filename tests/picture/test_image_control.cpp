#include "PictureFiles.h"
#include "picture/ImageControl.h"

#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <unistd.h>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// Each pixel its own colour, so that any misplaced pixel shows.
QImage pattern(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 37) % 256, (y * 53) % 256, ((x + y) * 11) % 256));
    return image;
}

// Address space for this many more megabytes only (0: no limit), as when memory runs short.
class MemoryLimit {
public:
    explicit MemoryLimit(int megabytes)
    {
        getrlimit(RLIMIT_AS, &mPrevious);
        if (megabytes == 0)
            return;
        QFile statm(QStringLiteral("/proc/self/statm"));
        statm.open(QIODevice::ReadOnly);
        const rlim_t used = statm.readAll().split(' ').value(0).toULongLong() * rlim_t(sysconf(_SC_PAGESIZE));
        const rlimit limited{used + (rlim_t(megabytes) << 20), mPrevious.rlim_max};
        setrlimit(RLIMIT_AS, &limited);
    }
    ~MemoryLimit() { setrlimit(RLIMIT_AS, &mPrevious); }

private:
    rlimit mPrevious{};
};

QImage shown(ImageControl &control) { return control.grab().toImage().convertToFormat(QImage::Format_RGB32); }

} // namespace

class TestImageControl : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        mControl = std::make_unique<ImageControl>();
        mControl->resize(200, 150);
    }
    void cleanup() { mControl.reset(); }

    void everyPixelShows_data()
    {
        QTest::addColumn<bool>("eightBit");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("offset"); // picture pixels cut off at the left
        QTest::newRow("a true-colour picture 1:1") << false << 1 << 0;
        QTest::newRow("a true-colour picture three times as large, scrolled") << false << 3 << 20;
        QTest::newRow("an 8-bit picture 1:1, across tile edges") << true << 1 << 0;
        QTest::newRow("an 8-bit picture three times as large, scrolled to a tile edge") << true << 3 << 250;
    }
    void everyPixelShows()
    {
        QFETCH(bool, eightBit);
        QFETCH(int, zoom);
        QFETCH(int, offset);
        const QImage picture = eightBit ? reduceColors(pattern(600, 300)) : pattern(600, 300);
        mControl->resize(600, 300);
        mControl->setImage(picture);
        mControl->setDisplayRect(-offset * zoom * 15, 0, 600 * zoom * 15, 300 * zoom * 15);
        const QImage screen = shown(*mControl);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 600; ++x)
                if (screen.pixel(x, y) != picture.pixel(offset + x / zoom, y / zoom))
                    QFAIL(qPrintable(QStringLiteral("screen pixel %1,%2").arg(x).arg(y)));
    }

    void fittedViewKeepsProportionsAndAverages()
    {
        // A one-pixel checkerboard shown at half size is an even grey, not black or white.
        QImage board(400, 200, QImage::Format_Indexed8);
        board.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 400; ++x)
                board.scanLine(y)[x] = uchar((x + y) % 2);
        mControl->setImage(board);
        mControl->setPaintSizeMode(ImageControl::PaintFit);
        QCOMPARE(mControl->displayRect(), QRectF(0, 0, 3000, 1500));
        const QImage screen = shown(*mControl);
        QCOMPARE(qGray(screen.pixel(50, 50)), 128);
        QVERIFY(qGray(screen.pixel(100, 120)) != 128); // below the picture
    }

    void mouseEventsReportButtonShiftAndTwips()
    {
        QSignalSpy down(mControl.get(), &ImageControl::mouseDown);
        QSignalSpy up(mControl.get(), &ImageControl::mouseUp);
        const Qt::KeyboardModifiers mods = Qt::ShiftModifier | Qt::ControlModifier;
        QTest::mousePress(mControl.get(), Qt::MiddleButton, mods, QPoint(10, 20));
        QTest::mouseRelease(mControl.get(), Qt::MiddleButton, mods, QPoint(12, 21));
        QCOMPARE(down.count(), 1);
        QCOMPARE(down.at(0), QVariantList({4, 3, 150.0f, 300.0f}));
        QCOMPARE(up.count(), 1);
        QCOMPARE(up.at(0), QVariantList({4, 3, 180.0f, 315.0f}));
    }

    void invertedLineDrawnTwiceVanishes()
    {
        mControl->setImage(pattern(120, 80));
        const QImage before = shown(*mControl);
        mControl->invertLine(150, 150, 1500, 900);
        const QImage with = shown(*mControl);
        // Inverted, not painted; the end point is left out.
        QCOMPARE(with.pixel(10, 10), 0xFF000000u | (~before.pixel(10, 10) & 0xFFFFFFu));
        QCOMPARE(with.pixel(100, 60), before.pixel(100, 60));
        mControl->invertLine(150, 150, 1500, 900);
        QCOMPARE(shown(*mControl), before);
    }

    void invertedLinesGoWithTheViewTheyWereDrawnOn_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("a new picture") << 0;
        QTest::newRow("another display rectangle (a zoom)") << 1;
        QTest::newRow("the fitted view") << 2;
        QTest::newRow("a resize of the fitted view") << 3;
        QTest::newRow("a rotation") << 4;
    }
    void invertedLinesGoWithTheViewTheyWereDrawnOn()
    {
        QFETCH(int, change);
        mControl->show(); // a hidden control hears of its resize only when shown
        mControl->setImage(pattern(120, 80));
        if (change == 3)
            mControl->setPaintSizeMode(ImageControl::PaintFit);
        mControl->invertLine(150, 150, 1500, 900);
        QVERIFY(!mControl->overlay().isEmpty());
        switch (change) {
        case 0: mControl->setImage(pattern(60, 60)); break;
        case 1: mControl->setDisplayRect(0, 0, 3600, 2400); break;
        case 2: mControl->setPaintSizeMode(ImageControl::PaintFit); break;
        case 3: mControl->resize(300, 150); break;
        case 4: mControl->rotate(9000); break;
        }
        QVERIFY(mControl->overlay().isEmpty());
        // Setting the view it already has leaves the lines alone.
        mControl->invertLine(150, 150, 1500, 900);
        mControl->setDisplayRect(float(mControl->displayRect().left()), float(mControl->displayRect().top()),
                                 mControl->displayWidth(), mControl->displayHeight());
        QVERIFY(!mControl->overlay().isEmpty());
    }

    void markersDrawnOnTheBitmapReachTheScreen()
    {
        mControl->setImage(reduceColors(pattern(120, 80)));
        shown(*mControl); // builds the display copy
        DrawingSurface *surface = mControl->getBitmapSurface();
        QVERIFY(surface);
        QCOMPARE(mControl->getBitmapSurface(), nullptr); // lent once at a time
        surface->drawCircle(300, -300, 30, 0x0000FF);
        mControl->releaseBitmapSurface(surface);
        QCOMPARE(mControl->image().format(), QImage::Format_Indexed8);
        QCOMPARE(shown(*mControl).pixel(22, 20), qRgb(255, 0, 0));

        ImageControl copy; // an assigned picture is a copy of its own
        copy.assignFrom(*mControl);
        surface = copy.getBitmapSurface();
        surface->drawCircle(300, -300, 30, 0xFF0000);
        copy.releaseBitmapSurface(surface);
        QCOMPARE(mControl->image().pixel(22, 20), qRgb(255, 0, 0));
    }

    void failedLoadsKeepTheHeldPicture_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<LoadStatus>("expected");
        QTest::addColumn<int>("memoryMB"); // left free for the load; 0: no limit
        QTest::newRow("a damaged file") << QByteArray("not a picture") << LoadStatus::Failed << 0;
        QTest::newRow("a picture 32761 pixels wide") << encode(QImage(32761, 1, QImage::Format_Mono), "png")
                                                     << LoadStatus::TooLarge << 0;
        QTest::newRow("a good picture replaces it, shown whole") << encode(pattern(50, 20), "bmp") << LoadStatus::Loaded << 0;
        // 8 MB read, 64 MB at 8 bits.
        QImage mono(8000, 8000, QImage::Format_Mono);
        mono.fill(1);
        QTest::newRow("a 1-bit picture whose 8-bit form does not fit in memory")
            << encode(mono, "png") << LoadStatus::Failed << 40;
        QTest::newRow("a grey picture that does not fit in memory")
            << encode(mono.convertToFormat(QImage::Format_Grayscale8), "png") << LoadStatus::Failed << 40;
    }
    void failedLoadsKeepTheHeldPicture()
    {
        QFETCH(QByteArray, content);
        QFETCH(LoadStatus, expected);
        QFETCH(int, memoryMB);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.png"));
        QVERIFY(writeFile(path, content));
        mControl->setImage(pattern(40, 30));
        mControl->setDisplayRect(30, 45, 600, 450);
        QString error;
        if (memoryMB > 0) {
#if defined(__SANITIZE_ADDRESS__)
            QSKIP("the sanitizer reserves more address space than any limit would leave");
#endif
            QVERIFY(QImageReader(path).size().isValid()); // the readers set up outside the limit
        }
        {
            const MemoryLimit limit(memoryMB);
            QCOMPARE(mControl->load(path, &error), expected);
        }
        const bool loaded = expected == LoadStatus::Loaded;
        QCOMPARE(error.isEmpty(), loaded);
        QVERIFY2(memoryMB == 0 || error.contains(QStringLiteral("not enough memory")), qPrintable(error));
        QCOMPARE(mControl->image().convertToFormat(QImage::Format_RGB32), loaded ? pattern(50, 20) : pattern(40, 30));
        QCOMPARE(mControl->displayRect(), loaded ? QRectF(0, 0, 750, 300) : QRectF(30, 45, 600, 450));
    }

    void rubberBandShowsOnlyWhenVisible()
    {
        QImage white(100, 100, QImage::Format_RGB32);
        white.fill(Qt::white);
        mControl->setImage(white);
        mControl->setRubberBandRect(150, 150, 600, 300);
        mControl->setRubberBandVisible(true);
        const QImage band = shown(*mControl);
        for (const QPoint &p : {QPoint(10, 10), QPoint(49, 20), QPoint(30, 29)}) // inverted: black on white
            QCOMPARE(band.pixel(p), qRgb(0, 0, 0));
        QCOMPARE(band.pixel(30, 20), qRgb(255, 255, 255));
        mControl->setRubberBandVisible(false);
        QCOMPARE(shown(*mControl).pixel(10, 10), qRgb(255, 255, 255));
    }

private:
    std::unique_ptr<ImageControl> mControl;
};

QTEST_MAIN(TestImageControl)
#include "test_image_control.moc"
