#include "DialogDriver.h"
#include "MainWindowFixture.h"
#include "ScannerTestSetup.h"
#include "scanner/ScannerReading.h"
#include "scanner/ScanProgress.h"
#include "scanner/ScannerSelectDialog.h"

#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
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

    // File > Read graphic through the window.
    void scan()
    {
        MainWindowFixture rig;
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("first.png"));
        QVERIFY(rig.open() && MainWindowFixture::picture(200, 100).save(first) && rig.window->openFile(first));
        rig.window->tables().AddPointToTables({-150, -150});
        const auto shown = [&] { return pictureOf(*rig.window)->image().size(); };
        ScannerReading &reading = *partOf<ScannerReading>(*rig.window, "scannerReading");
        QString asked = QStringLiteral("<not asked>");
        std::optional<ScanDevice> choice = ScanDevice{QStringLiteral("test:0"), {}, {}, {}};
        ScannerReading::Scanner scanner;
        scanner.selectSource = [&](const QString &last) {
            asked = last;
            return choice;
        };
        scanner.acquire = [&](const QString &device) { return acquireWithProgress(rig.window.get(), device); };
        reading.setScanner(scanner);

        rig.window->menuItems().mnuFileGetFromScanner->trigger();
        QVERIFY(rig.sink.shown.isEmpty());
        QVERIFY(shown().width() > 10);
        QVERIFY(shown() != QSize(200, 100));
        QCOMPARE(rig.window->tables().model().rows(), 2); // points cleared, headers kept
        QCOMPARE(rig.window->tables().model().cell(PointTableModel::DataPoints, 0, 1), QStringLiteral("Y"));
        QCOMPARE(pictureOf(*rig.window)->bitsPerPixel(), 8);
        QVERIFY(asked.isEmpty());

        // The source chosen last is offered again; a cancelled choice is reported.
        choice.reset();
        rig.window->menuItems().mnuFileGetFromScanner->trigger();
        QCOMPARE(asked, QStringLiteral("test:0"));
        QCOMPARE(rig.sink.texts(), QStringList{"The device was not found, or cancel was selected."});

        // A device that cannot scan.
        rig.sink.shown.clear();
        choice = ScanDevice{QStringLiteral("test:no-such-device"), {}, {}, {}};
        const QSize before = shown();
        rig.window->menuItems().mnuFileGetFromScanner->trigger();
        QCOMPARE(rig.sink.texts(), QStringList{"TWAIN device not ready"});
        QCOMPARE(shown(), before);
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));

        // A scan stopped at the size limit.
        rig.sink.shown.clear();
        scanner.acquire = [](const QString &) { return AcquireResult{std::nullopt, {}, false, true}; };
        reading.setScanner(scanner);
        rig.window->menuItems().mnuFileGetFromScanner->trigger();
        QCOMPARE(rig.sink.texts(), QStringList{"The picture is to big. To reduce the size of the picture \r\nto max "
                                               "32760 pixels height and width, select a smaler resolution for the scan."});
        QCOMPARE(shown(), before);
    }
};

QTEST_MAIN(TestScannerDialogs)
#include "test_scanner_dialogs.moc"
