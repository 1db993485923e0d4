#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace chartrek {

// Layout and picture positions are in twips, 15 to a device-independent pixel (one picture
// pixel at the 1:1 view), so that every layout number and tolerance keeps its design meaning.
constexpr int kTwipsPerPixel = 15;

// The nearest whole pixel of a twips position.
constexpr int toPixels(int twips)
{
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

// Division rounding towards minus infinity: the pixel a twips position lies in, also left of
// or above the picture. Clamped to int.
constexpr int floorDiv(std::int64_t value, std::int64_t divisor)
{
    std::int64_t q = value / divisor;
    if (value % divisor != 0 && (value < 0) != (divisor < 0))
        --q;
    return int(std::clamp<std::int64_t>(q, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace chartrek
