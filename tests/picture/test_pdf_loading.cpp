// PDF pages through the real window: a vector chart drawn exactly and traced, the page dialog, refusals.
#include "DialogDriver.h"
#include "MainWindowFixture.h"
#include "PictureFiles.h"
#include "autoline/LostLineRecovery.h"
#include "capture/PictureMouse.h"
#include "picture/GraphicLoading.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListView>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <cmath>

#include <malloc.h>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// The chart's curve in values, x from 0 to 10 on a y axis from 0 to 100, and where a value lies
// on the page at dpi: the axes span 0.5 to 3.5 inches across and 2.5 to 0.5 down.
double curve(double x) { return 50 + 30 * std::sin(0.7 * x) + 2 * x; }
QPointF onPage(double x, double y, int dpi) { return QPointF(0.5 + 0.3 * x, 2.5 - 0.02 * y) * dpi; }

// Pages of these sizes in inches; the first holds a framed chart with the curve in pure blue.
QByteArray pdf(const QList<QSizeF> &pages)
{
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    QPdfWriter writer(&file);
    writer.setResolution(600);
    writer.setPageMargins({});
    writer.setPageSize(QPageSize(pages[0], QPageSize::Inch));
    QPainter painter(&writer);
    painter.setPen(QPen(Qt::black, 4));
    painter.drawRect(QRectF(onPage(0, 100, 600), onPage(10, 0, 600)));
    QPolygonF line;
    for (int i = 0; i <= 1000; ++i)
        line << onPage(i / 100.0, curve(i / 100.0), 600);
    painter.setPen(QPen(Qt::blue, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(line);
    for (qsizetype i = 1; i < pages.size(); ++i)
        writer.setPageSize(QPageSize(pages[i], QPageSize::Inch)), writer.newPage();
    painter.end();
    return file.data();
}

// One page locked with a password nobody knows, written by hand: the standard security handler
// with arbitrary check values (no cross-reference table; the PDF library rebuilds it).
QByteArray lockedPdf()
{
    return "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
           "2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj\n"
           "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >> endobj\n"
           "4 0 obj << /Filter /Standard /V 1 /R 2 /O <" + QByteArray(64, '1') + "> /U <" + QByteArray(64, '2')
        + "> /P -4 >> endobj\ntrailer << /Root 1 0 R /Encrypt 4 0 R /ID [<" + QByteArray(32, '3') + "> <"
        + QByteArray(32, '3') + ">] >>\n%%EOF\n";
}

// A window with a calibrated 200 x 100 picture and one point, and a way to trace by pixels.
struct Rig : MainWindowFixture {
    int picks = 0;

    bool start()
    {
        if (!openWithAPoint())
            return false;
        sink.answers = {AnswerYes}; // "Delete existing data?" before a drawn page replaces the point
        partOf<LostLineRecovery>(*window, "lostLineRecovery")->setAnswerer([this](PixProbePoint &) { return ++picks; });
        return true;
    }
    // A click on the curve at x, as drawn at dpi.
    void click(double x, int dpi)
    {
        const QPoint pixel = onPage(x, curve(x), dpi).toPoint() * kTwipsPerPixel;
        partOf<PictureMouse>(*window, "pictureMouse")->mPicture_MouseDown(1, 0, float(pixel.x()), float(pixel.y()));
    }
};

// A one-page document of this size in points, drawing what content says (compressed), with an exact
// cross-reference table; pages > 1 repeats the page through a tree ten pages wide at each level.
QByteArray handWritten(QSizeF points, const QByteArray &content, int levels = 0)
{
    QList<QByteArray> objects{"<< /Type /Catalog /Pages 2 0 R >>"};
    for (int level = 0, count = int(std::pow(10, levels)); level < levels; ++level, count /= 10)
        objects << "<< /Type /Pages /Kids [" + QByteArray(QByteArray::number(level + 3) + " 0 R ").repeated(10)
                + "] /Count " + QByteArray::number(count) + " >>";
    const int page = int(objects.size()) + 1;
    if (levels == 0)
        objects << "<< /Type /Pages /Kids [3 0 R] /Count 1 >>";
    objects << "<< /Type /Page /MediaBox [0 0 " + QByteArray::number(points.width()) + " "
            + QByteArray::number(points.height()) + "] /Contents " + QByteArray::number(page + (levels == 0) + 1)
            + " 0 R >>";
    const QByteArray packed = qCompress(content).mid(4); // a zlib stream, without Qt's length before it
    objects << "<< /Length " + QByteArray::number(packed.size()) + " /Filter /FlateDecode >>\nstream\n" + packed
            + "\nendstream";
    QByteArray file = "%PDF-1.4\n", table;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        table += QByteArray::number(file.size()).rightJustified(10, '0') + " 00000 n \n";
        file += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    // The library believes no more pages than objects: the table says there are many.
    const QByteArray size = QByteArray::number(levels ? 2000000 : objects.size() + 1);
    return file + "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n" + table
        + "trailer << /Size " + size + " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(file.size())
        + "\n%%EOF\n";
}

// The most memory the process has held since the last reset, in megabytes.
qint64 peakMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    const QByteArray text = status.readAll();
    const qsizetype at = text.indexOf("VmHWM:");
    return text.mid(at + 6, text.indexOf('\n', at) - at - 6).trimmed().split(' ').value(0).toLongLong() / 1024;
}
qint64 resetPeakMB()
{
    // Memory freed by earlier tests but kept by the allocator would hide a new peak.
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        clear.write("5");
    return peakMB();
}

struct Hostile {
    QByteArray content;
    QString message; // empty: the page loads
    QSize drawn = {200, 100};
    int page = 1, dpi = 300; // chosen in the page dialog; no page: the dialog is not reached
    qint64 moreMB = 100; // the most memory it may take beyond what was held before
};

} // namespace

class TestPdfLoading : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { pdfSettings() = PdfSettings(), qunsetenv("LC_ALL"); }

    // A one-page chart opens at exactly the resolution chosen; at 600 dpi and tolerance 0 the
    // trace covers the whole curve, within a tenth of a percent, hardly asking.
    void onePageChartIsDrawnExactly()
    {
        const int dpi = 600;
        const LocaleScope locale(pointLocale());
        Rig rig;
        QVERIFY(rig.start());
        QString said;
        whenDialogReady(QStringLiteral("pdfPageDialog"), [](QWidget *) { return true; }, [&said](QWidget *dialog) {
            said = dialog->findChild<QLabel *>()->text();
            dialog->findChild<QRadioButton *>(QStringLiteral("dpi600"))->click();
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        rig.dialogs.answer = writeFile(rig.dir, "chart.pdf", pdf({QSizeF(4, 3)}));
        rig.window->menuItems().mnuFileOpen->trigger();
        QCOMPARE(said, QStringLiteral("The document has 1 page. Choose the page to open:"));
        QCOMPARE(rig.shown(), QSize(4 * dpi, 3 * dpi));
        QCOMPARE(rig.rows(), 2);

        rig.calibrate(onPage(10, 100, dpi), {10, 100}, onPage(0, 0, dpi));
        rig.window->state().mColorTolerance = 0;
        rig.window->menuItems().mnuAutomatic->trigger();
        const double from = 0.3, to = 9.7;
        for (const double x : {to, from, from + 0.07})
            rig.click(x, dpi);
        QVERIFY(rig.sink.texts().last().startsWith(QStringLiteral("Line read. ")));
        const QStringList lines = BuildExportText(rig.window->tables().model(), true).split('\n', Qt::SkipEmptyParts);
        double sum = 0, last = from, uncovered = 0;
        const auto gap = [&](double x) { return x - last > 0.02 * (to - from) ? x - last : 0; };
        for (const QString &line : lines) {
            const double x = line.section('\t', 0, 0).toDouble(), y = line.section('\t', 1, 1).toDouble();
            sum += std::pow(y - curve(x), 2); // in percent of the y axis of 100
            uncovered += gap(x);
            last = std::max(last, x);
        }
        uncovered += gap(to);
        const double coverage = 1 - uncovered / (to - from), rms = std::sqrt(sum / lines.size());
        qInfo("600 dpi: points %lld, picks %d, y RMS %.4f %%, coverage %.4f", qsizetype(lines.size()), rig.picks, rms,
              coverage);
        QVERIFY(lines.size() > 100 && rms <= 0.1 && rig.picks * 100 < lines.size());
        QCOMPARE(coverage, 1.0);
    }

    // Several pages ask which, with 300 dpi and sharp edges preselected; in a decimal-comma
    // locale, the helper's too.
    void pageDialogChoosesPageAndResolution()
    {
        qputenv("LC_ALL", "de_DE.UTF-8");
        const LocaleScope locale(commaLocale());
        Rig rig;
        QVERIFY(rig.start());
        QStringList seen;
        whenDialogReady(QStringLiteral("pdfPageDialog"), [](QWidget *) { return true; }, [&](QWidget *dialog) {
            seen << dialog->findChild<QLabel *>()->text();
            auto *pages = dialog->findChild<QListView *>(QStringLiteral("pages"));
            // Blank sheets at first, then the thumbnails of the pages in view as they come.
            const auto icon = [pages](int i) { return pages->model()->index(i, 0).data(Qt::DecorationRole).value<QPixmap>(); };
            const bool blank = icon(0).cacheKey() == icon(2).cacheKey();
            QTRY_VERIFY(icon(2).cacheKey() != icon(0).cacheKey() && icon(2).size() == QSize(160, 160));
            for (int i = 0; i < pages->model()->rowCount(); ++i)
                seen << pages->model()->index(i, 0).data().toString() + (blank ? " blank" : "");
            for (QRadioButton *option : dialog->findChildren<QRadioButton *>())
                seen << (option->isChecked() ? option->objectName() : QString());
            pages->setCurrentIndex(pages->model()->index(1, 0));
            dialog->findChild<QRadioButton *>(QStringLiteral("dpi150"))->click();
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        QVERIFY(rig.window->openFile(writeFile(rig.dir, "pages.pdf", pdf({QSizeF(4, 3), QSizeF(2, 5), QSizeF(3, 3)}))));
        seen.removeAll(QString());
        QCOMPARE(seen, QStringList({"The document has 3 pages. Choose the page to open:", "Page 1 blank", "Page 2 blank",
                                    "Page 3 blank", "dpi300", "sharp"}));
        QCOMPARE(rig.sink.texts(), QStringList{GraphicLoading::replaceQuestion()});
        QCOMPARE(rig.shown(), QSize(300, 750));
    }

    // A helper that takes its time can be cancelled at once, wherever it is, and is stopped;
    // the progress says what it waits for; the page dialog does not wait for the thumbnails.
    void slowHelperIsCancelled_data()
    {
        QTest::addColumn<QByteArray>("slow"); // the helper's command that never ends
        QTest::addColumn<QString>("progress");
        QTest::newRow("listing the pages") << QByteArray("pages") << "Reading the pages of the PDF document ...";
        QTest::newRow("drawing the page") << QByteArray("render") << "Drawing the PDF page ...";
        QTest::newRow("drawing the thumbnails") << QByteArray("thumbs") << QString();
    }
    void slowHelperIsCancelled()
    {
        QFETCH(QByteArray, slow);
        QFETCH(QString, progress);
        Rig rig;
        QVERIFY(rig.start());
        const QByteArray pidFile = rig.dir.filePath("helper.pid").toLocal8Bit();
        QVERIFY(QFile::setPermissions(pdfSettings().program = writeFile(rig.dir, "helper.sh", "#!/bin/sh\n[ $1 = " + slow
                                                                        + " ] && echo $$ > " + pidFile + " && exec sleep 600\n"
                                                                          "[ $1 = pages ] && echo 'pages 2' && echo 'size 72 72 2'\n"),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        whenDialogReady(QStringLiteral("pdfPageDialog"), [](QWidget *) { return true; }, [&](QWidget *dialog) {
            QTRY_VERIFY(QFile::exists(pidFile) || slow != "thumbs");
            dialog->findChild<QDialogButtonBox *>()->button(slow == "thumbs" ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok)->click();
        });
        QString said;
        if (!progress.isEmpty())
            whenDialogReady(QStringLiteral("metafileProgressDialog"), [&](QWidget *) { return QFile::exists(pidFile); },
                            [&said](QWidget *dialog) {
                                said = dialog->findChild<QLabel *>()->text();
                                dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
                            });
        QVERIFY(!rig.window->openFile(writeFile(rig.dir, "slow.pdf", pdf({QSizeF(1, 1)}))));
        QCOMPARE(said, progress);
        QCOMPARE(rig.sink.texts(), QStringList());
        QCOMPARE(rig.shown(), QSize(200, 100));
        QFile pid(pidFile);
        QVERIFY(pid.open(QIODevice::ReadOnly));
        QVERIFY(!QFile::exists(QStringLiteral("/proc/%1").arg(pid.readAll().trimmed())));
    }

    // Each ends in a message and leaves the picture, the tables and the calibration as they
    // were, or loads exactly the page chosen; the memory stays bounded all the while.
    void hostileFileChangesNothing_data()
    {
        QTest::addColumn<Hostile>("hostile");
        const QByteArray bytes = pdf({QSizeF(4, 3)});
        // Cut in its trailer: the PDF library would patch it up and draw it as if whole.
        QTest::newRow("truncated") << Hostile{bytes.chopped(20), "The PDF document is incomplete.", {200, 100}, 0};
        QTest::newRow("padded after its end") << Hostile{bytes + QByteArray(3000, '\0') + "\r\n", {}, {1200, 900}};
        QTest::newRow("encrypted") << Hostile{lockedPdf(), "The PDF document is protected by a password.", {200, 100}, 0};
        QTest::newRow("empty") << Hostile{"", "The file is not a PDF document, or its header is damaged.", {200, 100}, 0};
        QTest::newRow("a page of 10 m x 10 m") << Hostile{
            pdf({QSizeF(10000, 10000) / 25.4}),
            "The page is too large at this resolution (118109 x 118109 pixels); at most 32760 pixels are allowed in "
            "each direction. Choose 83 dpi or less."};
        // Beyond what the PDF library draws at once: drawn in bands, at the size asked for.
        QTest::newRow("an A0 page at 600 dpi")
            << Hostile{handWritten({2384, 3370}, "0 0 1 RG 20 w 100 100 m 2200 3200 l S"), {}, {19867, 28084}, 1, 600, -1};
        const QByteArray noise = QByteArray("q 1 2 frob Q ").repeated(3000000);
        QTest::newRow("a page of unknown operators") << Hostile{handWritten({72, 72}, noise), {}, {300, 300}};
        QTest::newRow("a million pages in a small file")
            << Hostile{handWritten({612, 792}, "0 0 1 RG 100 100 m 500 700 l S", 6), {}, {1275, 1650}, 1000000, 150};
        QTest::newRow("a helper that crashes") << Hostile{bytes, "The PDF helper stopped on this document", {200, 100}, 0};
        QTest::newRow("a helper that hands back 1 x 1 pixels")
            << Hostile{bytes, "The page was drawn at 1 x 1 pixels instead of 1200 x 900."};
    }
    void hostileFileChangesNothing()
    {
        QFETCH(Hostile, hostile);
        Rig rig;
        QVERIFY(rig.start());
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        const auto helper = [&](const QByteArray &script) {
            return QFile::setPermissions(pdfSettings().program = writeFile(rig.dir, "helper.sh", "#!/bin/sh\n" + script),
                                         QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        };
        if (tag == "a helper that crashes")
            QVERIFY(helper("kill -SEGV $$\n"));
        if (tag == "a helper that hands back 1 x 1 pixels")
            QVERIFY(helper("[ $1 = pages ] && echo 'pages 1' && echo 'size 288 216 1' || cp " + writeFile(rig.dir, "dot.png", encode(QImage(1, 1, QImage::Format_RGB32), "png")).toLocal8Bit() + " \"$7\"\n"));
        if (hostile.page > 0)
            whenDialogReady(QStringLiteral("pdfPageDialog"), [](QWidget *) { return true; }, [&](QWidget *dialog) {
                dialog->findChild<QSpinBox *>(QStringLiteral("pageNumber"))->setValue(hostile.page);
                dialog->findChild<QRadioButton *>(QStringLiteral("dpi%1").arg(hostile.dpi))->click();
                dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
            });
        const qint64 before = resetPeakMB();
        const bool loads = hostile.message.isEmpty();
        QCOMPARE(rig.window->openFile(writeFile(rig.dir, "hostile.pdf", hostile.content)), loads);
        if (hostile.moreMB >= 0)
            QVERIFY2(peakMB() - before <= hostile.moreMB, qPrintable(QString::number(peakMB() - before) + " MB"));
        QCOMPARE(rig.sink.texts().size(), 1);
        if (loads) // the point the page replaces is asked for
            QCOMPARE(rig.sink.texts()[0], GraphicLoading::replaceQuestion());
        else
            QVERIFY2(rig.sink.texts()[0].startsWith("The graphic could not be loaded: " + hostile.message),
                     qPrintable(rig.sink.texts()[0]));
        QCOMPARE(rig.shown(), hostile.drawn);
        QCOMPARE(rig.rows(), loads ? 2 : 3);
        QVERIFY(rig.window->calibration().IsCalibrated() && !partOf<ImageControl>(*rig.window, "mTestLead")->hasBitmap());
    }
};

QTEST_MAIN(TestPdfLoading)
#include "test_pdf_loading.moc"
