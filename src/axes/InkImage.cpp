#include "axes/InkImage.h"

#include <algorithm>
#include <array>

namespace chartrek {

InkImage::InkImage(const QImage &picture)
{
    const QImage gray = picture.convertToFormat(QImage::Format_Grayscale8);
    mWidth = gray.width();
    mHeight = gray.height();
    mPixels.resize(size_t(mWidth) * size_t(mHeight));
    for (int y = 0; y < mHeight; ++y)
        std::copy_n(gray.constScanLine(y), mWidth, mPixels.data() + size_t(y) * size_t(mWidth));

    // The most frequent level of the margin: a frame drawn round a chart is thin, the margin wide.
    std::array<int, 256> histogram{};
    const int band = std::max(1, std::min(mWidth, mHeight) / 50);
    for (int y = 0; y < mHeight; ++y) {
        const std::uint8_t *line = row(y);
        if (y < band || y >= mHeight - band) {
            for (int x = 0; x < mWidth; ++x)
                ++histogram[line[x]];
            continue;
        }
        for (int k = 0; k < band && k < mWidth; ++k) {
            ++histogram[line[k]];
            ++histogram[line[mWidth - 1 - k]];
        }
    }
    mBackground = int(std::max_element(histogram.begin(), histogram.end()) - histogram.begin());
    mDarkInk = mBackground >= 128;
}

InkImage InkImage::transposed() const
{
    InkImage t;
    t.mWidth = mHeight;
    t.mHeight = mWidth;
    t.mBackground = mBackground;
    t.mDarkInk = mDarkInk;
    t.mPixels.resize(mPixels.size());
    for (int y = 0; y < mHeight; ++y) {
        const std::uint8_t *src = row(y);
        for (int x = 0; x < mWidth; ++x)
            t.mPixels[size_t(x) * size_t(mHeight) + size_t(y)] = src[x];
    }
    return t;
}

} // namespace chartrek
