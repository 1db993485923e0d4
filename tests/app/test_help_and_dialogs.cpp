#include "MainWindowFixture.h"

#include "app/HelpTopics.h"
#include "app/HelpWindow.h"
#include "app/MessageBoxSink.h"
#include "app/frmSplash.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>

using namespace chartrek;
using namespace chartrek::test;

Q_DECLARE_METATYPE(chartrek::MessageKind)

namespace {
QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A page's local links and pictures: href="…" and src="…".
const QRegularExpression localLink(QStringLiteral("(?:href|src)=\"([^\"]*)\""));
} // namespace

class TestHelpAndDialogs : public QObject {
    Q_OBJECT
private slots:
    void everyNumberOpensAPage_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("shown");
        for (int id : helpContextIds())
            QTest::addRow("help context %d has a page of its own", id) << id << id;
        QTest::newRow("an item without a number opens the contents") << 0 << kHelpIndexId;
        QTest::newRow("a number between the topics opens the contents") << 1001 << kHelpIndexId;
    }
    void everyNumberOpensAPage()
    {
        QFETCH(int, id);
        QFETCH(int, shown);
        QCOMPARE(helpPagePath(id), helpPagePath(shown));
        if (id == shown && id != kHelpIndexId) {
            QVERIFY(helpPagePath(id) != helpPagePath(kHelpIndexId));
            const QString name = QFileInfo(helpPagePath(id)).fileName();
            QVERIFY2(readAll(helpPagePath(kHelpIndexId)).contains(QStringLiteral("href=\"%1\"").arg(name)),
                     "the contents link to every topic");
        }
        HelpWindow window;
        window.showTopic(id);
        QCOMPARE(window.currentPage(), QUrl(helpPageUrl(shown)));
        QVERIFY(!window.browser()->documentTitle().isEmpty());
        QVERIFY(window.browser()->toPlainText().size() > 100);
    }

    void linksBetweenPagesResolve_data()
    {
        QTest::addColumn<QString>("page");
        const QStringList pages = QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")});
        QVERIFY(pages.size() > 10);
        for (const QString &p : pages)
            QTest::newRow(qPrintable(p)) << p;
    }
    void linksBetweenPagesResolve()
    {
        QFETCH(QString, page);
        const QString html = readAll(QStringLiteral(":/help/") + page);
        for (const QRegularExpressionMatch &m : localLink.globalMatch(html)) {
            const QUrl target(m.captured(1));
            if (!target.scheme().isEmpty())
                continue;
            const QString linked = readAll(QStringLiteral(":/help/") + (target.path().isEmpty() ? page : target.path()));
            const QByteArray where = (page + QStringLiteral(" -> ") + m.captured(1)).toUtf8();
            QVERIFY2(!linked.isEmpty(), where.constData());
            if (target.hasFragment())
                QVERIFY2(linked.contains(QStringLiteral("id=\"%1\"").arg(target.fragment())), where.constData());
        }
        if (page != QLatin1String("index.html"))
            QVERIFY2(html.contains(QLatin1String("href=\"index.html\"")), "a topic links back to the contents");
    }

    void helpFromTheMenus_data()
    {
        QTest::addColumn<QString>("menu"); // empty: the item is chosen, not highlighted
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("topic");
        QTest::newRow("Help Index opens the contents") << "" << "mnuHilfeIndex" << kHelpIndexId;
        QTest::newRow("F1 on a highlighted item opens its page") << "mnuDatei" << "mnuFileSaveData" << 1017;
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
        QTRY_VERIFY(f.window->findChild<HelpWindow *>()->isVisible());
        QVERIFY(!f.window->findChild<HelpWindow *>()->isModal());
        QCOMPARE(f.window->findChild<HelpWindow *>()->currentPage(), QUrl(helpPageUrl(topic)));
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

    void messageBoxes_data()
    {
        QTest::addColumn<MessageKind>("kind");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("press"); // 0: the close box
        QTest::addColumn<int>("answer");
        using B = QMessageBox;
        const QString title = QStringLiteral("Chartrek 1.0");
        QTest::newRow("error: OK with the stop sign")
            << MessageKind::Error << int(B::Ok) << int(B::Critical) << title << int(B::Ok) << int(AnswerOk);
        QTest::newRow("question: Yes answers Yes")
            << MessageKind::YesNo << int(B::Yes | B::No) << int(B::Question) << title << int(B::Yes) << int(AnswerYes);
        QTest::newRow("information: Cancel answers Cancel") << MessageKind::Info << int(B::Ok | B::Cancel)
                                                             << int(B::Information) << title << int(B::Cancel)
                                                             << int(AnswerCancel);
        const int three = int(B::Yes | B::No | B::Cancel);
        const QString longTitle = QStringLiteral("Chartrek Version 1.0");
        QTest::newRow("three answers: No answers No")
            << MessageKind::YesNoCancel << three << int(B::Question) << longTitle << int(B::No) << int(AnswerNo);
        QTest::newRow("three answers: the close box answers Cancel")
            << MessageKind::YesNoCancel << three << int(B::Question) << longTitle << 0 << int(AnswerCancel);
    }
    void messageBoxes()
    {
        QFETCH(MessageKind, kind);
        QFETCH(int, buttons);
        QFETCH(int, icon);
        QFETCH(QString, title);
        QFETCH(int, press);
        QFETCH(int, answer);
        QMainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MessageBoxSink sink(&window);
        int shownButtons = 0, shownIcon = 0;
        QString shownTitle, shownText;
        QWidget *parent = nullptr;
        QTimer poll; // the box runs its own event loop: note it from there, then answer
        connect(&poll, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            poll.stop();
            shownButtons = int(box->standardButtons());
            shownIcon = int(box->icon());
            shownTitle = box->windowTitle();
            shownText = box->text();
            parent = box->parentWidget();
            if (press > 0)
                box->button(QMessageBox::StandardButton(press))->click();
            else
                box->close();
        });
        poll.start(10);
        QCOMPARE(sink.show(kind, QStringLiteral("line one\r\nline two")), answer);
        QCOMPARE(shownButtons, buttons);
        QCOMPARE(shownIcon, icon);
        QCOMPARE(shownTitle, title);
        QCOMPARE(shownText, QStringLiteral("line one\r\nline two"));
        QCOMPARE(parent, &window);
    }
};

QTEST_MAIN(TestHelpAndDialogs)
#include "test_help_and_dialogs.moc"
