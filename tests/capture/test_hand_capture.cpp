#include "MainWindowFixture.h"
#include "capture/KeyboardControl.h"
#include "capture/Magnifier.h"

#include <QComboBox>
#include <QCursor>
#include <QPushButton>
#include <QTableView>

using namespace chartrek;
using namespace chartrek::test;

// The real pointer, the keys, Enter, Ctrl and the deletions are driven end to end in
// e2e_keyboard; these are the cases it does not reach.
namespace {

constexpr int T = kTwipsPerPixel;

// A calibrated 400 x 300 picture shown 1:1 (picture x -1500 twips stands for 1).
struct Rig : MainWindowFixture {
    ImageControl *pic = nullptr;
    ImageControl *zoom = nullptr;
    QComboBox *box = nullptr;

    bool start()
    {
        if (!openWith(picture(400, 300)))
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
};

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

    // Undo takes a captured point back with its marker, redo brings both again; Delete data
    // is undone with every marker.
    void undoAndRedoShowTheMarkersOfTheRowsThatRemain()
    {
        Rig rig;
        QVERIFY(rig.start());
        rig.window->toolbarButtons().tbPoint->trigger();
        QTest::mouseClick(rig.pic, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseClick(rig.pic, Qt::LeftButton, {}, QPoint(200, 200));
        const MainMenuItems &m = rig.window->menuItems();
        const auto marked = [&](int x) { return rig.pic->image().pixelColor(x + 2, x) == QColor(Qt::red); };
        QCOMPARE(m.mnuEditUndo->text(), QStringLiteral("&Undo capture point"));
        m.mnuEditUndo->trigger();
        QVERIFY(marked(100) && !marked(200));
        QCOMPARE(rig.window->tables().pointCount(), 1);
        m.mnuEditRedo->trigger();
        QVERIFY(marked(100) && marked(200) && !m.mnuEditRedo->isEnabled());
        rig.sink.answers = {AnswerYes};
        m.mnuEditDelete->trigger();
        QVERIFY(!marked(100));
        m.mnuEditUndo->trigger();
        QVERIFY(marked(100) && marked(200));
        QCOMPARE(rig.window->tables().pointCount(), 2);
    }
};

QTEST_MAIN(TestHandCapture)
#include "test_hand_capture.moc"
