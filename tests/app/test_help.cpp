#include "app/HelpTopics.h"
#include "app/HelpWindow.h"
#include "app/MenuHelp.h"

#include <QDir>
#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QtTest>

using namespace chartrek;

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void everyMenuNumberHasItsOwnPage_data();
    void everyMenuNumberHasItsOwnPage();
    void unknownNumberOpensIndex_data();
    void unknownNumberOpensIndex();
    void linksBetweenPagesResolve_data();
    void linksBetweenPagesResolve();
    void everyTopicIsReachableFromIndex();
    void oneWindowIsReusedAndNotModal();
    void f1OnHighlightedItemAsksForItsTopic_data();
    void f1OnHighlightedItemAsksForItsTopic();
    void otherKeysReachTheMenu();
};

void TestHelp::everyMenuNumberHasItsOwnPage_data()
{
    QTest::addColumn<int>("id");
    // The help context numbers the menu items carry.
    const std::pair<const char *, int> items[] = {
        {"File, Edit, Index and About open the contents", 1000},
        {"Open", 1007},
        {"Read graphic (TWAIN)", 1008},
        {"View Normal", 1013},
        {"Fit to window", 1014},
        {"Repaint", 1015},
        {"Delete data", 1016},
        {"Save Data", 1017},
        {"Save Graphic", 1018},
        {"Exit", 1019},
        {"Copy Data", 1020},
        {"Paste graphic", 1021},
        {"Show markers", 1022},
        {"Sort data (by X)", 1023},
        {"Rotate Graphic", 1024},
        {"Autoline", 1029},
    };
    for (const auto &[name, id] : items)
        QTest::newRow(name) << id;
}

void TestHelp::everyMenuNumberHasItsOwnPage()
{
    QFETCH(int, id);
    QVERIFY(helpContextIds().contains(id));
    QFile page(helpPagePath(id));
    QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
    QVERIFY(page.size() > 200);
    if (id != kHelpIndexId)
        QVERIFY(helpPagePath(id) != helpPagePath(kHelpIndexId));

    HelpWindow window;
    window.showTopic(id);
    QCOMPARE(window.currentPage(), QUrl(helpPageUrl(id)));
    QVERIFY(!window.browser()->documentTitle().isEmpty());
    QVERIFY(window.browser()->toPlainText().size() > 100);
}

void TestHelp::unknownNumberOpensIndex_data()
{
    QTest::addColumn<int>("id");
    QTest::newRow("an item without a number (0)") << 0;
    QTest::newRow("a negative number") << -1;
    QTest::newRow("a number between the topics") << 1001;
    QTest::newRow("a number far past them") << 99999;
}

void TestHelp::unknownNumberOpensIndex()
{
    QFETCH(int, id);
    QCOMPARE(helpPagePath(id), helpPagePath(kHelpIndexId));
    HelpWindow window;
    window.showTopic(id);
    QCOMPARE(window.currentPage(), QUrl(helpPageUrl(kHelpIndexId)));
}

void TestHelp::linksBetweenPagesResolve_data()
{
    QTest::addColumn<QString>("page");
    const QStringList pages = QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")});
    QVERIFY(pages.size() > 10);
    for (const QString &p : pages)
        QTest::newRow(qPrintable(p)) << p;
}

void TestHelp::linksBetweenPagesResolve()
{
    QFETCH(QString, page);
    QFile file(QStringLiteral(":/help/") + page);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());

    static const QRegularExpression link(QStringLiteral(R"re((?:href|src)="([^"]*)")re"));
    int local = 0;
    for (const QRegularExpressionMatch &m : link.globalMatch(html)) {
        const QUrl target(m.captured(1));
        if (!target.scheme().isEmpty())
            continue;
        ++local;
        const QString path = target.path().isEmpty() ? page : target.path();
        QFile linked(QStringLiteral(":/help/") + path);
        QVERIFY2(linked.open(QIODevice::ReadOnly), qPrintable(page + QStringLiteral(" -> ") + m.captured(1)));
        if (target.hasFragment()) {
            const QString anchor = QStringLiteral("id=\"%1\"").arg(target.fragment());
            QVERIFY2(QString::fromUtf8(linked.readAll()).contains(anchor),
                     qPrintable(page + QStringLiteral(" -> ") + m.captured(1)));
        }
    }
    QVERIFY2(local > 0, "a page must link somewhere");
    if (page != QLatin1String("index.html"))
        QVERIFY2(html.contains(QLatin1String("href=\"index.html\"")), "a topic links back to the contents");
}

void TestHelp::everyTopicIsReachableFromIndex()
{
    QFile index(helpPagePath(kHelpIndexId));
    QVERIFY(index.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(index.readAll());
    for (int id : helpContextIds()) {
        const QString name = QFileInfo(helpPagePath(id)).fileName();
        if (id != kHelpIndexId)
            QVERIFY2(html.contains(QStringLiteral("href=\"%1\"").arg(name)), qPrintable(name));
    }
}

void TestHelp::oneWindowIsReusedAndNotModal()
{
    HelpWindow window;
    window.showIndex();
    QVERIFY(window.isVisible());
    QVERIFY(!window.isModal());
    window.close();
    window.showTopic(1017);
    QVERIFY(window.isVisible());
    QCOMPARE(window.currentPage(), QUrl(helpPageUrl(1017)));
    window.showTopic(1029);
    QCOMPARE(window.currentPage(), QUrl(helpPageUrl(1029)));
    // The pages moved through are there to go back to.
    window.browser()->backward();
    QCOMPARE(window.currentPage(), QUrl(helpPageUrl(1017)));
}

void TestHelp::f1OnHighlightedItemAsksForItsTopic_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("expected");
    QTest::newRow("an item with its own number opens that topic") << QStringLiteral("Save Data") << 1017;
    QTest::newRow("an item without a number takes its menu's") << QStringLiteral("Copy graphic") << 1000;
    QTest::newRow("an item in a submenu opens its topic") << QStringLiteral("Autoline") << 1029;
    QTest::newRow("an item in a submenu without a number takes the outer menu's")
        << QStringLiteral("Repaint") << 1000;
    QTest::newRow("with nothing highlighted the menu's number counts") << QString() << 1000;
    QTest::newRow("with no number anywhere the contents open") << QStringLiteral("Memory info") << kHelpIndexId;
}

void TestHelp::f1OnHighlightedItemAsksForItsTopic()
{
    QFETCH(QString, item);
    QFETCH(int, expected);

    QMenu file(QStringLiteral("&File"));
    MenuHelp::setHelpContextId(file.menuAction(), 1000);
    MenuHelp::setHelpContextId(file.addAction(QStringLiteral("Save Data")), 1017);
    file.addAction(QStringLiteral("Copy graphic"));
    QMenu *more = file.addMenu(QStringLiteral("More"));
    MenuHelp::setHelpContextId(more->addAction(QStringLiteral("Autoline")), 1029);
    more->addAction(QStringLiteral("Repaint"));
    QMenu help(QStringLiteral("&?"));
    help.addAction(QStringLiteral("Memory info"));

    MenuHelp menuHelp;
    menuHelp.watch(&file);
    menuHelp.watch(&help);
    QSignalSpy spy(&menuHelp, &MenuHelp::topicRequested);

    QMenu *open = item == QLatin1String("Memory info") ? &help : &file;
    open->popup(QPoint(20, 20));
    QVERIFY(QTest::qWaitForWindowExposed(open));
    if (item == QLatin1String("Autoline") || item == QLatin1String("Repaint")) {
        file.setActiveAction(more->menuAction());
        more->popup(QPoint(120, 40));
        QVERIFY(QTest::qWaitForWindowExposed(more));
        open = more;
    }
    for (QAction *a : open->actions()) {
        if (a->text() == item)
            open->setActiveAction(a);
    }
    QCOMPARE(open->activeAction() ? open->activeAction()->text() : QString(), item);

    QTest::keyClick(open, Qt::Key_F1);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), expected);
    QVERIFY(!open->isVisible());
}

void TestHelp::otherKeysReachTheMenu()
{
    QMenu menu;
    QAction *first = menu.addAction(QStringLiteral("one"));
    QAction *second = menu.addAction(QStringLiteral("two"));
    MenuHelp menuHelp;
    menuHelp.watch(&menu);
    QSignalSpy spy(&menuHelp, &MenuHelp::topicRequested);
    menu.popup(QPoint(20, 20));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    menu.setActiveAction(first);
    QTest::keyClick(&menu, Qt::Key_Down);
    QCOMPARE(menu.activeAction(), second);
    QTest::keyClick(&menu, Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(spy.count(), 0);
    QVERIFY(menu.isVisible());
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"
