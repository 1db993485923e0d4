#include "PictureFiles.h"
#include "picture/DrawingSurface.h"
#include "picture/ImageOps.h"

#include <QPainter>
#include <QtTest>

#include <cmath>
#include <numbers>

#include <sys/stat.h>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// A file and what loading it gives: the size of the picture at 8 bits, or the picture itself. Pasted:
// its picture is also offered as the clipboard would; Folder, Pipe: a folder or a pipe of that name.
enum class Make { Bytes, Pasted, Folder, Pipe };
struct Load { QString name; Make make; QByteArray bytes; LoadStatus expected;
              QSize size = {}; QString reason = {}; QImage picture = {}; };

// A picture, whether its reduction keeps every colour, and whether it is drawn on reduced or as it is.
struct Held { QImage picture; bool exact, reduced; };

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
    p.setPen(QColor(255, 0, 0));
    p.drawLine(10, 100, 300, 120);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 90, 0), 1.5));
    p.drawLine(10, 200, 300, 40);
    return image;
}

// Many colours, the marker colours and a near-red drawn over them.
QImage photoLike()
{
    QImage image = noisy(256, 256);
    for (int x = 20; x < 200; ++x)
        for (int i = 0; i < 4; ++i)
            image.setPixel(x, 30 + i, i < 3 ? kMarkers[i] : qRgb(254, 0, 0));
    return image;
}

} // namespace

class TestImageOps : public QObject {
    Q_OBJECT

private slots:
    void loadingSaysWhatItGotOrWhyNot_data()
    {
        QTest::addColumn<Load>("load");
        const auto loaded = LoadStatus::Loaded, failed = LoadStatus::Failed, tooLarge = LoadStatus::TooLarge;
        const QImage original = noisy(400, 300);
        const QByteArray jpeg = encode(original, "jpeg", 95), progressive = encode(original, "jpeg", 95, true);
        const auto decoded = [](const QByteArray &bytes) { return QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32); };
        QTest::newRow("a 32760-pixel width loads") << Load{"w.png", Make::Pasted, blackPng(32760, 2), loaded, {32760, 2}};
        QTest::newRow("a 32761-pixel width is refused") << Load{"w.png", Make::Pasted, blackPng(32761, 2), tooLarge};
        QTest::newRow("a 32761-pixel height is refused") << Load{"h.png", Make::Pasted, blackPng(2, 32761), tooLarge};
        QTest::newRow("a 1 MB grey PNG of 32760 x 32760 loads, at 8 bits")
            << Load{"g.png", Make::Bytes, blackPng(32760, 32760, 8), loaded, {32760, 32760}};
        // Refused before its (missing) data is read.
        QTest::newRow("a 16-bit colour PNG of 32760 x 16400 is more than the reader may take")
            << Load{"c.png", Make::Bytes, blackPng(32760, 16400, 16, 2, false), failed, {}, "4096 MB"};
        // Decoding it would fail on memory, not on the size test.
        QTest::newRow("a bitmap header claiming 100000 x 100000")
            << Load{"c.bmp", Make::Bytes, bitmapFile(100000, 100000, QByteArray(64, '\0')), tooLarge};
        QTest::newRow("a bitmap with the most negative height")
            << Load{"n.bmp", Make::Bytes, bitmapFile(2, std::numeric_limits<qint32>::min(), QByteArray(16, '\0')), failed};
        QTest::newRow("an empty file") << Load{"e.bmp", Make::Bytes, {}, failed};
        QTest::newRow("a directory") << Load{"d.jpg", Make::Folder, {}, failed};
        QTest::newRow("a truncated JPEG") << Load{"t.jpg", Make::Bytes, jpeg.left(jpeg.size() / 2), failed};
        // Found by fuzzing: a 72-byte MNG whose decoder would take 3.4 GB before the size test.
        QTest::newRow("an MNG of 13500480 x 64, a format not offered")
            << Load{"m.png", Make::Bytes, QByteArray::fromHex("8a4d4e470d0a1a0a0000000d4948445200ce004000000040010000000082124c"
                                                             "730000000f49444154789c63601805a3807c0000024000015936a103000000"
                                                             "0049454e44ae426082"), failed, {}, "known format"};
        QTest::newRow("a text file named .bmp") << Load{"x.bmp", Make::Bytes, "x\ty\r\n1.5\t2.5\r\n", failed};
        QTest::newRow("a truncated metafile") << Load{"t.wmf", Make::Bytes, metafile().left(50), failed};
        QTest::newRow("a metafile that never ends (a pipe)") << Load{"p.wmf", Make::Pipe, {}, failed};
        QTest::newRow("a PNG named .jpg") << Load{"p.jpg", Make::Bytes, encode(original, "png"), loaded, {}, {}, original};
        QTest::newRow("a lossless WebP")
            << Load{"p.webp", Make::Bytes, encode(original, "webp", 100), loaded, {}, {}, original};
        // Walked through to its end marker: the decoder must start where it began.
        QTest::newRow("a progressive JPEG with a phone's 100 KB video after its end")
            << Load{"v.jpg", Make::Bytes, progressive + QByteArray(100 * 1024, 'v'), loaded, {}, {}, decoded(progressive)};
        QImage alpha(4, 4, QImage::Format_ARGB32), flat(4, 4, QImage::Format_RGB32);
        alpha.fill(Qt::transparent);
        flat.fill(Qt::white);
        alpha.setPixel(1, 1, qRgb(0, 0, 255));
        flat.setPixel(1, 1, qRgb(0, 0, 255));
        QTest::newRow("transparent parts show white")
            << Load{"a.png", Make::Bytes, encode(alpha, "png"), loaded, {}, {}, flat};
    }
    void loadingSaysWhatItGotOrWhyNot()
    {
        QFETCH(Load, load);
        const QString path = mDir.filePath(load.name);
        if (load.make == Make::Pasted)
            QCOMPARE(acceptPicture(QImage::fromData(load.bytes)).status, load.expected);
        QVERIFY(load.make == Make::Folder ? QDir().mkpath(path)
                : load.make == Make::Pipe ? mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                                          : !writeFile(mDir, load.name, load.bytes).isEmpty());
        const LoadedPicture loaded = loadPicture(path);
        const bool ok = load.expected == LoadStatus::Loaded;
        QCOMPARE(loaded.status, load.expected);
        QVERIFY2(loaded.error.contains(load.reason) && loaded.error.isEmpty() == ok, qPrintable(loaded.error));
        if (!load.picture.isNull()) {
            QCOMPARE(loaded.image.convertToFormat(QImage::Format_RGB32), load.picture);
        } else {
            QCOMPARE(loaded.image.size(), ok ? load.size : QSize(0, 0));
            QCOMPARE(loaded.image.format(), ok ? QImage::Format_Indexed8 : QImage::Format_Invalid);
        }
    }

    void metafileIsDrawnByTheConverter()
    {
        const QImage image = loadPicture(writeFile(mDir, QStringLiteral("drawing.wmf"), metafile())).image;
        // 1000 x 500 units: about twice as wide as high, cropped to the red rectangle and its outline.
        QVERIFY2(qAbs(image.width() - 2 * image.height()) <= 2, qPrintable(QString::number(image.width())));
        QCOMPARE(QColor(image.pixel(image.width() / 2, image.height() / 2)), QColor(Qt::red));
        QCOMPARE(QColor(image.pixel(0, 0)), QColor(Qt::black));
    }

    // Reduced to 8 bits, each colour keeps one entry and the markers theirs. Drawn on, a reduced picture
    // stays at 8 bits, others go to true colour (grey has no room for blue), never as bytes of another size.
    void reductionAndDrawingKeepThePicture_data()
    {
        QTest::addColumn<Held>("row");
        QTest::newRow("an anti-aliased diagram keeps every colour, drawn on at 8 bits") << Held{diagram(), true, true};
        QTest::newRow("a photo-like picture maps each colour to one entry") << Held{photoLike(), false, true};
        const QImage grey = diagram().convertToFormat(QImage::Format_Grayscale8);
        QTest::newRow("a grey picture drawn on in colour") << Held{grey, true, false};
        QTest::newRow("a 24-bit picture") << Held{photoLike().convertToFormat(QImage::Format_RGB888), false, false};
    }
    void reductionAndDrawingKeepThePicture()
    {
        QFETCH(Held, row);
        QImage held = reduceColors(row.picture);
        const QList<QRgb> palette = held.colorTable(); // empty unless the picture is 8-bit
        QVERIFY(std::ranges::all_of(kMarkers, [&](QRgb marker) { return palette.contains(marker); }));
        QHash<QRgb, int> entryOf;
        for (int y = 0; y < row.picture.height(); ++y) {
            for (int x = 0; x < row.picture.width(); ++x) {
                const QRgb source = row.picture.pixel(x, y);
                const int entry = held.constScanLine(y)[x];
                QCOMPARE(entryOf.value(source, entry), entry);
                entryOf.insert(source, entry);
                if (row.exact || kMarkers.contains(source))
                    QCOMPARE(palette.at(entry), source);
            }
        }
        if (!row.reduced)
            held = row.picture;
        const QImage before = held.convertToFormat(QImage::Format_RGB32);
        DrawingSurface(held).drawCircle(150, -1500, 30, 0xFF0000); // around pixel (10, 100)
        QCOMPARE(held.format(), row.reduced ? QImage::Format_Indexed8 : QImage::Format_RGB32);
        const QImage after = held.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(after.pixel(12, 100), qRgb(0, 0, 255)); // the marker's right-hand point
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (after.pixel(x, y) != before.pixel(x, y) && (qAbs(x - 10) > 2 || qAbs(y - 100) > 2))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 changed").arg(x).arg(y)));
    }

    // Each target pixel centre, turned back onto the source by the plain formula, takes the pixel
    // it lands in; outside is black. However the rotation is computed, this is its result.
    void rotationTakesThePixelUnderEachTurnedCentre_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<int>("hundredths");
        const QImage reduced = reduceColors(noisy(301, 203));
        QTest::newRow("8 bits, a scan's tilt of 1.5 degrees") << reduced << 150;
        QTest::newRow("8 bits, tilted the other way") << reduced << -150;
        QTest::newRow("8 bits, a hundredth of a degree") << reduced << 1;
        QTest::newRow("32 bits, 45 degrees") << noisy(203, 301) << 4500;
        QTest::newRow("32 bits, a quarter turn") << noisy(120, 80) << 9000;
        QTest::newRow("32 bits, upside down") << noisy(77, 55) << 18000;
        QTest::newRow("a single column") << noisy(1, 50) << 3000;
        QTest::newRow("a single pixel") << noisy(1, 1) << -4500;
    }
    void rotationTakesThePixelUnderEachTurnedCentre()
    {
        QFETCH(QImage, picture);
        QFETCH(int, hundredths);
        const QImage turned = rotatePicture(picture, hundredths);
        QCOMPARE(turned.format(), picture.format());
        const double angle = hundredths / 100.0 * std::numbers::pi / 180.0, c = std::cos(angle), s = std::sin(angle);
        const double cx = picture.width() / 2.0, cy = picture.height() / 2.0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const int px = int(std::floor(c * (x + 0.5 - cx) + s * (y + 0.5 - cy) + cx));
                const int py = int(std::floor(-s * (x + 0.5 - cx) + c * (y + 0.5 - cy) + cy));
                const QRgb expected = picture.valid(px, py) ? picture.pixel(px, py) : qRgb(0, 0, 0);
                if (turned.pixel(x, y) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 from %3,%4").arg(x).arg(y).arg(px).arg(py)));
            }
        }
    }

private:
    QTemporaryDir mDir;
};

QTEST_GUILESS_MAIN(TestImageOps)
#include "test_image_ops.moc"
