// The real program ended by a signal while its PDF helper lists a document's pages, or draws
// thumbnails for the page dialog into a temporary folder.
#include "TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace chartrek::test;

namespace {

// Gone, or a zombie nobody reaps any more: in either case no longer running.
bool ended(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    return !stat.open(QIODevice::ReadOnly) || stat.readAll().split(' ').value(2) == "Z";
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

} // namespace

class TestTermination : public QObject {
    Q_OBJECT
private slots:
    void signalEndsTheProgramCleanly_data()
    {
        QTest::addColumn<QByteArray>("during"); // the helper's command that never ends
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("cleanEnd"); // the program itself removes what it made
        QTest::newRow("SIGTERM while listing: helper stopped, socket removed") << QByteArray("pages") << int(SIGTERM) << true;
        QTest::newRow("SIGINT while listing: the same") << QByteArray("pages") << int(SIGINT) << true;
        QTest::newRow("SIGTERM in the page dialog: helper stopped, temporary folder removed")
            << QByteArray("thumbs") << int(SIGTERM) << true;
        QTest::newRow("SIGKILL while listing: the helper dies with the program") << QByteArray("pages") << int(SIGKILL)
                                                                                 << false;
    }
    void signalEndsTheProgramCleanly()
    {
        QFETCH(QByteArray, during);
        QFETCH(int, signalNumber);
        QFETCH(bool, cleanEnd);
        QTemporaryDir dir, temp, runtime, helperFolder;
        // A helper that lists one page, never finishes the command named, and tells where it runs.
        const QByteArray marker = dir.filePath(QStringLiteral("helper.pid")).toLocal8Bit();
        QFile script(helperFolder.filePath(QStringLiteral("chartrek-pdfpage")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n[ $1 = pages ] && [ $1 != " + during + " ] && echo 'pages 1' && echo 'size 99 99 1' && exit\n"
                     "echo $$ > '" + marker + ".new'\nmv '" + marker + ".new' '" + marker + "'\nexec sleep 600\n");
        script.close();
        QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QFile pdf(dir.filePath(QStringLiteral("pages.pdf")));
        QVERIFY(pdf.open(QIODevice::WriteOnly) && pdf.write("%PDF-1.4\n%%EOF\n") > 0);
        pdf.close();

        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), temp.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("CHARTREK_PDFPAGE_DIR"), helperFolder.path());
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(CHARTREK_PROGRAM), {pdf.fileName()});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QString::fromLocal8Bit(marker)), 20000);
        QFile pidFile(QString::fromLocal8Bit(marker));
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        const qint64 helperPid = pidFile.readAll().trimmed().toLongLong();
        QVERIFY(helperPid > 0 && !ended(helperPid));
        // A helper left by a fault goes with the test.
        const auto reap = qScopeGuard([helperPid] {
            if (!ended(helperPid))
                ::kill(pid_t(helperPid), SIGKILL);
        });
        QVERIFY(!entries(runtime.path()).isEmpty());
        QCOMPARE(entries(temp.path()).isEmpty(), during == "pages");

        ::kill(pid_t(program.processId()), signalNumber);
        QVERIFY(program.waitForFinished(20000));
        QTRY_VERIFY_WITH_TIMEOUT(ended(helperPid), 5000);
        if (!cleanEnd)
            return;
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 128 + signalNumber);
        QCOMPARE(entries(temp.path()), QStringList());
        QCOMPARE(entries(runtime.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestTermination)
#include "test_termination.moc"
