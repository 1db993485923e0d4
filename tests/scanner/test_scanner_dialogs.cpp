#include "DialogDriver.h"
#include "MainWindowFixture.h"
#include "ScannerTestSetup.h"
#include "picture/GraphicLoading.h"
#include "scanner/ScannerReading.h"
#include "scanner/ScanProgress.h"
#include "scanner/ScannerSelectDialog.h"

#include <QtWidgets>

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

    // File > Read graphic through the window; every read adds a point first.
    void scan()
    {
        delete new ScannerSelectDialog; // closed during its search, which must end without it
        MainWindowFixture rig;
        QVERIFY(rig.open());
        QStringList shown; // the device selected when the sources dialog comes up
        QString unknownDevice; // read instead of the chosen one when set
        bool tooBig = false;
        // 3042 bytes in 16-byte reads, 50 ms apiece, waited for on the device's descriptor:
        // about ten seconds when not stopped.
        ScanOptions options{{"non-blocking", true}, {"select-fd", true}, {"read-limit", true}, {"read-limit-size", 16},
                            {"read-delay", true}, {"read-delay-duration", 50000}};
        partOf<ScannerReading>(*rig.window, "scannerReading")->setScanner({[&](const QString &last) {
            return ScannerSelectDialog::selectSource(rig.window.get(), last);
        }, [&](const QString &device) {
            return tooBig ? AcquireResult{std::nullopt, {}, false, true}
                          : acquireWithProgress(rig.window.get(), unknownDevice.isEmpty() ? device : unknownDevice, options);
        }});
        // Answers the sources dialog with `button`; NoButton double-clicks the second device.
        const auto read = [&](QDialogButtonBox::StandardButton button) {
            whenDialogReady(QStringLiteral("scannerSelectDialog"), [](QWidget *d) { return list(d)->count() > 0; },
                            [&shown, button](QWidget *dialog) {
                                shown << list(dialog)->currentItem()->text();
                                give(dialog, button);
                            });
            rig.window->tables().AddPointToTables({-150, -150});
            rig.sink.shown.clear();
            rig.window->menuItems().mnuFileGetFromScanner->trigger();
            return rig.sink.texts();
        };

        // OK takes the first device. The slow scan cancelled: no message, the point kept, the
        // dialog open until the device is closed.
        QString label;
        whenDialogReady(QStringLiteral("scanProgressDialog"), [](QWidget *) { return true; }, [&](QWidget *dialog) {
            give(dialog, QDialogButtonBox::Cancel);
            label = dialog->isVisible() ? dialog->findChild<QLabel *>()->text() : QStringLiteral("closed");
        });
        const QDeadlineTimer early(5000);
        QCOMPARE(read(QDialogButtonBox::Ok), QStringList());
        QVERIFY2(!early.hasExpired(), "the scan stopped early");
        QCOMPARE(label, QStringLiteral("Cancelling ..."));
        QCOMPARE(rig.window->tables().model().rows(), 3);
        // A double click chooses the second device; it is usable again. The picture replaces the
        // points, when the user agrees, not the headers.
        options.clear();
        rig.sink.answers = {AnswerYes};
        QCOMPARE(read(QDialogButtonBox::NoButton), QStringList{GraphicLoading::replaceQuestion()});
        QCOMPARE(pictureOf(*rig.window)->image().size(), QSize(78, 39));
        QCOMPARE(pictureOf(*rig.window)->image().format(), QImage::Format_Indexed8);
        QCOMPARE(rig.window->tables().model().rows(), 2);
        QCOMPARE(rig.window->tables().model().cell(PointTableModel::DataPoints, 0, 1), QStringLiteral("Y"));
        unknownDevice = QStringLiteral("test:no-such-device");
        QCOMPARE(read(QDialogButtonBox::Ok), QStringList{"TWAIN device not ready"});
        QCOMPARE(read(QDialogButtonBox::Cancel), QStringList{"The device was not found, or cancel was selected."});
        // The device used last is selected again.
        const auto device = [](int n) { return QStringLiteral("Noname frontend-tester (test:%1)").arg(n); };
        QCOMPARE(shown, QStringList({device(0), device(0), device(1), device(1)}));
        tooBig = true;
        QCOMPARE(read(QDialogButtonBox::Ok), QStringList{"The picture is too big. To reduce the size of the picture\r\n"
                                                         "to at most 32760 pixels in height and width, select a smaller "
                                                         "resolution for the scan."});
        QCOMPARE(rig.window->tables().model().rows(), 5);
        QCOMPARE(rig.window->state().mToolMode, int(SharedState::PointerTool));
    }
};

QTEST_MAIN(TestScannerDialogs)
#include "test_scanner_dialogs.moc"
