#pragma once

#include "axes/InkImage.h"

#include <vector>

namespace chartrek {

// A rectangle of pixels, right and bottom exclusive.
struct PixelBox {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
    double centerX() const { return 0.5 * (x0 + x1); }
    double centerY() const { return 0.5 * (y0 + y1); }
    void unite(const PixelBox &o);
};

// One connected patch of ink small enough to be (part of) a character.
struct Blob {
    PixelBox box;
    int pixels = 0;
};

// Blobs that lie close enough together to be one piece of text: a tick label, a word, a line.
struct TextBox {
    PixelBox box;
    std::vector<Blob> parts;
};

// The 8-connected patches of pixels whose ink reaches `threshold`, none wider or taller than
// `maxSize` (longer patches are lines, frames and curves).
std::vector<Blob> findBlobs(const InkImage &image, int threshold, int maxSize);

// Joins blobs whose gap is small against the larger one's size, as the characters of a word are.
std::vector<TextBox> groupBlobs(const std::vector<Blob> &blobs);

} // namespace chartrek
