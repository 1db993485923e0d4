#include "capture/OverlayDrawing.h"
#include "picture/ImageControl.h"
#include "picture/ImageOps.h"

#include <QtTest>

using namespace chartrek;

namespace {

QImage white(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The smallest rectangle around the pixels of one colour.
QRect extentOf(const QImage &image, QRgb color)
{
    QRect found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color)
                found |= QRect(x, y, 1, 1);
    return found;
}

} // namespace

class TestOverlayDrawing : public QObject {
    Q_OBJECT

private slots:
    void markerColourFollowsTheProbedColour_data()
    {
        QTest::addColumn<bool>("eightBit");
        QTest::addColumn<quint32>("probed");
        QTest::addColumn<QRgb>("expected");
        for (bool eightBit : {false, true}) {
            const char *depth = eightBit ? ", 8-bit picture" : ", 32-bit picture";
            QTest::addRow("on pure red the marker is blue%s", depth) << eightBit << quint32(0x0000FF) << qRgb(0, 0, 255);
            QTest::addRow("on 254, 0, 0 the marker is red%s", depth) << eightBit << quint32(0x0000FE) << qRgb(255, 0, 0);
        }
    }
    void markerColourFollowsTheProbedColour()
    {
        QFETCH(bool, eightBit);
        QFETCH(quint32, probed);
        QFETCH(QRgb, expected);
        ImageControl control;
        DrawPointMarker(0, 0, control, probed); // no picture: nothing to draw on
        control.setImage(eightBit ? reduceColors(white(40, 40)) : white(40, 40));
        DrawPointMarker(20 * 15, -20 * 15, control, probed);
        QCOMPARE(control.bitsPerPixel(), eightBit ? 8 : 24);
        // 60 twips across at 1:1: the outline runs 2 pixels from the marked pixel each way.
        QCOMPARE(extentOf(control.image(), expected), QRect(18, 18, 5, 5));
        QCOMPARE(control.image().pixel(20, 20), qRgb(255, 255, 255)); // the marked pixel stays visible
    }

    void deletionMarkIsLargerAndInTheGivenColour()
    {
        ImageControl control;
        control.setImage(reduceColors(white(40, 40)));
        MarkDeletedPoint(20 * 15, -20 * 15, control, MarkerBlack);
        QCOMPARE(control.image().pixel(23, 20), qRgb(0, 0, 0)); // three pixels out, one more than a marker
        QCOMPARE(control.image().pixel(20, 17), qRgb(0, 0, 0));
    }

    void invertedShapesVanishWhenDrawnTwice()
    {
        ImageControl control;
        control.resize(100, 100);
        control.setImage(white(100, 100));
        DrawInvertedLine({150, 150}, {1200, 600}, control);
        QVERIFY(!control.overlay().isEmpty());
        DrawInvertedLine({150, 150}, {1200, 600}, control);
        QVERIFY(control.overlay().isEmpty());
        DrawInvertedLine({300, 300}, {300, 300}, control); // no length: nothing
        QVERIFY(control.overlay().isEmpty());

        // The click square inverts each corner once.
        DrawClickSquare({300, 300}, {600, 750}, control);
        const ScreenOverlay &overlay = control.overlay();
        for (const QPoint &p : {QPoint(20, 20), QPoint(40, 20), QPoint(20, 50), QPoint(40, 50), QPoint(30, 20), QPoint(20, 35)})
            QVERIFY2(overlay.isInverted(p), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
        QVERIFY(!overlay.isInverted(QPoint(30, 35)));
        DrawClickSquare({300, 300}, {600, 750}, control);
        QVERIFY(overlay.isEmpty());
    }
};

QTEST_MAIN(TestOverlayDrawing)
#include "test_overlay_drawing.moc"
