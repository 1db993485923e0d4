#include "MainWindowFixture.h"
#include "axes/FindAxes.h"
#include "core/NumberText.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// The chart's own ticks: x from -2e-5 at pixel 308.21 to 2e-5 at 680.84 ("×10^−5" at the axis
// end), y from 10 at pixel 428.39 to 30 at 103.84 ("×10^1").
double trueX(double px) { return -2e-5 + (px - 308.21) * 4e-5 / (680.84 - 308.21); }
double trueY(double py) { return 10 + (py - 428.39) * 20 / (103.84 - 428.39); }

} // namespace

class TestFindAxes : public QObject {
    Q_OBJECT
private slots:
    // Find axes through the window on a chart with a factor at the end of each axis: both axes
    // sure, a point captured before takes its true values, and one undo takes it all back. The
    // status bar's word on it goes with its picture.
    void aChartIsCalibratedInOneStep()
    {
        LocaleScope scope(commaLocale());
        MainWindowFixture f;
        QVERIFY(f.openWith(QImage(QStringLiteral(CHARTREK_TEST_DATA "/axes/factors-on-both-axes.png"))));
        f.calibrate();
        ImageControl *pic = pictureOf(*f.window);
        f.window->toolbarButtons().tbPoint->trigger();
        const QPoint at(308, 428);
        QTest::mouseClick(pic, Qt::LeftButton, {}, at);
        QCOMPARE(f.window->tables().pointCount(), 1);
        const auto state = [&w = *f.window] { return std::pair(w.tables().model().cell(PointTableModel::Originale, 1, 2), w.calibration().snapshot()); };
        const auto before = state();

        auto *find = partOf<FindAxes>(*f.window, "findAxes");
        QSignalSpy done(find, &FindAxes::finished);
        f.window->menuItems().mnuEditFindAxes->trigger();
        QVERIFY(done.wait(30000));
        QVERIFY2(find->confidenceText().startsWith(QStringLiteral("Axes found, sure")), qPrintable(find->confidenceText()));
        QVERIFY(f.sink.shown.isEmpty());
        QCOMPARE(f.window->calibration().record().field[RefY2], QStringLiteral("30"));

        // The press at pixel (308, 428) stands for its corner: within a pixel of the truth there.
        ValuePoint v;
        f.window->calibration().PictureToValue(f.window->tables().pointAt(1), v);
        QVERIFY2(std::abs(v.x - trueX(at.x())) < 1.0 * 4e-5 / (680.84 - 308.21), qPrintable(QString::number(v.x)));
        QVERIFY2(std::abs(v.y - trueY(at.y())) < 1.0 * 20 / (428.39 - 103.84), qPrintable(QString::number(v.y)));
        QCOMPARE(f.window->tables().model().cell(PointTableModel::Originale, 1, 2), generalNumberText(v.x));

        f.window->menuItems().mnuEditUndo->trigger();
        QVERIFY(state() == before);

        f.sink.answers = {AnswerYes}; // the captured point goes
        QVERIFY(f.window->openFile(f.dir.filePath(QStringLiteral("picture.png"))));
        QVERIFY2(find->confidenceText().isEmpty(), qPrintable(find->confidenceText()));
    }

    // Cancel answers at once, and what the search still finds changes nothing.
    void aCancelledSearchChangesNothing()
    {
        MainWindowFixture f;
        QVERIFY(f.openWith(QImage(QStringLiteral(CHARTREK_TEST_DATA "/axes/factors-on-both-axes.png"))));
        const CalibrationState before = f.window->calibration().snapshot();
        auto *find = partOf<FindAxes>(*f.window, "findAxes");
        QSignalSpy done(find, &FindAxes::finished);
        f.window->menuItems().mnuEditFindAxes->trigger();
        auto *progress = f.window->findChild<QProgressDialog *>(QStringLiteral("findAxesProgress"));
        QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
        QCOMPARE(done.count(), 1);
        QVERIFY(!find->running());
        QTRY_VERIFY_WITH_TIMEOUT(!find->searching(), 30000); // it ends by itself, its result goes nowhere
        QCoreApplication::processEvents();
        QVERIFY(f.window->calibration().snapshot() == before);
        QVERIFY(f.window->menuItems().mnuEditFindAxes->isEnabled());
    }

    // Without the recognition data the message names that one reason, and nothing changes.
    void withoutRecognitionDataOneReason()
    {
        QTemporaryDir empty;
        const QByteArray saved = qgetenv("TESSDATA_PREFIX");
        qputenv("TESSDATA_PREFIX", empty.path().toLocal8Bit());
        MainWindowFixture f;
        QVERIFY(f.openWith(QImage(QStringLiteral(CHARTREK_TEST_DATA "/axes/factors-on-both-axes.png"))));
        const CalibrationState before = f.window->calibration().snapshot();
        QSignalSpy done(partOf<FindAxes>(*f.window, "findAxes"), &FindAxes::finished);
        f.sink.answers = {AnswerOk};
        f.window->menuItems().mnuEditFindAxes->trigger();
        const bool ended = done.wait(30000);
        saved.isNull() ? qunsetenv("TESSDATA_PREFIX") : qputenv("TESSDATA_PREFIX", saved);
        QVERIFY(ended);
        QCOMPARE(f.sink.texts().constLast(), FindAxes::nothingFoundText()
                                                 + "\nThe text recognition data (Tesseract, English) could not be loaded.");
        QVERIFY(f.window->calibration().snapshot() == before);
    }
};

QTEST_MAIN(TestFindAxes)
#include "test_find_axes.moc"
