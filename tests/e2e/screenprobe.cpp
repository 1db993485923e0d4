// A helper of the end-to-end tests: makes test pictures and looks at the real screen.
//   screenprobe picture <file.png> <width> <height>   a solid magenta picture
//   screenprobe diagram <file.png>                    a small line diagram
//   screenprobe known <file.png> [example]            a diagram with known values; prints the
//                                                     reference pixels and the data points (see
//                                                     knownDiagram); "example" leaves out the
//                                                     locating mark
//   screenprobe grab <file.png>                       saves the whole screen
//   screenprobe find <rrggbb> [<width>]               prints "x y width height" of that colour,
//                                                     looking only left of x = width
//   screenprobe blobs <rrggbb> [<x> <y> <w> <h>]      prints "x y width height" of every connected
//                                                     area of that colour, left to right, looking
//                                                     only inside the given screen rectangle
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

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


// The diagram of known values: 620 x 292 pixels, small enough to be seen whole in the picture
// area of the window at its first size; x from 0 to 10 and y from 0 to 100 over the pixels
// 70..570 and 240..40, so one pixel is 0.02 in x and 0.5 in y and a click on any whole pixel
// stands for short decimals that the program writes exactly. The data points and the curve's
// end lie on whole pixels; the end and the mark on even ones, so that they are found at half
// size too.
constexpr int kWidth = 620, kHeight = 292;
constexpr int kOriginX = 70, kOriginY = 240, kCornerX = 570, kCornerY = 40;
constexpr double kMaxX = 10, kMaxY = 100;
struct KnownPoint {
    double x, y;
};
constexpr KnownPoint kKnownPoints[] = {{1, 20}, {2.5, 42.5}, {4.5, 62.5}, {6.5, 77.5}, {9, 90}};
constexpr KnownPoint kCurveEnd{kMaxX, 93};
// The locating mark: 4 x 4 pixels of a colour found nowhere else on the screen.
constexpr int kMarkX = 590, kMarkY = 10;

QPointF pixelOf(double x, double y)
{
    return {kOriginX + x * (kCornerX - kOriginX) / kMaxX, kOriginY - y * (kOriginY - kCornerY) / kMaxY};
}

int knownDiagram(const QString &file, bool example)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), 1));
    for (int i = 1; i <= 10; ++i)
        p.drawLine(pixelOf(i, 0), pixelOf(i, kMaxY));
    for (int i = 10; i <= 100; i += 10)
        p.drawLine(pixelOf(0, i), pixelOf(kMaxX, i));
    p.setPen(QPen(Qt::black, 1));
    for (int i = 0; i <= 10; ++i) {
        const QPointF at = pixelOf(i, 0);
        p.drawLine(at, at + QPointF(0, 5));
        p.drawText(QRectF(at.x() - 20, at.y() + 7, 40, 14), Qt::AlignHCenter | Qt::AlignTop, QString::number(i));
    }
    for (int i = 0; i <= 100; i += 10) {
        const QPointF at = pixelOf(0, i);
        p.drawLine(at, at - QPointF(5, 0));
        p.drawText(QRectF(at.x() - 50, at.y() - 7, 42, 14), Qt::AlignRight | Qt::AlignVCenter, QString::number(i));
    }
    p.drawText(QRectF(kOriginX, kOriginY + 26, kCornerX - kOriginX, 16), Qt::AlignHCenter, QStringLiteral("time [h]"));
    QFont title = font;
    title.setPixelSize(15);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRectF(kOriginX, 8, kCornerX - kOriginX, 22), Qt::AlignHCenter, QStringLiteral("Yield of the culture"));
    p.setFont(font);
    p.save();
    p.translate(16, (kOriginY + kCornerY) / 2.0);
    p.rotate(-90);
    p.drawText(QRectF(-100, -10, 200, 20), Qt::AlignCenter, QStringLiteral("yield [%]"));
    p.restore();
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(pixelOf(0, 0), pixelOf(kMaxX, 0));
    p.drawLine(pixelOf(0, 0), pixelOf(0, kMaxY));

    // A smooth curve through the origin, the data points and an end point: Catmull-Rom
    // segments as cubic Béziers.
    p.setRenderHint(QPainter::Antialiasing);
    std::vector<QPointF> through{pixelOf(0, 0)};
    for (const KnownPoint &k : kKnownPoints)
        through.push_back(pixelOf(k.x, k.y));
    through.push_back(pixelOf(kCurveEnd.x, kCurveEnd.y));
    QPainterPath curve(through.front());
    for (size_t i = 0; i + 1 < through.size(); ++i) {
        const QPointF p0 = through[i > 0 ? i - 1 : i], p1 = through[i], p2 = through[i + 1];
        const QPointF p3 = through[i + 2 < through.size() ? i + 2 : i + 1];
        curve.cubicTo(p1 + (p2 - p0) / 6, p2 - (p3 - p1) / 6, p2);
    }
    p.setPen(QPen(QColor(0x20, 0x50, 0xc0), 2));
    p.drawPath(curve);
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(Qt::white);
    for (const KnownPoint &k : kKnownPoints)
        p.drawEllipse(pixelOf(k.x, k.y), 4, 4);
    p.end();
    for (int y = 0; !example && y < 4; ++y) {
        for (int x = 0; x < 4; ++x)
            image.setPixelColor(kMarkX + x, kMarkY + y, QColor(255, 0, 255));
    }
    // A palette picture: the same look in a fraction of the bytes.
    const QImage out = example ? image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither) : image;
    if (!out.save(file))
        return 1;
    // What the test needs: "size w h", "mark x y", the references "origin|corner px py x y",
    // one "point px py x y" per data point in x order, and the curve's "end px py x y".
    std::printf("size %d %d\n", kWidth, kHeight);
    std::printf("mark %d %d\n", kMarkX, kMarkY);
    std::printf("origin %d %d 0 0\n", kOriginX, kOriginY);
    std::printf("corner %d %d %g %g\n", kCornerX, kCornerY, kMaxX, kMaxY);
    for (const KnownPoint &k : kKnownPoints) {
        const QPointF at = pixelOf(k.x, k.y);
        std::printf("point %g %g %g %g\n", at.x(), at.y(), k.x, k.y);
    }
    const QPointF end = pixelOf(kCurveEnd.x, kCurveEnd.y);
    std::printf("end %g %g %g %g\n", end.x(), end.y(), kCurveEnd.x, kCurveEnd.y);
    return 0;
}

QImage grabScreen(const QGuiApplication &app)
{
    return app.primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
}

// Every 8-connected area of exactly that colour inside `area`, ordered left to right.
int blobs(const QGuiApplication &app, QRgb wanted, QRect area)
{
    const QImage screen = grabScreen(app);
    area &= screen.rect();
    std::vector<char> seen(size_t(screen.width()) * screen.height(), 0);
    auto matches = [&](int x, int y) {
        return area.contains(x, y) && !seen[size_t(y) * screen.width() + x]
            && reinterpret_cast<const QRgb *>(screen.constScanLine(y))[x] == wanted;
    };
    std::vector<QRect> found;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!matches(x, y))
                continue;
            QRect box;
            std::vector<QPoint> todo{{x, y}};
            seen[size_t(y) * screen.width() + x] = 1;
            while (!todo.empty()) {
                const QPoint at = todo.back();
                todo.pop_back();
                box |= QRect(at, QSize(1, 1));
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        if (matches(at.x() + dx, at.y() + dy)) {
                            seen[size_t(at.y() + dy) * screen.width() + at.x() + dx] = 1;
                            todo.emplace_back(at.x() + dx, at.y() + dy);
                        }
                    }
                }
            }
            found.push_back(box);
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const QRect &a, const QRect &b) {
        return a.x() != b.x() ? a.x() < b.x() : a.y() < b.y();
    });
    for (const QRect &box : found)
        std::printf("%d %d %d %d\n", box.x(), box.y(), box.width(), box.height());
    return 0;
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
    if ((args.size() == 3 || args.size() == 4) && args[1] == QLatin1String("known"))
        return knownDiagram(args[2], args.size() == 4 && args[3] == QLatin1String("example"));
    if ((args.size() == 3 || args.size() == 7) && args[1] == QLatin1String("blobs")) {
        const QRect area = args.size() == 7 ? QRect(args[3].toInt(), args[4].toInt(), args[5].toInt(), args[6].toInt())
                                            : QRect(0, 0, 1 << 20, 1 << 20);
        return blobs(app, 0xff000000 | args[2].toUInt(nullptr, 16), area);
    }
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
    std::fprintf(stderr, "usage: screenprobe picture|diagram|known|grab|find|blobs ...\n");
    return 2;
}
