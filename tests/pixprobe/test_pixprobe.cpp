#include "TestSupport.h"
#include "picture/ColorProbe.h"
#include "picture/ImageOps.h"

#include <QPainter>
#include <QtTest>

#include <vector>

using namespace chartrek;
using namespace chartrek::test;

namespace {

constexpr int T = 15; // twips per pixel
constexpr QRgb kCurve = 0xFF0000C0;    // dark blue
constexpr qint32 kCurveRef = 0xC00000; // the same, 0x00BBGGRR

enum class Scene { None, Thin, Thick, Crossed, SameColourCross, AntiAliased, Broad, Marker, Jagged };

// 200 x 120, white. The curve runs level at row 60 (rows 59 to 61 when thick, 53 to 66 when
// broad), with a triangle marker on it centred at (97, 60) (apex at row 55, base at row 65), or
// it zigzags 16 rows up and down through (100, 60) every 4 columns. None: no picture.
QImage scene(Scene kind)
{
    if (kind == Scene::None)
        return {};
    QImage image(200, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(kind == Scene::Crossed ? QColor(0xA0, 0xA0, 0xA0) : QColor::fromRgb(kCurve));
    if (kind == Scene::Crossed || kind == Scene::SameColourCross)
        p.drawLine(kind == Scene::Crossed ? QLine(100, 0, 100, 119) : QLine(60, 0, 140, 119));
    p.setRenderHint(QPainter::Antialiasing, kind == Scene::AntiAliased);
    p.setPen(QPen(QColor::fromRgb(kCurve), kind == Scene::Thick ? 3 : kind == Scene::AntiAliased ? 2 : kind == Scene::Broad ? 14 : 1));
    if (kind == Scene::Jagged) {
        QPolygon zigzag;
        for (int x = 2; x < 200; x += 4)
            zigzag << QPoint(x, (x - 2) / 4 % 2 ? 68 : 52);
        p.drawPolyline(zigzag);
        return image;
    }
    p.drawLine(kind == Scene::AntiAliased ? QLineF(0, 50.5, 199, 70.5) : QLineF(0, 60, 199, 60));
    if (kind == Scene::Marker) {
        p.setBrush(QColor::fromRgb(kCurve));
        p.drawPolygon(QPolygon({QPoint(97, 55), QPoint(102, 65), QPoint(92, 65)}));
    }
    return image;
}

// Where a line point is searched from (the row of column 100) and what is found: the status and
// how far (in twips) the point may lie from row 60's middle twip, the search's line colour, the
// line's width as the caller knows it (pixels; 0 not known).
struct Search { Scene kind; int row; qint32 status; int tolerance; qint32 colour; int width = 0; };
// A line's colour and a shade of it (0x00BBGGRR), the line's width (sixteenths of a pixel), the
// status of a search for it. A 2-pixel dotted cyan line in a JPEG: its dots, its diamond markers.
struct Shade { qint32 line, pixel; int width; qint32 status; };
constexpr qint32 kFadedCyan = 0x9BA26C, kMarkerCyan = 0xCBC012;

// A 4 x 2 surface with lines of this many bytes, and a palette of this size (-1: none).
struct Surface { int bitsPerPixel, bytesPerLine, paletteSize; };

struct Probe {
    explicit Probe(PixProbeLibrary &library = PixProbeLibrary::shared()) : probe(messages, library) {}
    RecordingSink sink;
    Messages messages{sink};
    ColorProbe probe;
};

} // namespace

class TestPixProbe : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PixProbeLibrary::shared().setSearchPath({QStringLiteral(CHARTREK_PIXPROBE_BUILD_DIR)}); }

    void colourAtAPoint_data()
    {
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<QPoint>("at"); // twips
        QTest::addColumn<qint32>("expected");
        for (const auto &[format, depth] : {std::pair{QImage::Format_RGB32, "32-bit"}, std::pair{QImage::Format_Indexed8, "8-bit"},
                                            std::pair{QImage::Format_RGB888, "3 bytes a pixel"}}) {
            QTest::addRow("the curve pixel's last twip (%s)", depth) << format << QPoint(50 * T + 14, -60 * T - 14) << kCurveRef;
            QTest::addRow("white just above the curve (%s)", depth) << format << QPoint(50 * T, -60 * T + 1) << 0xFFFFFF;
            QTest::addRow("the top-left pixel at (0, 0) (%s)", depth) << format << QPoint(0, 0) << 0xFFFFFF;
            QTest::addRow("the bottom-right pixel (%s)", depth) << format << QPoint(199 * T, -119 * T) << 0xFFFFFF;
            QTest::addRow("no colour just above the picture (%s)", depth) << format << QPoint(50 * T, 1) << -1;
            QTest::addRow("no colour just left of the picture (%s)", depth) << format << QPoint(-1, -60 * T) << -1;
            QTest::addRow("no colour right of the picture (%s)", depth) << format << QPoint(200 * T, -60 * T) << -1;
            QTest::addRow("no colour below the picture (%s)", depth) << format << QPoint(0, -120 * T) << -1;
        }
        QTest::newRow("no colour without a picture") << QImage::Format_Invalid << QPoint(0, 0) << -1;
    }
    void colourAtAPoint()
    {
        QFETCH(QImage::Format, format);
        QFETCH(QPoint, at);
        QFETCH(qint32, expected);
        const QImage thin = scene(format == QImage::Format_Invalid ? Scene::None : Scene::Thin);
        HeldBitmap picture(format == QImage::Format_Indexed8 ? reduceColors(thin) : thin.convertToFormat(format));
        Probe p;
        QCOMPARE(p.probe.GetColor(at.x(), at.y(), picture), expected);
        QCOMPARE(p.probe.GetColor(at.x(), at.y(), picture), expected); // the surface was given back
        QVERIFY(p.sink.shown.isEmpty());
    }

    // A status of 0 puts the point below the picture.
    void linePoint_data()
    {
        QTest::addColumn<Search>("row");
        QTest::newRow("a point on a thin line stays on it") << Search{Scene::Thin, 60, 1, 0, kCurveRef};
        QTest::newRow("a point 8 rows above the line snaps down to it") << Search{Scene::Thin, 52, 1, 0, kCurveRef};
        QTest::newRow("a point 10 rows below the line snaps up to it") << Search{Scene::Thin, 70, 1, 0, kCurveRef};
        QTest::newRow("a point 11 rows away finds nothing") << Search{Scene::Thin, 71, 0, 0, kCurveRef};
        // Rows 59 to 61: the run spans twips 885 to 930.
        QTest::newRow("a point on a thick line goes to the run's middle twip") << Search{Scene::Thick, 57, 1, 0, kCurveRef};
        // The search sees only the line colour: a grid line of another colour cannot mislead it.
        QTest::newRow("a grid line of another colour leaves the point trusted") << Search{Scene::Crossed, 60, 1, 7, kCurveRef};
        QTest::newRow("two curves of the line colour crossing") << Search{Scene::SameColourCross, 60, 1000, 7, kCurveRef};
        QTest::newRow("an anti-aliased sloping line alone is trusted") << Search{Scene::AntiAliased, 61, 1, 22, kCurveRef};
        QTest::newRow("a line 14 pixels wide is no crossing") << Search{Scene::Broad, 60, 1, 7, kCurveRef};
        // Column 100 runs through the marker's corner: the line's row, not the run's middle (63).
        QTest::newRow("through a marker the point keeps to the line") << Search{Scene::Marker, 62, 1, 7, kCurveRef, 1};
        QTest::newRow("jagged data turning inside the ring is no crossing") << Search{Scene::Jagged, 60, 1, 30, kCurveRef};
        // The colour beside a picture smaller than the control is -1, which no pixel has.
        QTest::newRow("no colour, searched up to below the picture") << Search{Scene::Thin, 125, 0, 0, -1};
        QTest::newRow("a colour beyond 24 bits") << Search{Scene::Thin, 60, 0, 0, (kCurveRef | 0x1000000)};
        QTest::newRow("no picture") << Search{Scene::None, 60, 0, 0, kCurveRef};
    }
    void linePoint()
    {
        QFETCH(Search, row);
        const auto &[kind, candidateRow, status, tolerance, colour, width] = row;
        HeldBitmap picture(reduceColors(scene(kind)));
        Probe p;
        PixProbePoint point{100 * T, -candidateRow * T};
        QCOMPARE(p.probe.GetAPoint(point.x, point.y, point, PixProbeLine{colour, 0, -1, 16 * width, 0}, picture), status);
        // A found point: the column's middle (to the twip: through a marker it is worked out).
        QVERIFY2(qAbs(point.x - (status ? 100 * T + T / 2 : 100 * T)) <= (width > 0 ? 1 : 0), qPrintable(QString::number(point.x)));
        if (status == 0)
            QVERIFY2(-point.y > picture.bitmapHeight(), qPrintable(QString::number(point.y)));
        else
            QVERIFY2(qAbs(point.y - (-60 * T - 7)) <= tolerance && p.probe.GetColor(point.x, point.y, picture) == kCurveRef,
                     qPrintable(QString::number(point.y)));
    }

    // The tolerant search: a line a few steps off the line colour is found, and a faint edge
    // pixel pulls the middle by its share. Rows 60 (3 off the line colour) and 61 (20 off).
    void tolerantSearch()
    {
        QImage image(20, 120, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (int x = 0; x < 20; ++x)
            image.setPixel(x, 60, qRgb(0, 0, 0xC3)), image.setPixel(x, 61, qRgb(0, 0x14, 0xC0));
        HeldBitmap picture(image);
        Probe p;
        for (const auto &[tolerance, status, y] : {std::tuple{0, 0, -121 * T}, {3, 1, -908}, {40, 1, -913}}) {
            PixProbePoint point{10 * T, -55 * T};
            QCOMPARE(p.probe.GetAPoint(point.x, point.y, point, kCurveRef, picture, tolerance), status);
            QCOMPARE(point.y, y); // with 40: weights 38 at row 60.5 and 21 at 61.5, in twips
        }
    }

    void missingModuleReportsAndCountsAsZero()
    {
        QTemporaryDir empty;
        PixProbeLibrary library;
        library.setSearchPath({empty.path()});
        Probe p(library);
        HeldBitmap picture(scene(Scene::Thin));
        PixProbePoint point{50 * T, -60 * T};
        QCOMPARE(p.probe.GetColor(point.x, point.y, picture), 0);
        QCOMPARE(p.probe.GetAPoint(point.x, point.y, point, kCurveRef, picture), 0);
        QVERIFY(-point.y > picture.bitmapHeight());
        // The probe's operation is not named.
        QCOMPARE(p.sink.texts(), QStringList("An error occurred while scanning the picture. Maybe there is too little memory. "
                                             "Close some applications."));
        library.setSearchPath({empty.path(), QStringLiteral(CHARTREK_PIXPROBE_BUILD_DIR)});
        QCOMPARE(p.probe.GetColor(50 * T, -60 * T, picture), kCurveRef);
        QCOMPARE(p.sink.shown.size(), 1);
    }

    // A column whose only line pixel, at row 60, is a shade of the line's colour beyond the
    // tolerance (40) on white paper.
    void shadesOfALine_data()
    {
        QTest::addColumn<Shade>("row");
        QTest::newRow("a thin line's stronger shade is its marker") << Shade{kFadedCyan, kMarkerCyan, 8, PIXPROBE_FOUND};
        QTest::newRow("a wider line's stronger shade is not the line") << Shade{kFadedCyan, kMarkerCyan, 16, PIXPROBE_NOT_FOUND};
        QTest::newRow("a thin line's faded shade is its edge") << Shade{kCurveRef, 0xDC3C3C, 8, PIXPROBE_FOUND};
        QTest::newRow("a wider line's faded shade is not the line") << Shade{kCurveRef, 0xDC3C3C, 16, PIXPROBE_NOT_FOUND};
        QTest::newRow("a shade near the paper is not the line") << Shade{kFadedCyan, 0xF5F5E6, 8, PIXPROBE_NOT_FOUND};
    }
    void shadesOfALine()
    {
        QFETCH(Shade, row);
        QImage image(20, 120, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (int x = 0; x < 20; ++x)
            image.setPixel(x, 60, qRgb(row.pixel & 0xFF, (row.pixel >> 8) & 0xFF, row.pixel >> 16));
        HeldBitmap picture(image);
        Probe p;
        PixProbePoint point{10 * T, -55 * T};
        QCOMPARE(p.probe.GetAPoint(point.x, point.y, point, PixProbeLine{row.line, 40, 0xFFFFFF, row.width, 0}, picture),
                 row.status);
    }

    // An open marker (a ring 11 pixels across around white) on a thin level line at row 60, the
    // right quarter of its ring drawn in a shade of the line colour: the search in a column
    // through it keeps to the line, not to the ring above or below.
    void openMarker_data()
    {
        QTest::addColumn<QRgb>("side");
        QTest::newRow("an open marker") << kCurve;
        QTest::newRow("an open marker with a faded side") << qRgb(60, 60, 220);
    }
    void openMarker()
    {
        QFETCH(QRgb, side);
        QImage image(200, 120, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(QColor::fromRgb(kCurve));
        painter.drawLine(0, 60, 199, 60);
        painter.setBrush(Qt::white);
        painter.drawEllipse(QPoint(100, 60), 5, 5);
        painter.setPen(QColor::fromRgb(side));
        painter.drawArc(QRect(95, 55, 10, 10), -45 * 16, 90 * 16);
        painter.end();
        HeldBitmap picture(image);
        Probe p;
        PixProbePoint point{102 * T, -57 * T};
        QCOMPARE(p.probe.GetAPoint(point.x, point.y, point, PixProbeLine{kCurveRef, 40, 0xFFFFFF, 16, 0}, picture),
                 qint32(PIXPROBE_FOUND));
        QVERIFY2(qAbs(point.y - (-60 * T - 7)) <= T / 2, qPrintable(QString::number(point.y / double(T))));
    }

    void surfaceThatWouldBeReadOutOfBoundsHasNoColour_data()
    {
        QTest::addColumn<Surface>("row");
        QTest::newRow("32-bit lines shorter than the width") << Surface{32, 4 * 4 - 1, -1};
        QTest::newRow("8-bit lines shorter than the width") << Surface{8, 3, 2};
        QTest::newRow("8 bits without a palette") << Surface{8, 4, -1};
        QTest::newRow("8 bits with an empty palette") << Surface{8, 4, 0};
        QTest::newRow("8 bits with a palette of more than 256 colours") << Surface{8, 4, 257};
    }
    void surfaceThatWouldBeReadOutOfBoundsHasNoColour()
    {
        QFETCH(Surface, row);
        const auto &[bitsPerPixel, bytesPerLine, paletteSize] = row;
        const std::vector<uint32_t> pixels(64, 0xFF123456u), palette(300, 0xFF654321u);
        // 4 x 2 pixels; the last one's bytes lie within `pixels`, but beyond what was declared.
        const PixProbeSurface surface{reinterpret_cast<const uint8_t *>(pixels.data()), 4, 2, bytesPerLine,
                                      bitsPerPixel, paletteSize < 0 ? nullptr : palette.data(), paletteSize, T};
        QVERIFY(PixProbeLibrary::shared().ensureLoaded());
        QCOMPARE(PixProbeLibrary::shared().getAColor()(3 * T, -1 * T, &surface), -1);
    }
};

QTEST_GUILESS_MAIN(TestPixProbe)
#include "test_pixprobe.moc"
