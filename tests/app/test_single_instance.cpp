#include "app/HandOverMessage.h"
#include "app/SingleInstance.h"

#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <memory>

using namespace chartrek;

namespace {
// sendHandOver blocks until the running instance answers; that instance lives on this
// thread, so the second one sends from a thread of its own while the test's event loop runs.
bool handOverFromAnotherThread(const QString &path)
{
    bool ok = false;
    std::unique_ptr<QThread> thread(QThread::create([&ok, path] {
        SingleInstance second;
        ok = second.sendHandOver(path);
    }));
    QSignalSpy finished(thread.get(), &QThread::finished);
    thread->start();
    if (!finished.wait(10000))
        qFatal("hand-over thread hung");
    return ok;
}

// What an instance killed without cleaning up leaves: a socket file nobody listens on.
void leaveDeadSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    qstrncpy(addr.sun_path, QFile::encodeName(path).constData(), sizeof addr.sun_path);
    QCOMPARE_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    QCOMPARE_EQ(::listen(fd, 1), 0);
    ::close(fd);
}

QStringList lines(QProcess &p)
{
    return QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void secondStartHandsOverToFirst_data();
    void secondStartHandsOverToFirst();
    void leftoverAtSocketPathIsReplaced_data();
    void leftoverAtSocketPathIsReplaced();
    void instanceKilledWithoutCleanupIsReplaced();
    void startsAtTheSameMomentMakeOnePrimary();
    void handOverWithNobodyListeningFails();
    void socketIsPrivateToUser();
    void badPeerIsDroppedAndServiceGoesOn_data();
    void badPeerIsDroppedAndServiceGoesOn();
    void deferredHandOversWaitAndComeOnceEach();
    void receiverDeferringAgainHoldsTheRest();
    void handOverBeforeAnyReceiverWaitsForOne();

private:
    std::unique_ptr<QTemporaryDir> mRuntime;
};

void TestSingleInstance::init()
{
    // A private runtime folder per test: no test sees another's socket, nor a real instance.
    mRuntime = std::make_unique<QTemporaryDir>();
    QVERIFY(mRuntime->isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(mRuntime->path()));
}

void TestSingleInstance::cleanup()
{
    mRuntime.reset();
}

void TestSingleInstance::secondStartHandsOverToFirst_data()
{
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("received");
    QTest::newRow("no file asks for the clipboard picture") << QString() << QString();
    QTest::newRow("an absolute path arrives as sent")
        << QStringLiteral("/data/scan 1.png") << QStringLiteral("/data/scan 1.png");
    QTest::newRow("a relative path arrives absolute, against the sender's folder")
        << QStringLiteral("plots/a.bmp") << QDir::current().absoluteFilePath(QStringLiteral("plots/a.bmp"));
    QTest::newRow("a path in other scripts arrives intact")
        << QStringLiteral("/daten/Größe/график.jpg") << QStringLiteral("/daten/Größe/график.jpg");
}

void TestSingleInstance::secondStartHandsOverToFirst()
{
    QFETCH(QString, sent);
    QFETCH(QString, received);

    SingleInstance first;
    QVERIFY(first.tryBecomePrimary());
    QVERIFY2(first.isListening(), qPrintable(first.errorString()));
    QSignalSpy spy(&first, &SingleInstance::handOverReceived);

    SingleInstance second;
    QVERIFY(!second.tryBecomePrimary());
    QVERIFY(!second.isListening());

    QVERIFY(handOverFromAnotherThread(sent));
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), received);
    QVERIFY(first.isListening());
}

void TestSingleInstance::leftoverAtSocketPathIsReplaced_data()
{
    QTest::addColumn<bool>("socket");
    QTest::newRow("a socket nobody listens on") << true;
    QTest::newRow("a plain file") << false;
}

void TestSingleInstance::leftoverAtSocketPathIsReplaced()
{
    QFETCH(bool, socket);
    SingleInstance instance;
    if (socket) {
        leaveDeadSocket(instance.serverPath());
    } else {
        QFile junk(instance.serverPath());
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("left over");
    }
    QVERIFY(QFileInfo::exists(instance.serverPath()));

    QVERIFY(instance.tryBecomePrimary());
    QVERIFY2(instance.isListening(), qPrintable(instance.errorString()));
    QSignalSpy spy(&instance, &SingleInstance::handOverReceived);
    QVERIFY(handOverFromAnotherThread(QStringLiteral("/x.png")));
    QTRY_COMPARE(spy.count(), 1);
}

void TestSingleInstance::instanceKilledWithoutCleanupIsReplaced()
{
    QProcess killed;
    killed.start(QStringLiteral(CHARTREK_PROBE), {QStringLiteral("1000")});
    QVERIFY(killed.waitForStarted());
    QTRY_VERIFY(killed.canReadLine());
    QCOMPARE(killed.readLine().trimmed(), QByteArray("primary"));
    killed.kill();
    QVERIFY(killed.waitForFinished());

    SingleInstance instance;
    QVERIFY(QFileInfo::exists(instance.serverPath()));
    QVERIFY(instance.tryBecomePrimary());
    QVERIFY2(instance.isListening(), qPrintable(instance.errorString()));
}

void TestSingleInstance::startsAtTheSameMomentMakeOnePrimary()
{
    constexpr int kStarts = 6;
    std::vector<std::unique_ptr<QProcess>> starts;
    for (int i = 0; i < kStarts; ++i) {
        starts.push_back(std::make_unique<QProcess>());
        starts.back()->start(QStringLiteral(CHARTREK_PROBE),
                             {QString::number(kStarts - 1), QStringLiteral("/f%1").arg(i)});
    }
    QStringList firstLines;
    int received = 0;
    for (auto &p : starts) {
        QVERIFY(p->waitForFinished(30000));
        QCOMPARE(p->exitCode(), 0);
        const QStringList out = lines(*p);
        QVERIFY(!out.isEmpty());
        firstLines << out.first();
        received += int(out.filter(QStringLiteral("received:")).size());
    }
    QCOMPARE(firstLines.count(QStringLiteral("primary")), 1);
    QCOMPARE(firstLines.count(QStringLiteral("sent")), kStarts - 1);
    QCOMPARE(received, kStarts - 1);
}

void TestSingleInstance::handOverWithNobodyListeningFails()
{
    SingleInstance alone;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!alone.sendHandOver({}, 2000));
    QCOMPARE_LT(clock.elapsed(), 2000);
}

void TestSingleInstance::socketIsPrivateToUser()
{
    SingleInstance instance;
    QVERIFY(instance.tryBecomePrimary());
    const QFile::Permissions perms = QFileInfo(instance.serverPath()).permissions();
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup
                                      | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(perms & others, QFile::Permissions());
}

void TestSingleInstance::badPeerIsDroppedAndServiceGoesOn_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::newRow("text instead of a message") << QByteArray("hello, are you there?\n");
    QTest::newRow("a header stating a huge path")
        << QByteArray::fromHex("4348544b0101ffffffff") + QByteArray(64, 'a');
    QTest::newRow("far more bytes than a message may have") << QByteArray(1 << 20, 'C');
    QTest::newRow("a path that is not UTF-8") << QByteArray::fromHex("4348544b010100000002c328");
    QTest::newRow("a peer that never sends anything") << QByteArray();
}

void TestSingleInstance::badPeerIsDroppedAndServiceGoesOn()
{
    QFETCH(QByteArray, input);
    SingleInstance instance;
    QVERIFY(instance.tryBecomePrimary());
    QSignalSpy spy(&instance, &SingleInstance::handOverReceived);

    QLocalSocket peer;
    QSignalSpy gone(&peer, &QLocalSocket::disconnected);
    peer.connectToServer(instance.serverPath());
    QVERIFY(peer.waitForConnected(1000));
    peer.write(input);
    QVERIFY(gone.wait(10000));
    QCOMPARE(spy.count(), 0);
    QVERIFY(!peer.readAll().contains(handover::kReceipt));

    QVERIFY(handOverFromAnotherThread(QStringLiteral("/after.png")));
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("/after.png"));
}

void TestSingleInstance::deferredHandOversWaitAndComeOnceEach()
{
    SingleInstance instance;
    QVERIFY(instance.tryBecomePrimary());
    QSignalSpy spy(&instance, &SingleInstance::handOverReceived);

    instance.setDeferred(true);
    QVERIFY(handOverFromAnotherThread(QStringLiteral("/one.png")));
    QVERIFY(handOverFromAnotherThread({}));
    QCoreApplication::processEvents();
    QCOMPARE(spy.count(), 0);

    instance.setDeferred(false);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("/one.png"));
    QCOMPARE(spy.at(1).at(0).toString(), QString());

    instance.setDeferred(true);
    instance.setDeferred(false);
    QCOMPARE(spy.count(), 2);

    QVERIFY(handOverFromAnotherThread(QStringLiteral("/later.png")));
    QTRY_COMPARE(spy.count(), 3);
}

void TestSingleInstance::receiverDeferringAgainHoldsTheRest()
{
    SingleInstance instance;
    QVERIFY(instance.tryBecomePrimary());
    QStringList delivered;
    // The first hand-over starts a long operation, which defers the rest.
    connect(&instance, &SingleInstance::handOverReceived, this, [&](const QString &path) {
        delivered << path;
        if (delivered.size() == 1)
            instance.setDeferred(true);
    });

    instance.setDeferred(true);
    QVERIFY(handOverFromAnotherThread(QStringLiteral("/a")));
    QVERIFY(handOverFromAnotherThread(QStringLiteral("/b")));
    instance.setDeferred(false);
    QCOMPARE(delivered, QStringList{QStringLiteral("/a")});
    instance.setDeferred(false);
    QCOMPARE(delivered, (QStringList{QStringLiteral("/a"), QStringLiteral("/b")}));
}

void TestSingleInstance::handOverBeforeAnyReceiverWaitsForOne()
{
    // The main window connects only once it is built; a second start may come earlier.
    SingleInstance instance;
    QVERIFY(instance.tryBecomePrimary());
    QVERIFY(handOverFromAnotherThread(QStringLiteral("/early.png")));

    QSignalSpy spy(&instance, &SingleInstance::handOverReceived);
    QCOMPARE(spy.count(), 0);
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("/early.png"));
    QCoreApplication::processEvents();
    QCOMPARE(spy.count(), 1);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
