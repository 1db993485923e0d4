#pragma once

#include <QByteArray>
#include <QSize>

class QIODevice;

namespace chartrek {

// The checks a file written by a stranger passes before a decoder or a helper sees it. They
// read the bytes and nothing else, so that each can be tried on any input.

// A JPEG ends with its end-of-image marker after the last scan. The device is left where it
// was found.
bool jpegComplete(QIODevice &device);

// The size a BMP, PNG or GIF header announces, for formats whose reader refuses to tell a very
// large one; invalid when the header tells none.
QSize announcedSize(const QByteArray &head);

// True when the first bytes are those of a metafile (placeable or plain).
bool looksLikeMetafile(const QByteArray &head);

enum class MetafileHeader { Sound, NotMetafile, Incomplete };

// The header of a metafile, and a file no shorter than the size it gives.
MetafileHeader checkMetafileHeader(const QByteArray &head, qint64 fileSize);

// True when the first kilobyte holds the PDF header.
bool looksLikePdf(const QByteArray &head);

// A PDF document ends with an end-of-file marker followed by nothing but white space or NUL
// bytes; a file cut short lacks it. The device's position is not kept.
bool pdfComplete(QIODevice &device);

} // namespace chartrek
