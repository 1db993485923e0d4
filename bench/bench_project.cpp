// Saving and opening a project of a large figure: an 8000 x 6000 picture and 10,000 points in
// three curves. Timed: encoding the picture, packing and writing the archive, reading it back with
// and without the picture, and a recovery copy's rewrite with the picture already encoded. Two
// pictures: a clean drawn diagram and a noisy scan of one (which compresses far worse).
//
//   bench_project [folder]     (default: a temporary folder)

#include "project/ProjectFile.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

using namespace chartrek;

namespace {

QImage diagram(int w, int h, bool noisy)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(QColor(0xcc, 0xcc, 0xcc), 2));
    for (int x = 0; x < w; x += 400)
        p.drawLine(x, 0, x, h);
    for (int y = 0; y < h; y += 400)
        p.drawLine(0, y, w, y);
    p.setPen(QPen(Qt::blue, 6));
    for (int x = 0; x + 20 < w; x += 20)
        p.drawLine(x, h / 2 + int(h / 3 * std::sin(x / 700.0)), x + 20, h / 2 + int(h / 3 * std::sin((x + 20) / 700.0)));
    p.end();
    if (noisy) {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> grain(-12, 12);
        for (int y = 0; y < h; ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const int d = grain(random);
                const QRgb c = line[x];
                line[x] = qRgb(std::clamp(qRed(c) + d, 0, 255), std::clamp(qGreen(c) + d, 0, 255), std::clamp(qBlue(c) + d, 0, 255));
            }
        }
    }
    return image;
}

Project figure(const QImage &picture)
{
    Project p;
    p.picture = picture;
    p.pictureSize = picture.size();
    p.calibration.field = {QStringLiteral("0"), QStringLiteral("100"), QStringLiteral("1"), QStringLiteral("1000")};
    p.calibration.caption = {QStringLiteral("-1500"), QStringLiteral("-118500"), QStringLiteral("-88500"), QStringLiteral("-1500")};
    p.calibration.yLog = true;
    for (int c = 0; c < 3; ++c) {
        ProjectCurve curve{QStringLiteral("Curve %1").arg(c + 1), 0x0000FFu << (8 * c), {}, {}};
        const int n = c == 0 ? 3334 : 3333;
        for (int i = 0; i < n; ++i) {
            curve.points.append({-qint32(i * 35 + c), -qint32(1500 + (i * 7919) % 88000)});
            curve.values.append({i * 0.0301234567, 1.0 + i * 0.27182818});
        }
        p.curves.append(curve);
    }
    return p;
}

double ms(QElapsedTimer &t)
{
    const double v = t.nsecsElapsed() / 1e6;
    t.restart();
    return v;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTemporaryDir temp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    const QString path = folder + QStringLiteral("/bench.chartrek");
    std::printf("project of 8000 x 6000 pixels and 10,000 points in 3 curves, times in ms\n");
    std::printf("%-8s %9s %9s %9s %9s %9s %9s %10s\n", "picture", "encode", "pack", "write", "open", "open-desc",
                "recovery", "file MB");
    for (bool noisy : {false, true}) {
        const Project project = figure(diagram(8000, 6000, noisy));
        QString error;
        QElapsedTimer t;
        t.start();
        const QByteArray png = encodePicture(project.picture);
        const double encode = ms(t);
        const QByteArray bytes = projectArchive(project, png);
        const double pack = ms(t);
        t.restart();
        const bool written = writeProject(path, project, &error);
        const double write = ms(t);
        const std::optional<Project> back = readProject(path, &error);
        const double open = ms(t);
        const std::optional<Project> described = readProject(path, &error, false);
        const double openDesc = ms(t);
        writeProject(path, project, &error, png); // the recovery copy's later writes
        const double recovery = ms(t);
        if (!written || !back || !described || back->picture.size() != project.pictureSize
            || back->curves[2].points.size() != 3333) {
            std::fprintf(stderr, "the round trip failed: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("%-8s %9.0f %9.0f %9.0f %9.0f %9.0f %9.0f %10.1f\n", noisy ? "scan" : "drawn", encode, pack, write,
                    open, openDesc, recovery, QFileInfo(path).size() / 1048576.0);
    }
    std::printf("write = encode + pack + the file; recovery = a rewrite with the picture already encoded\n");
    return 0;
}
