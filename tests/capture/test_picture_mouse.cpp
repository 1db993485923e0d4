#include "MainWindowFixture.h"
#include "capture/PictureMouse.h"
#include "picture/ImageControl.h"
#include "picture/ScreenOverlay.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>

using namespace chartrek;
using namespace chartrek::test;

namespace {

constexpr int T = kTwipsPerPixel;

// A main window with a 400 x 300 picture shown 1:1, and real mouse input on the picture.
struct Rig : MainWindowFixture {
    QTemporaryDir dir;
    ImageControl *pic = nullptr;

    bool start(QColor color = Qt::white) { return open() && load(color); }
    bool load(QColor color = Qt::white)
    {
        pic = pictureOf(*window);
        const QString file = dir.filePath(QStringLiteral("picture.png"));
        return picture(400, 300, color).save(file) && window->openFile(file);
    }
    void press(QPoint px, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {})
    {
        QTest::mousePress(pic, button, mods, px);
        QTest::mouseRelease(pic, button, mods, px);
    }
    // Mouse events at positions between whole pixels, as a screen of pixel ratio 2 reports them.
    void send(QEvent::Type type, QPointF px, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, px, pic->mapToGlobal(px), button, held, {});
        QApplication::sendEvent(pic, &event);
    }
    void move(QPoint px, Qt::MouseButtons held = Qt::NoButton) { send(QEvent::MouseMove, px, Qt::NoButton, held); }
    // Both references chained (the default): origin at pixel (50, 250) = (0, 0), the corner
    // at (250, 50) = (1, 1). Any button captures a reference in the pointer tool.
    void calibrate()
    {
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("btnGetPoints")), Qt::LeftButton);
        press({50, 250});
        press({250, 50}, Qt::RightButton);
    }
    QString status() const { return partOf<QStatusBar>(*window, "mStatusBar")->currentMessage(); }
};

} // namespace

class TestPictureMouse : public QObject {
    Q_OBJECT
private slots:
    // The marker is drawn into the picture, blue where the probe finds pure red.
    void pointsWithBothButtonsAndTheirMarkers_data()
    {
        QTest::addColumn<QColor>("background");
        QTest::addColumn<bool>("markers");
        QTest::addColumn<QColor>("ring");
        QTest::newRow("blue on a pure red curve") << QColor(255, 0, 0) << true << QColor(Qt::blue);
        QTest::newRow("red on almost red") << QColor(254, 0, 0) << true << QColor(Qt::red);
        QTest::newRow("none when switched off") << QColor(Qt::white) << false << QColor(Qt::white);
    }
    void pointsWithBothButtonsAndTheirMarkers()
    {
        QFETCH(QColor, background);
        QFETCH(bool, markers);
        QFETCH(QColor, ring);
        LocaleScope scope(pointLocale());
        Rig rig;
        QVERIFY(rig.start(background));
        rig.calibrate();
        QVERIFY(!rig.window->state().mCalibrating);
        rig.window->menuItems().mnuViewMarker->setChecked(markers);
        rig.click(rig.window->toolbarButtons().tbPoint);
        rig.press({150, 150}, Qt::RightButton);
        rig.press({100, 200}, Qt::LeftButton);
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointTool));
        // Sorted by x: 0.25 before 0.5.
        rig.window->menuItems().mnuEditKopie->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("0.25\t0.25\r\n0.5\t0.5\r\n"));
        QCOMPARE(rig.window->tables().model().cell(PointTableModel::Originale, 2, 0), QString::number(-150 * T));
        // A ring 2 pixels from the point, which itself stays visible ...
        QCOMPARE(rig.pic->image().pixelColor(152, 150), ring);
        QCOMPARE(rig.pic->image().pixelColor(150, 150), background);
        // ... and an inverted square around the press, each corner inverted once.
        for (const QPoint corner : {QPoint(143, 143), QPoint(156, 143), QPoint(143, 156), QPoint(156, 156)})
            QCOMPARE(rig.pic->overlay().isInverted(corner), markers);
    }

    void readoutAndPointsNeedACalibration_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("yLog");
        QTest::addColumn<QString>("expected");
        QTest::newRow("decimal point") << pointLocale() << false << " X: 0.500 - Y: 0.750";
        QTest::newRow("log y axis, decimal comma") << commaLocale() << true << " X: 0,500 - Y: 5,623 E0";
    }
    void readoutAndPointsNeedACalibration()
    {
        QFETCH(QLocale, locale);
        QFETCH(bool, yLog);
        QFETCH(QString, expected);
        LocaleScope scope(locale);
        Rig rig;
        QVERIFY(rig.start());
        rig.move({150, 150});
        QVERIFY(rig.status().isEmpty());
        rig.window->state().mToolMode = SharedState::PointTool; // as if chosen before a reset
        rig.press({150, 150});
        QCOMPARE(rig.sink.texts(), QStringList{"You have to determine the origin first."});
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));
        QCOMPARE(rig.window->tables().model().rows(), 2);

        rig.calibrate();
        rig.window->calibration().record().yLog = yLog;
        rig.move({150, 100});
        QCOMPARE(rig.status(), expected);
    }

    void zoomKeepsTheValuesUnderThePointer()
    {
        Rig rig;
        QVERIFY(rig.start());
        rig.calibrate();
        rig.move({100, 60});
        const QString before = rig.status();
        rig.click(rig.window->toolbarButtons().tbZoom);
        // Half as wide and a quarter as high as the picture.
        QTest::mousePress(rig.pic, Qt::LeftButton, {}, QPoint(40, 30));
        rig.move({240, 105}, Qt::LeftButton);
        QVERIFY(rig.pic->rubberBandVisible());
        QTest::mouseRelease(rig.pic, Qt::LeftButton, {}, QPoint(240, 105));
        QCOMPARE(rig.window->state().mViewScale, 0.5);
        QVERIFY(!rig.pic->rubberBandVisible());
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));
        QVERIFY(!rig.window->toolbarButtons().tbZoom->isEnabled()); // the window heard of the zoom
        // Picture pixel (100, 60) now lies twice as far from the rectangle's corner.
        rig.move({120, 60});
        QCOMPARE(rig.status(), before);
    }

    void zoomThatCannotBeMadeChangesNothing_data()
    {
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<bool>("fitted");
        // One spot must stay one spot.
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
        if (fitted) {
            rig.window->menuItems().mnuViewWindow->trigger();
            // Leaving the 1:1 view puts the zoom tool away ...
            QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));
            QVERIFY(rig.window->toolbarButtons().tbZeiger->isChecked());
            // ... and a zoom that reaches it anyway is refused.
            rig.window->state().mToolMode = SharedState::ZoomTool;
        }
        const double before = rig.window->state().mViewScale;
        rig.send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        rig.send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(rig.window->state().mViewScale, before);
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::ZoomTool));
        QVERIFY(!rig.pic->rubberBandVisible());
    }

    void lineToolKeepsOnlyTheLastLine()
    {
        Rig rig;
        QVERIFY(rig.open());
        rig.pic = pictureOf(*rig.window);
        rig.window->state().mToolMode = SharedState::LineTool;
        rig.press({10, 10}); // without a picture: ignored
        QVERIFY(!rig.window->state().mLineDragging);
        QVERIFY(rig.load());
        rig.click(rig.window->toolbarButtons().tbLine);
        QTest::mousePress(rig.pic, Qt::LeftButton, {}, QPoint(10, 10));
        rig.move({110, 10}, Qt::LeftButton);
        rig.move({10, 110}, Qt::LeftButton);
        QTest::mouseRelease(rig.pic, Qt::LeftButton, {}, QPoint(10, 110));
        const ScreenOverlay &o = rig.pic->overlay();
        QVERIFY(!o.isInverted({60, 10})); // the first line was taken back
        QVERIFY(o.isInverted({10, 60}));  // the last one stays
        QVERIFY(!rig.window->state().mLineDragging);
        QCOMPARE(rig.window->tables().model().rows(), 2); // the line tool stores nothing
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
