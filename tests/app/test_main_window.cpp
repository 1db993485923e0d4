#include "MainWindowFixture.h"
#include "app/SingleInstance.h"
#include "picture/GraphicLoading.h"

#include <QActionGroup>
#include <QLineEdit>
#include <QSignalSpy>

#include <optional>

using namespace chartrek;
using namespace chartrek::test;

// The client area's width, and where the picture and the magnifier are then.
struct Layout { int width; QRect picture, magnifier; };
// Tool buttons clicked with or without a picture and a calibration; the tool then and what was said.
struct Tools { QStringList clicks; bool picture, calibrated; int mode; QStringList messages = {}; };

class TestMainWindow : public QObject {
    Q_OBJECT
    std::optional<MainWindowFixture> mFixture; // a new window for every test

private slots:
    void init() { QVERIFY(mFixture.emplace().open()); }
    void cleanup() { mFixture.reset(); }

    void layout_data()
    {
        QTest::addColumn<Layout>("layout");
        // The magnifier is 2205 x 1605 twips: three of it are 6615 x 4815.
        QTest::newRow("a window narrower than three magnifiers keeps the design size's layout")
            << Layout{6600, {0, 630, 9180, 4420}, {9280, 960, 2205, 1605}};
        QTest::newRow("exactly three magnifiers wide is laid out")
            << Layout{6615, {0, 630, 4110, 4420}, {4210, 960, 2205, 1605}};
    }
    void layout()
    {
        QFETCH(Layout, layout);
        QVERIFY(mFixture->setClientTwips(11685, 5985));
        QVERIFY(mFixture->setClientTwips(layout.width, 5985));
        QCOMPARE(twipsGeometry(mFixture->control("mPicture")), layout.picture);
        QCOMPARE(twipsGeometry(mFixture->control("mZoomWindow")), layout.magnifier);
        QCOMPARE(twipsGeometry(mFixture->control("grdDataPoints")).left(), layout.magnifier.left());
    }

    void viewCommands()
    {
        frmMain &w = *mFixture->window;
        QAction *normal = w.menuItems().mnuViewNormal, *fit = w.menuItems().mnuViewWindow, *zoom = w.toolbarButtons().tbZoom;
        auto views = [&] { return std::tuple(normal->isChecked(), fit->isChecked(), zoom->isEnabled(), w.state().mViewScale); };
        fit->trigger(); // without a picture nothing changes
        QCOMPARE(views(), std::tuple(true, false, true, 1.0));
        // 3000 x 600 pixels in a 612 x 295 pixel picture area: the width decides.
        QVERIFY(mFixture->setClientTwips(11685, 5985));
        pictureOf(w)->setImage(MainWindowFixture::picture(3000, 600));
        fit->trigger();
        QCOMPARE(views(), std::tuple(false, true, false, 3000.0 * 15 / 9180));
        // A resize refits with the size the picture has after it, not before.
        QVERIFY(mFixture->setClientTwips(11685 + 1500, 5985));
        QCOMPARE(w.state().mViewScale, 3000.0 * 15 / (9180 + 1500));
        normal->trigger();
        QCOMPARE(views(), std::tuple(true, false, true, 1.0));
        QCOMPARE(pictureOf(w)->displayRect(), QRectF(0, 0, 3000 * 15, 600 * 15));
    }

    void toolButtons_data()
    {
        QTest::addColumn<Tools>("row");
        const QStringList origin{QStringLiteral("You have to determine the origin first.")};
        QTest::newRow("get points before calibration asks for the origin") << Tools{{"tbPoint"}, true, false, 1, origin};
        QTest::newRow("get points when calibrated") << Tools{{"tbPoint"}, true, true, 3};
        QTest::newRow("zoom without a picture keeps the pointer tool") << Tools{{"tbZoom"}, false, false, 1};
        QTest::newRow("the pointer ends the line tool") << Tools{{"tbLine", "tbZeiger"}, false, false, 1};
    }
    void toolButtons()
    {
        QFETCH(Tools, row);
        frmMain &w = *mFixture->window;
        if (row.picture)
            pictureOf(w)->setImage(MainWindowFixture::picture(50, 50));
        if (row.calibrated)
            mFixture->calibrate();
        for (const QString &button : row.clicks)
            mFixture->click(w.findChild<QAction *>(button));
        QCOMPARE(w.state().mToolMode, row.mode);
        QCOMPARE(mFixture->sink.texts(), row.messages);
        const ToolbarButtons &b = w.toolbarButtons();
        QCOMPARE(b.tools->checkedAction(), row.mode == 1 ? b.tbZeiger : w.findChild<QAction *>(row.clicks.last()));
        QCOMPARE(pictureOf(w)->mousePointer(), int(row.mode == 1 ? ImageControl::PointerArrow : ImageControl::PointerCustom));
    }

    // Help > Memory info shows the readings at the value table's offsets, on the screen, and hands the focus back
    // to the picture; closing asks first, and only Yes runs the close step, which removes it.
    void memoryWindow()
    {
        frmMain &w = *mFixture->window;
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.menuItems().mnuMemory->trigger();
        QPointer<QWidget> memory = partOf(w, "frmMemInfo");
        QVERIFY(memory && memory->isVisible());
        const QRect grid = twipsGeometry(mFixture->control("grdDataPoints"));
        QCOMPARE(memory->pos().y(), toPixels(grid.top() + 555)); // left of the grid's left as far as the screen needs
        QVERIFY(memory->pos().x() <= toPixels(grid.left()) && w.screen()->availableGeometry().contains(memory->frameGeometry()));
        QVERIFY(partOf<QLineEdit>(w, "mPhysical")->text().endsWith(" KB"));
        QTRY_VERIFY(pictureOf(w)->hasFocus());
        QSignalSpy closing(&w, &frmMain::closing);
        mFixture->sink.answers = {AnswerNo, AnswerYes};
        w.close(); // the close box
        QVERIFY(w.isVisible() && memory && closing.isEmpty());
        w.menuItems().mnuFileQuit->trigger();
        QVERIFY(!w.isVisible() && closing.count() == 1);
        QCOMPARE(mFixture->sink.texts(), QStringList(2, QStringLiteral("Close the program?")));
        QCOMPARE(mFixture->sink.shown.first().kind, MessageKind::YesNo);
        QTRY_VERIFY(!memory);
    }

    void menuShortcutsWinOverTheFieldsUnlessTheyCanUseThem()
    {
        QVERIFY(QTest::qWaitForWindowActive(mFixture->window.get()));
        auto *field = mFixture->window->findChild<QLineEdit *>(QStringLiteral("sX2"));
        field->setFocus();
        QTRY_VERIFY(field->hasSelectedText()); // the field selects its text on focus
        QTest::keyClicks(field, QStringLiteral("10"));
        QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier); // Copy Data
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier); // Paste graphic
        QCOMPARE(mFixture->sink.texts(), (QStringList{"There are no data available.", "There is no graphic in the "
                                                      "clipboard, or the graphic format is unknown."}));
        QCOMPARE(field->text(), QStringLiteral("10"));
        // Other keys still reach the field.
        QTest::keyClick(field, Qt::Key_5);
        QCOMPARE(field->text(), QStringLiteral("105"));
        // The editing keys the field can use act on it: undo (the table's step stays), select
        // all (no Autoline), paste text, copy the selection.
        mFixture->window->tables().AddPointToTables({-15, -15});
        QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(std::pair(field->isRedoAvailable(), mFixture->window->tables().pointCount()), std::pair(true, 1));
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QGuiApplication::clipboard()->setText(QStringLiteral("7"));
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(std::pair(field->text(), QGuiApplication::clipboard()->text()), std::pair(QStringLiteral("7"), QStringLiteral("7")));
        QCOMPARE(mFixture->sink.texts().size(), 2);
    }

    void handOver()
    {
        frmMain &w = *mFixture->window;
        pictureOf(w)->setImage(MainWindowFixture::picture(3000, 600));
        w.menuItems().mnuViewWindow->trigger();
        mFixture->click(w.toolbarButtons().tbLine);
        // Without a clipboard picture the window only comes up; one is shown 1:1 with the pointer tool.
        for (bool picture : {false, true}) {
            w.showMinimized();
            if (picture)
                QGuiApplication::clipboard()->setImage(MainWindowFixture::picture(200, 100, Qt::blue));
            w.MainWindowProc_HandOver();
            QTRY_VERIFY(w.isMaximized() && !w.isMinimized());
            QCOMPARE(pictureOf(w)->image().size(), picture ? QSize(200, 100) : QSize(3000, 600));
            QCOMPARE(std::pair(w.state().mToolMode, w.state().mFitToWindow), picture ? std::pair(1, false) : std::pair(2, true));
        }
    }

    // Hand-overs arriving while Save Data's dialog is open and during a long operation wait for
    // its end and come in order; a file replaces the three points only after the user agreed.
    void handOversWaitAndAskBeforeDiscardingPoints()
    {
        QTemporaryDir dir;
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
        SingleInstance service;
        QVERIFY(service.tryBecomePrimary() && service.isListening());
        frmMain &w = *mFixture->window;
        w.attachHandOvers(service);
        const QString first = dir.filePath("first.png"), other = dir.filePath("other.png");
        QVERIFY(MainWindowFixture::picture(300, 200).save(first) && MainWindowFixture::picture(120, 90).save(other));
        QVERIFY(w.openFile(first));
        mFixture->calibrate();
        for (int k = 1; k <= 3; ++k)
            w.tables().AddPointToTables({-100 * k, -50});

        mFixture->dialogs.answer = dir.filePath(QStringLiteral("data.txt"));
        mFixture->dialogs.whileOpen = [&] {
            QVERIFY(handOverFromAnotherThread(other));
            QVERIFY(handOverFromAnotherThread({}));
        };
        mFixture->sink.answers = {AnswerOk, AnswerNo}; // the save's message; keep the points
        w.menuItems().mnuFileSaveData->trigger();
        QFile saved(mFixture->dialogs.answer);
        QCOMPARE(saved.open(QIODevice::ReadOnly) ? saved.readAll().count('\n') : -1, 3);
        QTRY_COMPARE(service.waitingCount(), 0);
        QCOMPARE(mFixture->sink.texts().mid(1), QStringList{GraphicLoading::replaceQuestion()});
        QCOMPARE(pictureOf(w)->image().size(), QSize(300, 200));
        QCOMPARE(w.tables().model().rows(), 5);

        mFixture->sink.answers = {AnswerYes};
        partOf<LongOperations>(w, "longOperations")->begin();
        QVERIFY(handOverFromAnotherThread(other));
        QCOMPARE(service.waitingCount(), 1);
        partOf<LongOperations>(w, "longOperations")->end();
        QTRY_COMPARE(pictureOf(w)->image().size(), QSize(120, 90));
        QCOMPARE(w.tables().model().rows(), 2);
        QCOMPARE(mFixture->sink.texts().size(), 3);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
