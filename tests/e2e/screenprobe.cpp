// A helper of the end-to-end tests: makes test pictures and looks at the real screen.
//   picture <file.png> <width> <height>  a solid magenta picture
//   known <file.png> [example]           the diagram of known values, printing them; "example": no mark
//   line <file.png> [broken]             the same axes with a straight line to trace, printing it;
//                                        "broken": with a gap from x 5 to 6.5 and a point to keep at 8
//   diagram <file.png>                   the example diagram, printing nothing
//   tilted <file.png>                    axes tilted as on a skewed scan, printing where to pick and what follows
//   large <file.png>                     a chart larger than the screen with three one-pixel marks,
//                                        printing "size w h" and "origin|corner|point px py"
//   grab <file.png> [<x> <y> <w> <h>]    saves the whole screen, or that part of it
//   blobs <rrggbb> [<x> <y> <w> <h>]     "x y width height" of each 8-connected area of that colour, left to right
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

// The diagram of known values, seen whole in the window at its first size: x 0..10 and y 0..100
// over the pixels 70..570 and 240..40, so that a click on any whole pixel stands for short
// decimals written exactly. Points and curve end on whole pixels; the end and the mark on even
// ones, so that they are found at half size too.
constexpr int kWidth = 620, kHeight = 292, kOriginX = 70, kOriginY = 240, kCornerX = 570, kCornerY = 40;
constexpr double kMaxX = 10, kMaxY = 100;
struct KnownPoint { double x, y; };
constexpr KnownPoint kKnownPoints[] = {{1, 20}, {2.5, 42.5}, {4.5, 62.5}, {6.5, 77.5}, {9, 90}};
constexpr KnownPoint kCurveEnd{kMaxX, 93};
constexpr int kMarkX = 590, kMarkY = 10; // the locating mark: 4 x 4 pixels of a colour found nowhere else

QPointF pixelOf(KnownPoint k) { return {kOriginX + k.x * (kCornerX - kOriginX) / kMaxX, kOriginY - k.y * (kOriginY - kCornerY) / kMaxY}; }

int knownDiagram(const QString &file, bool example, bool print)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), 1));
    for (int i = 1; i <= 10; ++i) {
        p.drawLine(pixelOf({double(i), 0}), pixelOf({double(i), kMaxY}));
        p.drawLine(pixelOf({0, 10.0 * i}), pixelOf({kMaxX, 10.0 * i}));
    }
    p.setPen(QPen(Qt::black, 1));
    for (int i = 0; i <= 10; ++i) {
        const QPointF x = pixelOf({double(i), 0}), y = pixelOf({0, 10.0 * i});
        p.drawLine(x, x + QPointF(0, 5));
        p.drawText(QRectF(x.x() - 20, x.y() + 7, 40, 14), Qt::AlignHCenter | Qt::AlignTop, QString::number(i));
        p.drawLine(y, y - QPointF(5, 0));
        p.drawText(QRectF(y.x() - 50, y.y() - 7, 42, 14), Qt::AlignRight | Qt::AlignVCenter, QString::number(10 * i));
    }
    p.drawText(QRectF(kOriginX, kOriginY + 26, kCornerX - kOriginX, 16), Qt::AlignHCenter, QStringLiteral("time [h]"));
    p.setTransform(QTransform().translate(16, (kOriginY + kCornerY) / 2.0).rotate(-90));
    p.drawText(QRectF(-100, -10, 200, 20), Qt::AlignCenter, QStringLiteral("yield [%]"));
    p.resetTransform();
    font.setPixelSize(15);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(kOriginX, 8, kCornerX - kOriginX, 22), Qt::AlignHCenter, QStringLiteral("Yield of the culture"));
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(pixelOf({0, 0}), pixelOf({kMaxX, 0}));
    p.drawLine(pixelOf({0, 0}), pixelOf({0, kMaxY}));
    // A smooth curve through the origin, the data points and an end point: Catmull-Rom as Béziers.
    p.setRenderHint(QPainter::Antialiasing);
    std::vector<QPointF> through{pixelOf({0, 0})};
    for (const KnownPoint &k : kKnownPoints)
        through.push_back(pixelOf(k));
    through.push_back(pixelOf(kCurveEnd));
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
        p.drawEllipse(pixelOf(k), 4, 4);
    if (!example)
        p.fillRect(kMarkX, kMarkY, 4, 4, QColor(255, 0, 255));
    p.end();
    // A palette picture: the same look in a fraction of the bytes.
    const bool saved = (example ? image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither) : image).save(file);
    if (!saved || !print)
        return saved ? 0 : 1;
    std::printf("size %d %d\nmark %d %d\n", kWidth, kHeight, kMarkX, kMarkY);
    auto line = [](const char *what, KnownPoint k) {
        std::printf("%s %g %g %g %g\n", what, pixelOf(k).x(), pixelOf(k).y(), k.x, k.y);
    };
    line("origin", {0, 0});
    line("corner", {kMaxX, kMaxY});
    for (const KnownPoint &k : kKnownPoints)
        line("point", k);
    line("end", kCurveEnd);
    return 0;
}

// The known diagram's axes and mark with one straight line, three pixels thick and in one pure
// colour, from (0.5, 10) to (9.5, 80); prints the layout, "line a b" (y = a + b x) and the
// pixels of the tracer's three clicks: "click end|start|step px py".
int lineDiagram(const QString &file, bool broken)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(pixelOf({0, 0}), pixelOf({kMaxX, 0}));
    p.drawLine(pixelOf({0, 0}), pixelOf({0, kMaxY}));
    p.setPen(QPen(QColor(0x20, 0x50, 0xc0), 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(pixelOf({0.5, 10}), pixelOf({9.5, 80}));
    if (broken)
        p.fillRect(QRectF(pixelOf({5, kMaxY}), pixelOf({6.5, 0})), Qt::white);
    p.fillRect(kMarkX, kMarkY, 4, 4, QColor(255, 0, 255));
    p.end();
    if (!image.save(file))
        return 1;
    const double b = 70.0 / 9, a = 10 - 0.5 * b;
    std::printf("size %d %d\nmark %d %d\n", kWidth, kHeight, kMarkX, kMarkY);
    std::printf("origin %g %g 0 0\ncorner %g %g %g %g\nline %.12g %.12g\n", pixelOf({0, 0}).x(), pixelOf({0, 0}).y(),
                pixelOf({kMaxX, kMaxY}).x(), pixelOf({kMaxX, kMaxY}).y(), kMaxX, kMaxY, a, b);
    for (const auto &[what, x] : {std::pair{"end", 9.0}, {"start", 1.0}, {"step", 1.2}, {"keep", 8.0}}) {
        const QPointF at = pixelOf({x, a + b * x});
        std::printf("click %s %d %d\n", what, int(at.x()), int(at.y()));
    }
    return 0;
}

// Axes x 0..10 (50 pixels a unit) and y 0..100 (2 pixels a unit), turned counter-clockwise by
// atan(4 / 75) about the origin at (110, 320) of a 720 x 440 picture, without smoothing, so that
// a turn by the program keeps every colour. The x-axis has a colour of its own. Prints the
// size, the mark, "pick px py" twice (two pixels on the x-axis, 375 and 20 apart), the
// hundredths of a degree those picks give, and where the origin, the corner and one data
// point lie after the picture is turned back by them: "origin|corner|point px py x y".
int tiltedDiagram(const QString &file)
{
    constexpr int w = 720, h = 440, ox = 110, oy = 320, markX = 10, markY = 10;
    const double tilt = std::atan(4.0 / 75.0);
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setTransform(QTransform().translate(ox, oy).rotateRadians(-tilt));
    p.setPen(QPen(Qt::black, 1));
    for (int i = 1; i <= 10; ++i) {
        p.drawLine(QPointF(50 * i, 0), QPointF(50 * i, 6));
        p.drawLine(QPointF(0, -20 * i), QPointF(-6, -20 * i));
    }
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(QPointF(0, 0), QPointF(0, -200));
    p.setPen(QPen(QColor(0, 0x80, 0), 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(0, 0), QPointF(500, 0));
    constexpr KnownPoint data{6.5, 77.5};
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x50, 0xc0));
    p.drawEllipse(QPointF(50 * data.x, -2 * data.y), 4, 4);
    p.resetTransform();
    p.fillRect(markX, markY, 4, 4, QColor(255, 0, 255));
    p.end();
    if (!image.save(file))
        return 1;
    std::printf("size %d %d\nmark %d %d\n", w, h, markX, markY);
    std::printf("pick %d %d\npick %d %d\n", ox + 75, oy - 4, ox + 450, oy - 24);
    // The picks' angle in hundredths, nearest; the picture is turned clockwise by it about its
    // centre, each level position (x right, y up from the origin) landing where printed.
    const int hundredths = int(std::lround(tilt * 180 / M_PI * 100));
    const double back = hundredths / 100.0 * M_PI / 180;
    std::printf("hundredths %d\n", hundredths);
    auto landing = [&](const char *what, double px, double py, double x, double y) {
        const double tx = ox + px * std::cos(tilt) - py * std::sin(tilt) - w / 2.0;
        const double ty = oy - px * std::sin(tilt) - py * std::cos(tilt) - h / 2.0;
        const double sx = w / 2.0 + tx * std::cos(back) - ty * std::sin(back);
        const double sy = h / 2.0 + tx * std::sin(back) + ty * std::cos(back);
        std::printf("%s %d %d %g %g\n", what, int(std::floor(sx)), int(std::floor(sy)), x, y);
    };
    landing("origin", 0, 0, 0, 0);
    landing("corner", 500, 200, kMaxX, kMaxY);
    landing("point", 50 * data.x, 2 * data.y, data.x, data.y);
    return 0;
}

// A chart far larger than the screen: a grid every 100 pixels, a line across, and one pixel of
// its own colour at each of three places (magenta origin, cyan corner, yellow point), so that
// a script finds them enlarged at any zoom.
int largeChart(const QString &file)
{
    constexpr int w = 2400, h = 1800;
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QColor(0xcc, 0xcc, 0xcc));
    for (int x = 0; x <= w; x += 100)
        p.drawLine(x, 0, x, h);
    for (int y = 0; y <= h; y += 100)
        p.drawLine(0, y, w, y);
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(100, h - 100, w - 100, 100);
    p.end();
    const struct { const char *name; int x, y; QRgb color; } marks[] = {
        {"origin", 2300, 1700, qRgb(255, 0, 255)}, {"corner", 100, 100, qRgb(0, 255, 255)},
        {"point", 2250, 1680, qRgb(255, 255, 0)}};
    std::printf("size %d %d\n", w, h);
    for (const auto &m : marks) {
        image.setPixel(m.x, m.y, m.color);
        std::printf("%s %d %d\n", m.name, m.x, m.y);
    }
    return image.save(file) ? 0 : 1;
}

QImage grabScreen() { return QGuiApplication::primaryScreen()->grabWindow().toImage().convertToFormat(QImage::Format_RGB32); }

int blobs(QRgb wanted, QRect area)
{
    QImage screen = grabScreen();
    area &= screen.rect();
    auto take = [&](QPoint at) { // once: it is painted over as it is found
        if (!area.contains(at) || screen.pixel(at) != wanted)
            return false;
        screen.setPixel(at, ~wanted);
        return true;
    };
    std::vector<QRect> found;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!take({x, y}))
                continue;
            QRect box;
            for (std::vector<QPoint> todo{{x, y}}; !todo.empty();) {
                const QPoint at = todo.back();
                todo.pop_back();
                box |= QRect(at, QSize(1, 1));
                for (int d = 0; d < 9; ++d)
                    if (const QPoint next = at + QPoint(d % 3 - 1, d / 3 - 1); take(next))
                        todo.push_back(next);
            }
            found.push_back(box);
        }
    }
    std::ranges::stable_sort(found, {}, [](const QRect &r) { return std::pair(r.x(), r.y()); });
    for (const QRect &box : found)
        std::printf("%d %d %d %d\n", box.x(), box.y(), box.width(), box.height());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString command = args.value(1);
    if (command == u"picture" && args.size() == 5) {
        QImage image(args[3].toInt(), args[4].toInt(), QImage::Format_RGB32);
        image.fill(QColor(255, 0, 255));
        return image.save(args[2]) ? 0 : 1;
    }
    if (command == u"known" && (args.size() == 3 || args.size() == 4))
        return knownDiagram(args[2], args.value(3) == u"example", true);
    if (command == u"line" && (args.size() == 3 || args.size() == 4))
        return lineDiagram(args[2], args.value(3) == u"broken");
    if (command == u"diagram" && args.size() == 3)
        return knownDiagram(args[2], true, false);
    if (command == u"tilted" && args.size() == 3)
        return tiltedDiagram(args[2]);
    if (command == u"large" && args.size() == 3)
        return largeChart(args[2]);
    if (command == u"grab" && (args.size() == 3 || args.size() == 7)) {
        const QImage screen = grabScreen();
        const QRect part = args.size() == 7 ? QRect(args[3].toInt(), args[4].toInt(), args[5].toInt(), args[6].toInt())
                                            : screen.rect();
        return screen.copy(part & screen.rect()).save(args[2]) ? 0 : 1;
    }
    if (command == u"blobs" && (args.size() == 3 || args.size() == 7)) {
        const QRect area = args.size() == 7 ? QRect(args[3].toInt(), args[4].toInt(), args[5].toInt(), args[6].toInt())
                                            : QRect(0, 0, 1 << 20, 1 << 20);
        return blobs(0xff000000 | args[2].toUInt(nullptr, 16), area);
    }
    std::fprintf(stderr, "usage: screenprobe picture|known|line|diagram|tilted|large|grab|blobs ...\n");
    return 2;
}
