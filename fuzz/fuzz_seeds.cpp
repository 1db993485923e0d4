// Writes the fuzz targets' seeds into FOLDER/pictures, FOLDER/metafiles, FOLDER/pdfs,
// FOLDER/projects and FOLDER/descriptions: the pictures the tests make, and a small project of
// two curves with its description alone.
//
//   fuzz_seeds FOLDER
#include "PictureFiles.h"
#include "project/ProjectFile.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

using namespace chartrek::test;

namespace {

bool put(const QString &folder, const QString &name, const QByteArray &bytes)
{
    QFile file(QDir(folder).filePath(name));
    return QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray pdf(int pages)
{
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    QPdfWriter writer(&file);
    writer.setResolution(72);
    QPainter painter(&writer);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        painter.setPen(QPen(Qt::blue, 3));
        painter.drawLine(10, 10, 300, 200 + 50 * i);
        painter.drawText(20, 40, QStringLiteral("page %1").arg(i + 1));
    }
    painter.end();
    return file.data();
}

chartrek::Project twoCurves()
{
    chartrek::Project p;
    p.picture = noisy(24, 16);
    p.pictureSize = p.picture.size();
    p.calibration.field = {QStringLiteral("0"), QStringLiteral("10"), QStringLiteral("1"), QStringLiteral("1000")};
    p.calibration.caption = {QStringLiteral("0"), QStringLiteral("-300"), QStringLiteral("0"), QStringLiteral("-200")};
    p.calibration.yLog = true;
    p.curves = {{QStringLiteral("Curve 1"), 0xFF, {{-15, -30}, {-45, -60}}, {{0.5, 2}, {1.5, 4}}},
                {QStringLiteral("a, \"b\""), 0xFF00, {{-90, -15}}, {{3, 1.5}}}};
    return p;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString pictures = out.filePath(QStringLiteral("pictures"));
    const QString metafiles = out.filePath(QStringLiteral("metafiles"));
    const QString pdfs = out.filePath(QStringLiteral("pdfs"));
    const QString projects = out.filePath(QStringLiteral("projects"));
    QImage grey = noisy(24, 16).convertToFormat(QImage::Format_Grayscale8);
    const bool ok = put(pictures, "noisy.jpg", encode(noisy(40, 30), "jpeg", 90))
        && put(pictures, "progressive.jpg", encode(noisy(40, 30), "jpeg", 50, true))
        && put(pictures, "noisy.png", encode(noisy(20, 10), "png")) && put(pictures, "grey.png", encode(grey, "png"))
        && put(pictures, "noisy.bmp", encode(noisy(9, 7), "bmp"))
        && put(pictures, "top-first.bmp", bitmapFile(2, -2, QByteArray(16, '\x7f')))
        && put(pictures, "black.png", blackPng(64, 64)) && put(pictures, "header-only.png", blackPng(9, 9, 8, 2, false))
        && put(metafiles, "red.wmf", metafile()) && put(metafiles, "cut.wmf", metafile().left(40))
        && put(pdfs, "one.pdf", pdf(1)) && put(pdfs, "three.pdf", pdf(3))
        && put(projects, "two-curves.chartrek", chartrek::projectArchive(twoCurves()))
        && put(out.filePath(QStringLiteral("descriptions")), "two-curves.json", chartrek::projectJson(twoCurves()));
    return ok ? 0 : 1;
}
