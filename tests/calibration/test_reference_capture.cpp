#include "TestSupport.h"
#include "calibration/ReferenceCapture.h"

#include <QTest>

using namespace chartrek;
using namespace chartrek::test;

namespace {

struct Rig : TablesRig {
    ToolMode toolMode{state};
    ReferenceCapture capture{cal, tables, messages, toolMode, picture};

    Rig(bool chainX, bool chainY)
    {
        cal.record().chainXTag = chainX ? QStringLiteral("1") : QStringLiteral("0");
        cal.record().chainYTag = chainY ? QStringLiteral("1") : QStringLiteral("0");
    }
    QList<double> positions() const { return {state.mX1Pix, state.mX2Pix, state.mY1Pix, state.mY2Pix}; }
};

// The chains, the actions (g: the get button, c: a click, s: Space, i.e. skip), the indicators
// then (X1, X2, Y1, Y2; S set, N not set) and the positions (the n-th click is at (-1000·n, -500·n)).
struct Capture { bool chainX, chainY; QString actions, colors; QList<double> positions; };
// The answer to the recalculation question, and the rows, the capture and the first x after it.
struct Recalc { int answer, rowsAfter; bool calibrating; QString firstX; };

} // namespace

class TestReferenceCapture : public QObject {
    Q_OBJECT
private slots:
    void captureAndSkip_data()
    {
        QTest::addColumn<Capture>("row");
        QTest::newRow("both chained: origin, then the X2/Y2 corner")
            << Capture{true, true, "gcc", "SSSS", {-1000, -2000, -500, -1000}};
        QTest::newRow("none chained: X1, X2, Y1, Y2") << Capture{false, false, "gcccc", "SSSS", {-1000, -2000, -1500, -2000}};
        QTest::newRow("only X1/Y1 chained: origin, X2, Y2") << Capture{true, false, "gccc", "SSSS", {-1000, -2000, -500, -1500}};
        QTest::newRow("only X2/Y2 chained: X1, corner, Y1") << Capture{false, true, "gccc", "SSSS", {-1000, -2000, -1500, -1000}};
        QTest::newRow("skipped ones stay red; skipping a captured one keeps it and its place")
            << Capture{false, false, "gcscsgssss", "SNSN", {-1000, 0, -1000, 0}};
        QTest::newRow("both chained: two skips end it, and a skip after the end does nothing")
            << Capture{true, true, "gsss", "NNNN", {0, 0, 0, 0}};
        QTest::newRow("cancel shows the stored state") << Capture{false, false, "gcg", "SNNN", {-1000, 0, 0, 0}};
    }
    void captureAndSkip()
    {
        QFETCH(Capture, row);
        const auto &[chainX, chainY, actions, colors, positions] = row;
        Rig rig(chainX, chainY);
        int clicks = 0;
        for (QChar action : actions) {
            if (action == QLatin1Char('g')) {
                rig.capture.startOrCancel();
            } else if (action == QLatin1Char('s')) {
                rig.capture.skip();
            } else {
                QVERIFY2(rig.state.mCalibrating, "capture ended early");
                ++clicks;
                rig.capture.captureClick(-1000.0f * clicks, -500.0f * clicks);
                // The numbers are hidden: text colour equals background.
                QCOMPARE(rig.cal.record().textColor, rig.cal.record().backColor);
            }
            QCOMPARE(rig.cal.record().buttonCaption, rig.state.mCalibrating ? "..." : "get");
        }
        QVERIFY(!rig.state.mCalibrating);
        QString shown;
        for (quint32 c : rig.cal.record().backColor)
            shown += c == ColorSet ? QLatin1Char('S') : c == ColorNotSet ? QLatin1Char('N') : QLatin1Char('?');
        QCOMPARE(shown, colors);
        QCOMPARE(rig.positions(), positions);
        QVERIFY(rig.sink.shown.isEmpty());
    }

    void startNeedsAPictureAndTakesThePointerTool()
    {
        Rig rig(true, true);
        rig.state.mToolMode = SharedState::ZoomTool;
        rig.picture.held = false;
        rig.capture.startOrCancel();
        QVERIFY(!rig.state.mCalibrating);
        rig.picture.held = true;
        rig.capture.startOrCancel();
        QCOMPARE(rig.state.mToolMode, int(SharedState::PointerTool));
    }

    void recalculationQuestion_data()
    {
        QTest::addColumn<Recalc>("row");
        QTest::newRow("Yes recalculates with the new origin, and asks at every click") << Recalc{AnswerYes, 3, true, "2.000"};
        QTest::newRow("No empties the tables and goes on") << Recalc{AnswerNo, 2, true, ""};
        QTest::newRow("Cancel stops the capture") << Recalc{AnswerCancel, 3, false, "0.500"};
    }
    void recalculationQuestion()
    {
        QFETCH(Recalc, row);
        const auto &[answer, rowsAfter, calibrating, firstX] = row;
        LocaleScope scope(pointLocale());
        Rig rig(false, false);
        rig.capture.startOrCancel();
        for (float p : {-1000.0f, -2000.0f, -1000.0f, -2000.0f})
            rig.capture.captureClick(p, p);
        rig.tables.AddPointToTables({-1500, -1500}); // midway: x = 0.5
        QCOMPARE(rig.model.cell(PointTableModel::DataPoints, 1, 0), QStringLiteral("0.500"));

        rig.capture.startOrCancel();
        rig.sink.answers = {answer, AnswerYes, AnswerYes, AnswerYes};
        rig.capture.captureClick(-2500, -2500); // a new origin: the point is now at x = 2
        QCOMPARE(rig.sink.texts(), QStringList{ReferenceCapture::recalculateQuestion()});
        QCOMPARE(rig.sink.shown[0].kind, MessageKind::YesNoCancel);
        QCOMPARE(rig.model.rows(), rowsAfter);
        QCOMPARE(rig.state.mCalibrating, calibrating);
        QCOMPARE(rig.model.cell(PointTableModel::DataPoints, 1, 0), firstX);
        if (answer == AnswerCancel) {
            QCOMPARE(rig.cal.record().buttonCaption, QStringLiteral("...")); // its next press cancels
            QCOMPARE(rig.state.mX1Pix, -1000.0); // nothing captured
        }
        for (int i = 0; i < 3 && rig.state.mCalibrating; ++i)
            rig.capture.captureClick(-3000, -3000);
        QCOMPARE(rig.sink.shown.size(), answer == AnswerYes ? 4 : 1);
    }
};

QTEST_GUILESS_MAIN(TestReferenceCapture)
#include "test_reference_capture.moc"
