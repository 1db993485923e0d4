#include "scanner/ScanFrames.h"

#include <QTest>

#include <sane/sane.h>

using namespace chartrek;

namespace {

ScanFrame frame(int format, int depth, int width, int bytesPerLine, int lines, QByteArray data)
{
    return {{format, depth, width, bytesPerLine, lines, true}, std::move(data)};
}

QImage rgb(int width, int height, std::initializer_list<QRgb> pixels)
{
    QImage image(width, height, QImage::Format_RGB32);
    auto it = pixels.begin();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, *it++);
    return image;
}

const QRgb black = qRgb(0, 0, 0);
const QRgb white = qRgb(255, 255, 255);

} // namespace

class TestScanFrames : public QObject {
    Q_OBJECT
private slots:
    void framesMakeAPictureOrSayWhyNot_data()
    {
        QTest::addColumn<QList<ScanFrame>>("frames");
        QTest::addColumn<QImage>("expected"); // null: refused
        QTest::addColumn<QString>("error");
        const ScanFrame red = frame(SANE_FRAME_RED, 8, 1, 1, 1, "\x01"), green = frame(SANE_FRAME_GREEN, 8, 1, 1, 1, "\x01");
        QTest::newRow("lineart: a set bit is black, padding bits ignored")
            << QList{frame(SANE_FRAME_GRAY, 1, 3, 1, 2, QByteArray("\xa0\x5f", 2))}
            << rgb(3, 2, {black, white, black, white, black, white}) << "";
        QTest::newRow("gray lines skip their padding bytes")
            << QList{frame(SANE_FRAME_GRAY, 8, 2, 4, 2, QByteArray("\x10\x20\xff\xff\x30\x40\xff\xff", 8))}
            << rgb(2, 2, {qRgb(16, 16, 16), qRgb(32, 32, 32), qRgb(48, 48, 48), qRgb(64, 64, 64)}) << "";
        QTest::newRow("rgb, 1 bit: samples run across byte edges")
            // pixels: red, cyan, white; bits 100 011 111 (then padding)
            << QList{frame(SANE_FRAME_RGB, 1, 3, 2, 1, QByteArray("\x8f\x80", 2))}
            << rgb(3, 1, {qRgb(255, 0, 0), qRgb(0, 255, 255), white}) << "";
        QTest::newRow("colour frames in green-blue-red order")
            << QList{frame(SANE_FRAME_GREEN, 8, 2, 2, 1, "\x01\x02"), frame(SANE_FRAME_BLUE, 8, 2, 2, 1, "\x03\x04"),
                     frame(SANE_FRAME_RED, 8, 2, 2, 1, "\x05\x06")}
            << rgb(2, 1, {qRgb(5, 1, 3), qRgb(6, 2, 4)}) << "";
        QTest::newRow("unknown height: the whole lines that came")
            << QList{frame(SANE_FRAME_GRAY, 8, 2, 2, -1, QByteArray("\x00\xff\xff\x00\x7f", 5))}
            << rgb(2, 2, {black, white, white, black}) << "";
        QTest::newRow("no frames") << QList<ScanFrame>{} << QImage() << "The scanner sent no picture data.";
        QTest::newRow("JPEG frame") << QList{frame(11 /* SANE_FRAME_JPEG of later SANE versions */, 8, 1, 1, 1, "\x01")}
            << QImage() << "The scanner sends pictures in a form this program cannot read (frame type 11).";
        QTest::newRow("4 bits per sample") << QList{frame(SANE_FRAME_GRAY, 4, 2, 1, 1, "\x01")} << QImage()
                                           << "The scanner sends 4 bits per sample; 1, 8 or 16 can be read.";
        QTest::newRow("fewer lines than announced") << QList{frame(SANE_FRAME_GRAY, 8, 2, 2, 3, "\x01\x02\x03\x04")}
                                                    << QImage() << "The scanner sent 2 of 3 lines.";
        QTest::newRow("two colour frames") << QList{red, green} << QImage()
                                           << "The scanner sent 2 colour frames instead of three.";
        QTest::newRow("colour frames of different widths")
            << QList{red, green, frame(SANE_FRAME_BLUE, 8, 2, 2, 1, "\x01\x02")} << QImage()
            << "The scanner sent colour frames of different sizes.";
    }
    void framesMakeAPictureOrSayWhyNot()
    {
        QFETCH(QList<ScanFrame>, frames);
        QFETCH(QImage, expected);
        QFETCH(QString, error);
        QString actual;
        const auto image = imageFromScanFrames(frames, &actual);
        QCOMPARE(actual, error);
        QCOMPARE(image ? image->convertToFormat(QImage::Format_RGB32) : QImage(), expected);
    }
};

QTEST_GUILESS_MAIN(TestScanFrames)
#include "test_scan_frames.moc"
