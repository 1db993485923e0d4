#include "MainWindowFixture.h"

#include "app/HelpTopics.h"
#include "app/HelpWindow.h"
#include "app/frmSplash.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

using namespace chartrek;
using namespace chartrek::test;

class TestHelpAndAbout : public QObject {
    Q_OBJECT
private slots:
    void helpFromTheMenus_data()
    {
        QTest::addColumn<QString>("menu"); // empty: the item is chosen, not highlighted
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("topic");
        QTest::newRow("Help Index opens the contents") << "" << "mnuHilfeIndex" << kHelpIndexId;
        QTest::newRow("F1 on a highlighted item opens its page") << "mnuDatei" << "mnuFileSaveData" << 1017;
        QTest::newRow("F1 on an item in a menu without a number opens the item's page")
            << "mnuView" << "mnuAutomatic" << 1029;
        QTest::newRow("F1 on an item without a number opens its menu's page")
            << "mnuEdit" << "mnuEditCopyPicture" << 1000;
    }
    void helpFromTheMenus()
    {
        QFETCH(QString, menu);
        QFETCH(QString, item);
        QFETCH(int, topic);
        MainWindowFixture f;
        QVERIFY(f.open());
        auto *action = f.window->findChild<QAction *>(item);
        if (menu.isEmpty()) {
            action->trigger();
        } else {
            auto *popup = f.window->findChild<QMenu *>(menu);
            popup->popup(f.window->mapToGlobal(QPoint(10, 10)));
            QVERIFY(QTest::qWaitForWindowExposed(popup));
            popup->setActiveAction(action);
            QTest::keyClick(popup, Qt::Key_F1, Qt::ShiftModifier); // other keys are the menu's
            QVERIFY(popup->isVisible());
            QTest::keyClick(popup, Qt::Key_F1);
            QVERIFY(!popup->isVisible());
        }
        QTRY_VERIFY(f.window->helpWindow()->isVisible());
        QVERIFY(!f.window->helpWindow()->isModal());
        QCOMPARE(f.window->helpWindow()->currentPage(), QUrl(helpPageUrl(topic)));
    }

    void aboutIsModalWithOk()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        QWidget *parent = nullptr;
        QString version;
        bool okShown = false;
        QTimer poll; // the box runs its own event loop: look at it from there, then press OK
        connect(&poll, &QTimer::timeout, [&] {
            auto *about = qobject_cast<frmSplash *>(QApplication::activeModalWidget());
            if (!about)
                return;
            poll.stop();
            parent = about->parentWidget();
            version = about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text();
            auto *ok = about->findChild<QPushButton *>(QStringLiteral("btnOK"));
            okShown = ok->isVisible();
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        poll.start(10);
        f.window->menuItems().mnuHilfeVersion->trigger();
        QCOMPARE(parent, f.window.get());
        QCOMPARE(version, QStringLiteral("Version 1.0.2"));
        QVERIFY(okShown);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(f.window->findChildren<frmSplash *>().isEmpty());
    }

    void splashHasNoOkNoFrameAndIsCentred()
    {
        frmSplash splash;
        splash.showSplash();
        // Painted before showSplash returns: no event loop runs while the main window loads.
        QVERIFY(splash.isVisible());
        QVERIFY(!splash.isModal());
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!splash.findChild<QPushButton *>(QStringLiteral("btnOK"))->isVisible());
        const QPoint offset = splash.frameGeometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
        QCOMPARE_LE(offset.manhattanLength(), 2);
    }
};

QTEST_MAIN(TestHelpAndAbout)
#include "test_help_and_about.moc"
