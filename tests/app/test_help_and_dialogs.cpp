#include "DialogDriver.h"
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

using namespace chartrek;
using namespace chartrek::test;

Q_DECLARE_METATYPE(chartrek::MessageKind)

namespace {
QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
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
            QVERIFY2(shown == kHelpIndexId || (name != "index.html" && contents.contains("href=\"" + name + '"')),
                     qPrintable(name));
            window.showTopic(id);
            QCOMPARE(window.currentPage(), QUrl(helpPageUrl(shown)));
            QVERIFY(!window.browser()->documentTitle().isEmpty() && window.browser()->toPlainText().size() > 100);
        }
    }

    // Every local link and anchor exists, and every page links back to the contents.
    void linksBetweenPagesResolve()
    {
        const QStringList pages = QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")});
        QVERIFY(pages.size() > 10);
        for (const QString &page : pages) {
            const QString html = readAll(":/help/" + page);
            for (const auto &m : QRegularExpression(QStringLiteral("(?:href|src)=\"([^\"]*)\"")).globalMatch(html)) {
                const QUrl target(m.captured(1));
                const QString linked = readAll(":/help/" + (target.path().isEmpty() ? page : target.path()));
                QVERIFY2(!target.isRelative() || (!linked.isEmpty() && (!target.hasFragment()
                             || linked.contains(QStringLiteral("id=\"%1\"").arg(target.fragment())))),
                         qPrintable(page + " -> " + m.captured(1)));
            }
            QVERIFY2(page == "index.html" || html.contains("href=\"index.html\""), qPrintable(page + " has no way back"));
        }
    }

    void helpFromTheMenus_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("topic");
        QTest::newRow("F1 on a highlighted item opens its page") << "mnuDatei" << "mnuFileSaveData" << 1017;
        QTest::newRow("F1 on an item without a number opens its menu's page") << "mnuEdit" << "mnuEditCopyPicture" << 1000;
    }
    void helpFromTheMenus()
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
        QTest::keyClick(popup, Qt::Key_F1, Qt::ShiftModifier); // other keys are the menu's
        QVERIFY(popup->isVisible());
        QTest::keyClick(popup, Qt::Key_F1);
        QVERIFY(!popup->isVisible());
        QTRY_VERIFY(f.window->findChild<HelpWindow *>()->isVisible());
        QVERIFY(!f.window->findChild<HelpWindow *>()->isModal());
        QCOMPARE(f.window->findChild<HelpWindow *>()->currentPage(), QUrl(helpPageUrl(topic)));
    }

    void aboutIsModalWithOk()
    {
        MainWindowFixture f;
        QVERIFY(f.open());
        QVariantList seen; // modal, parent, version, OK shown
        whenDialogReady(QStringLiteral("frmSplash"), [](QWidget *) { return true; }, [&](QWidget *about) {
            auto *ok = about->findChild<QPushButton *>(QStringLiteral("btnOK"));
            seen = {about->isModal(), about->parentWidget() == f.window.get(),
                    about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), ok->isVisible()};
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        f.window->menuItems().mnuHilfeVersion->trigger();
        QCOMPARE(seen, (QVariantList{true, true, QStringLiteral("Version 1.0.2"), true}));
        QVERIFY(f.window->findChildren<frmSplash *>().isEmpty());
    }

    void splashHasNoOkNoFrameAndIsCentred()
    {
        frmSplash splash;
        splash.showSplash();
        // Painted before showSplash returns: no event loop runs while the main window loads.
        QVERIFY(splash.isVisible() && !splash.isModal() && splash.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!splash.findChild<QPushButton *>(QStringLiteral("btnOK"))->isVisible());
        const QPoint offset = splash.frameGeometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
        QCOMPARE_LE(offset.manhattanLength(), 2);
    }

    void messageBoxes_data()
    {
        QTest::addColumn<MessageKind>("kind");
        QTest::addColumn<QVariantList>("box"); // buttons, icon, title
        QTest::addColumn<int>("press"); // NoButton: the close box
        QTest::addColumn<int>("answer");
        using B = QMessageBox;
        const QString title = QStringLiteral("Chartrek 1.0");
        QTest::newRow("error: OK with the stop sign")
            << MessageKind::Error << QVariantList{int(B::Ok), int(B::Critical), title} << int(B::Ok) << int(AnswerOk);
        QTest::newRow("question: Yes answers Yes") << MessageKind::YesNo
            << QVariantList{int(B::Yes | B::No), int(B::Question), title} << int(B::Yes) << int(AnswerYes);
        QTest::newRow("three answers, a title of their own: the close box answers Cancel") << MessageKind::YesNoCancel
            << QVariantList{int(B::Yes | B::No | B::Cancel), int(B::Question), QStringLiteral("Chartrek Version 1.0")}
            << 0 << int(AnswerCancel);
    }
    void messageBoxes()
    {
        QFETCH(MessageKind, kind);
        QFETCH(QVariantList, box);
        QFETCH(int, press);
        QFETCH(int, answer);
        QMainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MessageBoxSink sink(&window);
        QVariantList seen;
        whenDialogReady({}, [](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; }, [&](QWidget *w) {
            auto *shown = static_cast<QMessageBox *>(w);
            seen = {int(shown->standardButtons()), int(shown->icon()), shown->windowTitle(), shown->text(),
                    shown->isModal() && shown->parentWidget() == &window};
            if (QAbstractButton *button = shown->button(QMessageBox::StandardButton(press)))
                button->click();
            else
                shown->close();
        });
        QCOMPARE(sink.show(kind, QStringLiteral("line one\r\nline two")), answer);
        QCOMPARE(seen, box + QVariantList({QStringLiteral("line one\r\nline two"), true}));
    }

    void messageAnswers()
    {
        RecordingSink sink;
        Messages m(sink);
        sink.answers = {AnswerYes, AnswerCancel, AnswerNo, AnswerOk};
        QCOMPARE(m.AskYesNo({}), int(AnswerYes));
        QCOMPARE(m.AskYesNo({}), int(AnswerNo)); // no third answer for two buttons
        QCOMPARE(m.AskYesNoCancel({}), int(AnswerNo));
        QCOMPARE(m.AskYesNoCancel({}), int(AnswerCancel)); // anything else is Cancel
    }
};

QTEST_MAIN(TestHelpAndDialogs)
#include "test_help_and_dialogs.moc"
