#include "TestSupport.h"
#include "autoline/ColorProbe.h"
#include "picture/ImageOps.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

using namespace chartrek;
using namespace chartrek::test;

namespace {

constexpr int T = 15; // twips per pixel
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kCurve = 0xFF0000C0;  // dark blue
constexpr QRgb kGrid = 0xFFA0A0A0;   // grey
constexpr qint32 kCurveRef = 0xC00000; // 0x00BBGGRR

enum class Scene { Thin, Thick, Crossed, SameColourCross, AntiAliased, Steep };

// 200 x 120, white. The curve runs level at row 60 (rows 59 to 61 when thick).
QImage scene(Scene kind)
{
    QImage image(200, 120, QImage::Format_RGB32);
    image.fill(kWhite);
    QPainter p(&image);
    switch (kind) {
    case Scene::Thin:
        p.setPen(QColor::fromRgb(kCurve));
        p.drawLine(0, 60, 199, 60);
        break;
    case Scene::Thick:
        p.fillRect(0, 59, 200, 3, QColor::fromRgb(kCurve));
        break;
    case Scene::Crossed:
        p.setPen(QColor::fromRgb(kGrid));
        p.drawLine(100, 0, 100, 119);
        p.setPen(QColor::fromRgb(kCurve));
        p.drawLine(0, 60, 199, 60);
        break;
    case Scene::SameColourCross:
        p.setPen(QColor::fromRgb(kCurve));
        p.drawLine(0, 60, 199, 60);
        p.drawLine(60, 0, 140, 119);
        break;
    case Scene::AntiAliased:
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor::fromRgb(kCurve), 2.0));
        p.drawLine(QPointF(0, 50.5), QPointF(199, 70.5));
        break;
    case Scene::Steep:
        p.setPen(QColor::fromRgb(kCurve));
        p.drawLine(90, 0, 110, 119);
        break;
    }
    return image;
}

} // namespace

class TestPixProbe : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        PixProbeLibrary::shared().setSearchPath({QStringLiteral(CHARTREK_PIXPROBE_BUILD_DIR)});
    }

    void colourAtAPoint_data()
    {
        QTest::addColumn<bool>("eightBit");
        QTest::addColumn<qint32>("x");
        QTest::addColumn<qint32>("y");
        QTest::addColumn<qint32>("expected");
        for (bool eightBit : {false, true}) {
            const char *depth = eightBit ? " (8-bit)" : " (32-bit)";
            QTest::addRow("the curve's colour on the curve%s", depth) << eightBit << 50 * T << -60 * T << kCurveRef;
            QTest::addRow("the last twip of the curve's pixel%s", depth) << eightBit << 50 * T + 14 << -60 * T - 14 << kCurveRef;
            QTest::addRow("white just above the curve%s", depth) << eightBit << 50 * T << -60 * T + 1 << 0xFFFFFF;
            QTest::addRow("no colour above the picture%s", depth) << eightBit << 50 * T << 1 << -1;
            QTest::addRow("no colour left of the picture%s", depth) << eightBit << -1 << -60 * T << -1;
            QTest::addRow("no colour right of the picture%s", depth) << eightBit << 200 * T << -60 * T << -1;
            QTest::addRow("no colour below the picture%s", depth) << eightBit << 0 << -120 * T << -1;
            QTest::addRow("the top-left pixel at (0, 0)%s", depth) << eightBit << 0 << 0 << 0xFFFFFF;
        }
    }
    void colourAtAPoint()
    {
        QFETCH(bool, eightBit);
        QFETCH(qint32, x);
        QFETCH(qint32, y);
        QFETCH(qint32, expected);
        HeldBitmap picture(eightBit ? reduceColors(scene(Scene::Thin)) : scene(Scene::Thin));
        RecordingSink sink;
        Messages messages(sink);
        ColorProbe probe(messages);
        QCOMPARE(probe.GetColor(x, y, picture), expected);
        QVERIFY(sink.shown.isEmpty());
    }

    void linePoint_data()
    {
        QTest::addColumn<Scene>("kind");
        QTest::addColumn<qint32>("x");
        QTest::addColumn<qint32>("y");
        QTest::addColumn<qint32>("expectedStatus");
        QTest::addColumn<qint32>("expectedRow"); // -1: below the picture
        QTest::addColumn<int>("tolerance");     // rows
        QTest::newRow("a point on a thin line stays on it") << Scene::Thin << 50 * T << -60 * T << 1 << 60 << 0;
        QTest::newRow("a point 8 rows above the line snaps down to it") << Scene::Thin << 50 * T << -52 * T << 1 << 60 << 0;
        QTest::newRow("a point 10 rows below the line snaps up to it") << Scene::Thin << 50 * T << -70 * T << 1 << 60 << 0;
        QTest::newRow("a point 11 rows away finds nothing") << Scene::Thin << 50 * T << -71 * T << 0 << -1 << 0;
        QTest::newRow("a point on a thick line goes to its middle row") << Scene::Thick << 50 * T << -59 * T << 1 << 60 << 0;
        QTest::newRow("an empty area finds nothing") << Scene::Thin << 50 * T << -20 * T << 0 << -1 << 0;
        QTest::newRow("a point left of the picture finds nothing") << Scene::Thin << -T << -60 * T << 0 << -1 << 0;
        QTest::newRow("a point above the picture searches from the top row") << Scene::Thick << 50 * T << 5000 << 0 << -1 << 0;
        QTest::newRow("a grid line crossing the curve is a crossing") << Scene::Crossed << 100 * T << -60 * T << 1000 << 60 << 0;
        QTest::newRow("the same curve away from the grid line is trusted") << Scene::Crossed << 80 * T << -60 * T << 1 << 60 << 0;
        QTest::newRow("two curves of the line colour crossing") << Scene::SameColourCross << 100 * T << -60 * T << 1000 << 60 << 0;
        QTest::newRow("an anti-aliased sloping line alone is trusted") << Scene::AntiAliased << 100 * T << -61 * T << 1 << 60 << 1;
        QTest::newRow("a steep line alone is trusted") << Scene::Steep << 100 * T << -60 * T << 1 << 60 << 3;
    }
    void linePoint()
    {
        QFETCH(Scene, kind);
        QFETCH(qint32, x);
        QFETCH(qint32, y);
        QFETCH(qint32, expectedStatus);
        QFETCH(qint32, expectedRow);
        QFETCH(int, tolerance);
        HeldBitmap picture(reduceColors(scene(kind)));
        RecordingSink sink;
        Messages messages(sink);
        ColorProbe probe(messages);
        PixProbePoint point{x, y};
        QCOMPARE(probe.GetAPoint(point.x, point.y, point, kCurveRef, picture), expectedStatus);
        QCOMPARE(point.x, x);
        if (expectedRow < 0) {
            QVERIFY2(-point.y > picture.bitmapHeight(), qPrintable(QString::number(point.y)));
        } else {
            // The middle of the run: inside the expected row, whatever that row's height.
            const int row = (-point.y) / T;
            // A steep line's run in one column is about six rows long; its middle is the point.
            QVERIFY2(qAbs(row - expectedRow) <= tolerance, qPrintable(QString::number(row)));
            QCOMPARE(probe.GetColor(point.x, point.y, picture), kCurveRef);
        }
    }

    void centreOfARunIsInTwips()
    {
        HeldBitmap picture(reduceColors(scene(Scene::Thick)));
        RecordingSink sink;
        Messages messages(sink);
        ColorProbe probe(messages);
        PixProbePoint point{0, 0};
        probe.GetAPoint(30 * T, -57 * T, point, kCurveRef, picture);
        // Rows 59 to 61: the run spans twips 885 to 930, its middle is 907.
        QCOMPARE(point.y, -907);
    }

    void missingModuleReportsAndCountsAsZero()
    {
        QTemporaryDir empty;
        PixProbeLibrary library;
        library.setSearchPath({empty.path()});
        RecordingSink sink;
        Messages messages(sink);
        ColorProbe probe(messages, library);
        HeldBitmap picture(scene(Scene::Thin));
        QCOMPARE(probe.GetColor(50 * T, -60 * T, picture), 0);
        QCOMPARE(sink.shown.size(), 1);
        QCOMPARE(sink.shown.at(0).kind, MessageKind::ScanError);
        QCOMPARE(sink.shown.at(0).text, Messages::scanErrorText());
        QVERIFY(!library.errorString().isEmpty());

        PixProbePoint point{50 * T, -60 * T};
        QCOMPARE(probe.GetAPoint(point.x, point.y, point, kCurveRef, picture), 0);
        QVERIFY(-point.y > picture.bitmapHeight());

        // Found again once it is there.
        library.setSearchPath({empty.path(), QStringLiteral(CHARTREK_PIXPROBE_BUILD_DIR)});
        QCOMPARE(probe.GetColor(50 * T, -60 * T, picture), kCurveRef);
        QCOMPARE(sink.shown.size(), 1);
    }

    void noPictureHasNoColour()
    {
        HeldBitmap none;
        RecordingSink sink;
        Messages messages(sink);
        ColorProbe probe(messages);
        QCOMPARE(probe.GetColor(0, 0, none), -1);
        PixProbePoint point{0, 0};
        QCOMPARE(probe.GetAPoint(0, 0, point, kCurveRef, none), 0);
        QVERIFY(-point.y > none.bitmapHeight());
    }

    void lentSurfaceIsGivenBack()
    {
        HeldBitmap picture(scene(Scene::Thin));
        RecordingSink sink;
        Messages messages(sink);
        ColorProbe probe(messages);
        probe.GetColor(0, 0, picture);
        DrawingSurface *surface = picture.getBitmapSurface();
        QVERIFY(surface);
        // While it is lent elsewhere the probe gets no surface and reads no colour.
        QCOMPARE(probe.GetColor(0, 0, picture), -1);
        picture.releaseBitmapSurface(surface);
        QCOMPARE(probe.GetColor(0, 0, picture), 0xFFFFFF);
    }
};

QTEST_GUILESS_MAIN(TestPixProbe)
#include "test_pixprobe.moc"
