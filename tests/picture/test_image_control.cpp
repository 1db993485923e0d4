#include "PictureFiles.h"
#include "picture/ImageControl.h"

#include <QImageReader>
#include <QtTest>

#include <sys/resource.h>
#include <unistd.h>

using namespace chartrek;
using namespace chartrek::test;

class TestImageControl : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        mControl = std::make_unique<ImageControl>();
        mControl->resize(200, 150);
    }
    void cleanup() { mControl.reset(); }

    void screenShowsThePictureAndWhatIsDrawn_data()
    {
        QTest::addColumn<bool>("eightBit");
        QTest::addColumn<int>("offset"); // screen pixels cut off at the left
        QTest::addColumn<bool>("reduced"); // a third of its size, averaged, rather than three times
        QTest::newRow("a true-colour picture three times as large, scrolled") << false << 60 << false;
        QTest::newRow("an 8-bit picture three times as large, scrolled to a tile edge") << true << 750 << false;
        QTest::newRow("a true-colour picture at a third, scrolled past a tile, averaged tile by tile") << false << 300 << true;
    }
    void screenShowsThePictureAndWhatIsDrawn()
    {
        QFETCH(bool, eightBit);
        QFETCH(int, offset);
        QFETCH(bool, reduced);
        mControl->resize(600, 300);
        const QSize size = reduced ? QSize(3 * (600 + offset), 900) : QSize(600, 300);
        const QImage original = eightBit ? reduceColors(noisy(size.width(), size.height())) : noisy(size.width(), size.height());
        mControl->setImage(original);
        const double f = reduced ? 1.0 / 3 : 3;
        mControl->setDisplayRect(-offset * 15, 0, float(size.width() * f * 15), float(size.height() * f * 15));
        ImageControl copy; // as the magnifier's clean copy, which the marker below must not reach
        copy.assignFrom(*mControl);
        const QPoint marker = reduced ? QPoint(3 * offset + 60, 60) : QPoint(offset / 3 + 20, 20);
        for (bool marked : {false, true}) {
            if (marked) { // on the picture, after it was shown
                DrawingSurface *surface = mControl->getBitmapSurface();
                surface->drawCircle(marker.x() * 15, -marker.y() * 15, 30, 0x0000FF);
                mControl->releaseBitmapSurface(surface);
            }
            const QImage picture = mControl->image();
            QImage averaged(600 + offset, 300, QImage::Format_RGB32);
            DisplayCache::areaScale(picture, averaged.size(), averaged.rect(), averaged, {});
            const auto matches = [&] { // a part shown roughly at first is averaged in the paints after
                const QImage screen = shown();
                for (int y = 0; y < 300; ++y)
                    for (int x = 0; x < 600; ++x)
                        if (screen.pixel(x, y) != (reduced ? averaged.pixel(offset + x, y) : picture.pixel((offset + x) / 3, y / 3)))
                            return false;
                return true;
            };
            QTRY_VERIFY(matches());
        }
        QCOMPARE(mControl->image().pixel(marker.x() + 2, marker.y()), qRgb(255, 0, 0));
        QCOMPARE(copy.image(), original);

        // Lines and the rubber band are inverted over it, not painted, and go again.
        const QImage before = shown();
        const auto inverted = [&](int x, int y) { return 0xFF000000u | (~before.pixel(x, y) & 0xFFFFFFu); };
        mControl->invertLine(150, 150, 1500, 900);
        QCOMPARE(shown().pixel(10, 10), inverted(10, 10));
        QCOMPARE(shown().pixel(100, 60), before.pixel(100, 60)); // the end point is left out
        mControl->invertLine(150, 150, 1500, 900);
        QCOMPARE(shown(), before);
        mControl->setRubberBandRect(150, 150, 600, 300);
        mControl->setRubberBandVisible(true);
        QCOMPARE(shown().pixel(49, 20), inverted(49, 20)); // its outline only
        QCOMPARE(shown().pixel(30, 20), before.pixel(30, 20));
        mControl->setRubberBandVisible(false);
        QCOMPARE(shown(), before);
    }

    void invertedLinesGoWithTheViewTheyWereDrawnOn_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("a new picture") << 0;
        QTest::newRow("another display rectangle (a zoom)") << 1;
        QTest::newRow("the fitted view") << 2;
        QTest::newRow("a resize of the fitted view") << 3;
    }
    void invertedLinesGoWithTheViewTheyWereDrawnOn()
    {
        QFETCH(int, change);
        mControl->show(); // a hidden control hears of its resize only when shown
        QImage board(400, 200, QImage::Format_Indexed8); // of one-pixel squares
        board.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 400; ++x)
                board.scanLine(y)[x] = uchar((x + y) % 2);
        mControl->setImage(board);
        if (change == 3)
            mControl->setPaintSizeMode(ImageControl::PaintFit);
        mControl->invertLine(150, 150, 1500, 900);
        QVERIFY(!mControl->overlay().isEmpty());
        switch (change) {
        case 0: mControl->setImage(noisy(60, 60)); break;
        case 1: mControl->setDisplayRect(0, 0, 3600, 2400); break;
        case 2: mControl->setPaintSizeMode(ImageControl::PaintFit); break;
        case 3: mControl->resize(300, 150); break;
        }
        QVERIFY(mControl->overlay().isEmpty());
        if (change == 2) { // keeping the proportions, and averaging: at half size the board is an even grey
            QCOMPARE(mControl->displayRect(), QRectF(0, 0, 3000, 1500));
            QCOMPARE(qGray(shown().pixel(50, 50)), 128);
            QVERIFY(qGray(shown().pixel(100, 120)) != 128); // below the picture
        }
        // Setting the view it already has leaves the lines alone.
        mControl->invertLine(150, 150, 1500, 900);
        mControl->setDisplayRect(float(mControl->displayRect().left()), float(mControl->displayRect().top()),
                                 mControl->displayWidth(), mControl->displayHeight());
        QVERIFY(!mControl->overlay().isEmpty());
    }

    void loadsThatRunOutOfMemoryKeepTheHeldPicture_data()
    {
        QTest::addColumn<QByteArray>("content");
        // 8 MB read, 64 MB at 8 bits; 40 MB are left.
        QTest::newRow("a 1-bit picture whose 8-bit form does not fit") << blackPng(8000, 8000);
        QTest::newRow("a grey picture that does not fit") << blackPng(8000, 8000, 8);
    }
    void loadsThatRunOutOfMemoryKeepTheHeldPicture()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizer reserves more address space than any limit would leave");
#endif
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("p.png"), content);
        QVERIFY(QImageReader(path).size().isValid()); // the readers set up outside the limit
        mControl->setImage(noisy(40, 30));
        mControl->setDisplayRect(30, 45, 600, 450);
        // Address space for only 40 MB more, as when memory runs short.
        rlimit previous{};
        getrlimit(RLIMIT_AS, &previous);
        QFile statm(QStringLiteral("/proc/self/statm"));
        statm.open(QIODevice::ReadOnly);
        const rlim_t used = statm.readAll().split(' ').value(0).toULongLong() * rlim_t(sysconf(_SC_PAGESIZE));
        const rlimit limited{used + (rlim_t(40) << 20), previous.rlim_max};
        setrlimit(RLIMIT_AS, &limited);
        QString error;
        const LoadStatus status = mControl->load(path, &error);
        setrlimit(RLIMIT_AS, &previous);
        QCOMPARE(status, LoadStatus::Failed);
        QVERIFY2(error.contains(QStringLiteral("not enough memory")), qPrintable(error));
        QCOMPARE(mControl->image().convertToFormat(QImage::Format_RGB32), noisy(40, 30));
        QCOMPARE(mControl->displayRect(), QRectF(30, 45, 600, 450));
    }

private:
    QImage shown() const { return mControl->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    std::unique_ptr<ImageControl> mControl;
};

QTEST_MAIN(TestImageControl)
#include "test_image_control.moc"
