#include "PictureFiles.h"
#include "picture/DrawingSurface.h"
#include "picture/ImageOps.h"

#include <QHash>
#include <QPainter>
#include <QtTest>

#include <sys/stat.h>
#include <zlib.h>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// A file and what loading it gives: the size of the picture at 8 bits, or the picture itself. Pasted:
// its picture is also offered as the clipboard would; Folder, Pipe: a folder or a pipe of that name.
enum class Make { Bytes, Pasted, Folder, Pipe };
struct Load { QString name; Make make; QByteArray bytes; LoadStatus expected;
              QSize size = {}; QString reason = {}; QImage picture = {}; };

// A PNG whose bytes are all zero (black), compressed row by row as it is made, so that a
// 1 MB file holds a gigabyte of pixels. Colour type 0 grey, 2 RGB; without data a header only.
QByteArray blackPng(quint32 w, quint32 h, int bitDepth = 1, int colourType = 0, bool withData = true)
{
    auto chunk = [](const QByteArray &typeAndData) {
        QByteArray length(4, '\0'), crc(4, '\0');
        qToBigEndian(quint32(typeAndData.size() - 4), length.data());
        qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef *>(typeAndData.data()), uInt(typeAndData.size()))), crc.data());
        return length + typeAndData + crc;
    };
    QByteArray header("IHDR"), data("IDAT");
    QDataStream(&header, QIODevice::Append) << w << h << quint8(bitDepth) << quint8(colourType);
    header.append(3, '\0'); // deflate, adaptive filters, not interlaced
    const QByteArray row(1 + (w * (colourType == 2 ? 3 : 1) * bitDepth + 7) / 8, '\0'); // filter byte first
    QByteArray out(1 << 16, '\0');
    z_stream z{};
    deflateInit(&z, 6);
    for (quint32 y = 0; withData && y < h; ++y) {
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(row.constData()));
        z.avail_in = uInt(row.size());
        do {
            z.next_out = reinterpret_cast<Bytef *>(out.data());
            z.avail_out = uInt(out.size());
            deflate(&z, y + 1 == h ? Z_FINISH : Z_NO_FLUSH);
            data.append(out.constData(), out.size() - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return "\x89PNG\r\n\x1a\n" + chunk(header) + chunk(data) + chunk("IEND");
}

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
        QTest::newRow("a picture 32760 pixels wide loads") << Load{"w.png", Make::Pasted, blackPng(32760, 2), loaded, {32760, 2}};
        QTest::newRow("a picture 32761 pixels wide is refused") << Load{"w.png", Make::Pasted, blackPng(32761, 2), tooLarge};
        QTest::newRow("a picture 32761 pixels high is refused") << Load{"h.png", Make::Pasted, blackPng(2, 32761), tooLarge};
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
        QTest::newRow("a text file named .bmp") << Load{"x.bmp", Make::Bytes, "x\ty\r\n1.5\t2.5\r\n", failed};
        QTest::newRow("a truncated metafile") << Load{"t.wmf", Make::Bytes, metafile().left(50), failed};
        QTest::newRow("a metafile that never ends (a pipe)") << Load{"p.wmf", Make::Pipe, {}, failed};
        QTest::newRow("a PNG named .jpg") << Load{"p.jpg", Make::Bytes, encode(original, "png"), loaded, {}, {}, original};
        QTest::newRow("a lossless WebP")
            << Load{"p.webp", Make::Bytes, encode(original, "webp", 100), loaded, {}, {}, original};
        // Walked through to its end marker: the decoder must start where it began.
        QTest::newRow("a large JPEG named .bmp") << Load{"j.bmp", Make::Bytes, jpeg, loaded, {}, {}, decoded(jpeg)};
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
        const QList<QRgb> palette = reduced.colorTable(); // empty unless the picture is 8-bit
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

    // Drawn on as held pictures, not as bytes of another size; all 256 greys leave no room for blue.
    void drawingStaysInTheHeldPicture_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QImage::Format>("held");
        QTest::newRow("a reduced picture with markers stays at 8 bits") << reduceColors(diagram()) << QImage::Format_Indexed8;
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

private:
    QTemporaryDir mDir;
};

QTEST_GUILESS_MAIN(TestImageOps)
#include "test_image_ops.moc"
