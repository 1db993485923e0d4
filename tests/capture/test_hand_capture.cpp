#include "MainWindowFixture.h"
#include "autoline/AutoLineSetup.h"
#include "axes/FindAxes.h"
#include "capture/KeyboardControl.h"
#include "capture/Magnifier.h"
#include "capture/OverlayDrawing.h"
#include "capture/frmRotate.h"
#include "points/CurveExport.h"

#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>
#include <QWheelEvent>

using namespace chartrek;
using namespace chartrek::test;

// The real pointer, the keys, Enter, Ctrl and the deletions are driven end to end in
// e2e_keyboard; these are the cases it does not reach, and the rule every operation keeps.
namespace {

constexpr int T = kTwipsPerPixel;

// A calibrated 400 x 300 picture with a green line along row 150, shown 1:1 (picture x -1500
// twips stands for 1).
struct Rig : MainWindowFixture {
    ImageControl *pic = nullptr;
    ImageControl *zoom = nullptr;
    QComboBox *box = nullptr;

    bool start()
    {
        QImage image = picture(400, 300);
        QPainter(&image).fillRect(20, 150, 360, 2, QColor(0, 200, 0));
        if (!openWith(image))
            return false;
        pic = pictureOf(*window);
        zoom = partOf<ImageControl>(*window, "mZoomWindow");
        box = partOf<QComboBox>(*window, "mZoomBox");
        calibrate();
        pic->setFocus();
        return QTest::qWaitForWindowActive(window.get());
    }
    // To the control with the focus, as a key is sent.
    void key(int key, Qt::KeyboardModifiers mods = Qt::KeypadModifier)
    {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : pic, Qt::Key(key), mods);
    }
    void clickGet() { QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("btnGetPoints")), Qt::LeftButton); }
    void at(QPoint pixel, Qt::KeyboardModifiers mods = {}) { QTest::mouseClick(pic, Qt::LeftButton, mods, pixel); }
    void menu(QAction *MainMenuItems::*item, int answer = AnswerYes)
    {
        sink.answers = {answer}, (window->menuItems().*item)->trigger();
    }
    void type(const char *field, const QString &text)
    {
        auto *edit = partOf<QLineEdit>(*window, field);
        edit->setFocus(), edit->selectAll(), QTest::keyClicks(edit, text);
    }
    // An Autoline trace along the line from x 20 to 80, the points kept; `during` runs in it.
    void trace(const std::function<void()> &during = [] {})
    {
        QTimer::singleShot(0, window.get(), during); // the trace lets events in
        menu(&MainMenuItems::mnuAutomatic, AnswerNo);
        at({80, 150}), at({20, 150}), at({35, 150});
    }
    // "do it" with 5 degrees in the rotate dialog, then `before`, then the button.
    void turn(QPushButton *frmRotate::*button, const std::function<void()> &before = [] {})
    {
        menu(&MainMenuItems::mnuViewRotate);
        auto *d = window->findChild<frmRotate *>();
        d->txtWinkel->setText(QStringLiteral("5"));
        QTest::mouseClick(d->btnDoIt, Qt::LeftButton);
        before();
        QTest::mouseClick(d->*button, Qt::LeftButton);
    }
    // The picture shows the clean copy with a marker for each row of every curve, in the curve's
    // colour, the current curve's on top; the values of every curve are those the calibration
    // gives its rows: computing them again changes nothing.
    void holdsTheRule() const
    {
        PointTables &tables = window->tables();
        const Curves &curves = tables.curves();
        const QImage clean = zoom->image().convertToFormat(QImage::Format_RGB32);
        const auto *pixels = reinterpret_cast<const QRgb *>(clean.constBits());
        for (QRgb marker : {qRgb(255, 0, 0), qRgb(0, 0, 255)}) // none drawn into it
            QCOMPARE(std::count(pixels, pixels + clean.width() * clean.height(), marker), 0);
        QImage markers = clean;
        DrawingSurface surface(markers);
        QList<int> order;
        for (int c = 0; c < curves.count(); ++c)
            order.insert(c == curves.current() ? order.size() : 0, c);
        for (int c : order) {
            const Curves::Grid &grid = curves.rows(c);
            for (qsizetype row = 1; row + 1 < grid.size(); ++row)
                surface.drawCircle(-pointOfRow(grid[row]).x, pointOfRow(grid[row]).y, PointMarkerRadius, curves.color(c));
        }
        QCOMPARE(pic->image().convertToFormat(QImage::Format_RGB32), markers);
        const QString values = BuildAllCurvesText(curves, false);
        tables.RecalculatePoints();
        QCOMPARE(BuildAllCurvesText(curves, false), values);
        // Over it on the screen only, a cross at each reference where the panel has it: x ones
        // on the level of Y1, y ones at the x of X1.
        const SharedState &s = window->state();
        QList<QPointF> crosses;
        for (const ViewMark &mark : pic->viewMarks())
            crosses << mark.at;
        QCOMPARE(crosses, (QList<QPointF>{{-s.mX1Pix, -s.mY1Pix}, {-s.mX2Pix, -s.mY1Pix}, {-s.mX1Pix, -s.mY1Pix},
                                          {-s.mX1Pix, -s.mY2Pix}}));
    }
    // A turn of the wheel over the picture.
    void wheel(QPointF at, int notches, Qt::KeyboardModifiers mods = {})
    {
        QWheelEvent event(at, pic->mapToGlobal(at), {}, {0, 120 * notches}, Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pic, &event);
    }
};

// An operation after three points were captured: the points it leaves, the steps it makes.
struct Operation { std::function<void(struct Rig &)> op; int points; int steps; };
using M = MainMenuItems;

} // namespace

class TestHandCapture : public QObject {
    Q_OBJECT
private slots:
    void magnifierAndItsKeys()
    {
        Rig rig;
        QVERIFY(rig.start());
        rig.box->setCurrentIndex(2); // "4 x Zoom"; 300 twips right of the picture's left edge:
        QTest::mouseMove(rig.pic, QPoint(20, 40));
        QCOMPARE(rig.zoom->displayLeft(), twipsGeometry(rig.zoom).width() / 2.0f - 1200);
        for (auto [from, key, to] : {std::tuple{0, Qt::Key_Plus, 1}, {4, Qt::Key_Plus, 4}, {0, Qt::Key_Minus, 0}}) {
            rig.box->setCurrentIndex(from);
            rig.key(key);
            QCOMPARE(rig.box->currentIndex(), to);
        }
        // Space skips a reference only while they are captured; docked, the magnifier takes no press.
        rig.key(Qt::Key_Space, {});
        rig.clickGet();
        QTest::mousePress(rig.zoom, Qt::RightButton, {}, QPoint(30, 30));
        QCOMPARE(rig.window->state().mCalibStep, 1);
        rig.key(Qt::Key_Space, {});
        QCOMPARE(rig.window->state().mCalibStep, 2);
        // Floating, a right press reaches the picture point under the pointer.
        QCursor::setPos(rig.pic->mapToGlobal(QPoint(150, 120)));
        rig.key(Qt::Key_Control, {});
        const QPoint under = rig.pic->mapFromGlobal(rig.zoom->mapToGlobal(QPoint(30, 30)));
        QTest::mousePress(rig.zoom, Qt::RightButton, {}, QPoint(30, 30));
        QCOMPARE(rig.window->state().mX2Pix, -under.x() * T);
        // A shortcut's Ctrl is not Ctrl alone: the magnifier stays where it is.
        rig.key(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(!partOf<Magnifier>(*rig.window, "magnifier")->docked());
        // Nor is the Ctrl of a Ctrl+wheel zoom.
        QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : rig.pic;
        QTest::keyPress(focus, Qt::Key_Control);
        rig.wheel({150, 120}, 1, Qt::ControlModifier);
        QTest::keyRelease(focus, Qt::Key_Control, Qt::ControlModifier);
        QCOMPARE(rig.window->state().mViewScale, 1 / 1.5);
        QVERIFY(!partOf<Magnifier>(*rig.window, "magnifier")->docked());
    }

    // Runs a second time on a platform that cannot move the pointer: then the keys move a
    // pointer of the program's own, and Enter presses where it is.
    void keypadMovesThePointerAndEnterCaptures()
    {
        Rig rig;
        QVERIFY(rig.start());
        rig.click(rig.window->toolbarButtons().tbPoint);
        QCursor::setPos(rig.pic->mapToGlobal(QPoint(100, 80)));
        const auto pointer = [&] { return rig.pic->logicalPointer().value_or(rig.pic->mapFromGlobal(QCursor::pos())); };
        rig.key(Qt::Key_6);
        const QPoint start = pointer() - QPoint(1, 0);
        rig.key(Qt::Key_6, Qt::KeypadModifier | Qt::AltModifier);
        rig.key(Qt::Key_5);
        rig.key(Qt::Key_Right, {});
        QCOMPARE(pointer(), start + QPoint(11, 0));
        const bool logical = QGuiApplication::platformName() == QLatin1String("minimal");
        QCOMPARE(partOf<KeyboardControl>(*rig.window, "keyboardControl")->logicalPointer(), logical);
        rig.key(Qt::Key_Enter);
        QCOMPARE(rig.window->tables().model().cell(PointTableModel::Originale, 1, 0),
                 QString::number(-(start.x() + 11) * T));
        if (logical) {
            // Kept on the picture, and taken along by the mouse.
            for (int k = 0; k < 40; ++k)
                rig.key(Qt::Key_4, Qt::KeypadModifier | Qt::AltModifier);
            QCOMPARE(pointer().x(), 0);
            QMouseEvent move(QEvent::MouseMove, QPointF(30, 40), rig.pic->mapToGlobal(QPointF(30, 40)), Qt::NoButton, {}, {});
            QApplication::sendEvent(rig.pic, &move);
            QCOMPARE(pointer(), QPoint(30, 40));
        }
    }

    void pointsAreFoundStrictlyWithinTheToleranceAndDeleted()
    {
        Rig rig;
        QVERIFY(rig.start());
        PointTables &tables = rig.window->tables();
        for (PicturePoint p : {PicturePoint{-1500, -1500}, {-1515, -1500}, {-3000, -3000}})
            tables.AddPointToTables(p);
        QCOMPARE(tables.FindPointNear({-2981, -3019}), std::optional<int>(3));
        QCOMPARE(tables.FindPointNear({-2980, -3000}), std::nullopt);
        QCOMPARE(tables.FindPointNear({-1510, -1500}), std::optional<int>(2)); // the lower of two
        rig.sink.answers = {AnswerYes, AnswerYes};
        QTest::mouseClick(rig.pic, Qt::LeftButton, Qt::ShiftModifier, QPoint(199, 201));
        QCOMPARE(rig.pic->image().pixelColor(202, 201), QColor(Qt::black)); // around the press
        // A double click on the trailing empty row asks nothing; on a point row it deletes.
        auto *grid = partOf<QTableView>(*rig.window, "grdDataPoints");
        for (int row : {2, 0}) {
            grid->setCurrentIndex(grid->model()->index(row, 0));
            emit grid->doubleClicked(grid->currentIndex());
        }
        QCOMPARE(rig.sink.texts(), (QStringList{"Do you wish to delete this point?", "Delete this point?"}));
        QCOMPARE(tables.model().rows(), 3);
        rig.sink.answers = {AnswerYes};
        rig.window->menuItems().mnuEditDelete->trigger();
        QVERIFY(rig.window->calibration().IsCalibrated());
    }

    // After each operation, and each undo and redo of its steps, the picture shows the clean
    // copy with one marker for each row, and the values follow the calibration; undo and redo
    // bring the calibration back with the values.
    void markersAndValuesFollowTheRows_data()
    {
        QTest::addColumn<Operation>("o");
        QTest::newRow("a double click captures one point")
            << Operation{[](Rig &r) { r.at({200, 250}), QTest::mouseDClick(r.pic, Qt::LeftButton, {}, {200, 250}); }, 4, 1};
        QTest::newRow("a point deleted in the table") << Operation{[](Rig &r) {
            auto *grid = partOf<QTableView>(*r.window, "grdDataPoints");
            grid->setCurrentIndex(grid->model()->index(1, 0));
            r.sink.answers = {AnswerYes}, emit grid->doubleClicked(grid->currentIndex());
        }, 2, 1};
        QTest::newRow("a point deleted by Shift+click, then Repaint") << Operation{[](Rig &r) {
            r.window->toolbarButtons().tbZeiger->trigger();
            r.sink.answers = {AnswerYes}, r.at({231, 81}, Qt::ShiftModifier);
            QCOMPARE(r.pic->image().pixelColor(232, 80), QColor(Qt::white)); // the marker's right-hand point
            r.menu(&M::mnuViewRepaint); // and the deletion's mark goes
        }, 2, 1};
        QTest::newRow("Delete data, and again on the empty table: no step")
            << Operation{[](Rig &r) { r.menu(&M::mnuEditDelete), r.menu(&M::mnuEditDelete); }, 0, 1};
        QTest::newRow("an Autoline trace") << Operation{[](Rig &r) { r.trace(); }, 8, 1};
        QTest::newRow("a cancelled trace") << Operation{[](Rig &r) {
            r.trace([&r] { partOf<AutoLineSetup>(*r.window, "autoLineSetup")->btnCancel_Click(); });
        }, 3, 0};
        QTest::newRow("a turn kept, then a capture")
            << Operation{[](Rig &r) { r.turn(&frmRotate::btnOK), r.at({200, 250}); }, 4, 1};
        QTest::newRow("a turn taken back") << Operation{[](Rig &r) { r.turn(&frmRotate::btnBack); }, 3, 0};
        QTest::newRow("a turn cancelled") << Operation{[](Rig &r) { r.turn(&frmRotate::Command1); }, 3, 0};
        QTest::newRow("no undo under a turn not kept") << Operation{[](Rig &r) {
            const QImage unturned = r.zoom->image();
            r.turn(&frmRotate::btnOK, [&r] { r.menu(&M::mnuEditUndo); });
            QVERIFY(r.zoom->image() != unturned);
        }, 3, 0};
        QTest::newRow("Show markers off, a capture, on again") << Operation{[](Rig &r) {
            r.window->menuItems().mnuViewMarker->setChecked(false);
            r.at({200, 250}), r.window->menuItems().mnuViewMarker->setChecked(true);
        }, 4, 1};
        QTest::newRow("X2 typed key by key, a point for the comma: one step")
            << Operation{[](Rig &r) { r.type("sX2", "2.5"); }, 3, 1};
        for (const int answer : {AnswerYes, AnswerNo})
            QTest::newRow(answer == AnswerYes ? "references set again, recalculated" : "references set again, points deleted")
                << Operation{[answer](Rig &r) {
                       r.clickGet(), r.sink.answers = {answer, answer};
                       r.at({10, 290}), r.at({390, 10});
                   }, answer == AnswerYes ? 3 : 0, 2};
        QTest::newRow("a new curve, a point into it, then the first curve chosen again") << Operation{[](Rig &r) {
            r.menu(&M::mnuCurveNew), r.at({120, 200}), r.window->tables().curves().setCurrent(0);
            // The step names the curve it takes back, not the one shown.
            QCOMPARE(r.window->menuItems().mnuEditUndo->text(), QStringLiteral("&Undo capture point (Curve 2)"));
        }, 3, 2};
        QTest::newRow("Delete curve after its question") << Operation{[](Rig &r) {
            r.menu(&M::mnuCurveNew), r.at({120, 200}), r.menu(&M::mnuCurveDelete, AnswerYes);
        }, 3, 3};
        QTest::newRow("Delete curve answered No keeps it") << Operation{[](Rig &r) {
            r.menu(&M::mnuCurveNew), r.at({120, 200}), r.menu(&M::mnuCurveDelete, AnswerNo);
        }, 1, 2};
        QTest::newRow("Delete data on a second curve leaves the first") << Operation{[](Rig &r) {
            r.menu(&M::mnuCurveNew), r.at({120, 200}), r.at({140, 210}), r.menu(&M::mnuEditDelete);
        }, 0, 4};
        QTest::newRow("an Autoline trace into a new curve asks nothing about the first") << Operation{[](Rig &r) {
            r.menu(&M::mnuCurveNew), r.trace();
            QCOMPARE(r.sink.texts().count(QStringLiteral("Delete existing data?")), 0);
        }, 5, 2};
        QTest::newRow("references set again recompute every curve") << Operation{[](Rig &r) {
            r.menu(&M::mnuCurveNew), r.at({120, 200});
            r.clickGet(), r.sink.answers = {AnswerYes, AnswerYes};
            r.at({10, 290}), r.at({390, 10});
        }, 1, 4};
        QTest::newRow("Find axes on a picture without labels: a message, nothing changed") << Operation{[](Rig &r) {
            QSignalSpy done(partOf<FindAxes>(*r.window, "findAxes"), &FindAxes::finished);
            r.menu(&M::mnuEditFindAxes, AnswerOk);
            QVERIFY(done.wait(30000));
            QVERIFY(r.sink.texts().constLast().startsWith(FindAxes::nothingFoundText()));
        }, 3, 0};
        QTest::newRow("zoomed in by Ctrl+wheel and scrolled: a capture, the references set again there")
            << Operation{[](Rig &r) {
                   r.wheel({200, 150}, 3, Qt::ControlModifier), r.wheel({200, 150}, -1);
                   r.at({100, 100}), r.clickGet(), r.sink.answers = {AnswerYes, AnswerYes};
                   r.at({10, 250}), r.at({390, 10});
               }, 4, 3};
        QTest::newRow("X2 typed while a trace runs: not in its step") << Operation{[](Rig &r) {
            r.trace([&r] { r.type("sX2", "7"); });
            QCOMPARE(r.window->calibration().record().field[RefX2], QStringLiteral("1"));
        }, 8, 1};
    }
    void markersAndValuesFollowTheRows()
    {
        QFETCH(Operation, o);
        LocaleScope scope(commaLocale()); // the values' texts and the typed ones with a decimal comma
        Rig rig;
        QVERIFY(rig.start());
        rig.window->toolbarButtons().tbPoint->trigger();
        rig.at({50, 50}), rig.at({230, 80}), rig.at({300, 250});
        // The values and the calibration, which steps bring back exactly.
        const auto state = [&w = *rig.window] {
            return std::pair(BuildAllCurvesText(w.tables().curves(), false), w.calibration().snapshot());
        };
        const auto before = state();
        o.op(rig);
        QCOMPARE(rig.window->tables().pointCount(), o.points);
        const auto after = state();
        for (QAction *command : {rig.window->menuItems().mnuEditUndo, rig.window->menuItems().mnuEditRedo}) {
            rig.holdsTheRule();
            for (int k = 0; k < o.steps; ++k)
                command->trigger(), rig.holdsTheRule();
            QVERIFY(o.steps == 0 || state() == (command == rig.window->menuItems().mnuEditUndo ? before : after));
        }
    }
};

QTEST_MAIN(TestHandCapture)
#include "test_hand_capture.moc"
