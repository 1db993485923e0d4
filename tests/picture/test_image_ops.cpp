#include "PictureFiles.h"
#include "picture/DrawingSurface.h"
#include "picture/ImageOps.h"

#include <QHash>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <csignal>
#include <cmath>

using namespace chartrek;
using namespace chartrek::test;

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

QSet<QRgb> colors(const QImage &image)
{
    QSet<QRgb> set;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            set.insert(image.pixel(x, y));
    return set;
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

    void rotationByTheMeasuredAngleLevelsATiltedLine()
    {
        const QPoint left(60, 330), right(740, 270);
        QImage image(800, 600, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            p.setPen(QPen(QColor(0, 0, 160), 3));
            p.drawLine(left, right);
        }
        image = reduceColors(image);
        // The angle as the two-point pick measures it, negated, in hundredths of a degree.
        const double a = std::atan2(right.y() - left.y(), right.x() - left.x()) * 180.0 / M_PI;
        const QImage rotated = rotatePicture(image, qint32(std::nearbyint(-a * 100.0)));
        QCOMPARE(rotated.size(), image.size());
        double lowest = 1e9, highest = -1e9;
        const int half = (right.x() - left.x()) / 2 - 20;
        for (int x = 400 - half; x <= 400 + half; ++x) {
            double sum = 0;
            int n = 0;
            for (int y = 0; y < rotated.height(); ++y)
                if (rotated.pixel(x, y) == qRgb(0, 0, 160))
                    sum += y, ++n;
            QVERIFY2(n > 0, qPrintable(QStringLiteral("no line in column %1").arg(x)));
            lowest = std::min(lowest, sum / n);
            highest = std::max(highest, sum / n);
        }
        QVERIFY2(highest - lowest <= 1.0, qPrintable(QStringLiteral("rows %1 to %2").arg(lowest).arg(highest)));
        // Nearest-neighbour only, plus black for the uncovered corners.
        QCOMPARE(colors(rotated) - colors(image), QSet<QRgb>{qRgb(0, 0, 0)});
        QCOMPARE(rotatePicture(image, 36000), image);
    }

    void savedPictureReloadsWithItsDepth_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<int>("bits");
        QTest::newRow("a reduced picture with markers saves at 8 bits") << reduceColors(diagram()) << 8;
        QTest::newRow("a true-colour picture saves at 24 bits") << photoLike() << 24;
        // Drawn on as held pictures, not as bytes of another size; all 256 greys leave no room for blue.
        QTest::newRow("a grey picture drawn on in colour saves at 24 bits")
            << diagram().convertToFormat(QImage::Format_Grayscale8) << 24;
        QTest::newRow("a picture of 3 bytes a pixel saves at 24 bits") << photoLike().convertToFormat(QImage::Format_RGB888) << 24;
    }
    void savedPictureReloadsWithItsDepth()
    {
        QFETCH(QImage, picture);
        QFETCH(int, bits);
        DrawingSurface(picture).drawCircle(150, -1500, 30, 0xFF0000);
        const QString path = mDir.filePath(QStringLiteral("saved.bmp"));
        QString error;
        QVERIFY2(saveBitmap(picture, path, &error), qPrintable(error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(qFromLittleEndian<quint16>(file.read(30).constData() + 28), quint16(bits));
        const LoadedPicture back = loadPicture(path);
        QCOMPARE(back.image.convertToFormat(QImage::Format_RGB32), picture.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(back.image.pixel(12, 100), qRgb(0, 0, 255)); // the marker's right-hand point
    }

    void saveThatRunsOutOfSpaceLeavesTheExistingFile()
    {
        const QString path = mDir.filePath(QStringLiteral("old.bmp"));
        const QByteArray old("the picture saved before");
        QVERIFY(writeFile(path, old));
        const QStringList filesBefore = QDir(mDir.path()).entryList(QDir::Files);
        // Writes past 4 KB fail, as on a full disk; root is bound by it too.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit small{4096, previous.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString error;
        const bool saved = saveBitmap(photoLike(), path, &error);
        setrlimit(RLIMIT_FSIZE, &previous);
        QVERIFY(!saved);
        QVERIFY(!error.isEmpty());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old);
        QCOMPARE(QDir(mDir.path()).entryList(QDir::Files), filesBefore); // no half-written file either
    }

private:
    QTemporaryDir mDir;
};

QTEST_GUILESS_MAIN(TestImageOps)
#include "test_image_ops.moc"
