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
    if (answer != Answer::DoubleClickSecond) {
        const auto which = answer == Answer::Ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel;
        return QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(which), Qt::LeftButton);
    }
    const QPoint at = list(dialog)->visualItemRect(list(dialog)->item(1)).center();
    QTest::mouseClick(list(dialog)->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list(dialog)->viewport(), Qt::LeftButton, {}, at);
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
        QTest::addColumn<QString>("chosen"); // empty: none
        QTest::newRow("OK takes the first device") << "" << Answer::Ok << "test:0";
        QTest::newRow("the device used last is selected again") << "test:1" << Answer::Ok << "test:1";
        QTest::newRow("double click chooses that device") << "" << Answer::DoubleClickSecond << "test:1";
        QTest::newRow("Cancel chooses none") << "test:1" << Answer::Cancel << "";
    }
    void selectSourceAnswers()
    {
        QFETCH(QString, preselected);
        QFETCH(Answer, answer);
        QFETCH(QString, chosen);
        delete new ScannerSelectDialog; // closed during its search, which must end without it
        QStringList shownNames;
        whenDialogReady(QStringLiteral("scannerSelectDialog"), listFilled, [&](QWidget *dialog) {
            for (int i = 0; i < list(dialog)->count(); ++i)
                shownNames << list(dialog)->item(i)->text();
            give(dialog, answer);
        });
        const auto device = ScannerSelectDialog::selectSource(nullptr, preselected);
        QCOMPARE(shownNames, QStringList({"Noname frontend-tester (test:0)", "Noname frontend-tester (test:1)"}));
        QCOMPARE(device ? device->name : QString(), chosen);
    }

    // File > Read graphic through the window.
    void scan()
    {
        MainWindowFixture rig;
        QTemporaryDir dir;
        const QString first = dir.filePath(QStringLiteral("first.png"));
        QVERIFY(rig.open() && MainWindowFixture::picture(200, 100).save(first) && rig.window->openFile(first));
        const auto rows = [&] { return rig.window->tables().model().rows(); };
        QString asked = QStringLiteral("<not asked>");
        std::optional<ScanDevice> choice = ScanDevice{QStringLiteral("test:0"), {}, {}, {}};
        ScanOptions options;
        bool tooBig = false;
        partOf<ScannerReading>(*rig.window, "scannerReading")->setScanner({[&](const QString &last) {
            asked = last;
            return choice;
        }, [&](const QString &device) {
            return tooBig ? AcquireResult{std::nullopt, {}, false, true} : acquireWithProgress(rig.window.get(), device, options);
        }});
        const auto read = [&] {
            rig.window->tables().AddPointToTables({-150, -150});
            rig.sink.shown.clear();
            rig.window->menuItems().mnuFileGetFromScanner->trigger();
            return rig.sink.texts();
        };
        QCOMPARE(read(), QStringList());
        QCOMPARE(pictureOf(*rig.window)->image().size(), QSize(78, 39));
        QCOMPARE(pictureOf(*rig.window)->image().format(), QImage::Format_Indexed8);
        QCOMPARE(rows(), 2); // points cleared, headers kept
        QCOMPARE(rig.window->tables().model().cell(PointTableModel::DataPoints, 0, 1), QStringLiteral("Y"));
        QVERIFY(asked.isEmpty());

        // A slow scan cancelled: no message, the dialog open until the device is closed.
        // 3042 bytes in 16-byte reads, 50 ms apiece, waited for on the device's descriptor:
        // about ten seconds when not stopped.
        options = {{"non-blocking", true}, {"select-fd", true}, {"read-limit", true}, {"read-limit-size", 16},
                   {"read-delay", true}, {"read-delay-duration", 50000}};
        bool stayedOpenWhileCancelling = false;
        QString label;
        whenDialogReady(QStringLiteral("scanProgressDialog"), [](QWidget *) { return true; }, [&](QWidget *dialog) {
            give(dialog, Answer::Cancel);
            stayedOpenWhileCancelling = dialog->isVisible();
            label = dialog->findChild<QLabel *>()->text();
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(read(), QStringList());
        QVERIFY2(clock.elapsed() < 5000, "the scan stopped early");
        QVERIFY(stayedOpenWhileCancelling);
        QCOMPARE(label, QStringLiteral("Cancelling ..."));
        QCOMPARE(rows(), 3); // the point kept
        // The device is usable again.
        options.clear();
        QCOMPARE(read(), QStringList());
        QCOMPARE(rows(), 2);

        // The source chosen last is offered again; a cancelled choice is reported.
        choice.reset();
        QCOMPARE(read(), QStringList{"The device was not found, or cancel was selected."});
        QCOMPARE(asked, QStringLiteral("test:0"));
        choice = ScanDevice{QStringLiteral("test:no-such-device"), {}, {}, {}};
        QCOMPARE(read(), QStringList{"TWAIN device not ready"});
        tooBig = true;
        QCOMPARE(read(), QStringList{"The picture is to big. To reduce the size of the picture \r\nto max "
                                     "32760 pixels height and width, select a smaler resolution for the scan."});
        QCOMPARE(rows(), 5);
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));
    }
};

QTEST_MAIN(TestScannerDialogs)
#include "test_scanner_dialogs.moc"
