// PDF pages opened through the real window: a vector chart drawn exactly and traced, the page
// dialog, and files that must be refused without changing anything.
#include "DialogDriver.h"
#include "MainWindowFixture.h"
#include "PictureFiles.h"
#include "autoline/LostLineRecovery.h"
#include "capture/PictureMouse.h"
#include "picture/GraphicLoading.h"
#include "picture/PdfPages.h"

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

constexpr int T = kTwipsPerPixel;

// The chart's curve in values, x from 0 to 10 on a y axis from 0 to 100.
double curve(double x) { return 50 + 30 * std::sin(0.7 * x) + 2 * x; }
// Where a value lies on the page at dpi: the axes span 0.5 to 3.5 inches across and 2.5 to 0.5 down.
QPointF onPage(double x, double y, int dpi) { return QPointF(0.5 + 0.3 * x, 2.5 - 0.02 * y) * dpi; }

// Pages of the given sizes in inches; the first carries a framed chart with the curve in pure blue.
bool writePdf(const QString &fileName, const QList<QSizeF> &pages)
{
    QPdfWriter writer(fileName);
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
    for (qsizetype i = 1; i < pages.size(); ++i) {
        writer.setPageSize(QPageSize(pages[i], QPageSize::Inch));
        if (!writer.newPage())
            return false;
        painter.drawEllipse(QRectF(100, 100, 200, 200));
    }
    return painter.end();
}

// One page locked with a password nobody knows, written by hand: the standard security
// handler with arbitrary check values.
QByteArray lockedPdf()
{
    const QByteArrayList objects = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>",
        "<< /Filter /Standard /V 1 /R 2 /O <" + QByteArray(64, '1') + "> /U <" + QByteArray(64, '2') + "> /P -4 >>"};
    QByteArray pdf = "%PDF-1.4\n", table;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        table += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const QByteArray start = QByteArray::number(pdf.size());
    return pdf + "xref\n0 5\n0000000000 65535 f \n" + table + "trailer\n<< /Size 5 /Root 1 0 R /Encrypt 4 0 R /ID [<"
        + QByteArray(32, '3') + "> <" + QByteArray(32, '3') + ">] >>\nstartxref\n" + start + "\n%%EOF\n";
}

// A window with a calibrated 200 x 100 picture and one point, and a way to trace by pixels.
struct Rig : MainWindowFixture {
    QTemporaryDir dir;
    int picks = 0;

    bool start()
    {
        if (!open() || !window->openFile(writeFile(dir, "first.png", encode(picture(200, 100), "png"))))
            return false;
        window->calibration().record().backColor = {ColorSet, ColorSet, ColorSet, ColorSet};
        window->state().mX2Pix = window->state().mY2Pix = -1500;
        window->tables().AddPointToTables({-150, -150});
        partOf<LostLineRecovery>(*window, "lostLineRecovery")->setAnswerer([this](PixProbePoint &) {
            ++picks;
            return true;
        });
        return true;
    }
    GraphicLoading &loading() const { return *partOf<GraphicLoading>(*window, "graphicLoading"); }
    QSize shown() const { return pictureOf(*window)->image().size(); }
    int rows() const { return window->tables().model().rows(); }
    // The chart's axes as drawn at dpi.
    void calibrate(int dpi)
    {
        CalibrationRecord &rec = window->calibration().record();
        rec.field = {QStringLiteral("0"), QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("100")};
        SharedState &s = window->state();
        s.mX1Pix = -qRound(onPage(0, 0, dpi).x() * T);
        s.mY1Pix = -qRound(onPage(0, 0, dpi).y() * T);
        s.mX2Pix = -qRound(onPage(10, 100, dpi).x() * T);
        s.mY2Pix = -qRound(onPage(10, 100, dpi).y() * T);
    }
    void click(QPointF pixel)
    {
        partOf<PictureMouse>(*window, "pictureMouse")
            ->mPicture_MouseDown(1, 0, float(qRound(pixel.x()) * T), float(qRound(pixel.y()) * T));
    }
};

struct Hostile { QByteArray content; QString message; };

} // namespace

class TestPdfLoading : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        pdfSettings() = PdfSettings();
        qunsetenv("LC_ALL");
    }

    // A one-page chart opens at once at exactly its resolution; at 600 dpi and tolerance 0 the
    // trace reaches the whole curve, within a tenth of a percent, hardly asking.
    void onePageChartIsDrawnExactly_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("commaLocale");
        QTest::newRow("300 dpi, helper in a decimal-comma locale") << 300 << true;
        QTest::newRow("600 dpi, traced") << 600 << false;
    }
    void onePageChartIsDrawnExactly()
    {
        QFETCH(int, dpi);
        QFETCH(bool, commaLocale);
        if (commaLocale)
            qputenv("LC_ALL", "de_DE.UTF-8");
        const LocaleScope locale(commaLocale ? test::commaLocale() : pointLocale());
        Rig rig;
        QVERIFY(rig.start());
        const QString pdf = rig.dir.filePath("chart.pdf");
        QVERIFY(writePdf(pdf, {QSizeF(4, 3)}));
        rig.loading().pdfRendering().dpi = dpi;
        rig.dialogs.answer = pdf;
        rig.window->menuItems().mnuFileOpen->trigger();
        QVERIFY2(rig.sink.shown.isEmpty(), qPrintable(rig.sink.texts().join('\n')));
        QCOMPARE(rig.shown(), QSize(4 * dpi, 3 * dpi));
        QCOMPARE(rig.rows(), 2);
        if (dpi != 600)
            return;

        rig.calibrate(dpi);
        rig.window->state().mColorTolerance = 0;
        rig.window->menuItems().mnuAutomatic->trigger();
        const double from = 0.3, to = 9.7;
        rig.click(onPage(to, curve(to), dpi));
        rig.click(onPage(from, curve(from), dpi));
        rig.click(onPage(from + 0.07, curve(from + 0.07), dpi));
        QCOMPARE(rig.sink.shown.size(), 1);
        QVERIFY(rig.sink.shown[0].text.startsWith(QStringLiteral("Line read. There are ")));
        const QStringList lines = BuildExportText(rig.window->tables().model(), true).split('\n', Qt::SkipEmptyParts);
        double sum = 0, last = from, uncovered = 0;
        for (const QString &line : lines) {
            const double x = line.section('\t', 0, 0).toDouble(), y = line.section('\t', 1, 1).toDouble();
            sum += std::pow(y - curve(x), 2); // in percent of the y axis of 100
            if (x - last > 0.02 * (to - from))
                uncovered += x - last;
            last = std::max(last, x);
        }
        if (to - last > 0.02 * (to - from))
            uncovered += to - last;
        const double coverage = 1 - uncovered / (to - from), rms = std::sqrt(sum / lines.size());
        qInfo("600 dpi: points %lld, picks %d, y RMS %.4f %%, coverage %.4f", qsizetype(lines.size()), rig.picks, rms,
              coverage);
        QVERIFY(lines.size() > 100);
        QCOMPARE(coverage, 1.0);
        QVERIFY(rms <= 0.1);
        QVERIFY(rig.picks * 100 < lines.size());
    }

    // Several pages ask which, with 300 dpi and sharp edges preselected; Cancel changes nothing.
    void pageDialogChoosesPageAndResolution_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("page 2 at 150 dpi") << false;
        QTest::newRow("cancelled") << true;
    }
    void pageDialogChoosesPageAndResolution()
    {
        QFETCH(bool, cancel);
        Rig rig;
        QVERIFY(rig.start());
        const QString pdf = rig.dir.filePath("pages.pdf");
        QVERIFY(writePdf(pdf, {QSizeF(4, 3), QSizeF(2, 5), QSizeF(3, 3)}));
        QStringList seen;
        whenDialogReady(QStringLiteral("pdfPageDialog"), [](QWidget *) { return true; }, [&](QWidget *dialog) {
            auto *pages = dialog->findChild<QListWidget *>(QStringLiteral("pages"));
            for (int i = 0; i < pages->count(); ++i)
                seen << pages->item(i)->text() + (pages->item(i)->icon().isNull() ? " blank" : "");
            seen << QString::number(pages->currentRow());
            for (const char *name : {"dpi150", "dpi300", "dpi600", "sharp", "smooth"})
                if (dialog->findChild<QRadioButton *>(QLatin1String(name))->isChecked())
                    seen << QLatin1String(name);
            pages->setCurrentRow(1);
            dialog->findChild<QRadioButton *>(QStringLiteral("dpi150"))->click();
            auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttons"));
            buttons->button(cancel ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok)->click();
        });
        QCOMPARE(rig.window->openFile(pdf), !cancel);
        QCOMPARE(seen, QStringList({"Page 1", "Page 2", "Page 3", "0", "dpi300", "sharp"}));
        QCOMPARE(rig.sink.texts(), QStringList());
        QCOMPARE(rig.shown(), cancel ? QSize(200, 100) : QSize(300, 750));
        QCOMPARE(rig.rows(), cancel ? 3 : 2);
    }

    // Each ends in a message and leaves the picture, the tables and the calibration as they were.
    void hostileFileChangesNothing_data()
    {
        QTest::addColumn<Hostile>("hostile");
        QTemporaryDir dir;
        QVERIFY(writePdf(dir.filePath("a.pdf"), {QSizeF(4, 3)}));
        QVERIFY(writePdf(dir.filePath("huge.pdf"), {QSizeF(10000 / 25.4, 10000 / 25.4)}));
        QFile whole(dir.filePath("a.pdf")), huge(dir.filePath("huge.pdf"));
        QVERIFY(whole.open(QIODevice::ReadOnly) && huge.open(QIODevice::ReadOnly));
        const QByteArray bytes = whole.readAll();
        // Cut in its trailer: the PDF library would patch it up and draw it as if whole.
        QTest::newRow("truncated") << Hostile{bytes.chopped(20), "The PDF document is incomplete."};
        QTest::newRow("damaged inside") << Hostile{"%PDF-1.4\n" + QByteArray(3000, 'x') + "\n%%EOF\n",
                                                   "The PDF document is damaged."};
        QTest::newRow("encrypted") << Hostile{lockedPdf(), "The PDF document is protected by a password."};
        QTest::newRow("empty") << Hostile{"", "The file is not a PDF document, or its header is damaged."};
        QTest::newRow("a page of 10 m x 10 m")
            << Hostile{huge.readAll(), "The page is too large at this resolution (118109 x 118109 pixels)"};
        QTest::newRow("a helper that crashes") << Hostile{bytes, "The PDF helper stopped on this document"};
    }
    void hostileFileChangesNothing()
    {
        QFETCH(Hostile, hostile);
        Rig rig;
        QVERIFY(rig.start());
        if (QTest::currentDataTag() == QLatin1String("a helper that crashes")) {
            pdfSettings().program = writeFile(rig.dir, "crash.sh", "#!/bin/sh\nkill -SEGV $$\n");
            QVERIFY(QFile::setPermissions(pdfSettings().program, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        QCOMPARE(rig.window->openFile(writeFile(rig.dir, "hostile.pdf", hostile.content)), false);
        QCOMPARE(rig.sink.texts().size(), 1);
        QVERIFY2(rig.sink.texts()[0].startsWith("The graphic could not be loaded: " + hostile.message),
                 qPrintable(rig.sink.texts()[0]));
        QCOMPARE(rig.shown(), QSize(200, 100));
        QCOMPARE(rig.rows(), 3);
        QVERIFY(rig.window->calibration().IsCalibrated());
        QVERIFY(!partOf<ImageControl>(*rig.window, "mTestLead")->hasBitmap());
    }
};

QTEST_MAIN(TestPdfLoading)
#include "test_pdf_loading.moc"
