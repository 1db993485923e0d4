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

// Calls `look` with the modal box of type T from inside the box's own event loop.
template <typename T, typename F>
void whenModal(QTimer &poll, F look)
{
    QObject::connect(&poll, &QTimer::timeout, [&poll, look] {
        if (auto *box = qobject_cast<T *>(QApplication::activeModalWidget())) {
            poll.stop();
            look(box);
        }
    });
    poll.start(10);
}
} // namespace

class TestHelpAndDialogs : public QObject {
    Q_OBJECT
private slots:
    void everyNumberOpensAPage()
    {
        const QString contents = readAll(helpPagePath(kHelpIndexId));
        HelpWindow window;
        for (int id : helpContextIds() + QList{1001}) { // 1001 lies between the topics: the contents
            const int shown = id == 1001 ? kHelpIndexId : id;
            const QString name = QFileInfo(helpPagePath(id)).fileName();
            // A topic has a page of its own, and the contents link to it.
            QVERIFY2(shown == kHelpIndexId || (name != QLatin1String("index.html")
                                               && contents.contains(QStringLiteral("href=\"%1\"").arg(name))),
                     qPrintable(name));
            window.showTopic(id);
            QCOMPARE(window.currentPage(), QUrl(helpPageUrl(shown)));
            QVERIFY(!window.browser()->documentTitle().isEmpty());
            QVERIFY(window.browser()->toPlainText().size() > 100);
        }
    }

    void linksBetweenPagesResolve()
    {
        const QStringList pages = QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")});
        QVERIFY(pages.size() > 10);
        for (const QString &page : pages) {
            const QString html = readAll(QStringLiteral(":/help/") + page);
            const QRegularExpression localLink(QStringLiteral("(?:href|src)=\"([^\"]*)\""));
            for (const QRegularExpressionMatch &m : localLink.globalMatch(html)) {
                const QUrl target(m.captured(1));
                if (!target.scheme().isEmpty())
                    continue;
                const QString linked = readAll(QStringLiteral(":/help/") + (target.path().isEmpty() ? page : target.path()));
                const QByteArray where = (page + QStringLiteral(" -> ") + m.captured(1)).toUtf8();
                QVERIFY2(!linked.isEmpty(), where.constData());
                QVERIFY2(!target.hasFragment() || linked.contains(QStringLiteral("id=\"%1\"").arg(target.fragment())),
                         where.constData());
            }
            QVERIFY2(page == QLatin1String("index.html") || html.contains(QLatin1String("href=\"index.html\"")),
                     qPrintable(page + QStringLiteral(" does not link back to the contents")));
        }
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
        QVariantList seen; // parent, version, OK shown
        QTimer poll;
        whenModal<frmSplash>(poll, [&](frmSplash *about) {
            auto *ok = about->findChild<QPushButton *>(QStringLiteral("btnOK"));
            seen = {about->parentWidget() == f.window.get(),
                    about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), ok->isVisible()};
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        f.window->menuItems().mnuHilfeVersion->trigger();
        QCOMPARE(seen, (QVariantList{true, QStringLiteral("Version 1.0.2"), true}));
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
            << int(B::Information) << title << int(B::Cancel) << int(AnswerCancel);
        QTest::newRow("three answers, a title of their own: the close box answers Cancel")
            << MessageKind::YesNoCancel << int(B::Yes | B::No | B::Cancel) << int(B::Question)
            << QStringLiteral("Chartrek Version 1.0") << 0 << int(AnswerCancel);
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
        QVariantList seen;
        QTimer poll;
        whenModal<QMessageBox>(poll, [&](QMessageBox *box) {
            seen = {int(box->standardButtons()), int(box->icon()), box->windowTitle(), box->text(),
                    box->parentWidget() == &window};
            if (press > 0)
                box->button(QMessageBox::StandardButton(press))->click();
            else
                box->close();
        });
        QCOMPARE(sink.show(kind, QStringLiteral("line one\r\nline two")), answer);
        QCOMPARE(seen, (QVariantList{buttons, icon, title, QStringLiteral("line one\r\nline two"), true}));
    }

    void messageAnswers()
    {
        RecordingSink sink;
        Messages m(sink);
        sink.answers = {AnswerYes, AnswerCancel, AnswerNo, AnswerOk};
        QCOMPARE(m.AskYesNo(QStringLiteral("q")), int(AnswerYes));
        QCOMPARE(m.AskYesNo(QStringLiteral("q")), int(AnswerNo)); // no third answer for two buttons
        QCOMPARE(m.AskYesNoCancel(QStringLiteral("q")), int(AnswerNo));
        QCOMPARE(m.AskYesNoCancel(QStringLiteral("q")), int(AnswerCancel)); // anything else is Cancel
        m.ReportScanError(QStringLiteral("GetColor")); // the operation's name is not shown
        QCOMPARE(sink.texts().last(), QStringLiteral("An error occured while scanning the picture. Maybe there is "
                                                     "to low memory. Close some applications."));
    }
};

QTEST_MAIN(TestHelpAndDialogs)
#include "test_help_and_dialogs.moc"
