// A helper of the end-to-end tests: makes test pictures and looks at the real screen.
//   screenprobe picture <file.png> <width> <height>   a solid magenta picture
//   screenprobe diagram <file.png>                    a small line diagram
//   screenprobe grab <file.png>                       saves the whole screen
//   screenprobe find <rrggbb> [<width>]               prints "x y width height" of that colour,
//                                                     looking only left of x = width
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

int diagram(const QString &file)
{
    QImage image(420, 260, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), 1));
    for (int x = 40; x <= 400; x += 40)
        p.drawLine(x, 20, x, 230);
    for (int y = 30; y <= 230; y += 40)
        p.drawLine(40, y, 400, y);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(40, 230, 400, 230);
    p.drawLine(40, 230, 40, 20);
    QPainterPath curve;
    curve.moveTo(40, 220);
    for (int x = 40; x <= 400; x += 4)
        curve.lineTo(x, 220 - 180 * (1 - std::exp(-(x - 40) / 90.0)));
    p.setPen(QPen(QColor(0x20, 0x50, 0xc0), 2));
    p.drawPath(curve);
    p.end();
    return image.save(file) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QLatin1String("picture")) {
        QImage image(args[3].toInt(), args[4].toInt(), QImage::Format_RGB32);
        image.fill(QColor(255, 0, 255));
        return image.save(args[2]) ? 0 : 1;
    }
    if (args.size() == 3 && args[1] == QLatin1String("diagram"))
        return diagram(args[2]);
    if (args.size() == 3 && args[1] == QLatin1String("grab"))
        return app.primaryScreen()->grabWindow(0).save(args[2]) ? 0 : 1;
    if ((args.size() == 3 || args.size() == 4) && args[1] == QLatin1String("find")) {
        const QRgb wanted = 0xff000000 | args[2].toUInt(nullptr, 16);
        const QImage screen = app.primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
        const int width = args.size() == 4 ? std::min(args[3].toInt(), screen.width()) : screen.width();
        QRect box;
        for (int y = 0; y < screen.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(screen.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                if (line[x] == wanted)
                    box |= QRect(x, y, 1, 1);
            }
        }
        std::printf("%d %d %d %d\n", box.x(), box.y(), box.width(), box.height());
        return 0;
    }
    std::fprintf(stderr, "usage: screenprobe picture|diagram|grab|find ...\n");
    return 2;
}
