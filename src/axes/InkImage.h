#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

namespace chartrek {

// A picture as 8-bit luminance, with the luminance of its background (what most of its margin
// shows). Ink is what is darker than a light background or lighter than a dark one, so that
// light text on a dark figure reads like dark text on a light one, and a plot area lighter
// than a grey figure is not taken for ink.
class InkImage {
public:
    InkImage() = default;
    explicit InkImage(const QImage &picture);

    int width() const { return mWidth; }
    int height() const { return mHeight; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < mWidth && y < mHeight; }
    int at(int x, int y) const { return mPixels[size_t(y) * size_t(mWidth) + size_t(x)]; }
    const std::uint8_t *row(int y) const { return mPixels.data() + size_t(y) * size_t(mWidth); }
    int background() const { return mBackground; }
    int ink(int x, int y) const { return std::max(0, mDarkInk ? mBackground - at(x, y) : at(x, y) - mBackground); }
    bool darkInk() const { return mDarkInk; }

    // The same picture with x and y exchanged: the y axis's search runs as the x axis's does.
    InkImage transposed() const;

private:
    int mWidth = 0;
    int mHeight = 0;
    int mBackground = 255;
    bool mDarkInk = true;
    std::vector<std::uint8_t> mPixels;
};

} // namespace chartrek
