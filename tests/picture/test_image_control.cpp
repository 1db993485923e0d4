#include "PictureFiles.h"
#include "picture/ImageControl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

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

QImage shown(ImageControl &control)
{
    return control.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

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

    void sizesAreInTwips()
    {
        QVERIFY(!mControl->hasBitmap());
        mControl->setImage(pattern(120, 80));
        QVERIFY(mControl->hasBitmap());
        QCOMPARE(mControl->bitmapWidth(), 1800.0f);
        QCOMPARE(mControl->bitmapHeight(), 1200.0f);
        QCOMPARE(mControl->sourceRect(), QRectF(0, 0, 1800, 1200));
        QCOMPARE(mControl->displayRect(), QRectF(0, 0, 1800, 1200));
        QCOMPARE(mControl->innerWidth(), 3000.0f);
        QCOMPARE(mControl->innerHeight(), 2250.0f);
        QCOMPARE(mControl->bitsPerPixel(), 24);
        mControl->colorReduce();
        QCOMPARE(mControl->bitsPerPixel(), 8);
        mControl->freeBitmap();
        QVERIFY(!mControl->hasBitmap());
        QCOMPARE(mControl->bitmapWidth(), 0.0f);
    }

    void paintsEveryView_data()
    {
        QTest::addColumn<bool>("eightBit");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QRectF>("display");
        QTest::addColumn<QRectF>("expectedPixels");
        QTest::newRow("1:1 at the top-left") << false << 0 << QRectF(0, 0, 1800, 1200) << QRectF(0, 0, 120, 80);
        QTest::newRow("an 8-bit picture 1:1") << true << 0 << QRectF(0, 0, 1800, 1200) << QRectF(0, 0, 120, 80);
        QTest::newRow("three times as large, shifted left") << false << 0 << QRectF(-300, 150, 5400, 3600)
                                                             << QRectF(-20, 10, 360, 240);
        QTest::newRow("fitted, proportions kept") << false << 3 << QRectF() << QRectF(0, 0, 200, 400 / 3.0);
    }
    void paintsEveryView()
    {
        QFETCH(bool, eightBit);
        QFETCH(int, mode);
        QFETCH(QRectF, display);
        QFETCH(QRectF, expectedPixels);
        const QImage picture = eightBit ? pattern(120, 80).convertToFormat(QImage::Format_Indexed8) : pattern(120, 80);
        mControl->setImage(picture);
        mControl->setPaintSizeMode(mode);
        if (mode == ImageControl::PaintNormal)
            mControl->setDisplayRect(display.left(), display.top(), display.width(), display.height());
        const QRectF twips = mControl->displayRect();
        QCOMPARE(twips, QRectF(expectedPixels.topLeft() * 15, expectedPixels.size() * 15));
        const QImage screen = shown(*mControl);
        const double scale = expectedPixels.width() / 120.0;
        for (const QPoint &p : {QPoint(0, 0), QPoint(5, 7), QPoint(60, 40), QPoint(119, 79)}) {
            // The middle of the block that shows picture pixel p.
            const QPoint at(int(expectedPixels.left() + (p.x() + 0.5) * scale),
                            int(expectedPixels.top() + (p.y() + 0.5) * expectedPixels.height() / 80.0));
            if (!screen.rect().contains(at))
                continue;
            if (mode == ImageControl::PaintFit)
                continue; // smoothed: checked by size above and by the 1:1 rows
            QCOMPARE(screen.pixel(at), picture.pixel(p));
        }
        if (mode == ImageControl::PaintFit)
            QVERIFY(screen.pixel(100, 140) != picture.pixel(0, 0)); // below the fitted picture
    }

    void largeEightBitPictureShowsEveryPixel_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("offset"); // picture pixels cut off at the left
        QTest::newRow("1:1, across tile edges") << 1 << 0;
        QTest::newRow("twice as large, scrolled right") << 2 << 150;
        QTest::newRow("three times as large, scrolled to a tile edge") << 3 << 250;
    }
    void largeEightBitPictureShowsEveryPixel()
    {
        QFETCH(int, zoom);
        QFETCH(int, offset);
        const QImage picture = reduceColors(pattern(600, 300));
        mControl->resize(600, 300);
        mControl->setImage(picture);
        mControl->setDisplayRect(-offset * zoom * 15, 0, 600 * zoom * 15, 300 * zoom * 15);
        const QImage screen = shown(*mControl);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 600; ++x)
                if (screen.pixel(x, y) != picture.pixel(offset + x / zoom, y / zoom))
                    QFAIL(qPrintable(QStringLiteral("screen pixel %1,%2").arg(x).arg(y)));
    }

    void fittedViewAveragesThePicture()
    {
        // A one-pixel checkerboard shown at half size is an even grey, not black or white.
        QImage board(400, 300, QImage::Format_Indexed8);
        board.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                board.scanLine(y)[x] = uchar((x + y) % 2);
        mControl->setImage(board);
        mControl->setPaintSizeMode(ImageControl::PaintFit);
        const QImage screen = shown(*mControl);
        QCOMPARE(qGray(screen.pixel(50, 50)), 128);
        QCOMPARE(qGray(screen.pixel(199, 149)), 128);
    }

    void clipRectangleLimitsThePicture()
    {
        mControl->setImage(pattern(120, 80));
        mControl->setDisplayClipRect(0, 0, 600, 600);
        const QImage screen = shown(*mControl);
        QCOMPARE(screen.pixel(10, 10), pattern(120, 80).pixel(10, 10));
        QCOMPARE(screen.pixel(50, 10), mControl->palette().color(QPalette::Window).rgb());
    }

    void mouseEventsReportTwips_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("expectedButton");
        QTest::addColumn<int>("expectedShift");
        QTest::newRow("left press") << Qt::LeftButton << Qt::KeyboardModifiers() << 1 << 0;
        QTest::newRow("right press with Shift") << Qt::RightButton << Qt::KeyboardModifiers(Qt::ShiftModifier) << 2 << 1;
        QTest::newRow("middle press with Ctrl") << Qt::MiddleButton << Qt::KeyboardModifiers(Qt::ControlModifier) << 4 << 2;
    }
    void mouseEventsReportTwips()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, expectedButton);
        QFETCH(int, expectedShift);
        QSignalSpy down(mControl.get(), &ImageControl::mouseDown);
        QSignalSpy up(mControl.get(), &ImageControl::mouseUp);
        QTest::mousePress(mControl.get(), button, modifiers, QPoint(10, 20));
        QTest::mouseRelease(mControl.get(), button, modifiers, QPoint(12, 21));
        QCOMPARE(down.count(), 1);
        QCOMPARE(down.at(0).at(0).toInt(), expectedButton);
        QCOMPARE(down.at(0).at(1).toInt(), expectedShift);
        QCOMPARE(down.at(0).at(2).toFloat(), 150.0f);
        QCOMPARE(down.at(0).at(3).toFloat(), 300.0f);
        QCOMPARE(up.count(), 1);
        QCOMPARE(up.at(0).at(2).toFloat(), 180.0f);
        QCOMPARE(up.at(0).at(3).toFloat(), 315.0f);
    }

    void invertedLineDrawnTwiceVanishes()
    {
        mControl->setImage(pattern(120, 80));
        const QImage before = shown(*mControl);
        mControl->invertLine(150, 150, 1500, 900);
        const QImage with = shown(*mControl);
        QVERIFY(with != before);
        // Inverted, not painted: the first pixel shows the complement of the picture.
        QCOMPARE(with.pixel(10, 10), 0xFF000000u | (~before.pixel(10, 10) & 0xFFFFFFu));
        // The end point is left out.
        QCOMPARE(with.pixel(100, 60), before.pixel(100, 60));
        mControl->invertLine(150, 150, 1500, 900);
        QCOMPARE(shown(*mControl), before);
    }

    void repaintClearsTheOverlayWhereItRepaints()
    {
        mControl->setImage(pattern(120, 80));
        const QImage before = shown(*mControl);
        mControl->invertLine(0, 300, 2000, 300);
        mControl->repaintRect(0, 0, 900, 900);
        const QImage partly = shown(*mControl);
        QCOMPARE(partly.pixel(30, 20), before.pixel(30, 20));
        QVERIFY(partly.pixel(100, 20) != before.pixel(100, 20));
        mControl->forceRepaint();
        QCOMPARE(shown(*mControl), before);
        QVERIFY(mControl->overlay().isEmpty());
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
        QCOMPARE(mControl->image().pixel(22, 20), qRgb(255, 0, 0));
        QCOMPARE(shown(*mControl).pixel(22, 20), qRgb(255, 0, 0));
    }

    void markersReachTheFittedView()
    {
        QImage white(400, 300, QImage::Format_RGB32);
        white.fill(Qt::white);
        mControl->setImage(reduceColors(white));
        mControl->setPaintSizeMode(ImageControl::PaintFit);
        shown(*mControl); // builds the reduced copy
        DrawingSurface *surface = mControl->getBitmapSurface();
        for (int r = 30; r <= 300; r += 15)
            surface->drawCircle(3000, -2250, r, 0x0000FF);
        mControl->releaseBitmapSurface(surface);
        const QImage screen = shown(*mControl);
        int reddish = 0;
        for (int y = 70; y <= 80; ++y)
            for (int x = 95; x <= 105; ++x)
                reddish += qRed(screen.pixel(x, y)) - qGreen(screen.pixel(x, y)) > 100;
        QVERIFY2(reddish > 60, qPrintable(QString::number(reddish)));
    }

    void assignedPicturesAreIndependentCopies()
    {
        mControl->setImage(pattern(40, 30));
        ImageControl other;
        other.assignFrom(*mControl);
        DrawingSurface *surface = other.getBitmapSurface();
        surface->drawCircle(150, -150, 30, 0x000000);
        other.releaseBitmapSurface(surface);
        QCOMPARE(mControl->image(), pattern(40, 30));
        QVERIFY(other.image() != pattern(40, 30));
    }

    void failedLoadsKeepTheHeldPicture_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<LoadStatus>("expected");
        QTest::newRow("a damaged file") << QByteArray("not a picture") << LoadStatus::Failed;
        QTest::newRow("a picture 32761 pixels wide") << encode(QImage(32761, 1, QImage::Format_Mono), "png")
                                                     << LoadStatus::TooLarge;
    }
    void failedLoadsKeepTheHeldPicture()
    {
        QFETCH(QByteArray, content);
        QFETCH(LoadStatus, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.png"));
        QVERIFY(writeFile(path, content));
        mControl->setImage(pattern(40, 30));
        mControl->setDisplayRect(30, 45, 600, 450);
        QString error;
        QCOMPARE(mControl->load(path, &error), expected);
        QVERIFY(!error.isEmpty());
        QCOMPARE(mControl->image(), pattern(40, 30));
        QCOMPARE(mControl->displayRect(), QRectF(30, 45, 600, 450));
    }

    void loadShowsTheWholePicture()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.bmp"));
        QVERIFY(writeFile(path, encode(pattern(50, 20), "bmp")));
        mControl->setDisplayRect(100, 100, 10, 10);
        QCOMPARE(mControl->load(path), LoadStatus::Loaded);
        QCOMPARE(mControl->displayRect(), QRectF(0, 0, 750, 300));
        QCOMPARE(mControl->image().convertToFormat(QImage::Format_RGB32), pattern(50, 20));
    }

    void clipboardRoundTrip()
    {
        QGuiApplication::clipboard()->clear();
        QVERIFY(!ImageControl::clipboardHasPicture());
        QCOMPARE(mControl->paste(), LoadStatus::Failed);
        QVERIFY(!mControl->copy()); // nothing held
        QGuiApplication::clipboard()->setText(QStringLiteral("1\t2"));
        QVERIFY(!ImageControl::clipboardHasPicture());

        mControl->setImage(reduceColors(pattern(30, 20)));
        QVERIFY(mControl->copy());
        QVERIFY(ImageControl::clipboardHasPicture());
        ImageControl other;
        QCOMPARE(other.paste(), LoadStatus::Loaded);
        QCOMPARE(other.image().convertToFormat(QImage::Format_RGB32), mControl->image().convertToFormat(QImage::Format_RGB32));
    }

    void operationsKeepTheView()
    {
        mControl->setImage(pattern(60, 40));
        mControl->setDisplayRect(15, 30, 450, 300);
        mControl->colorReduce();
        mControl->rotate(150);
        QCOMPARE(mControl->displayRect(), QRectF(15, 30, 450, 300));
        QCOMPARE(mControl->bitsPerPixel(), 8);
    }

    void rubberBandShowsOnlyWhenVisible()
    {
        QImage white(100, 100, QImage::Format_RGB32);
        white.fill(Qt::white);
        mControl->setImage(white);
        mControl->setRubberBandRect(150, 150, 600, 300);
        QCOMPARE(shown(*mControl).pixel(10, 10), qRgb(255, 255, 255));
        mControl->setRubberBandVisible(true);
        const QImage band = shown(*mControl);
        // Inverted, so it shows on any picture: black on white, along every edge.
        for (const QPoint &p : {QPoint(10, 10), QPoint(30, 10), QPoint(49, 20), QPoint(30, 29), QPoint(10, 20)})
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
