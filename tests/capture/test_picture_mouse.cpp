#include "MainWindowFixture.h"
#include "capture/PictureMouse.h"

#include <QPushButton>
#include <QSignalSpy>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// A main window with a 400 x 300 picture shown 1:1, and real mouse input on the picture.
struct Rig : MainWindowFixture {
    bool start(QColor color = Qt::white) { return openWith(picture(400, 300, color)); }
    ImageControl *pic() const { return pictureOf(*window); }
    void press(QPoint px, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {})
    {
        QTest::mousePress(pic(), button, mods, px);
        QTest::mouseRelease(pic(), button, mods, px);
    }
    // Mouse events at positions between whole pixels, as a screen of pixel ratio 2 reports them.
    void send(QEvent::Type type, QPointF px, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, px, pic()->mapToGlobal(px), button, held, {});
        QApplication::sendEvent(pic(), &event);
    }
    void move(QPointF px, Qt::MouseButtons held = Qt::NoButton) { send(QEvent::MouseMove, px, Qt::NoButton, held); }
    // Origin (50, 250) = (0, 0), corner (250, 50) = (1, 1), chained; any button captures a reference.
    void calibrate()
    {
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("btnGetPoints")), Qt::LeftButton);
        press({50, 250});
        press({250, 50}, Qt::RightButton);
    }
};

// Points taken on a picture of that colour in a locale and on a linear or log y axis: the marker's
// ring (the background's colour: markers switched off), the readout at (150, 100) and the data copied.
struct Points { QColor background, ring; QLocale locale; bool yLog; QString readout, copied; };
// A press and a release in the zoom tool, in the 1:1 or the fitted view, and whether they zoom.
struct Zoom { QPointF from, to; bool fitted, zooms; };

} // namespace

class TestPictureMouse : public QObject {
    Q_OBJECT
private slots:
    // The marker is drawn into the picture, blue where the probe finds pure red.
    void pointsNeedACalibrationAndGetMarkers_data()
    {
        QTest::addColumn<Points>("points");
        const QString readout = " X: 0.500 - Y: 0.750", copied = "0.25\t0.25\r\n0.5\t0.5\r\n";
        QTest::newRow("blue on a pure red curve") << Points{{255, 0, 0}, Qt::blue, pointLocale(), false, readout, copied};
        QTest::newRow("red on almost red") << Points{{254, 0, 0}, Qt::red, pointLocale(), false, readout, copied};
        QTest::newRow("none when switched off; log y axis, decimal comma")
            << Points{Qt::white, Qt::white, commaLocale(), true, " X: 0,500 - Y: 5,623 E0",
                      "0,25\t1,77827941003892\r\n0,5\t3,16227766016838\r\n"};
    }
    void pointsNeedACalibrationAndGetMarkers()
    {
        QFETCH(Points, points);
        const bool markers = points.ring != points.background;
        LocaleScope scope(points.locale);
        Rig rig;
        QVERIFY(rig.start(points.background));
        QSignalSpy deletions(partOf<PictureMouse>(*rig.window, "pictureMouse"), &PictureMouse::deletePointRequested);
        rig.press({100, 100}, Qt::LeftButton, Qt::ShiftModifier);
        rig.press({100, 100}, Qt::RightButton, Qt::ShiftModifier);
        QCOMPARE(deletions.count(), 1);
        rig.move({150, 150});
        QVERIFY(rig.status().isEmpty());
        rig.window->state().mToolMode = SharedState::PointTool; // as if chosen before a reset
        rig.press({150, 150});
        QCOMPARE(rig.sink.texts(), QStringList{"You have to determine the origin first."});
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));

        rig.calibrate();
        rig.window->calibration().record().yLog = points.yLog;
        rig.move({150, 100});
        QCOMPARE(rig.status(), points.readout);
        rig.window->menuItems().mnuViewMarker->setChecked(markers);
        rig.click(rig.window->toolbarButtons().tbPoint);
        rig.press({150, 150}, Qt::RightButton);
        rig.press({100, 200}, Qt::LeftButton);
        // Sorted by x: 0.25 before 0.5.
        rig.window->menuItems().mnuEditKopie->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), points.copied);
        QCOMPARE(rig.window->tables().model().cell(PointTableModel::Originale, 2, 0), QString::number(-150 * kTwipsPerPixel));
        // A ring 2 pixels from the point, which stays visible, and a square inverted once around the press.
        QCOMPARE(rig.pic()->image().pixelColor(152, 150), points.ring);
        QCOMPARE(rig.pic()->image().pixelColor(150, 150), points.background);
        for (const QPoint corner : {QPoint(143, 143), QPoint(156, 143), QPoint(143, 156), QPoint(156, 156)})
            QCOMPARE(rig.pic()->overlay().isInverted(corner), markers);
    }

    // Half as wide and a quarter as high as the picture; one spot must stay one spot.
    void zoomDragsARectangleOrChangesNothing_data()
    {
        QTest::addColumn<Zoom>("zoom");
        QTest::newRow("a drag zooms, keeping the values under the pointer") << Zoom{{40, 30}, {240, 105}, false, true};
        QTest::newRow("a click on one spot between whole pixels") << Zoom{{40.5, 30.5}, {40.5, 30.5}, false, false};
        QTest::newRow("a drag in the fitted view") << Zoom{{40, 30}, {240, 105}, true, false};
    }
    void zoomDragsARectangleOrChangesNothing()
    {
        QFETCH(Zoom, zoom);
        Rig rig;
        QVERIFY(rig.start());
        rig.calibrate();
        rig.move({100, 60});
        const QString before = rig.status();
        rig.click(rig.window->toolbarButtons().tbZoom);
        if (zoom.fitted) { // leaving the 1:1 view puts the zoom tool away, and a zoom that gets there is refused
            rig.window->menuItems().mnuViewWindow->trigger();
            QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));
            QVERIFY(rig.window->toolbarButtons().tbZeiger->isChecked());
            rig.window->state().mToolMode = SharedState::ZoomTool;
        }
        const double scale = rig.window->state().mViewScale;
        rig.send(QEvent::MouseButtonPress, zoom.from, Qt::LeftButton, Qt::LeftButton);
        rig.move(zoom.to, Qt::LeftButton);
        QVERIFY(rig.pic()->rubberBandVisible());
        rig.send(QEvent::MouseButtonRelease, zoom.to, Qt::LeftButton, Qt::NoButton);
        QVERIFY(!rig.pic()->rubberBandVisible());
        QCOMPARE(rig.window->state().mViewScale, zoom.zooms ? 0.5 : scale);
        QCOMPARE(rig.window->state().mToolMode, int(zoom.zooms ? SharedState::PointerTool : SharedState::ZoomTool));
        if (zoom.zooms) {
            QVERIFY(!rig.window->toolbarButtons().tbZoom->isEnabled()); // the window heard of the zoom
            // Picture pixel (100, 60) now lies twice as far from the rectangle's corner.
            rig.move({120, 60});
            QCOMPARE(rig.status(), before);
        }
    }

    void lineToolKeepsOnlyTheLastLine()
    {
        Rig rig;
        QVERIFY(rig.open());
        rig.window->state().mToolMode = SharedState::LineTool;
        rig.press({10, 10}); // without a picture: ignored
        QVERIFY(!rig.window->state().mLineDragging);
        rig.pic()->setImage(Rig::picture(400, 300));
        rig.click(rig.window->toolbarButtons().tbLine);
        rig.send(QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
        rig.move({110, 10}, Qt::LeftButton);
        rig.move({10, 110}, Qt::LeftButton);
        rig.send(QEvent::MouseButtonRelease, {10, 110}, Qt::LeftButton, Qt::NoButton);
        QVERIFY(!rig.pic()->overlay().isInverted({60, 10})); // the first line was taken back
        QVERIFY(rig.pic()->overlay().isInverted({10, 60}));  // the last one stays
        QVERIFY(!rig.window->state().mLineDragging);
        QCOMPARE(rig.window->tables().model().rows(), 2); // the line tool stores nothing
        QVERIFY(rig.sink.shown.isEmpty());
    }
};

QTEST_MAIN(TestPictureMouse)
#include "test_picture_mouse.moc"
