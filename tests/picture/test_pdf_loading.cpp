// PDF pages through the real window: a vector chart drawn exactly and traced, the page dialog, refusals.
#include "DialogDriver.h"
#include "MainWindowFixture.h"
#include "PictureFiles.h"
#include "autoline/LostLineRecovery.h"
#include "capture/PictureMouse.h"
#include "picture/GraphicLoading.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>

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

struct Hostile { QByteArray content; QString message; };

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
        whenDialogReady(QStringLiteral("pdfPageDialog"), [](QWidget *) { return true; }, [](QWidget *dialog) {
            dialog->findChild<QRadioButton *>(QStringLiteral("dpi600"))->click();
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        rig.dialogs.answer = writeFile(rig.dir, "chart.pdf", pdf({QSizeF(4, 3)}));
        rig.window->menuItems().mnuFileOpen->trigger();
        QCOMPARE(rig.shown(), QSize(4 * dpi, 3 * dpi));
        QCOMPARE(rig.rows(), 2);

        rig.calibrate(onPage(10, 100, dpi), {10, 100}, onPage(0, 0, dpi));
        rig.window->state().mColorTolerance = 0;
        rig.window->menuItems().mnuAutomatic->trigger();
        const double from = 0.3, to = 9.7;
        for (const double x : {to, from, from + 0.07})
            rig.click(x, dpi);
        QVERIFY(rig.sink.texts().last().startsWith(QStringLiteral("Line read. There are ")));
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
            auto *pages = dialog->findChild<QListWidget *>(QStringLiteral("pages"));
            for (int i = 0; i < pages->count(); ++i)
                seen << pages->item(i)->text() + (pages->item(i)->icon().isNull() ? " blank" : "");
            for (QRadioButton *option : dialog->findChildren<QRadioButton *>())
                seen << (option->isChecked() ? option->objectName() : QString());
            pages->setCurrentRow(1);
            dialog->findChild<QRadioButton *>(QStringLiteral("dpi150"))->click();
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        QVERIFY(rig.window->openFile(writeFile(rig.dir, "pages.pdf", pdf({QSizeF(4, 3), QSizeF(2, 5), QSizeF(3, 3)}))));
        seen.removeAll(QString());
        QCOMPARE(seen, QStringList({"Page 1", "Page 2", "Page 3", "dpi300", "sharp"}));
        QCOMPARE(rig.sink.texts(), QStringList{GraphicLoading::replaceQuestion()});
        QCOMPARE(rig.shown(), QSize(300, 750));
    }

    // Each ends in a message and leaves the picture, the tables and the calibration as they were.
    void hostileFileChangesNothing_data()
    {
        QTest::addColumn<Hostile>("hostile");
        const QByteArray bytes = pdf({QSizeF(4, 3)});
        // Cut in its trailer: the PDF library would patch it up and draw it as if whole.
        QTest::newRow("truncated") << Hostile{bytes.chopped(20), "The PDF document is incomplete."};
        QTest::newRow("encrypted") << Hostile{lockedPdf(), "The PDF document is protected by a password."};
        QTest::newRow("empty") << Hostile{"", "The file is not a PDF document, or its header is damaged."};
        QTest::newRow("a page of 10 m x 10 m")
            << Hostile{pdf({QSizeF(10000, 10000) / 25.4}), "The page is too large at this resolution (118109 x 118109 pixels)"};
        QTest::newRow("a helper that crashes") << Hostile{bytes, "The PDF helper stopped on this document"};
    }
    void hostileFileChangesNothing()
    {
        QFETCH(Hostile, hostile);
        Rig rig;
        QVERIFY(rig.start());
        if (QTest::currentDataTag() == QLatin1String("a helper that crashes"))
            QVERIFY(QFile::setPermissions(pdfSettings().program = writeFile(rig.dir, "crash.sh", "#!/bin/sh\nkill -SEGV $$\n"),
                                          QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        if (QTest::currentDataTag() == QLatin1String("a page of 10 m x 10 m"))
            whenDialogReady(QStringLiteral("pdfPageDialog"), [](QWidget *) { return true; }, [](QWidget *dialog) {
                dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
            });
        QVERIFY(!rig.window->openFile(writeFile(rig.dir, "hostile.pdf", hostile.content)));
        QCOMPARE(rig.sink.texts().size(), 1);
        QVERIFY2(rig.sink.texts()[0].startsWith("The graphic could not be loaded: " + hostile.message),
                 qPrintable(rig.sink.texts()[0]));
        QCOMPARE(rig.shown(), QSize(200, 100));
        QCOMPARE(rig.rows(), 3);
        QVERIFY(rig.window->calibration().IsCalibrated() && !partOf<ImageControl>(*rig.window, "mTestLead")->hasBitmap());
    }
};

QTEST_MAIN(TestPdfLoading)
#include "test_pdf_loading.moc"
