#include "TestSupport.h"
#include "points/DataExport.h"
#include "points/PointTables.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace chartrek;
using namespace chartrek::test;

namespace {

const QString kSaveError =
    QStringLiteral("An error accured while saving. If the problem is permanent, please copy the data over the clipboard.");

// Two points, (0.5, 12.25) and (1, 3).
struct Rig : CalibratedTables {
    RecordingSink sink;
    Messages messages{sink};
    ScriptedDialogs dialogs;
    DataExport exporter{model, cal, messages, dialogs};

    explicit Rig(bool withPoints = true)
    {
        if (withPoints) {
            add(0.5, 12.25);
            add(1, 3);
        }
    }
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestDataExport : public QObject {
    Q_OBJECT
private slots:
    void copyKeepsTheLocaleAndSaveWritesPoints_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("decimal point") << pointLocale();
        QTest::newRow("decimal comma") << commaLocale();
        QTest::newRow("Arabic decimal separator") << QLocale(QLocale::Arabic, QLocale::Egypt);
        QTest::newRow("Persian decimal separator") << QLocale(QLocale::Persian, QLocale::Iran);
    }
    void copyKeepsTheLocaleAndSaveWritesPoints()
    {
        QFETCH(QLocale, locale);
        LocaleScope scope(locale);
        Rig rig;
        // A picture the user copied before stays on the clipboard beside the text.
        QImage picture(3, 2, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QGuiApplication::clipboard()->setImage(picture);
        rig.exporter.mnuEditKopie_Click();
        const QString sep = locale.decimalPoint();
        QCOMPARE(QGuiApplication::clipboard()->text(), "0" + sep + "5\t12" + sep + "25\r\n1\t3\r\n");
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), picture);

        QTemporaryDir dir;
        rig.dialogs.answer = dir.filePath(QStringLiteral("data.txt"));
        rig.exporter.mnuFileSaveData_Click();
        QCOMPARE(readAll(rig.dialogs.answer), QByteArray("0.5\t12.25\r\n1\t3\r\n"));
        QCOMPARE(rig.sink.texts(), QStringList{"The data's where saved as " + rig.dialogs.answer + "."});
        QCOMPARE(rig.sink.shown[0].kind, MessageKind::Info);
    }

    void textTheFileCannotHoldIsAnError()
    {
        Rig rig;
        // Captured under a locale whose separator is neither the present one nor a comma.
        rig.model.setCell(PointTableModel::Originale, 1, 2, QStringLiteral("0\u066B5"));
        QTemporaryDir dir;
        rig.dialogs.answer = dir.filePath(QStringLiteral("data.txt"));
        rig.exporter.mnuFileSaveData_Click();
        QVERIFY(!QFile::exists(rig.dialogs.answer));
        QCOMPARE(rig.sink.texts(), QStringList{kSaveError});
    }

    void overwriteWithAnEmptyNameBoxEachTime()
    {
        Rig rig;
        QTemporaryDir dir;
        rig.dialogs.answer = dir.filePath(QStringLiteral("old.txt"));
        QFile old(rig.dialogs.answer);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(500, 'x'));
        old.close();
        rig.exporter.mnuFileSaveData_Click();
        rig.exporter.mnuFileSaveData_Click();
        QCOMPARE(readAll(rig.dialogs.answer), QByteArray("0.5\t12.25\r\n1\t3\r\n")); // replaced, not appended
        for (const FileDialogRequest &r : rig.dialogs.requests) {
            QCOMPARE(r.title, QStringLiteral("Daten speichern"));
            QCOMPARE(r.filter, QStringLiteral("Text (*.txt)"));
            QCOMPARE(r.defaultSuffix, QStringLiteral("txt"));
            QVERIFY(r.fileName.isEmpty());
        }
    }

    void missingData()
    {
        Rig empty(false);
        empty.exporter.mnuEditKopie_Click();
        QCOMPARE(empty.sink.texts(), QStringList{"There are now data available."});

        // Calibrated without points: an empty file and the success message.
        QTemporaryDir dir;
        empty.dialogs.answer = dir.filePath(QStringLiteral("empty.txt"));
        empty.exporter.mnuFileSaveData_Click();
        QCOMPARE(readAll(empty.dialogs.answer), QByteArray());
        QCOMPARE(empty.sink.shown.size(), 2);

        // Points but one reference red: Save refuses before the dialog, Copy still copies.
        Rig rig;
        rig.cal.record().backColor[RefY2] = ColorNotSet;
        rig.exporter.mnuFileSaveData_Click();
        QCOMPARE(rig.sink.texts(), QStringList{"There are now data's available."});
        QVERIFY(rig.dialogs.requests.isEmpty());
        QGuiApplication::clipboard()->clear();
        rig.exporter.mnuEditKopie_Click();
        QVERIFY(!QGuiApplication::clipboard()->text().isEmpty());
    }

    void cancelSaysNothing()
    {
        Rig rig;
        rig.dialogs.answer.clear();
        rig.exporter.mnuFileSaveData_Click();
        QVERIFY(rig.sink.shown.isEmpty());
    }

    void readOnlyFolder()
    {
        Rig rig;
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        rig.dialogs.answer = dir.filePath(QStringLiteral("data.txt"));
        {
            WithoutPermissionOverride asUser;
            rig.exporter.mnuFileSaveData_Click();
        }
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(rig.sink.texts(), QStringList{kSaveError});
        QCOMPARE(rig.sink.shown[0].kind, MessageKind::Error);
        QVERIFY(!QFile::exists(rig.dialogs.answer));
    }

    void failedWriteKeepsTheOldFile()
    {
        // A disk that fills up in the middle of the write: the user's old file must survive.
        Rig rig;
        for (int i = 0; i < 50; ++i)
            rig.tables.AddPointToTables({-i * 7, -i * 3});
        QTemporaryDir dir;
        rig.dialogs.answer = dir.filePath(QStringLiteral("precious.txt"));
        QFile old(rig.dialogs.answer);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("1\t2\r\n");
        old.close();

        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 64;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        rig.exporter.mnuFileSaveData_Click();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(rig.sink.texts(), QStringList{kSaveError});
        QCOMPARE(readAll(rig.dialogs.answer), QByteArray("1\t2\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"precious.txt"}); // no leftovers
    }
};

QTEST_MAIN(TestDataExport)
#include "test_data_export.moc"
