#include "MainWindowFixture.h"

#include "app/HelpTopics.h"
#include "app/HelpWindow.h"
#include "app/frmSplash.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

using namespace chartrek;
using namespace chartrek::test;

class TestHelpAndAbout : public QObject {
    Q_OBJECT
private slots:
    void indexOpensTheHelpWindow()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        f.window->menuItems().mnuHilfeIndex->trigger();
        HelpWindow *help = f.window->helpWindow();
        QTRY_VERIFY(help->isVisible());
        QCOMPARE(help->currentPage(), QUrl(helpPageUrl(kHelpIndexId)));
    }

    void f1OnAHighlightedItem_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("topic");
        QTest::newRow("Fit to window") << "mnuView" << "mnuViewWindow" << 1014;
        QTest::newRow("Save Data") << "mnuDatei" << "mnuFileSaveData" << 1017;
        QTest::newRow("Autoline") << "mnuView" << "mnuAutomatic" << 1029;
    }
    void f1OnAHighlightedItem()
    {
        QFETCH(QString, menu);
        QFETCH(QString, item);
        QFETCH(int, topic);
        MainWindowFixture f;
        QVERIFY(f.open());
        auto *popup = f.window->findChild<QMenu *>(menu);
        popup->popup(f.window->mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        popup->setActiveAction(f.window->findChild<QAction *>(item));
        QTest::keyClick(popup, Qt::Key_F1);
        QTRY_VERIFY(f.window->helpWindow()->isVisible());
        QCOMPARE(f.window->helpWindow()->currentPage(), QUrl(helpPageUrl(topic)));
        QVERIFY(!popup->isVisible());
    }

    void aboutShowsTheSplashWithOk()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        bool seen = false;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, [&] {
            auto *about = qobject_cast<frmSplash *>(QApplication::activeModalWidget());
            if (!about)
                return;
            poll.stop();
            seen = true;
            QCOMPARE(about->parentWidget(), f.window.get());
            QCOMPARE(about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version 1.0.2"));
            auto *ok = about->findChild<QPushButton *>(QStringLiteral("btnOK"));
            QVERIFY(ok->isVisible());
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        poll.start();
        f.window->menuItems().mnuHilfeVersion->trigger();
        QVERIFY(seen);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(TestHelpAndAbout)
#include "test_help_and_about.moc"
