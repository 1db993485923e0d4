#include "MainWindowFixture.h"
#include "capture/PictureMouse.h"
#include "picture/ImageControl.h"
#include "picture/ScreenOverlay.h"
#include "core/NumberText.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>

using namespace chartrek;
using namespace chartrek::test;

namespace {

constexpr int T = kTwipsPerPixel;
constexpr auto Data = PointTableModel::DataPoints;
constexpr auto Orig = PointTableModel::Originale;

// A main window with a 400 x 300 picture shown 1:1, and real mouse input on the picture.
struct Rig : MainWindowFixture {
    QTemporaryDir dir;
    ImageControl *pic = nullptr;

    bool start(QColor color = Qt::white)
    {
        if (!open())
            return false;
        const QString file = dir.filePath(QStringLiteral("picture.png"));
        picture(400, 300, color).save(file);
        pic = pictureOf(*window);
        return window->openFile(file);
    }
    void press(QPoint px, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {})
    {
        QTest::mousePress(pic, button, mods, px);
        QTest::mouseRelease(pic, button, mods, px);
    }
    void mouse(QEvent::Type type, QPointF px, Qt::MouseButton button)
    {
        QMouseEvent event(type, px, pic->mapToGlobal(px), button, type == QEvent::MouseButtonPress ? button : Qt::NoButton, {});
        QApplication::sendEvent(pic, &event);
    }
    void move(QPoint px, Qt::MouseButtons buttons = Qt::NoButton)
    {
        QMouseEvent event(QEvent::MouseMove, QPointF(px), pic->mapToGlobal(QPointF(px)), Qt::NoButton, buttons, {});
        QApplication::sendEvent(pic, &event);
    }
    void chains(bool x, bool y)
    {
        window->calibration().record().chainXTag = x ? QStringLiteral("1") : QStringLiteral("0");
        window->calibration().record().chainYTag = y ? QStringLiteral("1") : QStringLiteral("0");
    }
    void clickGet() { QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("btnGetPoints")), Qt::LeftButton); }
    // Origin at pixel (50, 250) = (0, 0); X2 at x 250 = 1, Y2 at y 50 = 1 (fields at "0" and "1").
    void calibrate()
    {
        chains(true, true);
        clickGet();
        press({50, 250});
        press({250, 50});
    }
    QString status() const { return partOf<QStatusBar>(*window, "mStatusBar")->currentMessage(); }
};

} // namespace

class TestPictureMouse : public QObject {
    Q_OBJECT
private slots:
    void calibrationByClicks_data()
    {
        QTest::addColumn<bool>("chainX");
        QTest::addColumn<bool>("chainY");
        QTest::addColumn<QList<QPoint>>("clicks");
        QTest::newRow("both chained: origin and corner") << true << true << QList<QPoint>{{50, 250}, {250, 50}};
        QTest::newRow("none chained: X1, X2, Y1, Y2")
            << false << false << QList<QPoint>{{50, 0}, {250, 0}, {0, 250}, {0, 50}};
        QTest::newRow("only the origin chained") << true << false << QList<QPoint>{{50, 250}, {250, 0}, {0, 50}};
        QTest::newRow("only the corner chained") << false << true << QList<QPoint>{{50, 0}, {250, 50}, {0, 250}};
    }
    void calibrationByClicks()
    {
        QFETCH(bool, chainX);
        QFETCH(bool, chainY);
        QFETCH(QList<QPoint>, clicks);
        Rig rig;
        QVERIFY(rig.start());
        rig.chains(chainX, chainY);
        rig.clickGet();
        for (int i = 0; i < clicks.size(); ++i) {
            QVERIFY2(rig.window->state().mCalibrating, "capture ended early");
            // Any button captures a reference in the pointer tool.
            rig.press(clicks[i], i % 2 ? Qt::RightButton : Qt::LeftButton);
        }
        const SharedState &s = rig.window->state();
        QVERIFY(!s.mCalibrating);
        QCOMPARE((QList<double>{s.mX1Pix, s.mX2Pix, s.mY1Pix, s.mY2Pix}),
                 (QList<double>{-50.0 * T, -250.0 * T, -250.0 * T, -50.0 * T}));
        QVERIFY(rig.window->calibration().IsCalibrated());
    }

    void pointsWithBothButtons()
    {
        Rig rig;
        QVERIFY(rig.start());
        rig.calibrate();
        rig.click(rig.window->toolbarButtons().tbPoint);
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointTool));
        rig.press({150, 150}, Qt::RightButton);
        rig.press({100, 200}, Qt::LeftButton);
        const PointTableModel &m = rig.window->tables().model();
        QCOMPARE(m.rows(), 4);
        // Sorted by x: 0.25 before 0.5.
        QCOMPARE(m.cell(Data, 1, 0), QStringLiteral("0.250"));
        QCOMPARE(m.cell(Data, 1, 1), QStringLiteral("0.250"));
        QCOMPARE(m.cell(Data, 2, 0), QStringLiteral("0.500"));
        QCOMPARE(m.cell(Orig, 2, 0), QString::number(-150 * T));
        // The marker is in the picture itself: a red ring 2 pixels from the point.
        QCOMPARE(rig.pic->image().pixelColor(152, 150), QColor(Qt::red));
        QVERIFY(!rig.pic->overlay().isEmpty()); // the inverted square around the press
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointTool));
    }

    void capturedPointsLeaveThroughTheMenus()
    {
        LocaleScope scope(commaLocale());
        Rig rig;
        QVERIFY(rig.start());
        rig.calibrate();
        rig.click(rig.window->toolbarButtons().tbPoint);
        rig.press({150, 100});
        rig.window->menuItems().mnuEditKopie->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("0,5\t0,75\r\n"));
        rig.dialogs.answer = rig.dir.filePath(QStringLiteral("points.txt"));
        rig.window->menuItems().mnuFileSaveData->trigger();
        QFile saved(rig.dialogs.answer);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("0.5\t0.75\r\n"));
    }

    void markers_data()
    {
        QTest::addColumn<QColor>("background");
        QTest::addColumn<bool>("markers");
        QTest::addColumn<QColor>("ring");
        QTest::newRow("blue on a pure red curve") << QColor(255, 0, 0) << true << QColor(Qt::blue);
        QTest::newRow("red on almost red") << QColor(254, 0, 0) << true << QColor(Qt::red);
        QTest::newRow("none when switched off") << QColor(Qt::white) << false << QColor(Qt::white);
    }
    void markers()
    {
        QFETCH(QColor, background);
        QFETCH(bool, markers);
        QFETCH(QColor, ring);
        Rig rig;
        QVERIFY(rig.start(background));
        rig.calibrate();
        rig.window->menuItems().mnuViewMarker->setChecked(markers);
        rig.click(rig.window->toolbarButtons().tbPoint);
        rig.press({150, 150});
        QCOMPARE(rig.window->tables().model().rows(), 3);
        QCOMPARE(rig.pic->image().pixelColor(152, 150), ring);
        QCOMPARE(rig.pic->overlay().isEmpty(), !markers);
    }

    void statusReadout_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("yLog");
        QTest::addColumn<QString>("expected");
        QTest::newRow("decimal point") << pointLocale() << false << " X: 0.500 - Y: 0.750";
        QTest::newRow("decimal comma") << commaLocale() << false << " X: 0,500 - Y: 0,750";
        QTest::newRow("log y axis, decimal comma") << commaLocale() << true << " X: 0,500 - Y: 5,623 E0";
    }
    void statusReadout()
    {
        QFETCH(QLocale, locale);
        QFETCH(bool, yLog);
        QFETCH(QString, expected);
        LocaleScope scope(locale);
        Rig rig;
        QVERIFY(rig.start());
        rig.move({150, 150});
        QVERIFY(rig.status().isEmpty()); // not calibrated: no readout
        rig.calibrate();
        rig.window->calibration().record().yLog = yLog;
        rig.move({150, 100});
        QCOMPARE(rig.status(), expected);
    }

    void pointToolBeforeCalibration()
    {
        Rig rig;
        QVERIFY(rig.start());
        rig.window->state().mToolMode = SharedState::PointTool; // as if chosen before a reset
        rig.press({150, 150});
        QCOMPARE(rig.sink.texts(), QStringList{"You have to determine the origin first."});
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));
        QCOMPARE(rig.window->tables().model().rows(), 2);
    }

    void zoomKeepsTheValuesUnderThePointer()
    {
        Rig rig;
        QVERIFY(rig.start());
        rig.calibrate();
        rig.move({100, 60});
        const QString before = rig.status();
        rig.click(rig.window->toolbarButtons().tbZoom);
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::ZoomTool));
        // Half as wide and a quarter as high as the picture.
        QTest::mousePress(rig.pic, Qt::LeftButton, {}, QPoint(40, 30));
        rig.move({240, 105}, Qt::LeftButton);
        QVERIFY(rig.pic->rubberBandVisible());
        QTest::mouseRelease(rig.pic, Qt::LeftButton, {}, QPoint(240, 105));
        QCOMPARE(rig.window->state().mViewScale, 0.5);
        QVERIFY(!rig.pic->rubberBandVisible());
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));
        QVERIFY(!rig.window->toolbarButtons().tbZoom->isEnabled());
        QVERIFY(!rig.window->menuItems().mnuViewNormal->isChecked());
        QVERIFY(!rig.window->menuItems().mnuViewWindow->isChecked());
        // Picture pixel (100, 60) now lies twice as far from the rectangle's corner.
        rig.move({120, 60});
        QCOMPARE(rig.status(), before);
    }

    void zoomThatCannotBeMadeChangesNothing_data()
    {
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<bool>("fitted");
        QTest::newRow("no width") << QPointF(40, 30) << QPointF(40, 90) << false;
        // A screen of pixel ratio 2 reports half pixels; one spot must stay one spot.
        QTest::newRow("a click on one spot between whole pixels") << QPointF(40.5, 30.5) << QPointF(40.5, 30.5) << false;
        QTest::newRow("a drag in the fitted view") << QPointF(40, 30) << QPointF(240, 105) << true;
    }
    void zoomThatCannotBeMadeChangesNothing()
    {
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        QFETCH(bool, fitted);
        Rig rig;
        QVERIFY(rig.start());
        rig.click(rig.window->toolbarButtons().tbZoom);
        const double scale = rig.window->state().mViewScale;
        if (fitted) {
            rig.window->menuItems().mnuViewWindow->trigger();
            // Leaving the 1:1 view puts the zoom tool away ...
            QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));
            QVERIFY(rig.window->toolbarButtons().tbZeiger->isChecked());
            // ... and a zoom that reaches it anyway is refused.
            rig.window->state().mToolMode = SharedState::ZoomTool;
        }
        const double before = rig.window->state().mViewScale;
        rig.mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
        rig.mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton);
        QCOMPARE(rig.window->state().mViewScale, fitted ? before : scale);
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::ZoomTool));
        QVERIFY(!rig.pic->rubberBandVisible());
    }

    void lineToolKeepsOnlyTheLastLine()
    {
        Rig rig;
        QVERIFY(rig.start());
        rig.click(rig.window->toolbarButtons().tbLine);
        QTest::mousePress(rig.pic, Qt::LeftButton, {}, QPoint(10, 10));
        rig.move({110, 10}, Qt::LeftButton);
        rig.move({10, 110}, Qt::LeftButton);
        QTest::mouseRelease(rig.pic, Qt::LeftButton, {}, QPoint(10, 110));
        const ScreenOverlay &o = rig.pic->overlay();
        QVERIFY(!o.isInverted({60, 10}));  // the first line was taken back
        QVERIFY(o.isInverted({10, 60}));   // the last one stays
        QVERIFY(!rig.window->state().mLineDragging);
        QCOMPARE(rig.window->tables().model().rows(), 2); // the line tool stores nothing
    }

    void pressWithoutPictureIsIgnored()
    {
        Rig rig;
        QVERIFY(rig.open());
        rig.pic = pictureOf(*rig.window);
        rig.window->state().mToolMode = SharedState::LineTool;
        rig.press({10, 10});
        QVERIFY(!rig.window->state().mLineDragging);
        QVERIFY(rig.sink.shown.isEmpty());
    }

    void shiftPressAsksForDeletion()
    {
        Rig rig;
        QVERIFY(rig.start());
        QSignalSpy spy(partOf<PictureMouse>(*rig.window, "pictureMouse"), &PictureMouse::deletePointRequested);
        rig.press({100, 100}, Qt::LeftButton, Qt::ShiftModifier);
        rig.press({100, 100}, Qt::RightButton, Qt::ShiftModifier);
        QCOMPARE(spy.count(), 1);
    }
};

QTEST_MAIN(TestPictureMouse)
#include "test_picture_mouse.moc"
