#include "DialogDriver.h"
#include "TestSupport.h"
#include "autoline/LostLineRecovery.h"
#include "picture/ImageControl.h"

#include <QCursor>
#include <QPushButton>
#include <QtTest>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// A white 400 x 300 picture shown 1:1; the dialog centres on its middle, (3000, -2250), so a
// press at the middle pixel (210, 210) of its 420 x 420 view picks exactly that point.
struct Rig {
    SharedState state;
    RecordingSink sink;
    Messages messages{sink};
    ImageControl picture;
    LostLineRecovery recovery{{picture}, {state, messages}};
    PixProbePoint point{3000, -2250};

    Rig()
    {
        QImage white(400, 300, QImage::Format_RGB32);
        white.fill(Qt::white);
        picture.setImage(white);
        state.mRecoveryRefX = 3000;
    }
    // Asks for the point, with act playing the user inside the dialog.
    bool ask(std::function<void(QWidget *, ImageControl *)> act)
    {
        whenDialogReady(QStringLiteral("frmAutoLineError"), [](QWidget *) { return true; },
                        [act](QWidget *dialog) { act(dialog, dialog->findChild<ImageControl *>(QStringLiteral("mPic"))); });
        return recovery.GetPointFromUser(point);
    }
};

void press(QWidget *dialog, const char *button)
{
    QTest::mouseClick(dialog->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
}

} // namespace

Q_DECLARE_METATYPE(PixProbePoint)

class TestRecoveryDialog : public QObject {
    Q_OBJECT
private slots:
    // The dialog shows twice what the main view shows: a pick there is finer than a picture pixel.
    void picksLeftOfTheReferenceAreRefusedAndOnlyTheLastCrossShows_data()
    {
        QTest::addColumn<double>("scale");
        QTest::addColumn<PixProbePoint>("picked");
        QTest::newRow("shown 1:1, a screen pixel of the dialog is half a picture pixel") << 1.0 << PixProbePoint{3675, -2925};
        QTest::newRow("zoomed in to 300 %, a sixth of a picture pixel") << 1 / 3.0 << PixProbePoint{3225, -2475};
    }
    void picksLeftOfTheReferenceAreRefusedAndOnlyTheLastCrossShows()
    {
        QFETCH(double, scale);
        QFETCH(PixProbePoint, picked);
        Rig rig;
        rig.state.mViewScale = scale;
        bool okBeforePick = true, firstCrossLeft = true, secondCrossShown = false;
        QVERIFY(rig.ask([&](QWidget *dialog, ImageControl *pic) {
            okBeforePick = dialog->findChild<QPushButton *>(QStringLiteral("Command1"))->isEnabled();
            QTest::mouseClick(pic, Qt::LeftButton, {}, QPoint(209, 210)); // a screen pixel left
            QTest::mouseClick(pic, Qt::RightButton, {}, QPoint(210, 210));
            QTest::mouseClick(pic, Qt::LeftButton, {}, QPoint(300, 300));
            firstCrossLeft = pic->overlay().isInverted(QPoint(215, 210));
            secondCrossShown = pic->overlay().isInverted(QPoint(305, 300));
            press(dialog, "Command1");
        }));
        QVERIFY(!okBeforePick);
        QCOMPARE(rig.sink.texts(), QStringList{QStringLiteral("The x value must lie right of the middle of the rectangle. "
                                                              "Please click on another point.")});
        QVERIFY(!firstCrossLeft);
        QVERIFY(secondCrossShown);
        QCOMPARE(rig.point.x, picked.x);
        QCOMPARE(rig.point.y, picked.y);
        QCOMPARE(rig.state.mViewScale, scale);
    }

    // The first key of the dialog moves the pointer too, and Enter picks where a click would.
    void enterPicksWhatAClickAtThePointerPicks()
    {
        Rig clicked;
        QVERIFY(clicked.ask([](QWidget *dialog, ImageControl *pic) {
            QTest::mouseClick(pic, Qt::LeftButton, {}, QPoint(251, 240));
            press(dialog, "Command1");
        }));
        Rig keyed;
        QVERIFY(keyed.ask([](QWidget *dialog, ImageControl *pic) {
            QCursor::setPos(pic->mapToGlobal(QPoint(240, 240)));
            QTest::keyClick(pic, Qt::Key_6, Qt::KeypadModifier);
            QTest::keyClick(pic, Qt::Key_Right, Qt::KeypadModifier | Qt::AltModifier); // Num Lock off
            QTest::keyClick(pic, Qt::Key_Enter, Qt::KeypadModifier);
            press(dialog, "Command1");
        }));
        QCOMPARE(keyed.point.x, clicked.point.x);
        QCOMPARE(keyed.point.y, clicked.point.y);
    }

    void cancelLeavesThePointAndTheScale()
    {
        Rig rig;
        rig.state.mViewScale = 3;
        QVERIFY(!rig.ask([](QWidget *dialog, ImageControl *pic) {
            QTest::mouseClick(pic, Qt::LeftButton, {}, QPoint(300, 300));
            press(dialog, "Command2");
        }));
        QCOMPARE(rig.point.x, 3000);
        QCOMPARE(rig.point.y, -2250);
        QCOMPARE(rig.state.mViewScale, 3.0);
        // Without a picture there is nothing to pick on: the trace is told to stop.
        rig.picture.freeBitmap();
        QVERIFY(!rig.recovery.GetPointFromUser(rig.point));
        QCOMPARE(rig.sink.texts(), QStringList{Messages::scanErrorText()});
    }
};

QTEST_MAIN(TestRecoveryDialog)
#include "test_recovery_dialog.moc"
