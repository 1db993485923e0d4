#include "DialogDriver.h"
#include "MainWindowFixture.h"

#include "app/HelpTopics.h"
#include "app/HelpWindow.h"
#include "app/MessageBoxSink.h"
#include "app/QtFileDialogs.h"
#include "app/frmSplash.h"

#include <QtWidgets>

using namespace chartrek;
using namespace chartrek::test;

namespace {
// A message of this kind; the box's buttons, icon and title; the button pressed (NoButton: the
// close box) and the answer it gives.
struct Box { MessageKind kind; QVariantList box; int press; int answer; };

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
} // namespace

class TestHelpAndDialogs : public QObject {
    Q_OBJECT
private slots:
    // Every number opens a page, a topic one of its own that the contents link to; local links and
    // anchors exist, and every page links back to the contents. F1 on a highlighted item opens its
    // page, on one without a number its menu's page, in a window that is not modal.
    void help()
    {
        const QString contents = readAll(helpPagePath(kHelpIndexId));
        HelpWindow window;
        for (int id : helpContextIds() + QList{1001}) { // 1001 lies between the topics: the contents
            const int shown = id == 1001 ? kHelpIndexId : id;
            const QString name = QFileInfo(helpPagePath(id)).fileName();
            QVERIFY2(shown == kHelpIndexId || (name != "index.html" && contents.contains("href=\"" + name + '"')),
                     qPrintable(name));
            window.showTopic(id);
            QCOMPARE(window.currentPage(), QUrl(helpPageUrl(shown)));
            QVERIFY(!window.browser()->documentTitle().isEmpty() && window.browser()->toPlainText().size() > 100);
        }
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
        MainWindowFixture f;
        QVERIFY(f.open());
        for (const auto &[menu, item, topic] : {std::tuple{"mnuDatei", "mnuFileSaveData", 1017},
                                                std::tuple{"mnuEdit", "mnuEditCopyPicture", 1000}}) {
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
    }

    // One form twice: About is modal, with OK, and goes away on OK; the splash has no OK and no
    // frame, and is centred.
    void aboutAndSplash()
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
        QTest::addColumn<Box>("row");
        using B = QMessageBox;
        const QString title = QStringLiteral("Chartrek 1.0.2");
        QTest::newRow("error: OK with the stop sign")
            << Box{MessageKind::Error, {int(B::Ok), int(B::Critical), title}, int(B::Ok), AnswerOk};
        QTest::newRow("question: Yes answers Yes")
            << Box{MessageKind::YesNo, {int(B::Yes | B::No), int(B::Question), title}, int(B::Yes), AnswerYes};
        QTest::newRow("three answers, a title of their own: the close box answers Cancel") << Box{MessageKind::YesNoCancel,
            {int(B::Yes | B::No | B::Cancel), int(B::Question), QStringLiteral("Chartrek Version 1.0.2")}, 0, AnswerCancel};
    }
    void messageBoxes()
    {
        QFETCH(Box, row);
        QMainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MessageBoxSink sink(&window);
        QVariantList seen;
        whenDialogReady({}, [](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; }, [&](QWidget *w) {
            auto *shown = static_cast<QMessageBox *>(w);
            seen = {int(shown->standardButtons()), int(shown->icon()), shown->windowTitle(), shown->text(),
                    shown->isModal() && shown->parentWidget() == &window};
            if (QAbstractButton *button = shown->button(QMessageBox::StandardButton(row.press)))
                button->click();
            else
                shown->close();
        });
        QCOMPARE(sink.show(row.kind, QStringLiteral("line one\r\nline two")), row.answer);
        QCOMPARE(seen, row.box + QVariantList({QStringLiteral("line one\r\nline two"), true}));
    }

    // A name typed without a suffix in a save dialog gets the one of the filter chosen; the filter
    // is handed back.
    void saveDialogAddsTheChosenFiltersSuffix_data()
    {
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("the first filter") << 0 << "points.txt";
        QTest::newRow("the second filter, chosen in the dialog") << 1 << "points.csv";
    }
    void saveDialogAddsTheChosenFiltersSuffix()
    {
        QFETCH(int, filterIndex);
        QFETCH(QString, fileName);
        QTemporaryDir dir;
        QWidget owner;
        QtFileDialogs dialogs(&owner);
        whenDialogReady(QStringLiteral("fileDialog"), [](QWidget *) { return true; }, [&](QWidget *w) {
            auto *types = w->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            types->setCurrentIndex(filterIndex);
            emit types->activated(filterIndex); // as when the user picks it
            emit types->textActivated(types->currentText());
            auto *name = w->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QTest::keyClicks(name, QStringLiteral("points"));
            QTest::keyClick(name, Qt::Key_Return);
        });
        const FileDialogRequest request{QStringLiteral("Save"), QStringLiteral("A (*.txt);;B (*.csv)"),
                                        QStringLiteral("txt"), {}, true, dir.path(), {}};
        QString filter;
        QCOMPARE(dialogs.getSaveFileName(request, &filter), dir.filePath(fileName));
        QCOMPARE(filter, request.filter.split(QStringLiteral(";;")).at(filterIndex));
    }
};

QTEST_MAIN(TestHelpAndDialogs)
#include "test_help_and_dialogs.moc"
