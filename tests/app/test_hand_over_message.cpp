#include "app/HandOverMessage.h"

#include <QtEndian>
#include <QtTest>

using namespace chartrek;
using handover::Status;

namespace {
// A header with the given fields, then the payload as it stands.
QByteArray message(const QByteArray &magic, quint8 version, quint8 kind, quint32 length,
                   const QByteArray &payload)
{
    QByteArray out = magic;
    out.append(char(version)).append(char(kind));
    char len[4];
    qToBigEndian(length, len);
    out.append(len, 4);
    return out + payload;
}

QByteArray valid(const QByteArray &path)
{
    return message("CHTK", 1, 1, quint32(path.size()), path);
}
} // namespace

class TestHandOverMessage : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void decode_data();
    void decode();
};

void TestHandOverMessage::roundTrip_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("the clipboard request carries no path") << QString();
    QTest::newRow("a plain path arrives unchanged") << QStringLiteral("/home/ana/scan 3.png");
    QTest::newRow("umlauts and other scripts survive") << QStringLiteral("/daten/Messung ÄÖÜ/график.bmp");
    QTest::newRow("a path of the largest size passes")
        << QStringLiteral("/") + QString(handover::kMaxPathBytes - 1, QLatin1Char('a'));
}

void TestHandOverMessage::roundTrip()
{
    QFETCH(QString, path);
    const QByteArray bytes = handover::encode(path);
    const handover::Decoded d = handover::decode(bytes);
    QCOMPARE(d.status, Status::Complete);
    QCOMPARE(d.filePath, path);
    QCOMPARE(d.consumed, bytes.size());
}

void TestHandOverMessage::decode_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<Status>("status");
    QTest::addColumn<QString>("path");

    const QByteArray whole = valid("/tmp/a.png");
    QTest::newRow("nothing yet waits for more") << QByteArray() << Status::NeedMore << QString();
    QTest::newRow("half a header waits for more") << whole.left(7) << Status::NeedMore << QString();
    QTest::newRow("a header without its path waits for more")
        << whole.left(handover::kHeaderSize + 3) << Status::NeedMore << QString();
    QTest::newRow("bytes after the message are not part of it")
        << whole + "trailing" << Status::Complete << QStringLiteral("/tmp/a.png");
    QTest::newRow("a wrong first byte is refused at once") << QByteArray("X") << Status::Invalid << QString();
    QTest::newRow("an HTTP request is refused") << QByteArray("GET / HTTP/1.1\r\n\r\n") << Status::Invalid
                                                << QString();
    QTest::newRow("a later version is refused") << message("CHTK", 2, 1, 0, {}) << Status::Invalid << QString();
    QTest::newRow("an unknown kind is refused") << message("CHTK", 1, 9, 0, {}) << Status::Invalid << QString();
    QTest::newRow("a length past the limit is refused before its bytes come")
        << message("CHTK", 1, 1, handover::kMaxPathBytes + 1, {}) << Status::Invalid << QString();
    QTest::newRow("the largest length a header can state is refused")
        << message("CHTK", 1, 1, 0xFFFFFFFFu, {}) << Status::Invalid << QString();
    QTest::newRow("a NUL inside the path is refused") << valid(QByteArray("/tmp/a\0b", 8)) << Status::Invalid
                                                      << QString();
    QTest::newRow("broken UTF-8 is refused") << valid("/tmp/\xC3\x28.png") << Status::Invalid << QString();
}

void TestHandOverMessage::decode()
{
    QFETCH(QByteArray, input);
    QFETCH(Status, status);
    QFETCH(QString, path);
    const handover::Decoded d = handover::decode(input);
    QCOMPARE(d.status, status);
    QCOMPARE(d.filePath, path);
}

QTEST_GUILESS_MAIN(TestHandOverMessage)
#include "test_hand_over_message.moc"
