#include "MainWindowFixture.h"
#include "capture/RotateGraphic.h"
#include "capture/frmRotate.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// A main window showing 1:1 a 400 x 300 picture with a long black bar across its middle.
struct Rig : MainWindowFixture {
    bool start()
    {
        QImage image = picture(400, 300);
        QPainter(&image).fillRect(50, 140, 300, 20, Qt::black);
        return openWith(image);
    }
    ImageControl *pic() const { return pictureOf(*window); }
    const QImage &clean() const { return partOf<ImageControl>(*window, "mZoomWindow")->image(); }
    void press(QPoint px) { QTest::mouseClick(pic(), Qt::LeftButton, {}, px); }
    frmRotate *dialog()
    {
        window->menuItems().mnuViewRotate->trigger();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<frmRotate *>(w); d && d->isVisible())
                return d;
        return nullptr;
    }
    void doIt(frmRotate *d, const QString &text)
    {
        d->txtWinkel->setText(text);
        QTest::mouseClick(d->btnDoIt, Qt::LeftButton);
    }
};

// The angle's text, typed or measured by two picks, and the turn "do it" makes of it in
// hundredths of a degree (none: refused).
struct Angle { QLocale locale; QString text; std::optional<qint32> hundredths; QList<QPoint> picks = {}; };

} // namespace

class TestRotateGraphic : public QObject {
    Q_OBJECT
private slots:
    void doItTurnsByThePickedOrTypedAngle_data()
    {
        QTest::addColumn<Angle>("angle");
        QTest::newRow("right point higher: positive")
            << Angle{pointLocale(), "26.565051177078", 2657, {{100, 200}, {300, 100}}};
        QTest::newRow("right point lower: negative, decimal comma")
            << Angle{commaLocale(), "-26,565051177078", -2657, {{100, 100}, {300, 200}}};
        QTest::newRow("same x, second above") << Angle{pointLocale(), "90", 9000, {{200, 200}, {200, 100}}};
        QTest::newRow("a level line") << Angle{pointLocale(), "0", 0, {{100, 150}, {300, 150}}};
        QTest::newRow("one spot twice: nothing do it takes") << Angle{pointLocale(), "", {}, {{150, 150}, {150, 150}}};
        QTest::newRow("decimal point, a half hundredth down to even") << Angle{pointLocale(), "2.125", 212};
        QTest::newRow("decimal comma, a half hundredth up to even") << Angle{commaLocale(), "-0,375", -38};
        QTest::newRow("a point in a comma locale is no decimal") << Angle{commaLocale(), "2.5", {}};
        QTest::newRow("not a number") << Angle{pointLocale(), "abc", {}};
    }
    void doItTurnsByThePickedOrTypedAngle()
    {
        QFETCH(Angle, angle);
        LocaleScope scope(angle.locale);
        Rig rig;
        QVERIFY(rig.start());
        frmRotate *d = rig.dialog();
        QVERIFY(d);
        if (angle.picks.isEmpty()) {
            d->txtWinkel->setText(angle.text);
        } else {
            QTest::mouseClick(d->btnGetWinkel, Qt::LeftButton);
            QCOMPARE(rig.status(), QStringLiteral("Select the left point"));
            rig.press(angle.picks[0]);
            QCOMPARE(rig.status(), QStringLiteral("Select the right point"));
            rig.press(angle.picks[1]);
            QCOMPARE(d->txtWinkel->text(), angle.text);
            QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));
        }
        const QImage before = rig.pic()->image();
        QTest::mouseClick(d->btnDoIt, Qt::LeftButton);
        QCOMPARE(rig.sink.texts(), angle.hundredths ? QStringList{} : QStringList{RotateGraphic::angleMessage()});
        QVERIFY(rig.pic()->image() == (angle.hundredths ? rotatePicture(before, *angle.hundredths) : before));
    }

    void turnsAddUpAndOkKeepsTheTurnedPicture()
    {
        Rig rig;
        QVERIFY(rig.start());
        // A calibration and a point, which no turn may touch; without its marker the pictures
        // compare as turned copies.
        rig.window->menuItems().mnuViewMarker->setChecked(false);
        QTest::mouseClick(rig.window->findChild<QPushButton *>(QStringLiteral("btnGetPoints")), Qt::LeftButton);
        rig.press({50, 250});
        rig.press({250, 50});
        rig.click(rig.window->toolbarButtons().tbPoint);
        rig.press({100, 100});
        const SharedState s = rig.window->state();
        const QString point = rig.window->tables().model().cell(PointTableModel::DataPoints, 1, 1);

        frmRotate *d = rig.dialog();
        const QImage clean = rig.clean();
        rig.doIt(d, "1");
        QTest::mouseClick(d->Command1, Qt::LeftButton); // Cancel puts the clean copy back
        QVERIFY(rig.pic()->image() == clean);
        d = rig.dialog();
        rig.doIt(d, "2");
        QTest::mouseClick(d->btnBack, Qt::LeftButton);
        QVERIFY(rig.pic()->image() == clean);
        rig.doIt(d, "1");
        rig.doIt(d, "1"); // each press turns the present picture further
        QVERIFY(rig.pic()->image() == rotatePicture(rotatePicture(clean, 100), 100));

        rig.window->menuItems().mnuViewWindow->trigger();
        QTest::mouseClick(d->btnOK, Qt::LeftButton);
        const QImage kept = rig.pic()->image(); // the new clean copy, which "back" shows below
        QCOMPARE(rig.window->state().mViewScale, 1.0);
        QVERIFY(rig.window->menuItems().mnuViewNormal->isChecked());
        d = rig.dialog();
        rig.doIt(d, "5");
        QTest::mouseClick(d->btnBack, Qt::LeftButton);
        QVERIFY(rig.pic()->image() == kept);

        QCOMPARE(rig.window->tables().model().cell(PointTableModel::DataPoints, 1, 1), point);
        const SharedState &now = rig.window->state();
        QCOMPARE(std::tuple(now.mX1Pix, now.mY1Pix, now.mX2Pix, now.mY2Pix), std::tuple(s.mX1Pix, s.mY1Pix, s.mX2Pix, s.mY2Pix));
        QVERIFY(rig.window->calibration().IsCalibrated());
    }
};

QTEST_MAIN(TestRotateGraphic)
#include "test_rotate_graphic.moc"
