#include "picture/DrawingSurface.h"
#include "picture/ImageOps.h"

#include <QHash>
#include <QPainter>
#include <QtTest>

using namespace chartrek;

namespace {

const QList<QRgb> kMarkers{qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 0, 0)};

// White, a grey grid, an anti-aliased green curve and a pure red one.
QImage diagram()
{
    QImage image(320, 240, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QColor(200, 200, 200));
    for (int x = 0; x < 320; x += 40)
        p.drawLine(x, 0, x, 239);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 90, 0), 1.5));
    p.drawLine(10, 200, 300, 40);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(255, 0, 0));
    p.drawLine(10, 100, 300, 120);
    return image;
}

// A smooth gradient of many colours, the marker colours and a near-red drawn over it.
QImage photoLike()
{
    QImage image(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            image.setPixel(x, y, qRgb(x, y, (x * y) / 256));
    for (int x = 20; x < 200; ++x)
        for (int i = 0; i < 4; ++i)
            image.setPixel(x, 30 + i, i < 3 ? kMarkers[i] : qRgb(254, 0, 0));
    return image;
}

} // namespace

class TestImageOps : public QObject {
    Q_OBJECT

private slots:
    void reductionKeepsEachColourAsOneEntry_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<bool>("exact");
        QTest::newRow("a diagram with anti-aliasing keeps every colour exactly") << diagram() << true;
        QTest::newRow("a photo-like picture maps each colour to one entry") << photoLike() << false;
    }
    void reductionKeepsEachColourAsOneEntry()
    {
        QFETCH(QImage, picture);
        QFETCH(bool, exact);
        const QImage reduced = reduceColors(picture);
        QCOMPARE(reduced.format(), QImage::Format_Indexed8);
        const QList<QRgb> palette = reduced.colorTable();
        for (QRgb marker : kMarkers)
            QVERIFY(palette.contains(marker));
        QHash<QRgb, int> entryOf;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb source = picture.pixel(x, y);
                const int entry = reduced.constScanLine(y)[x];
                QCOMPARE(entryOf.value(source, entry), entry);
                entryOf.insert(source, entry);
                if (exact || kMarkers.contains(source))
                    QCOMPARE(palette.at(entry), source);
            }
        }
    }

    void drawingStaysInTheHeldPicture_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QImage::Format>("held");
        QTest::newRow("a reduced picture with markers stays at 8 bits") << reduceColors(diagram()) << QImage::Format_Indexed8;
        QTest::newRow("a true-colour picture") << photoLike() << QImage::Format_RGB32;
        // Drawn on as held pictures, not as bytes of another size; all 256 greys leave no room for blue.
        QTest::newRow("a grey picture drawn on in colour") << diagram().convertToFormat(QImage::Format_Grayscale8)
                                                           << QImage::Format_RGB32;
        QTest::newRow("a picture of 3 bytes a pixel") << photoLike().convertToFormat(QImage::Format_RGB888)
                                                      << QImage::Format_RGB32;
    }
    void drawingStaysInTheHeldPicture()
    {
        QFETCH(QImage, picture);
        QFETCH(QImage::Format, held);
        const QImage before = picture.convertToFormat(QImage::Format_RGB32);
        DrawingSurface(picture).drawCircle(150, -1500, 30, 0xFF0000); // around pixel (10, 100)
        QCOMPARE(picture.format(), held);
        const QImage after = picture.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(after.pixel(12, 100), qRgb(0, 0, 255)); // the marker's right-hand point
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (after.pixel(x, y) != before.pixel(x, y) && (qAbs(x - 10) > 2 || qAbs(y - 100) > 2))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 changed").arg(x).arg(y)));
    }
};

QTEST_GUILESS_MAIN(TestImageOps)
#include "test_image_ops.moc"
