#include "PictureFiles.h"
#include "picture/ImageOps.h"
#include "picture/MetafileDecoder.h"

#include <QElapsedTimer>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace chartrek;
using namespace chartrek::test;

namespace {

enum class BadInput {
    EmptyFile,
    Directory,
    TruncatedJpeg,
    TruncatedPng,
    MostNegativeHeightBmp,
    TextNamedBmp,
    EmptyMetafile,
    TruncatedMetafile,
    MetafileThatNeverEnds,
    MissingFile,
};

QImage drawing(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int x = 0; x < w; ++x) {
        image.setPixel(x, (x * 7) % h, qRgb(x % 256, 40, 200));
        image.setPixel(x, h / 2, qRgb(255, 0, 0));
    }
    return image;
}

// A 1x1 GIF, red.
const QByteArray kGif = QByteArray::fromHex("47494638396101000100800000ff000000000021f90400000000002c00000000010001000002024401003b");

} // namespace

class TestImageLoading : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(mDir.isValid());
        mSettings = metafileSettings();
    }
    void cleanup() { metafileSettings() = mSettings; }

    void sizeLimitIsInPixels_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<LoadStatus>("expected");
        QTest::newRow("a picture 32760 pixels wide loads") << 32760 << 2 << LoadStatus::Loaded;
        QTest::newRow("a picture 32761 pixels wide is refused") << 32761 << 2 << LoadStatus::TooLarge;
        QTest::newRow("a picture 32760 pixels high loads") << 2 << 32760 << LoadStatus::Loaded;
        QTest::newRow("a picture 32761 pixels high is refused") << 2 << 32761 << LoadStatus::TooLarge;
        QTest::newRow("a picture 2185 pixels wide (beyond 32760 twips) loads") << 2185 << 2 << LoadStatus::Loaded;
    }
    void sizeLimitIsInPixels()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(LoadStatus, expected);
        const QString path = mDir.filePath(QStringLiteral("size.png"));
        QImage image(width, height, QImage::Format_Indexed8);
        image.setColorTable({qRgb(255, 255, 255)});
        image.fill(0);
        QVERIFY(writeFile(path, encode(image, "png")));
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, expected);
        if (expected == LoadStatus::Loaded)
            QCOMPARE(loaded.image.size(), QSize(width, height));
        else
            QVERIFY(loaded.image.isNull());
    }

    void oversizedHeaderIsRefusedBeforeDecoding_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("a bitmap header claiming 100000 x 100000") << 100000 << 100000;
        QTest::newRow("a bitmap header claiming 40000 x 10") << 40000 << 10;
    }
    void oversizedHeaderIsRefusedBeforeDecoding()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        const QString path = mDir.filePath(QStringLiteral("claims.bmp"));
        QVERIFY(writeFile(path, bitmapFile(width, height, QByteArray(64, '\0'))));
        QElapsedTimer timer;
        timer.start();
        const LoadedPicture loaded = loadPicture(path);
        // Decoding would have failed on memory, not on the size test.
        QCOMPARE(loaded.status, LoadStatus::TooLarge);
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    }

    void badInputFailsWithAReason_data()
    {
        QTest::addColumn<BadInput>("input");
        QTest::newRow("an empty file") << BadInput::EmptyFile;
        QTest::newRow("a directory") << BadInput::Directory;
        QTest::newRow("a truncated JPEG") << BadInput::TruncatedJpeg;
        QTest::newRow("a truncated PNG") << BadInput::TruncatedPng;
        QTest::newRow("a bitmap with the most negative height") << BadInput::MostNegativeHeightBmp;
        QTest::newRow("a text file named .bmp") << BadInput::TextNamedBmp;
        QTest::newRow("an empty metafile") << BadInput::EmptyMetafile;
        QTest::newRow("a truncated metafile") << BadInput::TruncatedMetafile;
        QTest::newRow("a metafile that never ends (a pipe)") << BadInput::MetafileThatNeverEnds;
        QTest::newRow("a file that does not exist") << BadInput::MissingFile;
    }
    void badInputFailsWithAReason()
    {
        QFETCH(BadInput, input);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("bad"));
        const QByteArray jpeg = encode(drawing(300, 200), "jpeg", 90);
        const QByteArray png = encode(drawing(300, 200), "png");
        switch (input) {
        case BadInput::EmptyFile:
            path += QStringLiteral(".bmp");
            QVERIFY(writeFile(path, {}));
            break;
        case BadInput::Directory:
            path += QStringLiteral(".jpg");
            QVERIFY(QDir().mkpath(path));
            break;
        case BadInput::TruncatedJpeg:
            path += QStringLiteral(".jpg");
            QVERIFY(writeFile(path, jpeg.left(jpeg.size() / 2)));
            break;
        case BadInput::TruncatedPng:
            path += QStringLiteral(".png");
            QVERIFY(writeFile(path, png.left(png.size() / 2)));
            break;
        case BadInput::MostNegativeHeightBmp:
            path += QStringLiteral(".bmp");
            QVERIFY(writeFile(path, bitmapFile(2, std::numeric_limits<qint32>::min(), QByteArray(16, '\0'))));
            break;
        case BadInput::TextNamedBmp:
            path += QStringLiteral(".bmp");
            QVERIFY(writeFile(path, "x\ty\r\n1.5\t2.5\r\n"));
            break;
        case BadInput::EmptyMetafile:
            path += QStringLiteral(".wmf");
            QVERIFY(writeFile(path, {}));
            break;
        case BadInput::TruncatedMetafile:
            path += QStringLiteral(".wmf");
            QVERIFY(writeFile(path, metafile().left(50)));
            break;
        case BadInput::MetafileThatNeverEnds:
            path += QStringLiteral(".wmf");
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            break;
        case BadInput::MissingFile:
            path += QStringLiteral(".bmp");
            break;
        }
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, LoadStatus::Failed);
        QVERIFY(loaded.image.isNull());
        QVERIFY(!loaded.error.isEmpty());
    }

    void unreadableFileFails()
    {
        if (geteuid() == 0)
            QSKIP("Running as root: a file without read permission can still be read.");
        const QString path = mDir.filePath(QStringLiteral("locked.png"));
        QVERIFY(writeFile(path, encode(drawing(10, 10), "png")));
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, LoadStatus::Failed);
        QVERIFY(!loaded.error.isEmpty());
    }

    void formatIsToldByContent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("lossless");
        QTest::newRow("a bitmap") << "p.bmp" << QByteArray("bmp") << true;
        QTest::newRow("a device-independent bitmap named .dip") << "p.dip" << QByteArray("bmp") << true;
        QTest::newRow("a PNG") << "p.png" << QByteArray("png") << true;
        QTest::newRow("a PNG named .jpg") << "p.jpg" << QByteArray("png") << true;
        QTest::newRow("a JPEG named .bmp") << "j.bmp" << QByteArray("jpeg") << false;
        QTest::newRow("a TIFF") << "p.tif" << QByteArray("tiff") << true;
        QTest::newRow("a lossless WebP") << "p.webp" << QByteArray("webp") << true;
    }
    void formatIsToldByContent()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QFETCH(bool, lossless);
        const QImage original = drawing(64, 48);
        const QString path = mDir.filePath(name);
        QVERIFY(writeFile(path, encode(original, format.constData(), format == "webp" ? 100 : 95)));
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, LoadStatus::Loaded);
        QCOMPARE(loaded.image.size(), original.size());
        if (lossless)
            QCOMPARE(loaded.image.convertToFormat(QImage::Format_RGB32), original);
    }

    void largeJpegDecodesAsTheReaderDoes()
    {
        // Large enough that the decoder reads the file in many pieces.
        QImage noisy(1200, 900, QImage::Format_RGB32);
        for (int y = 0; y < noisy.height(); ++y)
            for (int x = 0; x < noisy.width(); ++x)
                noisy.setPixel(x, y, qRgb((x * 7919 + y * 104729) % 251, (x * y) % 253, (x ^ y) & 255));
        const QString path = mDir.filePath(QStringLiteral("noisy.jpg"));
        QVERIFY(writeFile(path, encode(noisy, "jpeg", 95)));
        QVERIFY(QFileInfo(path).size() > 512 * 1024);
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, LoadStatus::Loaded);
        QCOMPARE(loaded.image, QImageReader(path).read());
    }

    void gifLoads()
    {
        const QString path = mDir.filePath(QStringLiteral("red.gif"));
        QVERIFY(writeFile(path, kGif));
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, LoadStatus::Loaded);
        QCOMPARE(loaded.image.pixel(0, 0), qRgb(255, 0, 0));
    }

    void topDownBitmapKeepsItsRowOrder()
    {
        // Negative height: the first row in the file is the top row.
        QByteArray pixels;
        pixels += QByteArray::fromHex("0000ff" "00ff00" "0000"); // red, green
        pixels += QByteArray::fromHex("ff0000" "ffffff" "0000"); // blue, white
        const QString path = mDir.filePath(QStringLiteral("topdown.bmp"));
        QVERIFY(writeFile(path, bitmapFile(2, -2, pixels)));
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, LoadStatus::Loaded);
        QCOMPARE(loaded.image.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(loaded.image.pixel(1, 0), qRgb(0, 255, 0));
        QCOMPARE(loaded.image.pixel(0, 1), qRgb(0, 0, 255));
    }

    void transparencyShowsAsWhite()
    {
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        image.setPixel(1, 1, qRgba(0, 0, 255, 255));
        const QString path = mDir.filePath(QStringLiteral("alpha.png"));
        QVERIFY(writeFile(path, encode(image, "png")));
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, LoadStatus::Loaded);
        QVERIFY(!loaded.image.hasAlphaChannel());
        QCOMPARE(loaded.image.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(loaded.image.pixel(1, 1), qRgb(0, 0, 255));
    }

    void metafileIsDrawnByTheConverter()
    {
        const QString path = mDir.filePath(QStringLiteral("drawing.wmf"));
        QVERIFY(writeFile(path, metafile()));
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, LoadStatus::Loaded);
        const QImage &image = loaded.image;
        // 1000 x 500 units at 1440 per inch: about twice as wide as high.
        QVERIFY2(qAbs(image.width() - 2 * image.height()) <= 2,
                 qPrintable(QStringLiteral("%1 x %2").arg(image.width()).arg(image.height())));
        // The converter crops to what is drawn: a red rectangle with the default black outline.
        QCOMPARE(QColor(image.pixel(image.width() / 2, image.height() / 2)), QColor(Qt::red));
        QCOMPARE(QColor(image.pixel(0, 0)), QColor(Qt::black));
    }

    void metafileConverterProblemsFail_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a converter that never finishes is stopped") << "exec sleep 30\n" << "too long";
        QTest::newRow("a converter that fails reports its error") << "echo broken record >&2\nexit 3\n" << "broken record";
        QTest::newRow("a converter that writes nothing") << "exit 0\n" << "could not be drawn";
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
        QElapsedTimer timer;
        timer.start();
        const LoadedPicture loaded = loadPicture(path);
        QCOMPARE(loaded.status, LoadStatus::Failed);
        QVERIFY2(loaded.error.contains(reason), qPrintable(loaded.error));
        QVERIFY(timer.elapsed() < 5000);
    }

    void clipboardPictureTakesTheSizeTest()
    {
        QCOMPARE(acceptPicture(QImage(32761, 1, QImage::Format_RGB32)).status, LoadStatus::TooLarge);
        QCOMPARE(acceptPicture(QImage()).status, LoadStatus::Failed);
        QImage fine(3, 2, QImage::Format_RGB32);
        fine.fill(Qt::green);
        QCOMPARE(acceptPicture(fine).image, fine);
    }

private:
    QTemporaryDir mDir;
    MetafileSettings mSettings;
};

QTEST_GUILESS_MAIN(TestImageLoading)
#include "test_image_loading.moc"
