#include "app/HandOverMessage.h"

#include <QtEndian>
#include <QtTest>

using namespace chartrek;
using handover::Status;

namespace {
// A header with the given fields, then the payload as it stands.
QByteArray message(quint8 version, quint8 kind, quint32 length, const QByteArray &payload = {})
{
    char len[4];
    qToBigEndian(length, len);
    return QByteArray("CHTK").append(char(version)).append(char(kind)).append(len, 4) + payload;
}

QByteArray valid(const QByteArray &path)
{
    return message(1, 1, quint32(path.size()), path);
}
} // namespace

class TestHandOverMessage : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("the clipboard request carries no path") << QString();
        QTest::newRow("umlauts and other scripts survive") << QStringLiteral("/daten/Messung ÄÖÜ/график.bmp");
        QTest::newRow("a path of the largest size passes")
            << QStringLiteral("/") + QString(handover::kMaxPathBytes - 1, QLatin1Char('a'));
    }
    void roundTrip()
    {
        QFETCH(QString, path);
        const QByteArray bytes = handover::encode(path);
        const handover::Decoded d = handover::decode(bytes);
        QCOMPARE(d.status, Status::Complete);
        QCOMPARE(d.filePath, path);
        QCOMPARE(d.consumed, bytes.size());
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<Status>("status");
        const QByteArray whole = valid("/tmp/a.png");
        QTest::newRow("a header without its path waits for more")
            << whole.left(handover::kHeaderSize + 3) << Status::NeedMore;
        QTest::newRow("bytes after the message are not part of it") << whole + "trailing" << Status::Complete;
        QTest::newRow("an HTTP request is refused") << QByteArray("GET / HTTP/1.1\r\n\r\n") << Status::Invalid;
        QTest::newRow("a later version is refused") << message(2, 1, 0) << Status::Invalid;
        QTest::newRow("an unknown kind is refused") << message(1, 9, 0) << Status::Invalid;
        QTest::newRow("a length past the limit is refused before its bytes come")
            << message(1, 1, handover::kMaxPathBytes + 1) << Status::Invalid;
        QTest::newRow("a NUL inside the path is refused") << valid(QByteArray("/tmp/a\0b", 8)) << Status::Invalid;
        QTest::newRow("broken UTF-8 is refused") << valid("/tmp/\xC3\x28.png") << Status::Invalid;
    }
    void decode()
    {
        QFETCH(QByteArray, input);
        QFETCH(Status, status);
        const handover::Decoded d = handover::decode(input);
        QCOMPARE(d.status, status);
        QCOMPARE(d.filePath, status == Status::Complete ? QStringLiteral("/tmp/a.png") : QString());
    }
};

QTEST_GUILESS_MAIN(TestHandOverMessage)
#include "test_hand_over_message.moc"
