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

// A diagram: white, a grey grid, an anti-aliased curve and a pure red one.
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

// Many colours: a smooth gradient with a few exact colours drawn over it.
QImage photoLike()
{
    QImage image(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            image.setPixel(x, y, qRgb(x, y, (x * y) / 256));
    for (int x = 20; x < 200; ++x) {
        image.setPixel(x, 30, qRgb(255, 0, 0));
        image.setPixel(x, 31, qRgb(0, 0, 255));
        image.setPixel(x, 32, qRgb(0, 0, 0));
        image.setPixel(x, 33, qRgb(254, 0, 0));
    }
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

// The centre row of the dark pixels in a column, or -1.
double darkCentre(const QImage &image, int x)
{
    double sum = 0;
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        if (qGray(image.pixel(x, y)) < 128 && image.pixel(x, y) != qRgb(0, 0, 0)) {
            sum += y;
            ++n;
        }
    }
    return n ? sum / n : -1;
}

quint16 bitmapBits(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = file.read(30);
    return head.size() < 30 ? 0 : qFromLittleEndian<quint16>(head.constData() + 28);
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
        QCOMPARE(reduced.size(), picture.size());
        QCOMPARE(bitmapBitsPerPixel(reduced), 8);
        QVERIFY(reduced.colorCount() <= 256);
        // The marker colours have their exact entries.
        const QList<QRgb> palette = reduced.colorTable();
        QVERIFY(palette.contains(qRgb(255, 0, 0)));
        QVERIFY(palette.contains(qRgb(0, 0, 255)));
        QVERIFY(palette.contains(qRgb(0, 0, 0)));

        QHash<QRgb, int> entryOf;
        for (int y = 0; y < picture.height(); ++y) {
            const uchar *line = reduced.constScanLine(y);
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb source = picture.pixel(x, y);
                const int entry = entryOf.value(source, -1);
                if (entry < 0)
                    entryOf.insert(source, line[x]);
                else
                    QCOMPARE(int(line[x]), entry);
                if (exact || source == qRgb(255, 0, 0) || source == qRgb(0, 0, 255) || source == qRgb(0, 0, 0))
                    QCOMPARE(palette.at(line[x]), source);
            }
        }
        if (exact)
            QCOMPARE(colors(reduced), colors(picture));
    }

    void reductionIsDeterministic()
    {
        QCOMPARE(reduceColors(photoLike()), reduceColors(photoLike()));
        QCOMPARE(reduceColors(diagram()), reduceColors(diagram()));
    }

    void reductionOfAnAlreadyReducedPictureChangesNoColour()
    {
        const QImage once = reduceColors(photoLike());
        QCOMPARE(colors(reduceColors(once)), colors(once));
    }

    void rotationByTheMeasuredAngleLevelsATiltedLine_data()
    {
        QTest::addColumn<QPoint>("left");
        QTest::addColumn<QPoint>("right");
        QTest::newRow("a line rising to the right") << QPoint(60, 330) << QPoint(740, 270);
        QTest::newRow("a line falling to the right") << QPoint(60, 250) << QPoint(740, 340);
    }
    void rotationByTheMeasuredAngleLevelsATiltedLine()
    {
        QFETCH(QPoint, left);
        QFETCH(QPoint, right);
        QImage image(800, 600, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            p.setPen(QPen(QColor(0, 0, 160), 3));
            p.drawLine(left, right);
        }
        image = reduceColors(image);
        // The angle as the two-point pick measures it, negated into the angle box, in hundredths.
        const double a = std::atan(double(right.y() - left.y()) / double(right.x() - left.x())) * 180.0 / 3.14159265359;
        const qint32 hundredths = qint32(std::nearbyint(-a * 100.0));
        const QImage rotated = rotatePicture(image, hundredths);
        QCOMPARE(rotated.size(), image.size());
        QCOMPARE(rotated.format(), QImage::Format_Indexed8);
        double lowest = 1e9, highest = -1e9;
        const double half = (right.x() - left.x()) / 2.0 - 20;
        for (int x = int(400 - half); x <= int(400 + half); ++x) {
            const double row = darkCentre(rotated, x);
            QVERIFY2(row >= 0, qPrintable(QStringLiteral("no line in column %1").arg(x)));
            lowest = std::min(lowest, row);
            highest = std::max(highest, row);
        }
        QVERIFY2(highest - lowest <= 1.0, qPrintable(QStringLiteral("rows %1 to %2").arg(lowest).arg(highest)));
        // No new colours: nearest-neighbour only, plus black for the uncovered corners.
        QCOMPARE(colors(rotated) - colors(image), QSet<QRgb>{qRgb(0, 0, 0)});
        QCOMPARE(rotated.pixel(0, 0), qRgb(0, 0, 0));
    }

    void rotationTurnsClockwiseOnTheScreen()
    {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setPixel(0, 0, qRgb(255, 0, 0));
        QCOMPARE(rotatePicture(image, 9000).pixel(3, 0), qRgb(255, 0, 0));
        QCOMPARE(rotatePicture(image, -9000).pixel(0, 3), qRgb(255, 0, 0));
        QCOMPARE(rotatePicture(image, 0), image);
        QCOMPARE(rotatePicture(image, 36000), image);
    }

    void reducedPictureWithMarkersSavesAndReloadsAt8Bits()
    {
        QImage picture = reduceColors(diagram());
        {
            DrawingSurface surface(picture);
            surface.drawCircle(150, -1500, 30, 0x0000FF);
            surface.drawCircle(600, -900, 30, 0xFF0000);
        }
        const QString path = mDir.filePath(QStringLiteral("saved.bmp"));
        QString error;
        QVERIFY2(saveBitmap(picture, path, &error), qPrintable(error));
        QCOMPARE(bitmapBits(path), quint16(8));
        const LoadedPicture back = loadPicture(path);
        QCOMPARE(back.status, LoadStatus::Loaded);
        QCOMPARE(back.image.convertToFormat(QImage::Format_RGB32), picture.convertToFormat(QImage::Format_RGB32));
        // The marker at pixel (10, 100) is there: its right-hand point is red.
        QCOMPARE(back.image.pixel(12, 100), qRgb(255, 0, 0));
    }

    void trueColourPictureSavesAt24Bits()
    {
        const QString path = mDir.filePath(QStringLiteral("true.bmp"));
        QVERIFY(saveBitmap(photoLike(), path));
        QCOMPARE(bitmapBits(path), quint16(24));
        QCOMPARE(loadPicture(path).image.convertToFormat(QImage::Format_RGB32), photoLike());
    }

    void failedSaveLeavesTheExistingFile_data()
    {
        QTest::addColumn<bool>("intoFolder");
        QTest::newRow("a save that runs out of file space") << false;
        QTest::newRow("a save into a folder that does not exist") << true;
    }
    void failedSaveLeavesTheExistingFile()
    {
        QFETCH(bool, intoFolder);
        const QString path = intoFolder ? mDir.filePath(QStringLiteral("missing/old.bmp"))
                                        : mDir.filePath(QStringLiteral("old.bmp"));
        const QByteArray old("the picture saved before");
        if (!intoFolder)
            QVERIFY(writeFile(path, old));
        const QStringList filesBefore = QDir(mDir.path()).entryList(QDir::Files);
        QString error;
        bool saved;
        {
            // Writes past 4 KB fail from here on, as on a full disk; root is bound by it too.
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit previous{};
            getrlimit(RLIMIT_FSIZE, &previous);
            rlimit small{4096, previous.rlim_max};
            if (!intoFolder)
                QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
            saved = saveBitmap(photoLike(), path, &error);
            setrlimit(RLIMIT_FSIZE, &previous);
        }
        QVERIFY(!saved);
        QVERIFY(!error.isEmpty());
        if (!intoFolder) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), old);
        }
        // No half-written file is left behind either.
        QCOMPARE(QDir(mDir.path()).entryList(QDir::Files), filesBefore);
    }

private:
    QTemporaryDir mDir;
};

QTEST_GUILESS_MAIN(TestImageOps)
#include "test_image_ops.moc"
