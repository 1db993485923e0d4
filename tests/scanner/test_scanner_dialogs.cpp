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
#include <QTest>

using namespace chartrek;
using namespace chartrek::test;

namespace {

QListWidget *list(QWidget *dialog) { return dialog->findChild<QListWidget *>(QStringLiteral("scannerList")); }

// Presses a button of the dialog; NoButton double-clicks the second device.
void give(QWidget *dialog, QDialogButtonBox::StandardButton button)
{
    if (button != QDialogButtonBox::NoButton)
        return QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(button), Qt::LeftButton);
    const QPoint at = list(dialog)->visualItemRect(list(dialog)->item(1)).center();
    QTest::mouseClick(list(dialog)->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list(dialog)->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class TestScannerDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTestScanner(); }

    void selectSourceAnswers_data()
    {
        QTest::addColumn<QString>("preselected");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("chosen"); // empty: none
        using B = QDialogButtonBox;
        QTest::newRow("OK takes the first device") << "" << int(B::Ok) << "test:0";
        QTest::newRow("the device used last is selected again") << "test:1" << int(B::Ok) << "test:1";
        QTest::newRow("double click chooses that device") << "" << int(B::NoButton) << "test:1";
        QTest::newRow("Cancel chooses none") << "test:1" << int(B::Cancel) << "";
    }
    void selectSourceAnswers()
    {
        QFETCH(QString, preselected);
        QFETCH(int, answer);
        QFETCH(QString, chosen);
        delete new ScannerSelectDialog; // closed during its search, which must end without it
        QStringList shown;
        whenDialogReady(QStringLiteral("scannerSelectDialog"), [](QWidget *d) { return list(d)->count() > 0; },
                        [&](QWidget *dialog) {
                            for (int i = 0; i < list(dialog)->count(); ++i)
                                shown << list(dialog)->item(i)->text();
                            give(dialog, QDialogButtonBox::StandardButton(answer));
                        });
        const auto device = ScannerSelectDialog::selectSource(nullptr, preselected);
        QCOMPARE(shown, QStringList({"Noname frontend-tester (test:0)", "Noname frontend-tester (test:1)"}));
        QCOMPARE(device ? device->name : QString(), chosen);
    }

    // File > Read graphic through the window; every read adds a point first.
    void scan()
    {
        MainWindowFixture rig;
        QVERIFY(rig.open());
        QString asked;
        std::optional<ScanDevice> choice = ScanDevice{QStringLiteral("test:0"), {}, {}, {}};
        bool tooBig = false;
        // 3042 bytes in 16-byte reads, 50 ms apiece, waited for on the device's descriptor:
        // about ten seconds when not stopped.
        ScanOptions options{{"non-blocking", true}, {"select-fd", true}, {"read-limit", true}, {"read-limit-size", 16},
                            {"read-delay", true}, {"read-delay-duration", 50000}};
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
        const auto rows = [&] { return rig.window->tables().model().rows(); };

        // The slow scan cancelled: no message, the point kept, the dialog open until the device is closed.
        QString label;
        whenDialogReady(QStringLiteral("scanProgressDialog"), [](QWidget *) { return true; }, [&](QWidget *dialog) {
            give(dialog, QDialogButtonBox::Cancel);
            label = dialog->isVisible() ? dialog->findChild<QLabel *>()->text() : QStringLiteral("closed");
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(read(), QStringList());
        QVERIFY2(clock.elapsed() < 5000, "the scan stopped early");
        QCOMPARE(label, QStringLiteral("Cancelling ..."));
        QCOMPARE(rows(), 3);
        // The device is usable again; the picture replaces the points, not the headers.
        options.clear();
        QCOMPARE(read(), QStringList());
        QCOMPARE(pictureOf(*rig.window)->image().size(), QSize(78, 39));
        QCOMPARE(pictureOf(*rig.window)->image().format(), QImage::Format_Indexed8);
        QCOMPARE(rows(), 2);
        QCOMPARE(rig.window->tables().model().cell(PointTableModel::DataPoints, 0, 1), QStringLiteral("Y"));

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
