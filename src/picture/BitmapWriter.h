#pragma once

#include <QByteArray>
#include <QImage>

namespace chartrek {

// A Windows bitmap of an 8-bit palette picture, written with 8 bits per pixel whatever the
// number of colours (Qt's writer stores a picture of 16 colours or fewer with 4). Empty for
// any other picture.
QByteArray encodeBitmap8(const QImage &image);

} // namespace chartrek
