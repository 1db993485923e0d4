#include "picture/FileChecks.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace chartrek {

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7u;
constexpr int kPlaceableHeaderBytes = 22;
constexpr int kMetaHeaderBytes = 18;

// The plain metafile header: type 1 (memory) or 2 (disk), 9 words long, version 1 or 3.
bool plainHeader(const uchar *h)
{
    const quint16 type = qFromLittleEndian<quint16>(h);
    const quint16 words = qFromLittleEndian<quint16>(h + 2);
    const quint16 version = qFromLittleEndian<quint16>(h + 4);
    return (type == 1 || type == 2) && words == 9 && (version == 0x0100 || version == 0x0300);
}

// Reads a file forwards in blocks, for walking through its structure without holding all of it.
class ByteWalker {
public:
    explicit ByteWalker(QIODevice &device) : mDevice(device) {}

    // The next byte, -1 at the end of the file.
    int next()
    {
        if (mPos == mBlock.size() && !refill())
            return -1;
        return uchar(mBlock[mPos++]);
    }
    // False when the file ends first.
    bool skip(qint64 count)
    {
        const qint64 buffered = std::min<qint64>(count, mBlock.size() - mPos);
        mPos += buffered;
        count -= buffered;
        return count == 0 || mDevice.skip(count) == count;
    }
    // Moves on to the next 0xFF byte and takes it; false at the end of the file.
    bool takeThroughFF()
    {
        for (;;) {
            const char *from = mBlock.constData() + mPos;
            const void *found = std::memchr(from, 0xFF, size_t(mBlock.size() - mPos));
            if (found) {
                mPos += static_cast<const char *>(found) - from + 1;
                return true;
            }
            if (!refill())
                return false;
        }
    }

private:
    bool refill()
    {
        mBlock = mDevice.read(64 * 1024);
        mPos = 0;
        return !mBlock.isEmpty();
    }

    QIODevice &mDevice;
    QByteArray mBlock;
    qsizetype mPos = 0;
};

// White space as a PDF reader counts it, NUL included.
bool pdfSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\0';
}

} // namespace

// libjpeg would fill a file cut short before the end-of-image marker with grey and call it a
// picture. What follows the marker (a phone's second picture or video) is no part of it. The
// segments are walked from the start: marker segments by their lengths, the coded data of
// each scan up to the next marker that is neither a stuffed 0xFF00 nor a restart marker.
bool jpegComplete(QIODevice &device)
{
    const qint64 start = device.pos();
    ByteWalker walk(device);
    bool complete = false;
    if (walk.next() == 0xFF && walk.next() == 0xD8) {
        for (;;) {
            // Bytes between segments are skipped, as libjpeg skips them.
            if (!walk.takeThroughFF())
                break;
            int marker = walk.next();
            while (marker == 0xFF) // fill bytes before a marker
                marker = walk.next();
            if (marker < 0)
                break;
            if (marker == 0xD9) {
                complete = true;
                break;
            }
            // Stuffed zero bytes and restart markers belong to a scan's coded data; the rest
            // without a length stand alone.
            if (marker == 0x00 || (marker >= 0xD0 && marker <= 0xD8) || marker == 0x01)
                continue;
            const int high = walk.next(), low = walk.next();
            if (high < 0 || low < 0 || ((high << 8) | low) < 2 || !walk.skip(((high << 8) | low) - 2))
                break;
        }
    }
    return device.seek(start) && complete;
}

QSize announcedSize(const QByteArray &head)
{
    const auto *b = reinterpret_cast<const uchar *>(head.constData());
    if (head.size() >= 26 && head.startsWith("BM")) {
        const quint32 infoSize = qFromLittleEndian<quint32>(b + 14);
        qint64 w, h;
        if (infoSize == 12) {
            w = qFromLittleEndian<quint16>(b + 18);
            h = qFromLittleEndian<quint16>(b + 20);
        } else {
            w = qFromLittleEndian<qint32>(b + 18);
            h = qFromLittleEndian<qint32>(b + 22);
        }
        // A negative height means rows top first; the most negative one has no size at all.
        if (w <= 0 || h == 0 || h == std::numeric_limits<qint32>::min())
            return {};
        return QSize(int(std::min<qint64>(w, INT_MAX)), int(std::min<qint64>(std::abs(h), INT_MAX)));
    }
    if (head.size() >= 24 && head.startsWith("\x89PNG\r\n\x1a\n") && head.mid(12, 4) == "IHDR") {
        const quint32 w = qFromBigEndian<quint32>(b + 16), h = qFromBigEndian<quint32>(b + 20);
        return QSize(int(std::min<quint32>(w, INT_MAX)), int(std::min<quint32>(h, INT_MAX)));
    }
    if (head.size() >= 10 && (head.startsWith("GIF87a") || head.startsWith("GIF89a")))
        return QSize(qFromLittleEndian<quint16>(b + 6), qFromLittleEndian<quint16>(b + 8));
    return {};
}

bool looksLikeMetafile(const QByteArray &head)
{
    const auto *bytes = reinterpret_cast<const uchar *>(head.constData());
    if (head.size() >= 4 && qFromLittleEndian<quint32>(bytes) == kPlaceableKey)
        return true;
    return head.size() >= 6 && plainHeader(bytes);
}

MetafileHeader checkMetafileHeader(const QByteArray &head, qint64 fileSize)
{
    const auto *bytes = reinterpret_cast<const uchar *>(head.constData());
    qint64 offset = 0;
    if (head.size() >= 4 && qFromLittleEndian<quint32>(bytes) == kPlaceableKey)
        offset = kPlaceableHeaderBytes;
    if (head.size() < offset + kMetaHeaderBytes || !plainHeader(bytes + offset))
        return MetafileHeader::NotMetafile;
    const qint64 declared = qint64(qFromLittleEndian<quint32>(bytes + offset + 6)) * 2;
    if (declared < kMetaHeaderBytes || offset + declared > fileSize)
        return MetafileHeader::Incomplete;
    return MetafileHeader::Sound;
}

bool looksLikePdf(const QByteArray &head)
{
    // The header may follow some bytes of other matter, within the first kilobyte.
    return head.left(1024).contains("%PDF-");
}

bool pdfComplete(QIODevice &device)
{
    // Backwards over the padding, a block at a time, to the last byte of anything else.
    constexpr qint64 kBlock = 64 * 1024;
    qint64 end = device.size();
    while (end > 0) {
        const qint64 from = std::max<qint64>(0, end - kBlock);
        if (!device.seek(from))
            return false;
        const QByteArray block = device.read(end - from);
        if (block.size() != end - from)
            return false;
        qsizetype i = block.size();
        while (i > 0 && pdfSpace(block[i - 1]))
            --i;
        if (i > 0) {
            end = from + i;
            break;
        }
        end = from;
    }
    constexpr qint64 kMarker = 5;
    return end >= kMarker && device.seek(end - kMarker) && device.read(kMarker) == "%%EOF";
}

} // namespace chartrek
