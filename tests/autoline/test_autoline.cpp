// The Autoline tool through the real window: a trace on a known chart, and what the set-up and a
// cancel leave behind.
#include "MainWindowFixture.h"
#include "autoline/AutoLineSetup.h"
#include "autoline/LostLineRecovery.h"
#include "capture/PictureMouse.h"

#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <cmath>

using namespace chartrek;
using namespace chartrek::test;

namespace {

constexpr int T = kTwipsPerPixel;

// A window holding a picture, calibrated by pixels and values, clicked by pixels at 1:1.
struct Rig : MainWindowFixture {
    int picks = 0;

    AutoLineSetup *setup() const { return partOf<AutoLineSetup>(*window, "autoLineSetup"); }
    void click(QPoint pixel)
    {
        partOf<PictureMouse>(*window, "pictureMouse")->mPicture_MouseDown(1, 0, float(pixel.x() * T), float(pixel.y() * T));
    }
};

// "x TAB y" lines, as the export text and the truth file hold them.
QList<QPointF> pointsOf(const QString &text)
{
    QList<QPointF> points;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList cells = line.trimmed().split(QLatin1Char('\t'));
        points.append({cells.value(0).toDouble(), cells.value(1).toDouble()});
    }
    return points;
}

double truthAt(const QList<QPointF> &truth, double x)
{
    const auto after = std::lower_bound(truth.begin(), truth.end(), x,
                                        [](const QPointF &p, double v) { return p.x() < v; });
    if (after == truth.begin() || after == truth.end())
        return NAN;
    const QPointF a = *(after - 1), b = *after;
    return a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x());
}

// White, with a green line two pixels thick along rows 150 and 151, broken from x 100 to 200:
// wider than the tracer bridges.
QImage brokenLine()
{
    QImage image = MainWindowFixture::picture(400, 300);
    for (int x = 20; x < 380; ++x) {
        if (x < 100 || x > 200)
            image.setPixel(x, 150, qRgb(0, 200, 0)), image.setPixel(x, 151, qRgb(0, 200, 0));
    }
    return image;
}

// The ending point and the distance point's x (the starting point's is 20), the message, and
// whether the set-up ended with it.
struct Clicks { QPoint end; int distance; QString message; bool ended = true; };
enum class CancelBy { GetTheLine, AutolineWindow, EscapeThere, Closing };

bool redNear(const QImage &image, QPoint at)
{
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            if (image.pixel(at + QPoint(dx, dy)) == qRgb(255, 0, 0))
                return true;
    return false;
}

} // namespace

class TestAutoline : public QObject {
    Q_OBJECT
private slots:
    // A regression guard on a real chart: the whole curve, each point within a tenth of a
    // percent of the axis, and hardly a question to the user.
    void tracesAKnownCurve_data()
    {
        QTest::addColumn<int>("tolerance"); // -1: as the program starts
        QTest::addColumn<bool>("jpeg");
        QTest::newRow("exact colours") << 0 << false;
        QTest::newRow("with a tolerance") << 40 << false;
        QTest::newRow("a JPEG with the tolerance the program starts with") << -1 << true;
    }
    void tracesAKnownCurve()
    {
        QFETCH(int, tolerance);
        QFETCH(bool, jpeg);
        const QString data = QStringLiteral(CHARTREK_TEST_DATA "/autoline/");
        Rig rig;
        QString picture = data + QStringLiteral("poly.png");
        if (jpeg) {
            picture = rig.dir.filePath(QStringLiteral("poly.jpg"));
            QVERIFY(QImage(data + QStringLiteral("poly.png")).save(picture, "JPEG", 75));
        }
        QVERIFY(rig.open() && rig.window->openFile(picture));
        rig.calibrate({936, 190}, {5, 15}, {99, 728}, {-2, -5});
        partOf<LostLineRecovery>(*rig.window, "lostLineRecovery")->setAnswerer([&](PixProbePoint &) {
            ++rig.picks;
            return true;
        });
        if (tolerance >= 0)
            rig.window->state().mColorTolerance = tolerance;
        rig.window->menuItems().mnuAutomatic->trigger();
        auto *bar = partOf<QProgressBar>(*rig.window, "mProgBar");
        rig.sink.whileShown = [&] { QCOMPARE(bar->value(), bar->maximum()); }; // the bar at its end
        rig.click({1007, 366});
        rig.click({146, 692});
        rig.click({157, 663});
        QCOMPARE(rig.sink.shown.size(), 1);
        QVERIFY(rig.sink.shown[0].text.startsWith(QStringLiteral("Line read. ")));

        QFile truthFile(data + QStringLiteral("poly.truth.tsv"));
        QVERIFY(truthFile.open(QIODevice::ReadOnly));
        const QList<QPointF> truth = pointsOf(QString::fromLatin1(truthFile.readAll()));
        const QList<QPointF> points = pointsOf(BuildExportText(rig.window->tables().model(), true));
        QVERIFY(points.size() > 50);
        double sum = 0, widestGap = 0, lastX = -1.6;
        for (const QPointF &p : points) {
            sum += std::pow((p.y() - truthAt(truth, p.x())) / 25 * 100, 2);
            widestGap = std::max(widestGap, p.x() - lastX);
            lastX = p.x();
        }
        widestGap = std::max(widestGap, 5.5958 - lastX);
        const double rms = std::sqrt(sum / points.size());
        qInfo("points %lld, picks %d, y RMS %.4f %%, widest gap %.2f %%", qsizetype(points.size()), rig.picks, rms,
              widestGap / 7.1958 * 100);
        QVERIFY(rms <= 0.1);
        QVERIFY(widestGap / 7.1958 <= 0.02);
        QVERIFY(rig.picks * 100 < points.size());
    }


    // The three clicks: the order check and the count of a finished trace.
    void setUpClicks_data()
    {
        QTest::addColumn<Clicks>("row");
        QTest::newRow("in order, three steps") << Clicks{{80, 150}, 35, "Line read. 5 points were read."};
        const QString order("You made it in the wrong order.\r\nThe order must be: starting point < distance point < "
                            "ending point.");
        QTest::newRow("distance at the starting point's x") << Clicks{{80, 150}, 20, order};
        QTest::newRow("ending point left of the starting point") << Clicks{{10, 150}, 30, order};
        QTest::newRow("an ending point beside the picture is refused")
            << Clicks{{80, 320}, 35, "The ending point must lie on the picture. Click on the line where reading should end.", false};
    }
    void setUpClicks()
    {
        QFETCH(Clicks, row);
        const auto &[end, distance, message, ended] = row;
        Rig rig;
        QVERIFY(rig.openWith(brokenLine()));
        rig.calibrate({399, 0}, {399, 299}, {0, 299});
        const QRect screen = rig.window->screen()->availableGeometry();
        rig.window->setGeometry(screen); // the window spans the screen: its windows stay on it
        rig.window->menuItems().mnuAutomatic->trigger(); // an empty table: no question
        QVERIFY(rig.setup()->dialog() && rig.sink.shown.isEmpty());
        QVERIFY(screen.contains(rig.setup()->dialog()->frameGeometry()));
        for (QPoint p : {end, QPoint(20, 150), QPoint(distance, 150)})
            rig.click(p);
        QCOMPARE(rig.sink.texts(), QStringList(message));
        QCOMPARE(rig.window->state().mToolMode, int(ended ? SharedState::PointerTool : SharedState::AutoLineTool));
        QCOMPARE(!rig.setup()->dialog(), ended);
    }

    // Every way to cancel a trace: the table is as before (a kept point right of where the
    // trace stops included), with its markers, nothing of the trace remains, no step is left
    // to undo, and no trace starts inside it.
    void cancelKeepsWhatTheUserKept_data()
    {
        QTest::addColumn<CancelBy>("by");
        QTest::newRow("Cancel in Get the line") << CancelBy::GetTheLine;
        QTest::newRow("Cancel in the Autoline window") << CancelBy::AutolineWindow;
        QTest::newRow("Escape in the Autoline window") << CancelBy::EscapeThere;
        QTest::newRow("closing the main window") << CancelBy::Closing;
    }
    void cancelKeepsWhatTheUserKept()
    {
        QFETCH(CancelBy, by);
        Rig rig;
        QVERIFY(rig.openWith(brokenLine()));
        rig.calibrate({399, 0}, {399, 299}, {0, 299});
        rig.window->state().mToolMode = SharedState::PointTool;
        rig.click({50, 50});
        rig.click({300, 250});
        const QString before = BuildExportText(rig.window->tables().model(), true);
        QAction *undo = rig.window->menuItems().mnuEditUndo;
        const QString undoBefore = undo->text();
        rig.sink.answers = {AnswerNo, AnswerYes}; // keep the points; yes, close
        rig.window->menuItems().mnuAutomatic->trigger();
        partOf<LostLineRecovery>(*rig.window, "lostLineRecovery")->setAnswerer([&](PixProbePoint &) {
            ++rig.picks;
            [&] {
                QVERIFY(!rig.setup()->dialog()->btnNeu->isEnabled());
                const int traced = rig.window->tables().pointCount();
                rig.click({200, 150});
                QCOMPARE(rig.window->tables().pointCount(), traced);
                QVERIFY(redNear(pictureOf(*rig.window)->image(), {80, 150}));
            }();
            if (by == CancelBy::AutolineWindow)
                rig.setup()->dialog()->btnCancel->click();
            if (by == CancelBy::EscapeThere)
                QTest::keyClick(rig.setup()->dialog(), Qt::Key_Escape);
            if (by == CancelBy::Closing)
                rig.window->close();
            return by != CancelBy::GetTheLine;
        });
        for (int x : {280, 20, 35})
            rig.click({x, 150});
        QCOMPARE(rig.picks, 1);
        QCOMPARE(BuildExportText(rig.window->tables().model(), true), before);
        QCOMPARE(undo->text(), undoBefore);
        const QImage shown = pictureOf(*rig.window)->image();
        QVERIFY(redNear(shown, {50, 50}) && redNear(shown, {300, 250}) && !redNear(shown, {80, 150}));
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));
        if (by == CancelBy::Closing)
            QTRY_VERIFY(!rig.window->isVisible());
    }
};

QTEST_MAIN(TestAutoline)
#include "test_autoline.moc"
