#include "TestSupport.h"
#include "points/DataExport.h"
#include "points/PointTables.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>
#include <sys/resource.h>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// The message of a failed save, with the reason it gives.
QString saveError(const QString &reason)
{
    return "An error occurred while saving: " + reason + ". If the problem is permanent, please copy the data via the clipboard.";
}

// Two points, (0.5, 12.25) and (1, 3).
struct Rig : CalibratedTables {
    ScriptedDialogs dialogs;
    DataExport exporter{model, cal, messages, dialogs};
    QTemporaryDir dir;

    explicit Rig(bool withPoints = true)
    {
        if (withPoints) {
            add(0.5, 12.25);
            add(1, 3);
        }
    }
    void oldFile(const char *name, const QByteArray &content)
    {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    void save(const char *name)
    {
        dialogs.answer = dir.filePath(QLatin1String(name));
        exporter.mnuFileSaveData_Click();
    }
    QByteArray saved() const
    {
        QFile f(dialogs.answer);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
};

} // namespace

class TestDataExport : public QObject {
    Q_OBJECT
private slots:
    // Copy keeps the locale's separator; the file always has ".", also where the separator is
    // neither "." nor ",".
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
        QCOMPARE(QGuiApplication::clipboard()->text(), inLocale(QStringLiteral("0.5\t12.25\r\n1\t3\r\n"), locale));
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), picture);

        rig.oldFile("data.txt", QByteArray(500, 'x'));
        rig.save("data.txt"); // the longer old file is replaced, not appended to
        QCOMPARE(rig.saved(), QByteArray("0.5\t12.25\r\n1\t3\r\n"));
        QCOMPARE(rig.sink.texts(), QStringList{"The data were saved as " + rig.dialogs.answer + "."});
        QCOMPARE(rig.sink.shown[0].kind, MessageKind::Info);
    }

    // Every curve leaves by Copy all curves and Save Data's two all-curves filters; the first
    // filter still writes the current curve as ever, whatever the other curves hold.
    void allCurves_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("filter"); // empty: Copy all curves
        QTest::addColumn<QByteArray>("expected"); // "." for the locale's separator on the clipboard
        const QByteArray blocks = "Curve 1\r\n0.5\t12.25\r\n1\t3\r\n\r\nPeak, \"B\"\r\n2.5\t-1\r\n";
        for (const QLocale &locale : {pointLocale(), commaLocale()}) {
            const QString where = locale.decimalPoint() == QLatin1String(".") ? QStringLiteral(" (decimal point)")
                                                                             : QStringLiteral(" (decimal comma)");
            QTest::newRow(qPrintable("Copy all curves: a block per curve" + where)) << locale << QString() << blocks;
            QTest::newRow(qPrintable("Save Data, all curves as blocks" + where))
                << locale << DataExport::allCurvesTextFilter() << blocks;
            QTest::newRow(qPrintable("Save Data, all curves as CSV in long form" + where))
                << locale << DataExport::allCurvesCsvFilter()
                << QByteArray("curve,x,y\nCurve 1,0.5,12.25\nCurve 1,1,3\n\"Peak, \"\"B\"\"\",2.5,-1\n");
            QTest::newRow(qPrintable("Save Data's first filter writes the current curve alone" + where))
                << locale << DataExport::textFilter() << QByteArray("0.5\t12.25\r\n1\t3\r\n");
        }
    }
    void allCurves()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, filter);
        QFETCH(QByteArray, expected);
        LocaleScope scope(locale);
        Rig rig;
        Curves &curves = rig.tables.curves();
        rig.exporter.setCurves(&curves);
        curves.addCurve();
        curves.rename(1, QStringLiteral("Peak, \"B\""));
        rig.add(2.5, -1);
        curves.setCurrent(0);
        if (filter.isEmpty()) {
            rig.exporter.mnuEditCopyAllCurves_Click();
            QCOMPARE(QGuiApplication::clipboard()->text(), inLocale(QString::fromUtf8(expected), locale));
            return;
        }
        rig.dialogs.answerFilter = filter;
        rig.save("curves.txt");
        QCOMPARE(rig.saved(), expected);
    }

    // Under a decimal-comma locale: the filter chosen decides the form, whatever the name's
    // suffix; both keep every digit of the table's texts and write a decimal point.
    void theFilterChosenDecidesTheForm_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("tab-separated text, as always")
            << DataExport::textFilter() << QByteArray("0.5\t12.25\r\n1.5E-07\t0.333333333333333\r\n");
        QTest::newRow("CSV: a header, commas and LF")
            << DataExport::csvFilter() << QByteArray("x,y\n0.5,12.25\n1.5E-07,0.333333333333333\n");
    }
    void theFilterChosenDecidesTheForm()
    {
        QFETCH(QString, filter);
        QFETCH(QByteArray, bytes);
        LocaleScope scope(commaLocale());
        Rig rig;
        rig.model.setCell(PointTableModel::Originale, 2, 2, QStringLiteral("1,5E-07"));
        rig.model.setCell(PointTableModel::Originale, 2, 3, QStringLiteral("0,333333333333333"));
        rig.dialogs.answerFilter = filter;
        rig.save("data.csv");
        QCOMPARE(rig.saved(), bytes);
        QCOMPARE(rig.dialogs.requests.constLast().filter, DataExport::textFilter() + ";;" + DataExport::csvFilter() + ";;"
                     + DataExport::allCurvesTextFilter() + ";;" + DataExport::allCurvesCsvFilter());
    }

    void textTheFileCannotHoldIsAnError()
    {
        Rig rig;
        // Captured under a locale whose separator is neither the present one nor a comma.
        rig.model.setCell(PointTableModel::Originale, 1, 2, QStringLiteral("0\u066B5"));
        rig.save("data.txt");
        QVERIFY(!QFile::exists(rig.dialogs.answer));
        QCOMPARE(rig.sink.texts(), QStringList{saveError("a value holds a character other than plain ASCII")});
    }

    void missingDataAndCancel()
    {
        Rig empty(false);
        empty.dialogs.answer.clear(); // cancelled: nothing said
        empty.exporter.mnuFileSaveData_Click();
        QVERIFY(empty.sink.shown.isEmpty());
        // Calibrated without points: an empty file and the success message.
        empty.save("empty.txt");
        QCOMPARE(empty.saved(), QByteArray());
        QCOMPARE(empty.sink.shown.size(), 1);

        // Points but one reference red: Save refuses before the dialog, Copy still copies.
        Rig rig;
        rig.cal.record().backColor[RefY2] = ColorNotSet;
        rig.exporter.mnuFileSaveData_Click();
        QCOMPARE(rig.sink.texts(), QStringList{"There are no data available."});
        QVERIFY(rig.dialogs.requests.isEmpty());
        QGuiApplication::clipboard()->clear();
        rig.exporter.mnuEditKopie_Click();
        QVERIFY(!QGuiApplication::clipboard()->text().isEmpty());
    }

    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::addColumn<int>("reason"); // the system's, in the message
        QTest::newRow("a disk that fills up in the middle of the write") << false << EFBIG;
        QTest::newRow("a read-only folder") << true << EACCES;
    }
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(bool, readOnlyFolder);
        QFETCH(int, reason);
        Rig rig;
        for (int i = 0; i < 50; ++i)
            rig.tables.AddPointToTables({-i * 7, -i * 3});
        rig.oldFile("precious.txt", "1\t2\r\n");
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit small{64, saved.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        {
            std::optional<WithoutPermissionOverride> asUser;
            if (readOnlyFolder) {
                QFile::setPermissions(rig.dir.path(), QFile::ReadOwner | QFile::ExeOwner);
                asUser.emplace();
            } else {
                setrlimit(RLIMIT_FSIZE, &small);
            }
            rig.save("precious.txt");
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QFile::setPermissions(rig.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QCOMPARE(rig.sink.texts(), QStringList{saveError(QString::fromLocal8Bit(std::strerror(reason)))});
        QCOMPARE(rig.sink.shown[0].kind, MessageKind::Error);
        QCOMPARE(rig.saved(), QByteArray("1\t2\r\n"));
        QCOMPARE(QDir(rig.dir.path()).entryList(QDir::Files), QStringList{"precious.txt"}); // no leftovers
    }
};

QTEST_MAIN(TestDataExport)
#include "test_data_export.moc"
