#include "MainWindowFixture.h"

#include "picture/ImageControl.h"
#include "picture/Views.h"

#include <QActionGroup>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>

using namespace chartrek;
using namespace chartrek::test;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void firstLayoutAtDesignSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("picture fills the area left of the column") << "mPicture" << QRect(0, 630, 9180, 4420);
        QTest::newRow("zoom box in the right column") << "mZoomBox" << QRect(9280, 630, 2200, 315);
        QTest::newRow("magnifier in the right column") << "mZoomWindow" << QRect(9280, 960, 2205, 1605);
        QTest::newRow("value table reaches down to the bars") << "grdDataPoints" << QRect(9280, 2640, 2205, 2410);
        QTest::newRow("panel stays") << "Picture1" << QRect(6775, 30, 5145, 555);
        QTest::newRow("status bar at the bottom") << "mStatusBar" << QRect(0, 5730, 11685, 255);
    }
    void firstLayoutAtDesignSize()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        MainWindowFixture f;
        QVERIFY(f.open());
        QVERIFY(f.setClientTwips(11685, 5985));
        QCOMPARE(twipsSize(f.window->clientArea()), QSize(11685, 5985));
        QCOMPARE(twipsGeometry(f.control(name.toLatin1())), twips);
    }

    void windowTooSmallForTheColumn_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("laidOut");
        // The magnifier is 2205 x 1605 twips: three of it are 6615 x 4815.
        QTest::newRow("a pixel narrower than three magnifiers is left alone") << 6600 << 5985 << false;
        QTest::newRow("a pixel lower than three magnifiers is left alone") << 11685 << 4800 << false;
        QTest::newRow("exactly three magnifiers wide is laid out") << 6615 << 5985 << true;
    }
    void windowTooSmallForTheColumn()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, laidOut);
        MainWindowFixture f;
        QVERIFY(f.open());
        QVERIFY(f.setClientTwips(11685, 5985));
        const char *names[] = {"mPicture", "mZoomBox", "mZoomWindow", "grdDataPoints"};
        QList<QRect> before;
        for (const char *name : names)
            before << twipsGeometry(f.control(name));

        QVERIFY(f.setClientTwips(width, height));
        if (laidOut) {
            QCOMPARE(twipsGeometry(f.control("mZoomWindow")).left(), width - 2205 - 200);
            QCOMPARE(twipsGeometry(f.control("mPicture")).width(), width - 2205 - 200 - 100);
        } else {
            for (int i = 0; i < 4; ++i)
                QCOMPARE(twipsGeometry(f.control(names[i])), before[i]);
        }
    }

    void viewCommands()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        frmMain &w = *f.window;
        const MainMenuItems &m = w.menuItems();
        QAction *tbZoom = w.toolbarButtons().tbZoom;
        QCOMPARE(m.mnuViewNormal->isChecked(), true);
        QCOMPARE(m.mnuViewWindow->isChecked(), false);

        // Without a picture Fit to window changes nothing, check marks included.
        m.mnuViewWindow->trigger();
        QCOMPARE(m.mnuViewNormal->isChecked(), true);
        QCOMPARE(m.mnuViewWindow->isChecked(), false);
        QCOMPARE(w.state().mFitToWindow, false);
        QCOMPARE(w.state().mViewScale, 1.0);
        QVERIFY(tbZoom->isEnabled());

        // 3000 x 600 pixels in a 612 x 295 pixel picture area: the width decides.
        QVERIFY(f.setClientTwips(11685, 5985));
        w.picture()->setImage(MainWindowFixture::picture(3000, 600));
        m.mnuViewWindow->trigger();
        QCOMPARE(m.mnuViewNormal->isChecked(), false);
        QCOMPARE(m.mnuViewWindow->isChecked(), true);
        QCOMPARE(w.state().mFitToWindow, true);
        QVERIFY(!tbZoom->isEnabled());
        QCOMPARE(w.picture()->paintSizeMode(), int(ImageControl::PaintFit));
        QCOMPARE(w.state().mViewScale, 3000.0 * 15 / 9180);

        // A resize refits with the size the picture has after it, not before.
        QVERIFY(f.setClientTwips(11685 + 1500, 5985));
        QCOMPARE(twipsGeometry(w.picture()).width(), 9180 + 1500);
        QCOMPARE(w.state().mViewScale, 3000.0 * 15 / (9180 + 1500));

        m.mnuViewNormal->trigger();
        QCOMPARE(m.mnuViewNormal->isChecked(), true);
        QCOMPARE(m.mnuViewWindow->isChecked(), false);
        QCOMPARE(w.state().mFitToWindow, false);
        QCOMPARE(w.state().mViewScale, 1.0);
        QVERIFY(tbZoom->isEnabled());
        QCOMPARE(w.picture()->paintSizeMode(), int(ImageControl::PaintNormal));
        QCOMPARE(w.picture()->displayRect(), QRectF(0, 0, 3000 * 15, 600 * 15));
    }

    void zoomMadeWaitsForNormal()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        frmMain &w = *f.window;
        w.views().zoomMade();
        QVERIFY(!w.toolbarButtons().tbZoom->isEnabled());
        QCOMPARE(w.menuItems().mnuViewNormal->isChecked(), false);
        QCOMPARE(w.menuItems().mnuViewWindow->isChecked(), false);
        f.click(w.toolbarButtons().tbNormal);
        QVERIFY(w.toolbarButtons().tbZoom->isEnabled());
        QCOMPARE(w.menuItems().mnuViewNormal->isChecked(), true);
    }

    void repaintClearsWhatWasDrawnOnScreenOnly()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        frmMain &w = *f.window;
        w.picture()->setImage(MainWindowFixture::picture(100, 100));
        w.picture()->invertLine(0, 0, 900, 900);
        QVERIFY(!w.picture()->overlay().isEmpty());
        f.click(w.toolbarButtons().tbRepaint);
        QVERIFY(w.picture()->overlay().isEmpty());
    }

    void toolButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("picture");
        QTest::addColumn<bool>("calibrated");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("messages");
        const QStringList none;
        const QStringList origin{QStringLiteral("You have to determine the origin first.")};
        QTest::newRow("get points before calibration asks for the origin, pointer stays")
            << "tbPoint" << true << false << 1 << origin;
        QTest::newRow("get points without a picture asks for the origin") << "tbPoint" << false << true << 1 << origin;
        QTest::newRow("get points when calibrated") << "tbPoint" << true << true << 3 << none;
        QTest::newRow("zoom without a picture keeps the pointer tool") << "tbZoom" << false << false << 1 << none;
        QTest::newRow("zoom with a picture") << "tbZoom" << true << false << 4 << none;
        QTest::newRow("line") << "tbLine" << false << false << 2 << none;
    }
    void toolButtons()
    {
        QFETCH(QString, button);
        QFETCH(bool, picture);
        QFETCH(bool, calibrated);
        QFETCH(int, mode);
        QFETCH(QStringList, messages);
        MainWindowFixture f;
        QVERIFY(f.open());
        frmMain &w = *f.window;
        if (picture)
            w.picture()->setImage(MainWindowFixture::picture(50, 50));
        if (calibrated)
            w.calibration().record().backColor = {ColorSet, ColorSet, ColorSet, ColorSet};

        auto *action = w.findChild<QAction *>(button);
        f.click(action);
        QCOMPARE(w.state().mToolMode, mode);
        QCOMPARE(f.sink.texts(), messages);
        const ToolbarButtons &b = w.toolbarButtons();
        QCOMPARE(b.tools->checkedAction(), mode == 1 ? b.tbZeiger : action);
        QCOMPARE(w.picture()->mousePointer(), int(mode == 1 ? ImageControl::PointerArrow : ImageControl::PointerCustom));
    }

    void pointerToolEndsEveryTool()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        frmMain &w = *f.window;
        f.click(w.toolbarButtons().tbLine);
        w.progressBar()->show();
        w.statusBarControl()->hide();
        f.click(w.toolbarButtons().tbZeiger);
        QCOMPARE(w.state().mToolMode, 1);
        QVERIFY(w.toolbarButtons().tbZeiger->isChecked());
        QVERIFY(!w.toolbarButtons().tbLine->isChecked());
        QVERIFY(w.progressBar()->isHidden());
        QVERIFY(!w.statusBarControl()->isHidden());
        QCOMPARE(w.picture()->mousePointer(), int(ImageControl::PointerArrow));
    }

    // The program's own pictures load from the resources and are drawn at both sizes.
    void toolbarPicturesLoad()
    {
        RecordingSink sink;
        frmMain w(&sink);
        const QList<QAction *> buttons = w.findChild<QToolBar *>(QStringLiteral("mToolBar"))->actions();
        QCOMPARE(buttons.size(), 11 + 2);
        for (QAction *button : buttons) {
            if (button->isSeparator())
                continue;
            for (int size : {16, 24}) {
                const QImage image = button->icon().pixmap(size, size).toImage();
                int opaque = 0;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x)
                        opaque += qAlpha(image.pixel(x, y)) > 0;
                QVERIFY2(image.size() == QSize(size, size) && opaque > size,
                         qPrintable(QStringLiteral("%1 at %2 px").arg(button->objectName()).arg(size)));
            }
        }
    }

    void closeQuestion_data()
    {
        QTest::addColumn<bool>("fromExit");
        QTest::addColumn<int>("answer");
        QTest::newRow("close box, No keeps the program running") << false << int(AnswerNo);
        QTest::newRow("File Exit, No keeps the program running") << true << int(AnswerNo);
        QTest::newRow("close box, Yes closes") << false << int(AnswerYes);
        QTest::newRow("File Exit, Yes closes") << true << int(AnswerYes);
    }
    void closeQuestion()
    {
        QFETCH(bool, fromExit);
        QFETCH(int, answer);
        MainWindowFixture f;
        QVERIFY(f.open());
        frmMain &w = *f.window;
        w.tables().model().insertRowTexts(1, QStringLiteral("1\t2"), QStringLiteral("-15\t-30\t1\t2"));
        QSignalSpy closing(&w, &frmMain::closing);
        f.sink.answers = {answer};
        if (fromExit)
            w.menuItems().mnuFileQuit->trigger();
        else
            w.close();
        QCOMPARE(f.sink.texts(), QStringList{QStringLiteral("Close the programm?")});
        QCOMPARE(f.sink.shown.first().kind, MessageKind::YesNo);
        QCOMPARE(w.isVisible(), answer == AnswerNo);
        QCOMPARE(closing.count(), answer == AnswerYes ? 1 : 0);
        QCOMPARE(w.tables().model().pointCount(), 1);
    }

    void clipboardPictureAtStart()
    {
        QGuiApplication::clipboard()->setImage(MainWindowFixture::picture(120, 80, Qt::red));
        MainWindowFixture f;
        QVERIFY(f.open(false));
        ImageControl *picture = f.window->picture();
        QVERIFY(picture->hasBitmap());
        QCOMPARE(picture->displayRect(), QRectF(0, 0, 120 * 15, 80 * 15));
        QVERIFY(f.window->zoomWindow()->hasBitmap());
        QCOMPARE(f.window->state().mViewScale, 1.0);
        QGuiApplication::clipboard()->clear();
    }

    void handOverTakesTheClipboardPicture()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        frmMain &w = *f.window;
        w.picture()->setImage(MainWindowFixture::picture(3000, 600));
        w.menuItems().mnuViewWindow->trigger();
        f.click(w.toolbarButtons().tbLine);
        w.tables().model().insertRowTexts(1, QStringLiteral("1\t2"), QStringLiteral("-15\t-30\t1\t2"));
        w.showMinimized();

        QGuiApplication::clipboard()->setImage(MainWindowFixture::picture(200, 100, Qt::blue));
        w.MainWindowProc_HandOver();
        QTRY_VERIFY(w.isMaximized());
        QCOMPARE(w.state().mToolMode, 1);
        QVERIFY(w.toolbarButtons().tbZeiger->isChecked());
        QCOMPARE(w.picture()->image().size(), QSize(200, 100));
        QCOMPARE(w.picture()->displayRect(), QRectF(0, 0, 200 * 15, 100 * 15));
        QCOMPARE(w.state().mViewScale, 1.0);
        QCOMPARE(w.state().mFitToWindow, false);
        QCOMPARE(w.menuItems().mnuViewNormal->isChecked(), true);
        QCOMPARE(w.menuItems().mnuViewWindow->isChecked(), false);
        QCOMPARE(w.zoomWindow()->image().size(), QSize(200, 100));
        QCOMPARE(w.tables().model().pointCount(), 1);
        QGuiApplication::clipboard()->clear();
    }

    void handOverWithoutPictureOnlyComesUp()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        frmMain &w = *f.window;
        f.click(w.toolbarButtons().tbLine);
        QGuiApplication::clipboard()->setText(QStringLiteral("no picture"));
        w.MainWindowProc_HandOver();
        QVERIFY(!w.picture()->hasBitmap());
        QCOMPARE(w.state().mToolMode, 2);
        QVERIFY(f.sink.shown.isEmpty());
    }

    void handOverWaitsForALongOperation()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        frmMain &w = *f.window;
        QGuiApplication::clipboard()->setImage(MainWindowFixture::picture(40, 30));
        w.beginLongOperation();
        w.MainWindowProc_HandOver();
        QVERIFY(!w.picture()->hasBitmap());
        w.endLongOperation();
        QVERIFY(w.picture()->hasBitmap());
        QCOMPARE(w.picture()->image().size(), QSize(40, 30));
        QGuiApplication::clipboard()->clear();
    }

    void keyPreviewSeesKeysBeforeTheControls()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        frmMain &w = *f.window;
        QList<int> seen;
        w.setFormKeyDown([&](QKeyEvent *key) {
            seen << key->key();
            return key->key() == Qt::Key_Space; // the skip key: swallowed
        });
        auto *field = w.findChild<QLineEdit *>(QStringLiteral("sX1"));
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        field->clear();
        QTest::keyClicks(field, QStringLiteral("7 "));
        QCOMPARE(seen, (QList<int>{Qt::Key_7, Qt::Key_Space}));
        QCOMPARE(field->text(), QStringLiteral("7"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
