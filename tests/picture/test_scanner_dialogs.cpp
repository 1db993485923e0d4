#include "DialogDriver.h"
#include "ScannerTestSetup.h"
#include "picture/ScanProgress.h"
#include "picture/ScannerSelectDialog.h"

#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace chartrek;
using namespace chartrek::test;

namespace {

enum class Answer { Ok, DoubleClickSecond, Cancel };

QListWidget *list(QWidget *dialog) { return dialog->findChild<QListWidget *>(QStringLiteral("scannerList")); }
bool listFilled(QWidget *dialog) { return list(dialog)->count() > 0; }

void give(QWidget *dialog, Answer answer)
{
    auto *buttons = dialog->findChild<QDialogButtonBox *>();
    if (answer == Answer::DoubleClickSecond) {
        const QPoint at = list(dialog)->visualItemRect(list(dialog)->item(1)).center();
        QTest::mouseClick(list(dialog)->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list(dialog)->viewport(), Qt::LeftButton, {}, at);
    } else {
        QTest::mouseClick(buttons->button(answer == Answer::Ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                          Qt::LeftButton);
    }
}

} // namespace

Q_DECLARE_METATYPE(Answer)

class TestScannerDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTestScanner(); }

    void selectSourceAnswers_data()
    {
        QTest::addColumn<QString>("preselected");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("error");
        QTest::newRow("OK takes the first device") << "" << Answer::Ok << "test:0" << "";
        QTest::newRow("the device used last is selected again") << "test:1" << Answer::Ok << "test:1" << "";
        QTest::newRow("a device that went away selects the first") << "gone:0" << Answer::Ok << "test:0" << "";
        QTest::newRow("double click chooses that device") << "" << Answer::DoubleClickSecond << "test:1" << "";
        QTest::newRow("Cancel is a failure") << "test:1" << Answer::Cancel << "" << "cancelled";
    }
    void selectSourceAnswers()
    {
        QFETCH(QString, preselected);
        QFETCH(Answer, answer);
        QFETCH(QString, chosen);
        QFETCH(QString, error);
        QStringList shownNames;
        whenDialogReady(QStringLiteral("scannerSelectDialog"), listFilled, [&](QWidget *dialog) {
            for (int i = 0; i < list(dialog)->count(); ++i)
                shownNames << list(dialog)->item(i)->text();
            give(dialog, answer);
        });
        QString actualError;
        const auto device = ScannerSelectDialog::selectSource(nullptr, preselected, &actualError);
        QCOMPARE(shownNames, QStringList({"Noname frontend-tester (test:0)", "Noname frontend-tester (test:1)"}));
        QCOMPARE(device ? device->name : QString(), chosen);
        QCOMPARE(actualError, error);
    }

    void dialogClosedDuringTheSearchLeavesNothingBehind()
    {
        auto *dialog = new ScannerSelectDialog;
        dialog->show();
        delete dialog; // the search may still run; it must end on its own without the dialog
        whenDialogReady(QStringLiteral("scannerSelectDialog"), listFilled, [](QWidget *next) { give(next, Answer::Ok); });
        const auto device = ScannerSelectDialog::selectSource(nullptr);
        QCOMPARE(device ? device->name : QString(), QStringLiteral("test:0"));
    }

    void cancelledScanLeavesTheDeviceUsable()
    {
        bool stayedOpenWhileCancelling = false;
        QString label;
        whenDialogReady(QStringLiteral("scanProgressDialog"), [](QWidget *) { return true; }, [&](QWidget *dialog) {
            give(dialog, Answer::Cancel);
            stayedOpenWhileCancelling = dialog->isVisible();
            label = dialog->findChild<QLabel *>()->text();
        });
        QElapsedTimer clock;
        clock.start();
        const ScanOptions slow{{"read-limit", true}, {"read-limit-size", 16}, {"read-delay", true},
                               {"read-delay-duration", 50000}};
        const AcquireResult result = acquireWithProgress(nullptr, QStringLiteral("test:0"), slow);
        QVERIFY2(clock.elapsed() < 5000, "the scan stopped early");
        QVERIFY(result.cancelled);
        QVERIFY(!result.image.has_value());
        QCOMPARE(result.error, QStringLiteral("The scan was cancelled."));
        QVERIFY(stayedOpenWhileCancelling);
        QCOMPARE(label, QStringLiteral("Cancelling ..."));
        const AcquireResult again = acquireWithProgress(nullptr, QStringLiteral("test:0"));
        QCOMPARE(again.image ? again.image->size() : QSize(), QSize(78, 39));
    }
};

QTEST_MAIN(TestScannerDialogs)
#include "test_scanner_dialogs.moc"
