#include "PictureFiles.h"
#include "TestSupport.h"
#include "picture/ImageOps.h"
#include "picture/MetafileDecoder.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <zlib.h>

using namespace chartrek;
using namespace chartrek::test;

namespace {

enum class Make { Bytes, Folder, Pipe, Unreadable, Nothing };

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
    QByteArray header("IHDR\0\0\0\0\0\0\0\0\0\0\0\0\0", 17);
    qToBigEndian(w, header.data() + 4);
    qToBigEndian(h, header.data() + 8);
    header[12] = char(bitDepth);
    header[13] = char(colourType);
    QByteArray data("IDAT");
    if (withData) {
        const QByteArray row(1 + w * (colourType == 2 ? 3 : 1) * bitDepth / 8, '\0'); // filter byte first
        z_stream z{};
        deflateInit(&z, 6);
        QByteArray out(1 << 16, '\0');
        for (quint32 y = 0; y < h; ++y) {
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
    }
    return "\x89PNG\r\n\x1a\n" + chunk(header) + chunk(data) + chunk("IEND");
}

QImage noisy(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7919 + y * 104729) % 251, (x * y) % 253, (x ^ y) & 255));
    return image;
}

} // namespace

class TestImageLoading : public QObject {
    Q_OBJECT

private slots:
    void init() { mSettings = metafileSettings(); }
    void cleanup() { metafileSettings() = mSettings; }

    void sizeLimitIsInPixels_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<LoadStatus>("expected");
        QTest::newRow("a picture 32760 pixels wide loads") << QSize(32760, 2) << LoadStatus::Loaded;
        QTest::newRow("a picture 32761 pixels wide is refused") << QSize(32761, 2) << LoadStatus::TooLarge;
        QTest::newRow("a picture 32761 pixels high is refused") << QSize(2, 32761) << LoadStatus::TooLarge;
        QTest::newRow("a picture 2185 pixels wide (beyond 32760 twips) loads") << QSize(2185, 2) << LoadStatus::Loaded;
    }
    void sizeLimitIsInPixels()
    {
        QFETCH(QSize, size);
        QFETCH(LoadStatus, expected);
        QImage image(size, QImage::Format_Mono);
        image.fill(0);
        const QString path = mDir.filePath(QStringLiteral("size.png"));
        QVERIFY(writeFile(path, encode(image, "png")));
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, expected);
        QCOMPARE(loaded.image.size(), expected == LoadStatus::Loaded ? size : QSize(0, 0));
        QCOMPARE(acceptPicture(image).status, expected); // the clipboard's way in
    }

    void badInputIsRefusedWithAReason_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Make>("make");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<LoadStatus>("expected");
        const QByteArray jpeg = encode(noisy(300, 200), "jpeg", 90), png = encode(noisy(300, 200), "png");
        const auto failed = LoadStatus::Failed;
        QTest::newRow("an empty file") << "e.bmp" << Make::Bytes << QByteArray() << failed;
        QTest::newRow("a directory") << "d.jpg" << Make::Folder << QByteArray() << failed;
        QTest::newRow("a truncated JPEG") << "t.jpg" << Make::Bytes << jpeg.left(jpeg.size() / 2) << failed;
        QTest::newRow("a truncated PNG") << "t.png" << Make::Bytes << png.left(png.size() / 2) << failed;
        // Decoding it would fail on memory, not on the size test.
        QTest::newRow("a bitmap header claiming 100000 x 100000")
            << "c.bmp" << Make::Bytes << bitmapFile(100000, 100000, QByteArray(64, '\0')) << LoadStatus::TooLarge;
        QTest::newRow("a bitmap with the most negative height")
            << "n.bmp" << Make::Bytes << bitmapFile(2, std::numeric_limits<qint32>::min(), QByteArray(16, '\0'))
            << failed;
        QTest::newRow("a text file named .bmp") << "x.bmp" << Make::Bytes << QByteArray("x\ty\r\n1.5\t2.5\r\n") << failed;
        QTest::newRow("an empty metafile") << "e.wmf" << Make::Bytes << QByteArray() << failed;
        QTest::newRow("a truncated metafile") << "t.wmf" << Make::Bytes << metafile().left(50) << failed;
        QTest::newRow("a metafile that never ends (a pipe)") << "p.wmf" << Make::Pipe << QByteArray() << failed;
        QTest::newRow("an unreadable file") << "u.png" << Make::Unreadable << png << failed;
        QTest::newRow("a file that does not exist") << "m.bmp" << Make::Nothing << QByteArray() << failed;
    }
    void badInputIsRefusedWithAReason()
    {
        QFETCH(QString, name);
        QFETCH(Make, make);
        QFETCH(QByteArray, bytes);
        QFETCH(LoadStatus, expected);
        const QString path = mDir.filePath(name);
        if (make == Make::Bytes || make == Make::Unreadable)
            QVERIFY(writeFile(path, bytes));
        if (make == Make::Unreadable)
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        if (make == Make::Folder)
            QVERIFY(QDir().mkpath(path));
        if (make == Make::Pipe)
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        WithoutPermissionOverride asAUser;
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, expected);
        QVERIFY(loaded.image.isNull());
        QVERIFY(!loaded.error.isEmpty());
    }

    void formatIsToldByContent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QByteArray>("appended");
        QTest::newRow("a device-independent bitmap named .dip") << "p.dip" << QByteArray("bmp") << QByteArray();
        QTest::newRow("a PNG named .jpg") << "p.jpg" << QByteArray("png") << QByteArray();
        QTest::newRow("a lossless WebP") << "p.webp" << QByteArray("webp") << QByteArray();
        // Walked through to its end marker: the decoder must start where it began.
        QTest::newRow("a large JPEG named .bmp") << "j.bmp" << QByteArray("jpeg") << QByteArray();
        QTest::newRow("a progressive JPEG with a phone's 100 KB video after its end")
            << "v.jpg" << QByteArray("jpeg progressive") << QByteArray(100 * 1024, 'v');
    }
    void formatIsToldByContent()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QFETCH(QByteArray, appended);
        const QImage original = noisy(400, 300);
        const QString path = mDir.filePath(name);
        QVERIFY(writeFile(path, encode(original, format.constData(), format == "webp" ? 100 : 95) + appended));
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, LoadStatus::Loaded);
        QCOMPARE(loaded.image.convertToFormat(QImage::Format_RGB32),
                 format.startsWith("jpeg") ? QImageReader(path).read().convertToFormat(QImage::Format_RGB32) : original);
    }

    void largePicturesLoadOrSayWhy_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("reason"); // empty: loads
        QTest::newRow("a 1 MB grey PNG of 32760 x 32760 loads, at 8 bits")
            << blackPng(32760, 32760, 8, 0, true) << QString();
        // Refused before its (missing) data is read.
        QTest::newRow("a 16-bit colour PNG of 32760 x 16400 is more than the reader may take")
            << blackPng(32760, 16400, 16, 2, false) << QStringLiteral("4096 MB");
    }
    void largePicturesLoadOrSayWhy()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, reason);
        const QString path = mDir.filePath(QStringLiteral("large.png"));
        QVERIFY(writeFile(path, file));
        const LoadedPicture loaded = loadPicture(path);
        QVERIFY2(loaded.error.contains(reason), qPrintable(loaded.error));
        QCOMPARE(loaded.status, reason.isEmpty() ? LoadStatus::Loaded : LoadStatus::Failed);
        if (reason.isEmpty()) {
            QCOMPARE(loaded.image.format(), QImage::Format_Indexed8);
            QCOMPARE(loaded.image.pixel(32759, 32759), qRgb(0, 0, 0));
        }
    }

    void topDownBitmapKeepsItsRowOrderAndTransparencyShowsWhite()
    {
        // Rows: red, green / blue, white; the first row in the file is the top one.
        const QString bmp = mDir.filePath(QStringLiteral("topdown.bmp"));
        QVERIFY(writeFile(bmp, bitmapFile(2, -2, QByteArray::fromHex("0000ff00ff000000ff0000ffffff0000"))));
        const QImage topDown = loadPicture(bmp).image;
        QCOMPARE(topDown.pixel(1, 0), qRgb(0, 255, 0));
        QCOMPARE(topDown.pixel(0, 1), qRgb(0, 0, 255));

        QImage alpha(4, 4, QImage::Format_ARGB32);
        alpha.fill(Qt::transparent);
        alpha.setPixel(1, 1, qRgba(0, 0, 255, 255));
        const QString png = mDir.filePath(QStringLiteral("alpha.png"));
        QVERIFY(writeFile(png, encode(alpha, "png")));
        const QImage flat = loadPicture(png).image;
        QVERIFY(!flat.hasAlphaChannel());
        QCOMPARE(flat.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(flat.pixel(1, 1), qRgb(0, 0, 255));
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

    void metafileConverterProblemsFail_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a converter that never finishes is stopped") << "exec sleep 30\n" << "too long";
        QTest::newRow("a converter that fails reports its error") << "echo broken record >&2\nexit 3\n" << "broken record";
        QTest::newRow("a converter that cannot be started") << "" << "could not be started";
    }
    void metafileConverterProblemsFail()
    {
        QFETCH(QString, script);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString converter = dir.filePath(QStringLiteral("converter.sh"));
        if (!script.isEmpty()) {
            QVERIFY(writeFile(converter, ("#!/bin/sh\n" + script).toUtf8()));
            QVERIFY(QFile::setPermissions(converter, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        metafileSettings().program = converter;
        metafileSettings().timeoutMs = 500;
        const QString path = dir.filePath(QStringLiteral("drawing.wmf"));
        QVERIFY(writeFile(path, metafile()));
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, LoadStatus::Failed);
        QVERIFY2(loaded.error.contains(reason), qPrintable(loaded.error));
    }

private:
    QTemporaryDir mDir;
    MetafileSettings mSettings;
};

QTEST_GUILESS_MAIN(TestImageLoading)
#include "test_image_loading.moc"
