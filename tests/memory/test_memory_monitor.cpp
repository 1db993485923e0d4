#include "TestSupport.h"
#include "memory/MemoryMonitor.h"
#include "memory/frmMemInfo.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

using namespace chartrek;

namespace {
// A meminfo file with the given kB figures; a status file with the given VmSize.
QByteArray meminfo(quint64 total, quint64 avail, quint64 swap = 2097148, quint64 swapFree = 1048576)
{
    return QStringLiteral("MemTotal:       %1 kB\nMemFree:          123456 kB\nMemAvailable:   %2 kB\n"
                          "SwapCached:            0 kB\nSwapTotal:      %3 kB\nSwapFree:       %4 kB\n")
        .arg(total).arg(avail).arg(swap).arg(swapFree).toLatin1();
}
QByteArray vmSize(quint64 kb)
{
    return QStringLiteral("Name:\tchartrek\nVmPeak:\t  999999 kB\nVmSize:\t %1 kB\n").arg(kb).toLatin1();
}

struct Files {
    QTemporaryDir dir;
    MemorySources sources{dir.filePath("meminfo"), dir.filePath("status"), 1000000000};
    void write(const QByteArray &mem, const QByteArray &status = vmSize(100000))
    {
        for (const auto &[path, text] : {std::pair{sources.meminfoPath, mem}, std::pair{sources.statusPath, status}}) {
            QFile::remove(path);
            QFile file(path);
            if (!text.isNull() && file.open(QIODevice::WriteOnly))
                file.write(text);
        }
    }
};
} // namespace

class TestMemoryMonitor : public QObject {
    Q_OBJECT
private slots:
    void texts_data()
    {
        QTest::addColumn<QByteArray>("mem");
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<quint64>("limit");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<bool>("red");
        // A limit of 10^9 bytes is 976562.5 KB: the one figure with a fraction.
        QTest::newRow("decimal point") << meminfo(16318480, 8159240) << vmSize(100000) << quint64(1000000000)
            << "C" << QStringList{"50 %", "16318480 KB", "8159240 KB", "2097148 KB", "1048576 KB", "976562.5 KB", "876562.5 KB"} << false;
        QTest::newRow("decimal comma, no grouping") << meminfo(16318480, 8159240) << vmSize(100000) << quint64(1000000000)
            << "de_DE" << QStringList{"50 %", "16318480 KB", "8159240 KB", "2097148 KB", "1048576 KB", "976562,5 KB", "876562,5 KB"} << false;
        QTest::newRow("98 % stays normal") << meminfo(1000000, 20000) << vmSize(0) << quint64(1024)
            << "C" << QStringList{"98 %", "1000000 KB", "20000 KB", "2097148 KB", "1048576 KB", "1 KB", "1 KB"} << false;
        QTest::newRow("99 % is nearly full") << meminfo(1000000, 10000) << vmSize(0) << quint64(1024)
            << "C" << QStringList{"99 %", "1000000 KB", "10000 KB", "2097148 KB", "1048576 KB", "1 KB", "1 KB"} << true;
        // 64 GB, 6 GB of swap and the 47-bit address space: each wraps in 32 bits.
        QTest::newRow("above 4 GB, no address limit") << meminfo(67108864, 16777216, 6291456, 6291456) << vmSize(4194304)
            << kUserAddressSpace << "de_DE"
            << QStringList{"75 %", "67108864 KB", "16777216 KB", "6291456 KB", "6291456 KB", "137438953472 KB", "137434759168 KB"} << false;
        QTest::newRow("no /proc: question marks") << QByteArray() << QByteArray() << quint64(1024)
            << "C" << QStringList{"?", "?", "?", "?", "?", "1 KB", "?"} << false;
        QTest::newRow("unreadable lines: question marks") << QByteArray("MemTotal: lots kB\nSwapTotal:\n") << QByteArray("VmSize: 99999999999999999999 kB\n")
            << quint64(1024) << "C" << QStringList{"?", "?", "?", "?", "?", "1 KB", "?"} << false;
    }
    void texts()
    {
        QFETCH(QByteArray, mem);
        QFETCH(QByteArray, status);
        QFETCH(quint64, limit);
        QFETCH(QString, locale);
        QFETCH(QStringList, texts);
        QFETCH(bool, red);
        Files files;
        files.sources.addressLimit = limit;
        files.write(mem, status);
        const MemoryFigures figures = readMemoryFigures(files.sources);
        const auto shown = memoryTexts(figures, QLocale(locale));
        QCOMPARE(QStringList(shown.begin(), shown.end()), texts);
        QCOMPARE(memoryNearlyFull(figures), red);
    }

    // The red field stays red when the load falls again, until the window is closed; the
    // window the next reading creates is hidden and normal.
    void redUntilClosed()
    {
        QWidget owner, grid(&owner), picture(&owner);
        Files files;
        files.write(meminfo(1000000, 10000));
        MemoryMonitor monitor({owner, grid, picture}, files.sources);
        auto window = [&] { return owner.findChild<frmMemInfo *>(QStringLiteral("frmMemInfo")); };
        auto usedColor = [&] { return window()->mUsed->palette().color(QPalette::Base); };
        const QColor normal = QLineEdit().palette().color(QPalette::Base);
        QCOMPARE(window(), nullptr);
        monitor.memTestTimer_Timer();
        QVERIFY(window() && !window()->isVisible());
        QCOMPARE(usedColor(), QColor(Qt::red));
        files.write(meminfo(1000000, 500000));
        monitor.memTestTimer_Timer();
        QCOMPARE(window()->mUsed->text(), "50 %");
        QCOMPARE(usedColor(), QColor(Qt::red));
        QPointer<frmMemInfo> closed = window();
        closed->close();
        QTRY_VERIFY(!closed);
        monitor.memTestTimer_Timer();
        QVERIFY(window() && !window()->isVisible());
        QCOMPARE(usedColor(), normal);
    }
};

QTEST_MAIN(TestMemoryMonitor)
#include "test_memory_monitor.moc"
