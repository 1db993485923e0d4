#include "MainWindowFixture.h"
#include "capture/KeyboardControl.h"
#include "picture/ImageControl.h"

#include <QComboBox>
#include <QCursor>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

using namespace chartrek;
using namespace chartrek::test;

namespace {

constexpr int T = kTwipsPerPixel;

// A calibrated 400 x 300 picture shown 1:1 (picture x -1500 twips stands for 1), keys to the picture.
struct Rig : MainWindowFixture {
    QTemporaryDir dir;
    ImageControl *pic = nullptr;
    ImageControl *zoom = nullptr;
    QComboBox *box = nullptr;

    bool start()
    {
        const QString file = dir.filePath(QStringLiteral("picture.png"));
        if (!open() || !picture(400, 300).save(file) || !window->openFile(file))
            return false;
        pic = pictureOf(*window);
        zoom = partOf<ImageControl>(*window, "mZoomWindow");
        box = partOf<QComboBox>(*window, "mZoomBox");
        for (Ref r : {RefX1, RefX2, RefY1, RefY2})
            window->calibration().record().backColor[r] = ColorSet;
        window->state().mX2Pix = window->state().mY2Pix = -1500;
        window->activateWindow();
        pic->setFocus();
        return QTest::qWaitForWindowActive(window.get());
    }
    // To the control with the focus, as a key is sent.
    void key(int key, Qt::KeyboardModifiers mods = Qt::KeypadModifier)
    {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : pic, Qt::Key(key), mods);
    }
    QString pictureX(int row) { return window->tables().model().cell(PointTableModel::Originale, row, 0); }
};

} // namespace

class TestHandCapture : public QObject {
    Q_OBJECT
private slots:
    void magnifierCentresThePointersPicturePoint()
    {
        Rig rig;
        QVERIFY(rig.start());
        rig.box->setCurrentIndex(2); // "4 x Zoom"
        QTest::mouseMove(rig.pic, QPoint(20, 40)); // 300 twips right of the picture's left edge
        const QRect area = twipsGeometry(rig.zoom);
        QCOMPARE(rig.zoom->displayLeft(), area.width() / 2.0f - 1200);
        QCOMPARE(rig.zoom->displayTop(), area.height() / 2.0f - 2400);
    }

    void floatingMagnifierPassesPressesOn()
    {
        Rig rig;
        QVERIFY(rig.start());
        QTest::mouseClick(rig.window->findChild<QPushButton *>(QStringLiteral("btnGetPoints")), Qt::LeftButton);
        QTest::mousePress(rig.zoom, Qt::RightButton, {}, QPoint(30, 30)); // docked: nothing
        QCOMPARE(rig.window->state().mCalibStep, 1);
        QCursor::setPos(rig.pic->mapToGlobal(QPoint(150, 120)));
        rig.key(Qt::Key_Control, {});
        QVERIFY(rig.zoom->geometry().intersects(rig.pic->geometry()));
        // A right press reaches the picture point under the pointer, not the enlarged one.
        const QPoint under = rig.pic->mapFromGlobal(rig.zoom->mapToGlobal(QPoint(30, 30)));
        QTest::mousePress(rig.zoom, Qt::RightButton, {}, QPoint(30, 30));
        QCOMPARE(rig.window->state().mX1Pix, -under.x() * T);
        rig.key(Qt::Key_Control, {});
        const QRect boxPlace = twipsGeometry(rig.box);
        QCOMPARE(twipsGeometry(rig.zoom).topLeft(), QPoint(boxPlace.left(), boxPlace.bottom() + 1 + 50));
    }

    void keypadStepsTheZoomAndSpaceSkipsAReference()
    {
        Rig rig;
        QVERIFY(rig.start());
        // From, key, to: no step past either end.
        for (auto [from, key, to] : {std::tuple{0, Qt::Key_Plus, 1}, {4, Qt::Key_Plus, 4}, {0, Qt::Key_Minus, 0}}) {
            rig.box->setCurrentIndex(from);
            rig.key(key);
            QCOMPARE(rig.box->currentIndex(), to);
        }
        rig.key(Qt::Key_Space, {}); // no reference being captured: nothing
        QCOMPARE(rig.window->state().mCalibStep, 0);
        QTest::mouseClick(rig.window->findChild<QPushButton *>(QStringLiteral("btnGetPoints")), Qt::LeftButton);
        rig.key(Qt::Key_Space, {});
        QCOMPARE(rig.window->state().mCalibStep, 2);
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
        QCOMPARE(rig.pictureX(1), QString::number(-(start.x() + 11) * T));
    }

    void pointsAreDeletedAfterAYes()
    {
        Rig rig;
        QVERIFY(rig.start());
        PointTables &tables = rig.window->tables();
        tables.AddPointToTables({-1500, -1500});
        tables.AddPointToTables({-1515, -1500});
        tables.AddPointToTables({-3000, -3000});
        // Strictly less than 20 units on both axes; of two matches the lower row.
        QCOMPARE(tables.FindPointNear({-2981, -3019}), std::optional<int>(3));
        QCOMPARE(tables.FindPointNear({-2980, -3000}), std::nullopt);
        QCOMPARE(tables.FindPointNear({-1510, -1500}), std::optional<int>(2));

        // Shift+left near the third point: after Yes it goes, and a black circle marks the press.
        rig.sink.answers = {AnswerNo, AnswerYes, AnswerYes};
        const QPoint press(199, 201);
        QTest::mouseClick(rig.pic, Qt::LeftButton, Qt::ShiftModifier, press);
        QCOMPARE(tables.model().rows(), 5);
        QTest::mouseClick(rig.pic, Qt::LeftButton, Qt::ShiftModifier, press);
        QCOMPARE(tables.model().rows(), 4);
        QCOMPARE(rig.pic->image().pixelColor(press + QPoint(3, 0)), QColor(Qt::black));

        // A double click on the trailing empty row asks nothing; on a point row it deletes it.
        auto *grid = partOf<QTableView>(*rig.window, "grdDataPoints");
        for (int row : {2, 0}) {
            grid->setCurrentIndex(grid->model()->index(row, 0));
            emit grid->doubleClicked(grid->currentIndex());
        }
        QCOMPARE(rig.sink.texts(), (QStringList(2, QStringLiteral("Do you wish to delete this point?"))
                                    << QStringLiteral("Delete this point?")));
        QCOMPARE(tables.model().rows(), 3);

        // Delete data: the clean picture back, the calibration kept.
        rig.sink.answers = {AnswerYes};
        rig.window->menuItems().mnuEditDelete->trigger();
        QCOMPARE(tables.model().rows(), 2);
        QCOMPARE(rig.pic->image(), rig.zoom->image());
        QVERIFY(rig.window->calibration().IsCalibrated());
    }
};

QTEST_MAIN(TestHandCapture)
#include "test_hand_capture.moc"
