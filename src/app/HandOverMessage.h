#pragma once

#include <QByteArray>
#include <QString>

namespace chartrek {

// The hand-over message a second instance sends to the running one:
//   4 bytes magic "CHTK", 1 byte version (1), 1 byte kind (1 = hand-over),
//   4 bytes payload length (big-endian), payload = the file path in UTF-8 (may be empty).
// Any local process of the same user can connect, so the reader trusts nothing: a wrong
// magic, version or kind, an oversized length, bad UTF-8 or a NUL in the path is refused.
namespace handover {

inline constexpr int kHeaderSize = 10;
inline constexpr int kMaxPathBytes = 4096;
inline constexpr char kReceipt = 'K';

QByteArray encode(const QString &filePath);

enum class Status { NeedMore, Complete, Invalid };

struct Decoded {
    Status status = Status::NeedMore;
    QString filePath;
    int consumed = 0; // bytes of the input that make up the complete message
};

// Decodes the message at the start of data; data may hold only part of it.
Decoded decode(const QByteArray &data);

} // namespace handover
} // namespace chartrek
