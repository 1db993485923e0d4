#include "TestSupport.h"
#include "calibration/ReferenceCapture.h"

#include <QTest>

using namespace chartrek;
using namespace chartrek::test;

namespace {

struct Rig {
    SharedState state;
    FakePicture picture;
    RecordingSink sink;
    Messages messages{sink};
    ToolMode toolMode{state};
    Calibration cal{state, picture};
    PointTableModel model;
    PointTables tables{model, cal, state};
    ReferenceCapture capture{cal, tables, messages, toolMode, picture};

    Rig(bool chainX, bool chainY)
    {
        cal.record().chainXTag = chainX ? QStringLiteral("1") : QStringLiteral("0");
        cal.record().chainYTag = chainY ? QStringLiteral("1") : QStringLiteral("0");
    }
    std::array<quint32, 4> colors() const { return cal.record().backColor; }
    // Clicks at a distinct place per click: (-1000·n, -500·n).
    int clickUntilDone(int limit = 10)
    {
        int n = 0;
        while (state.mCalibrating && n < limit) {
            ++n;
            capture.captureClick(-1000.0f * n, -500.0f * n);
        }
        return n;
    }
};

} // namespace

class TestReferenceCapture : public QObject {
    Q_OBJECT
private slots:
    void clickCounts_data()
    {
        QTest::addColumn<bool>("chainX");
        QTest::addColumn<bool>("chainY");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QList<double>>("positions"); // mX1Pix, mX2Pix, mY1Pix, mY2Pix
        QTest::newRow("both chained: origin, then the X2/Y2 corner")
            << true << true << 2 << QList<double>{-1000, -2000, -500, -1000};
        QTest::newRow("none chained: X1, X2, Y1, Y2")
            << false << false << 4 << QList<double>{-1000, -2000, -1500, -2000};
        QTest::newRow("only X1/Y1 chained: origin, X2, Y2")
            << true << false << 3 << QList<double>{-1000, -2000, -500, -1500};
        QTest::newRow("only X2/Y2 chained: X1, corner, Y1")
            << false << true << 3 << QList<double>{-1000, -2000, -1500, -1000};
    }
    void clickCounts()
    {
        QFETCH(bool, chainX);
        QFETCH(bool, chainY);
        QFETCH(int, clicks);
        QFETCH(QList<double>, positions);
        Rig rig(chainX, chainY);
        rig.capture.startOrCancel();
        QCOMPARE(rig.cal.record().buttonCaption, QStringLiteral("..."));
        QCOMPARE(rig.state.mCalibStep, 1);
        QCOMPARE(rig.clickUntilDone(), clicks);
        QCOMPARE(rig.cal.record().buttonCaption, QStringLiteral("get"));
        QCOMPARE(rig.state.mCalibStep, 0);
        QCOMPARE((QList<double>{rig.state.mX1Pix, rig.state.mX2Pix, rig.state.mY1Pix, rig.state.mY2Pix}), positions);
        for (quint32 c : rig.colors())
            QCOMPARE(c, quint32(ColorSet));
        // The numbers are hidden: text colour equals background.
        QCOMPARE(rig.cal.record().textColor, rig.cal.record().backColor);
        QVERIFY(rig.sink.shown.isEmpty());
    }

    void bothChainedIsCalibratedAfterTheFirstClick()
    {
        Rig rig(true, true);
        rig.capture.startOrCancel();
        QCOMPARE(rig.colors()[RefX1], quint32(ColorWaiting));
        QCOMPARE(rig.colors()[RefY1], quint32(ColorWaiting));
        QCOMPARE(rig.colors()[RefX2], quint32(ColorNotSet));
        QVERIFY(!rig.cal.IsCalibrated());
        rig.capture.captureClick(-100, -200);
        QCOMPARE(rig.colors()[RefX2], quint32(ColorWaiting));
        QCOMPARE(rig.colors()[RefY2], quint32(ColorWaiting));
        QVERIFY(rig.cal.IsCalibrated());
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

    void cancelShowsTheStoredState()
    {
        Rig rig(false, false);
        rig.capture.startOrCancel();
        rig.capture.captureClick(-100, -100); // X1 captured
        rig.capture.startOrCancel();           // cancel
        QVERIFY(!rig.state.mCalibrating);
        QCOMPARE(rig.state.mCalibStep, 1);
        QCOMPARE(rig.cal.record().buttonCaption, QStringLiteral("get"));
        QCOMPARE(rig.colors(), (std::array<quint32, 4>{ColorSet, ColorNotSet, ColorNotSet, ColorNotSet}));
    }

    void skip()
    {
        // A first calibration without chains, then a second one that skips everything but Y1.
        Rig rig(false, false);
        rig.capture.startOrCancel();
        rig.capture.captureClick(-100, -100); // X1
        rig.capture.skip();                   // X2 never captured: red
        QCOMPARE(rig.colors()[RefX2], quint32(ColorNotSet));
        QCOMPARE(rig.colors()[RefY1], quint32(ColorWaiting));
        QCOMPARE(rig.state.mCalibStep, 3);
        rig.capture.captureClick(-300, -300); // Y1
        rig.capture.skip();                   // Y2: red, capture ends
        QVERIFY(!rig.state.mCalibrating);
        QCOMPARE(rig.colors(), (std::array<quint32, 4>{ColorSet, ColorNotSet, ColorSet, ColorNotSet}));

        rig.capture.startOrCancel();
        rig.capture.skip(); // X1 was captured: green, position kept
        QCOMPARE(rig.colors()[RefX1], quint32(ColorSet));
        QCOMPARE(rig.state.mX1Pix, -100.0);
        QCOMPARE(rig.cal.record().caption[RefX1], QStringLiteral("-100"));
    }

    void skipWithBothChainsEndsAfterTwo()
    {
        Rig rig(true, true);
        rig.capture.startOrCancel();
        rig.capture.skip();
        rig.capture.skip();
        QVERIFY(!rig.state.mCalibrating);
        QCOMPARE(rig.cal.record().buttonCaption, QStringLiteral("get"));
        rig.capture.skip(); // not capturing: nothing happens
        QCOMPARE(rig.state.mCalibStep, 0);
    }

    void recalculationQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("rowsAfter");
        QTest::addColumn<bool>("calibrating");
        QTest::addColumn<QString>("firstX");
        QTest::newRow("Yes recalculates with the new origin") << int(AnswerYes) << 3 << true << "2.000";
        QTest::newRow("No empties the tables and goes on") << int(AnswerNo) << 2 << true << "";
        QTest::newRow("Cancel stops the capture") << int(AnswerCancel) << 3 << false << "0.500";
    }
    void recalculationQuestion()
    {
        QFETCH(int, answer);
        QFETCH(int, rowsAfter);
        QFETCH(bool, calibrating);
        QFETCH(QString, firstX);
        LocaleScope scope(pointLocale());
        Rig rig(false, false);
        rig.capture.startOrCancel();
        for (float p : {-1000.0f, -2000.0f, -1000.0f, -2000.0f})
            rig.capture.captureClick(p, p);
        rig.tables.AddPointToTables({-1500, -1500}); // midway: x = 0.5
        QCOMPARE(rig.model.cell(PointTableModel::DataPoints, 1, 0), QStringLiteral("0.500"));

        rig.capture.startOrCancel();
        rig.sink.answers = {answer};
        rig.capture.captureClick(-2500, -2500); // a new origin: the point is now at x = 2
        QCOMPARE(rig.sink.texts(), QStringList{ReferenceCapture::recalculateQuestion()});
        QCOMPARE(rig.sink.shown[0].kind, MessageKind::YesNoCancel);
        QCOMPARE(rig.model.rows(), rowsAfter);
        QCOMPARE(rig.state.mCalibrating, calibrating);
        QCOMPARE(rig.model.cell(PointTableModel::DataPoints, 1, 0), firstX);
        if (answer == AnswerCancel) {
            QCOMPARE(rig.state.mCalibStep, 1);
            QCOMPARE(rig.cal.record().buttonCaption, QStringLiteral("..."));
            QCOMPARE(rig.state.mX1Pix, -1000.0); // nothing captured
        }
    }

    void questionAtEveryClick()
    {
        Rig rig(false, false);
        rig.capture.startOrCancel();
        rig.clickUntilDone();
        rig.tables.AddPointToTables({-1500, -1500});
        rig.capture.startOrCancel();
        rig.sink.answers = {AnswerYes, AnswerYes, AnswerYes, AnswerYes};
        QCOMPARE(rig.clickUntilDone(), 4);
        QCOMPARE(rig.sink.shown.size(), 4);
    }
};

QTEST_GUILESS_MAIN(TestReferenceCapture)
#include "test_reference_capture.moc"
