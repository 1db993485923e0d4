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

// Pixels of one colour in a picture.
QList<QPoint> pixelsOf(const QImage &image, QRgb color)
{
    QList<QPoint> found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color)
                found << QPoint(x, y);
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
            QTest::addRow("on white the marker is red%s", depth) << eightBit << quint32(0xFFFFFF) << qRgb(255, 0, 0);
        }
    }
    void markerColourFollowsTheProbedColour()
    {
        QFETCH(bool, eightBit);
        QFETCH(quint32, probed);
        QFETCH(QRgb, expected);
        ImageControl control;
        control.setImage(eightBit ? reduceColors(white(40, 40)) : white(40, 40));
        DrawPointMarker(20 * 15, -20 * 15, control, probed);
        QCOMPARE(control.bitsPerPixel(), eightBit ? 8 : 24);
        const QList<QPoint> marker = pixelsOf(control.image(), expected);
        QVERIFY(!marker.isEmpty());
        // 60 twips across at 1:1: the outline runs 2 pixels from the marked pixel each way.
        int left = 99, right = 0, top = 99, bottom = 0;
        for (const QPoint &p : marker) {
            left = std::min(left, p.x());
            right = std::max(right, p.x());
            top = std::min(top, p.y());
            bottom = std::max(bottom, p.y());
        }
        QCOMPARE(QRect(QPoint(left, top), QPoint(right, bottom)), QRect(18, 18, 5, 5));
        QCOMPARE(control.image().pixel(20, 20), qRgb(255, 255, 255)); // the marked pixel stays visible
    }

    void deletionMarkIsLargerAndInTheGivenColour()
    {
        ImageControl control;
        control.setImage(reduceColors(white(40, 40)));
        MarkDeletedPoint(20 * 15, -20 * 15, control, MarkerBlack);
        const QList<QPoint> mark = pixelsOf(control.image(), qRgb(0, 0, 0));
        QVERIFY(mark.contains(QPoint(23, 20)));
        QVERIFY(mark.contains(QPoint(20, 17)));
    }

    void markerWithoutPictureDrawsNothing()
    {
        ImageControl control;
        DrawPointMarker(0, 0, control, 0);
        QVERIFY(!control.hasBitmap());
    }

    void sameLineTwiceRemovesIt()
    {
        ImageControl control;
        control.resize(100, 100);
        control.setImage(white(100, 100));
        DrawInvertedLine({150, 150}, {1200, 600}, control);
        QVERIFY(!control.overlay().isEmpty());
        DrawInvertedLine({150, 150}, {1200, 600}, control);
        QVERIFY(control.overlay().isEmpty());
    }

    void clickSquareInvertsEachCornerOnce()
    {
        ImageControl control;
        control.resize(100, 100);
        DrawClickSquare({300, 300}, {600, 750}, control);
        const ScreenOverlay &overlay = control.overlay();
        for (const QPoint &corner : {QPoint(20, 20), QPoint(40, 20), QPoint(20, 50), QPoint(40, 50)})
            QVERIFY2(overlay.isInverted(corner), qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
        QVERIFY(overlay.isInverted(QPoint(30, 20)));
        QVERIFY(overlay.isInverted(QPoint(20, 35)));
        QVERIFY(!overlay.isInverted(QPoint(30, 35)));
        DrawClickSquare({300, 300}, {600, 750}, control);
        QVERIFY(overlay.isEmpty());
    }

    void aLineOfNoLengthDrawsNothing()
    {
        ImageControl control;
        control.resize(50, 50);
        DrawInvertedLine({300, 300}, {300, 300}, control);
        QVERIFY(control.overlay().isEmpty());
    }
};

QTEST_MAIN(TestOverlayDrawing)
#include "test_overlay_drawing.moc"
