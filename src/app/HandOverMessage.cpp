#include "app/HandOverMessage.h"

#include <QStringDecoder>
#include <QtEndian>

namespace chartrek::handover {

namespace {
constexpr char kMagic[4] = {'C', 'H', 'T', 'K'};
constexpr quint8 kVersion = 1;
constexpr quint8 kKindHandOver = 1;
} // namespace

QByteArray encode(const QString &filePath)
{
    const QByteArray path = filePath.toUtf8();
    QByteArray out(kHeaderSize, '\0');
    std::copy(std::begin(kMagic), std::end(kMagic), out.begin());
    out[4] = char(kVersion);
    out[5] = char(kKindHandOver);
    qToBigEndian<quint32>(quint32(path.size()), out.data() + 6);
    return out + path;
}

Decoded decode(const QByteArray &data)
{
    Decoded result;
    // Refuse a wrong start as soon as its bytes are there, not only once a header is complete.
    const int known = int(std::min<qsizetype>(data.size(), 4));
    if (!std::equal(data.begin(), data.begin() + known, std::begin(kMagic)))
        return {Status::Invalid, {}, 0};
    if (data.size() > 4 && quint8(data[4]) != kVersion)
        return {Status::Invalid, {}, 0};
    if (data.size() > 5 && quint8(data[5]) != kKindHandOver)
        return {Status::Invalid, {}, 0};
    if (data.size() < kHeaderSize)
        return result;

    const quint32 length = qFromBigEndian<quint32>(data.constData() + 6);
    if (length > quint32(kMaxPathBytes))
        return {Status::Invalid, {}, 0};
    if (data.size() < kHeaderSize + qsizetype(length))
        return result;

    const QByteArray path = data.mid(kHeaderSize, length);
    if (path.contains('\0'))
        return {Status::Invalid, {}, 0};
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(path);
    if (utf8.hasError())
        return {Status::Invalid, {}, 0};
    return {Status::Complete, text, kHeaderSize + int(length)};
}

} // namespace chartrek::handover
