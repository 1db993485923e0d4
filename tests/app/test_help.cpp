#include "app/HelpTopics.h"
#include "app/HelpWindow.h"

#include <QDir>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QtTest>

using namespace chartrek;

namespace {
QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A page's local links and pictures: href="…" and src="…".
const QRegularExpression localLink(QStringLiteral("(?:href|src)=\"([^\"]*)\""));
} // namespace

class TestHelp : public QObject {
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
};

QTEST_MAIN(TestHelp)
#include "test_help.moc"
