#pragma once

#include <QList>
#include <QString>

#include <memory>

class QTextStream;

namespace Poppler {
class Document;
}

namespace chartrek::pdfpage {

// The helper's exit codes; the program words the messages.
enum Exit { Ok = 0, Usage = 2, Damaged = 3, Locked = 4, NoPages = 5, TooLarge = 6, NotDrawn = 7, NotWritten = 8 };

// The PDF library writes a line for every fault it meets, which a hostile file can make
// hundreds of megabytes; only the last one is kept, for the message.
void quietLibrary();
QString lastLibraryError();

// The document ready to be read: Ok, or why not.
Exit checkDocument(const Poppler::Document *document);

// "pages N", then "size WIDTH HEIGHT COUNT" in points (1/72 inch) for each run of pages of one
// size, so that a document repeating one page a million times lists in one line.
Exit listPages(Poppler::Document &document, QTextStream &out);

// thumb-P.png of at most side pixels for each page P (from 1), each announced with a line
// "thumb P" once it is written, so that the program can show it at once.
Exit drawThumbnails(Poppler::Document &document, const QString &folder, int side, const QList<int> &pages,
                    QTextStream &out);

// Draws page number (from 1) at dpi into the PNG file output, in bands the library can draw;
// a page of more than maxSide pixels a side is refused before drawing. why says what failed.
Exit renderPage(Poppler::Document &document, int number, int dpi, bool smooth, int maxSide, const QString &output,
                QString *why);

} // namespace chartrek::pdfpage
