#include "TestSupport.h"
#include "app/HandOverMessage.h"
#include "app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QtTest>

#include <algorithm>
#include <optional>

using namespace chartrek;
using namespace chartrek::test;
using handover::Status;

namespace {
// A header with the given fields (the length the path's own unless given), then the path as it stands.
QByteArray message(const QByteArray &path, quint8 version = 1, quint8 kind = 1, qint64 length = -1)
{
    char len[4];
    qToBigEndian(quint32(length < 0 ? path.size() : length), len);
    return QByteArray("CHTK").append(char(version)).append(char(kind)).append(len, 4) + path;
}
} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> mRuntime;

private slots:
    void init() // a runtime folder per test: no test sees another's socket, nor a real instance
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(mRuntime.emplace().path()));
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<Status>("status");
        const QByteArray whole = message("/tmp/a.png");
        QTest::newRow("a header without its path waits for more") << whole.left(handover::kHeaderSize + 3) << Status::NeedMore;
        QTest::newRow("bytes after the message are not part of it") << whole + "trailing" << Status::Complete;
        QTest::newRow("another start is refused") << QByteArray("GET ") + whole.mid(4) << Status::Invalid;
        QTest::newRow("a later version is refused") << message({}, 2) << Status::Invalid;
        QTest::newRow("an unknown kind is refused") << message({}, 1, 9) << Status::Invalid;
        QTest::newRow("a length past the limit is refused before its bytes come")
            << message({}, 1, 1, handover::kMaxPathBytes + 1) << Status::Invalid;
        QTest::newRow("a NUL inside the path is refused") << message(QByteArray("/tmp/a\0b", 8)) << Status::Invalid;
        QTest::newRow("broken UTF-8 is refused") << message("/tmp/\xC3\x28.png") << Status::Invalid;
    }
    void decode()
    {
        QFETCH(QByteArray, input);
        QFETCH(Status, status);
        const handover::Decoded d = handover::decode(input);
        QCOMPARE(d.status, status);
        QCOMPARE(d.filePath, status == Status::Complete ? QStringLiteral("/tmp/a.png") : QString());
    }

    void secondStartHandsOverToFirst_data()
    {
        QTest::addColumn<QByteArray>("badPeer"); // sent first by a peer to be dropped; null: no such peer
        QTest::addColumn<QString>("sent"); // arrives absolute, against the sender's folder
        QTest::newRow("a relative path") << QByteArray() << QStringLiteral("plots/a.bmp");
        const QString scripts = QStringLiteral("/daten/Messung ÄÖÜ/график.bmp");
        QTest::newRow("a path of the largest size") << QByteArray()
                                                    << QLatin1Char('/') + QString(handover::kMaxPathBytes - 1, QLatin1Char('a'));
        QTest::newRow("after a peer sending text") << QByteArray("hello, are you there?\n") << scripts;
        QTest::newRow("after a peer that never sends anything") << QByteArray("") << scripts;
    }
    void secondStartHandsOverToFirst()
    {
        QFETCH(QByteArray, badPeer);
        QFETCH(QString, sent);
        SingleInstance first;
        QVERIFY(first.tryBecomePrimary());
        const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
        QCOMPARE(QFileInfo(first.serverPath()).permissions() & others, QFile::Permissions());
        QSignalSpy spy(&first, &SingleInstance::handOverReceived);
        if (!badPeer.isNull()) {
            QLocalSocket peer;
            QSignalSpy gone(&peer, &QLocalSocket::disconnected);
            peer.connectToServer(first.serverPath());
            QVERIFY(peer.waitForConnected(1000));
            peer.write(badPeer);
            QVERIFY(gone.wait(10000));
            QVERIFY(!peer.readAll().contains(handover::kReceipt));
        }
        QVERIFY(!SingleInstance().tryBecomePrimary());
        QVERIFY(handOverFromAnotherThread(sent));
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QDir::current().absoluteFilePath(sent));
    }

    // A killed instance leaves a socket nobody listens on. Of the starts after it, one replaces
    // that socket and shows its window; every other one hands over, gets a receipt and ends with 0.
    void startsAtTheSameMomentMakeOnePrimary()
    {
        QProcess killed, starts[6];
        killed.start(QStringLiteral(CHARTREK_PROGRAM));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(SingleInstance().serverPath()), 15000);
        killed.kill();
        QVERIFY(killed.waitForFinished() && QFileInfo::exists(SingleInstance().serverPath()));
        for (QProcess &p : starts)
            p.start(QStringLiteral(CHARTREK_PROGRAM));
        const auto ended = [&] { return int(std::ranges::count(starts, QProcess::NotRunning, &QProcess::state)); };
        QTRY_COMPARE_WITH_TIMEOUT(ended(), 5, 30000);
        for (QProcess &p : starts) {
            QCOMPARE(p.state() == QProcess::NotRunning ? p.exitCode() : 0, 0);
            p.kill();
            p.waitForFinished();
        }
    }

    void failedHandOverIsSaidAndFails()
    {
        // Something listens where the running instance would, but hangs up without a receipt.
        QLocalServer fake;
        QVERIFY(fake.listen(SingleInstance().serverPath()));
        connect(&fake, &QLocalServer::newConnection, this, [&] {
            while (QLocalSocket *peer = fake.nextPendingConnection())
                peer->disconnectFromServer();
        });
        QProcess second;
        second.start(QStringLiteral(CHARTREK_PROGRAM), {QStringLiteral("/plot.png")});
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 15000);
        QCOMPARE(second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1, 1);
        QVERIFY2(second.readAllStandardError().contains("did not take the hand-over"), "no reason on stderr");
    }

    void handOversWaitAndComeOnceEachInOrder()
    {
        SingleInstance instance;
        QVERIFY(instance.tryBecomePrimary());
        // The main window connects only once it is built; a second start may come earlier.
        QVERIFY(handOverFromAnotherThread(QStringLiteral("/early")));
        bool hold = false;
        instance.setHold([&] { return hold; });
        QStringList delivered;
        connect(&instance, &SingleInstance::handOverReceived, this, [&](const QString &path) {
            delivered << path;
            if (path == QLatin1String("/a")) {
                instance.deliverWaiting(); // as a dialog of the receiver ending would
                delivered << QStringLiteral("/a handled");
            }
        });
        QTRY_COMPARE(delivered, QStringList{QStringLiteral("/early")});
        hold = true;
        QVERIFY(handOverFromAnotherThread(QStringLiteral("/a")));
        QVERIFY(handOverFromAnotherThread({}));
        QCOMPARE(instance.waitingCount(), 2);
        hold = false;
        instance.deliverWaiting();
        instance.deliverWaiting();
        QCOMPARE(delivered, (QStringList{"/early", "/a", "/a handled", QString()}));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
