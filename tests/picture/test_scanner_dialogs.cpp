#include "DialogDriver.h"
#include "ScannerTestSetup.h"
#include "picture/ScanProgress.h"
#include "picture/ScannerSelectDialog.h"

#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace chartrek;
using namespace chartrek::test;

namespace {

enum class Answer { OkButton, DoubleClickSecond, CancelButton, EscapeKey, CloseWindow };

QPushButton *button(QWidget *dialog, QDialogButtonBox::StandardButton which)
{
    return dialog->findChild<QDialogButtonBox *>()->button(which);
}

bool listFilled(QWidget *dialog)
{
    return dialog->findChild<QListWidget *>(QStringLiteral("scannerList"))->count() > 0;
}

void give(QWidget *dialog, Answer answer)
{
    switch (answer) {
    case Answer::OkButton:
        QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        break;
    case Answer::DoubleClickSecond: {
        auto *list = dialog->findChild<QListWidget *>(QStringLiteral("scannerList"));
        const QRect rect = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        break;
    }
    case Answer::CancelButton:
        QTest::mouseClick(button(dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
        break;
    case Answer::EscapeKey:
        QTest::keyClick(dialog, Qt::Key_Escape);
        break;
    case Answer::CloseWindow:
        dialog->close();
        break;
    }
}

const ScanOptions slowScan{{"read-limit", true}, {"read-limit-size", 16}, {"read-delay", true},
                           {"read-delay-duration", 50000}};

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
        QTest::newRow("OK takes the first device") << "" << Answer::OkButton << "test:0" << "";
        QTest::newRow("the device used last is selected again") << "test:1" << Answer::OkButton << "test:1" << "";
        QTest::newRow("a device that went away selects the first") << "gone:0" << Answer::OkButton << "test:0" << "";
        QTest::newRow("double click chooses that device") << "" << Answer::DoubleClickSecond << "test:1" << "";
        QTest::newRow("Cancel is a failure") << "test:1" << Answer::CancelButton << "" << "cancelled";
        QTest::newRow("Escape is a failure") << "" << Answer::EscapeKey << "" << "cancelled";
        QTest::newRow("closing the window is a failure") << "" << Answer::CloseWindow << "" << "cancelled";
    }

    void selectSourceAnswers()
    {
        QFETCH(QString, preselected);
        QFETCH(Answer, answer);
        QFETCH(QString, chosen);
        QFETCH(QString, error);
        QStringList shownNames;
        whenDialogReady(QStringLiteral("scannerSelectDialog"), listFilled, [&](QWidget *dialog) {
            auto *list = dialog->findChild<QListWidget *>(QStringLiteral("scannerList"));
            for (int i = 0; i < list->count(); ++i)
                shownNames << list->item(i)->text();
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
        whenDialogReady(QStringLiteral("scannerSelectDialog"), listFilled,
                        [](QWidget *next) { give(next, Answer::OkButton); });
        const auto device = ScannerSelectDialog::selectSource(nullptr);
        QVERIFY(device.has_value());
        QCOMPARE(device->name, QStringLiteral("test:0"));
    }

    void acquireGivesThePicture()
    {
        const AcquireResult result = acquireWithProgress(nullptr, QStringLiteral("test:0"));
        QVERIFY2(result.image.has_value(), qPrintable(result.error));
        QCOMPARE(result.image->size(), QSize(78, 39));
        QVERIFY(!result.cancelled);
        QVERIFY(result.error.isEmpty());
    }

    void acquireCanBeCancelled_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("Cancel button") << Answer::CancelButton;
        QTest::newRow("Escape key") << Answer::EscapeKey;
        QTest::newRow("closing the window") << Answer::CloseWindow;
    }

    void acquireCanBeCancelled()
    {
        QFETCH(Answer, answer);
        bool stayedOpenWhileCancelling = false;
        QString label;
        whenDialogReady(QStringLiteral("scanProgressDialog"), [](QWidget *) { return true; }, [&](QWidget *dialog) {
            give(dialog, answer);
            stayedOpenWhileCancelling = dialog->isVisible();
            label = dialog->findChild<QLabel *>()->text();
        });
        QElapsedTimer clock;
        clock.start();
        const AcquireResult result = acquireWithProgress(nullptr, QStringLiteral("test:0"), slowScan);
        QVERIFY2(clock.elapsed() < 5000, "the scan stopped early");
        QVERIFY(result.cancelled);
        QVERIFY(!result.image.has_value());
        QCOMPARE(result.error, QStringLiteral("The scan was cancelled."));
        QVERIFY(stayedOpenWhileCancelling);
        QCOMPARE(label, QStringLiteral("Cancelling ..."));
        // The device is free again.
        QVERIFY(acquireWithProgress(nullptr, QStringLiteral("test:0")).image.has_value());
    }

    void acquireFromAnUnknownDeviceFails()
    {
        const AcquireResult result = acquireWithProgress(nullptr, QStringLiteral("nosuch:0"));
        QVERIFY(!result.image.has_value());
        QVERIFY(!result.cancelled);
        QVERIFY2(result.error.startsWith(QStringLiteral("The scanner \"nosuch:0\" could not be opened: ")),
                 qPrintable(result.error));
    }

    void progressFollowsTheScan()
    {
        QList<int> values;
        whenDialogReady(QStringLiteral("scanProgressDialog"), [](QWidget *) { return true; }, [&](QWidget *dialog) {
            auto *bar = dialog->findChild<QProgressBar *>();
            connect(bar, &QProgressBar::valueChanged, bar, [&values](int v) { values << v; });
        });
        const ScanOptions paced{{"read-limit", true}, {"read-limit-size", 512}, {"read-delay", true},
                                {"read-delay-duration", 20000}};
        QVERIFY(acquireWithProgress(nullptr, QStringLiteral("test:0"), paced).image.has_value());
        QVERIFY2(values.size() >= 3, "several steps between start and end");
        QCOMPARE(values.last(), 100);
    }
};

QTEST_MAIN(TestScannerDialogs)
#include "test_scanner_dialogs.moc"
