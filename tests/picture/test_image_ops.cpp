#include "PictureFiles.h"
#include "picture/DrawingSurface.h"
#include "picture/ImageOps.h"

#include <QHash>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <zlib.h>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// Mono: a 1-bit PNG of the row's size, whose picture is also offered as the clipboard would.
enum class Make { Bytes, Mono, Folder, Pipe };

// A PNG whose bytes are all zero (black), compressed row by row as it is made, so that a
// 1 MB file holds a gigabyte of pixels. Colour type 0 grey, 2 RGB; without data a header only.
QByteArray blackPng(quint32 w, quint32 h, int bitDepth, int colourType, bool withData)
{
    auto chunk = [](const QByteArray &typeAndData) {
        QByteArray length(4, '\0'), crc(4, '\0');
        qToBigEndian(quint32(typeAndData.size() - 4), length.data());
        qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef *>(typeAndData.data()), uInt(typeAndData.size()))), crc.data());
        return length + typeAndData + crc;
    };
    QByteArray header("IHDR\0\0\0\0\0\0\0\0\0\0\0\0\0", 17), data("IDAT");
    qToBigEndian(w, header.data() + 4);
    qToBigEndian(h, header.data() + 8);
    header[12] = char(bitDepth);
    header[13] = char(colourType);
    const QByteArray row(1 + w * (colourType == 2 ? 3 : 1) * bitDepth / 8, '\0'); // filter byte first
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

void row(const char *title, const char *name, Make make, const QByteArray &bytes, LoadStatus expected,
         QSize size = {}, const char *reason = "")
{
    QTest::newRow(title) << QString::fromLatin1(name) << make << bytes << expected << size << QString::fromUtf8(reason);
}

} // namespace

class TestImageOps : public QObject {
    Q_OBJECT

private slots:
    void loadingSaysWhatItGotOrWhyNot_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Make>("make");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<LoadStatus>("expected");
        QTest::addColumn<QSize>("size"); // of the picture loaded, or of the 1-bit one made
        QTest::addColumn<QString>("reason");
        const QByteArray jpeg = encode(noisy(300, 200), "jpeg", 90);
        const auto loaded = LoadStatus::Loaded, failed = LoadStatus::Failed, tooLarge = LoadStatus::TooLarge;
        row("a picture 32760 pixels wide loads", "w.png", Make::Mono, {}, loaded, {32760, 2});
        row("a picture 32761 pixels wide is refused", "w.png", Make::Mono, {}, tooLarge, {32761, 2});
        row("a picture 32761 pixels high is refused", "h.png", Make::Mono, {}, tooLarge, {2, 32761});
        row("a 1 MB grey PNG of 32760 x 32760 loads, at 8 bits", "g.png", Make::Bytes,
            blackPng(32760, 32760, 8, 0, true), loaded, {32760, 32760});
        // Refused before its (missing) data is read.
        row("a 16-bit colour PNG of 32760 x 16400 is more than the reader may take", "c.png", Make::Bytes,
            blackPng(32760, 16400, 16, 2, false), failed, {}, "4096 MB");
        // Decoding it would fail on memory, not on the size test.
        row("a bitmap header claiming 100000 x 100000", "c.bmp", Make::Bytes,
            bitmapFile(100000, 100000, QByteArray(64, '\0')), tooLarge);
        row("a bitmap with the most negative height", "n.bmp", Make::Bytes,
            bitmapFile(2, std::numeric_limits<qint32>::min(), QByteArray(16, '\0')), failed);
        row("an empty file", "e.bmp", Make::Bytes, {}, failed);
        row("a directory", "d.jpg", Make::Folder, {}, failed);
        row("a truncated JPEG", "t.jpg", Make::Bytes, jpeg.left(jpeg.size() / 2), failed);
        row("a text file named .bmp", "x.bmp", Make::Bytes, "x\ty\r\n1.5\t2.5\r\n", failed);
        row("a truncated metafile", "t.wmf", Make::Bytes, metafile().left(50), failed);
        row("a metafile that never ends (a pipe)", "p.wmf", Make::Pipe, {}, failed);
    }
    void loadingSaysWhatItGotOrWhyNot()
    {
        QFETCH(QString, name);
        QFETCH(Make, make);
        QFETCH(QByteArray, bytes);
        QFETCH(LoadStatus, expected);
        QFETCH(QSize, size);
        QFETCH(QString, reason);
        const QString path = mDir.filePath(name);
        if (make == Make::Mono) {
            QImage image(size, QImage::Format_Mono);
            image.fill(0);
            bytes = encode(image, "png");
            QCOMPARE(acceptPicture(image).status, expected); // the clipboard's way in
        }
        if (make == Make::Bytes || make == Make::Mono)
            QVERIFY(writeFile(path, bytes));
        if (make == Make::Folder)
            QVERIFY(QDir().mkpath(path));
        if (make == Make::Pipe)
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, expected);
        QVERIFY2(loaded.error.contains(reason) && loaded.error.isEmpty() == (expected == LoadStatus::Loaded),
                 qPrintable(loaded.error));
        QCOMPARE(loaded.image.size(), expected == LoadStatus::Loaded ? size : QSize(0, 0));
        if (expected == LoadStatus::Loaded)
            QCOMPARE(loaded.image.format(), QImage::Format_Indexed8);
    }

    void contentTellsTheFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QImage>("expected");
        const QImage original = noisy(400, 300);
        const QByteArray jpeg = encode(original, "jpeg", 95), progressive = encode(original, "jpeg progressive", 95);
        const auto decoded = [](const QByteArray &bytes) { return QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32); };
        QTest::newRow("a PNG named .jpg") << "p.jpg" << encode(original, "png") << original;
        QTest::newRow("a lossless WebP") << "p.webp" << encode(original, "webp", 100) << original;
        // Walked through to its end marker: the decoder must start where it began.
        QTest::newRow("a large JPEG named .bmp") << "j.bmp" << jpeg << decoded(jpeg);
        QTest::newRow("a progressive JPEG with a phone's 100 KB video after its end")
            << "v.jpg" << progressive + QByteArray(100 * 1024, 'v') << decoded(progressive);
        QImage alpha(4, 4, QImage::Format_ARGB32), flat(4, 4, QImage::Format_RGB32);
        alpha.fill(Qt::transparent);
        flat.fill(Qt::white);
        alpha.setPixel(1, 1, qRgb(0, 0, 255));
        flat.setPixel(1, 1, qRgb(0, 0, 255));
        QTest::newRow("transparent parts show white") << "a.png" << encode(alpha, "png") << flat;
    }
    void contentTellsTheFormat()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QImage, expected);
        const QString path = mDir.filePath(name);
        QVERIFY(writeFile(path, bytes));
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, LoadStatus::Loaded);
        QCOMPARE(loaded.image.convertToFormat(QImage::Format_RGB32), expected);
    }

    void metafileIsDrawnByTheConverter()
    {
        const QString path = mDir.filePath(QStringLiteral("drawing.wmf"));
        QVERIFY(writeFile(path, metafile()));
        const QImage image = loadPicture(path).image;
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

private:
    QTemporaryDir mDir;
};

QTEST_GUILESS_MAIN(TestImageOps)
#include "test_image_ops.moc"
