#include "MainWindowFixture.h"
#include "capture/PictureMouse.h"

#include <QFrame>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// A main window with a 400 x 300 picture shown 1:1, and real mouse input on the picture.
struct Rig : MainWindowFixture {
    // Room for the whole picture whatever share of the screen the window starts with.
    bool start(QColor color = Qt::white) { return openWith(picture(400, 300, color)) && setClientTwips(12000, 9000); }
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

// Where a block of colour shows on a control's screen (device pixels).
QRect blockOn(QWidget *control, QRgb color)
{
    const QImage screen = control->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QRect box;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            if (screen.pixel(x, y) == color)
                box |= QRect(x, y, 1, 1);
    return box;
}

// A 1200 x 900 picture in a larger window, with an 8 x 8 magenta block at (704, 504), and the
// wheel, the keys and the buttons that move around it.
struct Big : Rig {
    bool start()
    {
        QImage image = picture(1200, 900);
        image.fill(Qt::white);
        for (int y = 504; y < 512; ++y)
            for (int x = 704; x < 712; ++x)
                image.setPixel(x, y, qRgb(255, 0, 255));
        if (!open() || !setClientTwips(15000, 11000))
            return false;
        const QString file = dir.filePath(QStringLiteral("big.png"));
        return image.save(file) && window->openFile(file);
    }
    void wheel(QPointF at, int notches, Qt::KeyboardModifiers mods = {})
    {
        QWheelEvent event(at, pic()->mapToGlobal(at), {}, {0, 120 * notches}, Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pic(), &event);
    }
    void drag(Qt::MouseButton button, QPointF from, QPointF to)
    {
        send(QEvent::MouseButtonPress, from, button, button);
        move(to, button);
        send(QEvent::MouseButtonRelease, to, button, Qt::NoButton);
    }
};
// A way to a view, the screen pixels a picture pixel then takes, and where the block then shows
// (device-independent pixels; none where the layout decides it).
struct Way { std::function<void(Big &)> go; double zoom; std::optional<QPoint> at; };

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
        // The check grid's lines at x = 0, 0.5, 1 and 1.5, labelled in the locale's numbers.
        rig.window->menuItems().mnuViewCheck->setChecked(true);
        QStringList labels;
        for (const ViewMark &mark : rig.pic()->viewMarks())
            if (mark.kind == ViewMark::VerticalLine)
                labels << mark.label;
        QCOMPARE(labels, (QStringList{"0", inLocale("0.5", points.locale), "1", inLocale("1.5", points.locale)}));
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

    // At every view the block is where the picture puts it, as large as the view's zoom says;
    // a move and a press two pixels into it (a fraction of a picture pixel when zoomed in) read
    // and capture that spot of the picture; the magnifier shows it twice as large as the view.
    void theSpotUnderThePointerAtEveryView_data()
    {
        QTest::addColumn<Way>("way");
        QTest::newRow("1:1, scrolled with the wheel and with Shift+wheel")
            << Way{[](Big &b) { b.wheel({300, 300}, -3), b.wheel({300, 300}, -2, Qt::ShiftModifier); }, 1, QPoint(584, 324)};
        QTest::newRow("three steps of Ctrl+wheel up about the block: 300 %, thirds of a pixel")
            << Way{[](Big &b) { b.wheel({706, 506}, 3, Qt::ControlModifier); }, 3, QPoint(700, 500)};
        QTest::newRow("fitted, then twice Zoom out: 50 %, then 25 %") << Way{[](Big &b) {
            b.window->menuItems().mnuViewWindow->trigger();
            b.window->menuItems().mnuViewZoomOut->trigger(), b.window->menuItems().mnuViewZoomOut->trigger();
        }, 0.25, QPoint(176, 126)};
        QTest::newRow("Zoom in, then dragged with the middle button in the point tool: 150 %") << Way{[](Big &b) {
            b.window->menuItems().mnuViewZoomIn->trigger();
            b.drag(Qt::MiddleButton, {400, 300}, {100, 200});
        }, 1.5, {}};
        QTest::newRow("dragged with Space held and the left button in the point tool") << Way{[](Big &b) {
            QTest::keyPress(b.pic(), Qt::Key_Space);
            b.drag(Qt::LeftButton, {600, 400}, {500, 350});
            QTest::keyRelease(b.pic(), Qt::Key_Space);
        }, 1, QPoint(604, 454)};
        QTest::newRow("the zoom tool's rectangle, then the scroll bar: 600 %") << Way{[](Big &b) {
            b.click(b.window->toolbarButtons().tbZoom);
            b.drag(Qt::LeftButton, {600, 400}, {800, 475});
            b.pic()->verticalScrollBar()->setValue(b.pic()->verticalScrollBar()->value() + 200);
        }, 6, QPoint(624, 424)};
    }
    void theSpotUnderThePointerAtEveryView()
    {
        QFETCH(Way, way);
        Big big;
        QVERIFY(big.start());
        big.MainWindowFixture::calibrate(); // picture pixel 100 stands for 1
        big.window->state().mToolMode = SharedState::PointTool;
        way.go(big);
        QCOMPARE(big.window->tables().pointCount(), 0); // a drag of the view captures nothing
        const qreal ratio = big.pic()->devicePixelRatioF();
        const QRect block = blockOn(big.pic(), qRgb(255, 0, 255));
        QCOMPARE(block.size(), QSize(8, 8) * way.zoom * ratio);
        const QPointF corner = QPointF(block.topLeft()) / ratio;
        if (way.at)
            QCOMPARE(corner, QPointF(*way.at));
        // The magnifier centred on the block (its crosshair aside).
        big.move(corner + QPointF(4, 4) * way.zoom);
        for (const char *line : {"lfHor", "lfVert"})
            partOf<QFrame>(*big.window, line)->hide();
        QCOMPARE(blockOn(partOf(*big.window, "mZoomWindow"), qRgb(255, 0, 255)).size(), QSize(16, 16) * way.zoom * ratio);
        // Two screen pixels into the block.
        const PicturePoint spot{-704 * kTwipsPerPixel - qRound(30 / way.zoom), -504 * kTwipsPerPixel - qRound(30 / way.zoom)};
        big.move(corner + QPointF(2, 2));
        QCOMPARE(big.status(), QStringLiteral(" X: %1 - Y: %2").arg(-spot.x / 1500.0, 0, 'f', 3).arg(-spot.y / 1500.0, 0, 'f', 3));
        big.window->state().mToolMode = SharedState::PointTool;
        big.send(QEvent::MouseButtonPress, corner + QPointF(2, 2), Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(big.window->tables().pointCount(), 1);
        QCOMPARE(big.window->tables().pointAt(1), spot);
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
