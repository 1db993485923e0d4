#include "MainWindowFixture.h"
#include "capture/RotateGraphic.h"
#include "capture/frmRotate.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// A main window showing 1:1 a 400 x 300 picture with a long black bar across its middle.
struct Rig : MainWindowFixture {
    QTemporaryDir dir;

    bool start()
    {
        QImage image = picture(400, 300);
        QPainter(&image).fillRect(50, 140, 300, 20, Qt::black);
        const QString file = dir.filePath(QStringLiteral("bar.png"));
        return open() && image.save(file) && window->openFile(file);
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
    QString status() const { return partOf<QStatusBar>(*window, "mStatusBar")->currentMessage(); }
};

// How much lower the bar's top edge lies at x = 320 than at x = 80, in pixels: 240 tan(angle).
// Searched from well inside the picture, below the black corners a turn brings in.
int barDrop(const QImage &image)
{
    auto top = [&](int x) {
        int y = 100;
        while (y < image.height() && image.pixel(x, y) != qRgb(0, 0, 0))
            ++y;
        return y;
    };
    return top(320) - top(80);
}

struct Pick { QPoint left, right; QLocale locale; QString angle; };
struct Typed { QLocale locale; QString text; std::optional<qint32> hundredths; }; // none: refused

} // namespace

class TestRotateGraphic : public QObject {
    Q_OBJECT
private slots:
    void twoPicksMeasureTheAngle_data()
    {
        QTest::addColumn<Pick>("pick");
        QTest::newRow("right point higher: positive") << Pick{{100, 200}, {300, 100}, pointLocale(), "26.565051177078"};
        QTest::newRow("right point lower: negative, decimal comma")
            << Pick{{100, 100}, {300, 200}, commaLocale(), "-26,565051177078"};
        QTest::newRow("same x, second above") << Pick{{200, 200}, {200, 100}, pointLocale(), "90"};
        QTest::newRow("a level line") << Pick{{100, 150}, {300, 150}, pointLocale(), "0"};
        QTest::newRow("one spot twice: nothing do it takes") << Pick{{150, 150}, {150, 150}, pointLocale(), ""};
    }
    void twoPicksMeasureTheAngle()
    {
        QFETCH(Pick, pick);
        LocaleScope scope(pick.locale);
        Rig rig;
        QVERIFY(rig.start());
        frmRotate *d = rig.dialog();
        QVERIFY(d);
        QTest::mouseClick(d->btnGetWinkel, Qt::LeftButton);
        QCOMPARE(rig.status(), QString::fromUtf8("Punkt links auswählen"));
        rig.press(pick.left);
        QCOMPARE(rig.status(), QString::fromUtf8("Punkt rechts auswählen"));
        rig.press(pick.right);
        QCOMPARE(d->txtWinkel->text(), pick.angle);
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));
        const QImage before = rig.pic()->image();
        QTest::mouseClick(d->btnDoIt, Qt::LeftButton);
        QCOMPARE(rig.sink.texts(), pick.angle.isEmpty() ? QStringList{RotateGraphic::angleMessage()} : QStringList{});
        QCOMPARE(rig.pic()->image() == before, pick.angle.isEmpty() || pick.angle == "0");
    }

    void doItTakesTheTypedAngle_data()
    {
        QTest::addColumn<Typed>("typed");
        QTest::newRow("decimal point, a half hundredth down to even") << Typed{pointLocale(), "2.125", 212};
        QTest::newRow("decimal comma, a half hundredth up to even") << Typed{commaLocale(), "-0,375", -38};
        QTest::newRow("a point in a comma locale is no decimal") << Typed{commaLocale(), "2.5", {}};
        QTest::newRow("not a number") << Typed{pointLocale(), "abc", {}};
    }
    void doItTakesTheTypedAngle()
    {
        QFETCH(Typed, typed);
        LocaleScope scope(typed.locale);
        Rig rig;
        QVERIFY(rig.start());
        const QImage before = rig.pic()->image();
        rig.doIt(rig.dialog(), typed.text);
        const bool refused = !typed.hundredths;
        QCOMPARE(rig.sink.texts(), refused ? QStringList{RotateGraphic::angleMessage()} : QStringList{});
        QVERIFY(rig.pic()->image() == (refused ? before : rotatePicture(before, *typed.hundredths)));
    }

    void turnsAddUpAndOkKeepsTheTurnedPicture()
    {
        Rig rig;
        QVERIFY(rig.start());
        // A calibration and a point, which no turn may touch.
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
        const QImage byOne = rig.pic()->image();
        QTest::mouseClick(d->Command1, Qt::LeftButton); // Cancel puts the clean copy back
        QVERIFY(rig.pic()->image() == clean);
        d = rig.dialog();
        rig.doIt(d, "2");
        const QImage byTwo = rig.pic()->image();
        QTest::mouseClick(d->btnBack, Qt::LeftButton);
        QVERIFY(rig.pic()->image() == clean);
        rig.doIt(d, "1");
        rig.doIt(d, "1");
        // Two nearest-pixel turns round twice: the same tilt as one turn by 2, within a pixel.
        QCOMPARE(barDrop(byOne), 4);
        QCOMPARE(barDrop(byTwo), 8);
        QVERIFY(std::abs(barDrop(rig.pic()->image()) - 8) <= 1);

        rig.window->menuItems().mnuViewWindow->trigger();
        QTest::mouseClick(d->btnOK, Qt::LeftButton);
        const QImage kept = rig.pic()->image();
        QVERIFY(rig.clean() == kept);
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
