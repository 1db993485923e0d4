#include "TestSupport.h"
#include "memory/MemoryMonitor.h"
#include "memory/frmMemInfo.h"

#include <QLineEdit>
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
QByteArray vmSize(quint64 kb) { return "VmPeak:\t  999999 kB\nVmSize:\t " + QByteArray::number(kb) + " kB\n"; }

// The two files, the address limit and the locale; the texts then, and whether Used is red.
struct Reading { QByteArray mem, status; quint64 limit; QString locale; QStringList texts; bool red = false; };

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
        QTest::addColumn<Reading>("r");
        // A limit of 10^9 bytes is 976562.5 KB: the one figure with a fraction.
        QTest::newRow("decimal point") << Reading{meminfo(16318480, 8159240), vmSize(100000), 1000000000, "C",
            {"50 %", "16318480 KB", "8159240 KB", "2097148 KB", "1048576 KB", "976562.5 KB", "876562.5 KB"}};
        QTest::newRow("decimal comma, no grouping") << Reading{meminfo(16318480, 8159240), vmSize(100000), 1000000000, "de_DE",
            {"50 %", "16318480 KB", "8159240 KB", "2097148 KB", "1048576 KB", "976562,5 KB", "876562,5 KB"}};
        QTest::newRow("98 % stays normal") << Reading{meminfo(1000000, 20000), vmSize(0), 1024, "C",
            {"98 %", "1000000 KB", "20000 KB", "2097148 KB", "1048576 KB", "1 KB", "1 KB"}};
        QTest::newRow("99 % is nearly full") << Reading{meminfo(1000000, 10000), vmSize(0), 1024, "C",
            {"99 %", "1000000 KB", "10000 KB", "2097148 KB", "1048576 KB", "1 KB", "1 KB"}, true};
        // 64 GB, 6 GB of swap and the 47-bit address space: each wraps in 32 bits.
        QTest::newRow("above 4 GB, no address limit") << Reading{meminfo(67108864, 16777216, 6291456, 6291456),
            vmSize(4194304), kUserAddressSpace, "de_DE",
            {"75 %", "67108864 KB", "16777216 KB", "6291456 KB", "6291456 KB", "137438953472 KB", "137434759168 KB"}};
        QTest::newRow("no /proc: question marks") << Reading{{}, {}, 1024, "C", {"?", "?", "?", "?", "?", "1 KB", "?"}};
        QTest::newRow("unreadable lines: question marks") << Reading{"MemTotal: lots kB\nSwapTotal:\n",
            "VmSize: 99999999999999999999 kB\n", 1024, "C", {"?", "?", "?", "?", "?", "1 KB", "?"}};
    }
    void texts()
    {
        QFETCH(Reading, r);
        Files files;
        files.sources.addressLimit = r.limit;
        files.write(r.mem, r.status);
        const MemoryFigures figures = readMemoryFigures(files.sources);
        const auto shown = memoryTexts(figures, QLocale(r.locale));
        QCOMPARE(QStringList(shown.begin(), shown.end()), r.texts);
        QCOMPARE(memoryNearlyFull(figures), r.red);
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
        monitor.memTestTimer_Timer();
        QVERIFY(window() && !window()->isVisible());
        QCOMPARE(usedColor(), QColor(Qt::red));
        files.write(meminfo(1000000, 500000));
        monitor.memTestTimer_Timer();
        QCOMPARE(usedColor(), QColor(Qt::red));
        QPointer<frmMemInfo> closed = window();
        closed->close();
        QTRY_VERIFY(!closed);
        monitor.memTestTimer_Timer();
        QVERIFY(window() && !window()->isVisible());
        QCOMPARE_NE(usedColor(), QColor(Qt::red));
    }
};

QTEST_MAIN(TestMemoryMonitor)
#include "test_memory_monitor.moc"
