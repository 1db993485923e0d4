#include "MainWindowFixture.h"

#include "axes/FindAxes.h"
#include "core/ProgramLanguage.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QtTest>

using namespace chartrek;
using namespace chartrek::test;

// Runs under a German system locale (LANG and LC_ALL de_DE.UTF-8, set by the test's registration).
class TestLanguage : public QObject {
    Q_OBJECT
private slots:
    void languageFollowsTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("translated");
        QTest::addColumn<QString>("openTitle");
        QTest::addColumn<QString>("deleteQuestion");
        QTest::addColumn<QString>("deleteItem");
        QTest::addColumn<QString>("qtCancel");
        QTest::addColumn<QString>("getButton");
        QTest::addColumn<QString>("nothingFound");
        QTest::addColumn<QString>("firstCurve");
        QTest::newRow("a German system shows German, Qt's own buttons too")
            << QLocale::system() << true << "Grafik laden:" << "Vorhandene Daten löschen?" << "Daten &löschen"
            << "Abbrechen" << "hole"
            << "Es konnte keine Achse sicher gefunden werden; die Kalibrierung bleibt unverändert." << "Kurve 1";
        const QString nothingFound = QStringLiteral("No axis could be found with certainty; the calibration is unchanged.");
        QTest::newRow("the C locale shows English")
            << QLocale::c() << false << "Open Graphic" << "Delete existing data?" << "De&lete data" << "Cancel" << "get"
            << nothingFound << "Curve 1";
        QTest::newRow("a language without a translation stays English, Qt's buttons too")
            << QLocale(QLocale::French, QLocale::France) << false << "Open Graphic" << "Delete existing data?"
            << "De&lete data" << "Cancel" << "get" << nothingFound << "Curve 1";
    }
    void languageFollowsTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(bool, translated);
        QFETCH(QString, deleteQuestion);
        QCOMPARE(installProgramLanguage(locale), translated);
        MainWindowFixture f;
        QVERIFY(f.open());
        f.window->findChild<QAction *>(QStringLiteral("mnuFileOpen"))->trigger();
        QCOMPARE(f.dialogs.requests.size(), 1);
        QTEST(f.dialogs.requests.first().title, "openTitle");
        auto *deleteData = f.window->findChild<QAction *>(QStringLiteral("mnuEditDelete"));
        QTEST(deleteData->text(), "deleteItem");
        deleteData->trigger();
        QCOMPARE(f.sink.texts(), QStringList{deleteQuestion});
        const QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        QTEST(buttons.button(QDialogButtonBox::Cancel)->text(), "qtCancel");
        QTEST(partOf<QPushButton>(*f.window, "btnGetPoints")->text(), "getButton");
        QTEST(FindAxes::nothingFoundText(), "nothingFound");
        QTEST(f.window->tables().curves().name(0), "firstCurve");
    }
};

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
