#include "scanner/ScannerSelectDialog.h"

#include <QTest>

using namespace chartrek;

// A machine without scanners, told apart from a search that failed: SANE configured with no
// backend at all, in a process of its own, since SANE reads its configuration once a process.
class TestScannerWithoutDevices : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("SANE_CONFIG_DIR", QByteArray(CHARTREK_TEST_DATA "/sane-empty")); }

    void selectSourceSaysNoScannerWasFound()
    {
        QString error;
        QVERIFY(!ScannerSelectDialog::selectSource(nullptr, {}, &error));
        QCOMPARE(error, QStringLiteral("No scanner was found."));
    }
};

QTEST_MAIN(TestScannerWithoutDevices)
#include "test_scanner_without_devices.moc"
