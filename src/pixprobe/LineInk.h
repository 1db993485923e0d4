// Which colours belong to a traced line: one rule for the probe module and the tracer.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace chartrek {

class LineInk {
public:
    // background -1: not known, and only the channels are compared. A `thin` line shows only its
    // faded colour, of which its markers are a stronger shade.
    LineInk(int32_t color, int tolerance, int32_t background = -1, bool thin = false)
        : mColor(color), mTolerance(std::clamp(tolerance, 0, 255)), mBackground(background), mThin(thin)
    {
        if (mTolerance > 0 && background >= 0) {
            chroma(color, mHue);
            double paper[3];
            chroma(background, paper);
            for (int k = 0; k < 3; ++k)
                mHue[k] -= paper[k], mPaper[k] = paper[k];
            mHueSquare = mHue[0] * mHue[0] + mHue[1] * mHue[1] + mHue[2] * mHue[2];
            mHueLimit = std::max({std::abs(mHue[0]), std::abs(mHue[1]), std::abs(mHue[2])});
        }
    }

    // Whether a line of this width, in sixteenths of a pixel (0: not known), is thin: under
    // three quarters of a pixel, where only a pixel here and there keeps much of its colour.
    static bool thin(int32_t width) { return width > 0 && width < 12; }

    int32_t color() const { return mColor; }
    int tolerance() const { return mTolerance; }
    int32_t background() const { return mBackground; }

    // 0 for a colour off the line (and for -1, no colour); otherwise how close it is, from 1
    // (at the tolerance) to the tolerance + 1 (the line colour itself).
    int weight(int32_t c) const
    {
        if (c == mColor)
            return mTolerance + 1;
        if (mTolerance == 0 || c < 0 || c > 0xFFFFFF)
            return 0;
        const int d = distance(c, mColor);
        if (d > mTolerance)
            return deeperHue(c) ? mTolerance / 2 + 1 : mEdges && fadedShade(c, d) ? 1 : 0;
        if (mBackground >= 0 && !sameHue(c))
            return 0;
        return mTolerance + 1 - d;
    }
    bool matches(int32_t c) const { return weight(c) > 0; }
    // The line or its edge: also a paler shade of its hue, up to halfway to the paper, which an
    // anti-aliased line straddling two pixels, or a JPEG's blur, leaves of it beyond the tolerance.
    bool edge(int32_t c) const { return withEdges().matches(c); }
    // The ink that takes the line's edge as the line, with the least weight.
    LineInk withEdges() const
    {
        LineInk ink = *this;
        ink.mEdges = true;
        return ink;
    }
    bool thin() const { return mThin; }

    // The largest difference of one channel.
    static int distance(int32_t a, int32_t b)
    {
        int d = 0;
        for (int shift = 0; shift < 24; shift += 8)
            d = std::max(d, std::abs(((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)));
        return d;
    }

private:
    // A colour less its grey: what is left when its lightness is set aside.
    static void chroma(int32_t c, double out[3])
    {
        const double r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
        const double grey = (r + g + b) / 3;
        out[0] = r - grey, out[1] = g - grey, out[2] = b - grey;
    }

    // A smoothed edge, a JPEG's blur or a thin line's faded colour mixes the line's colour with
    // the paper's: lighter or paler, but of the line's hue. A line of another hue within the
    // tolerance (two muted colours of a JPEG can be) is not: its colour, less the paper's, points
    // elsewhere than the line's, by more than a quarter of the tolerance.
    bool sameHue(int32_t c) const
    {
        double k[3];
        chroma(c, k);
        for (int i = 0; i < 3; ++i)
            k[i] -= mPaper[i];
        const double along = mHueSquare > 0 ? std::max(0.0, (k[0] * mHue[0] + k[1] * mHue[1] + k[2] * mHue[2]) / mHueSquare)
                                            : 0.0;
        const double limit = mTolerance / 4.0 + mHueLimit / 10;
        for (int i = 0; i < 3; ++i) {
            if (std::abs(k[i] - along * mHue[i]) > limit)
                return false;
        }
        return true;
    }

    // A shade of the line's hue, `d` off its colour, within twice the tolerance and at least
    // halfway from the paper.
    bool fadedShade(int32_t c, int d) const
    {
        return mBackground >= 0 && d <= 2 * mTolerance && 2 * distance(c, mBackground) >= distance(mColor, mBackground)
            && sameHue(c);
    }

    // A thin line, faded by a blur or a JPEG's halved colour resolution, is paler than the marker
    // drawn on it in the same colour: a colour of the line's hue but stronger than it, beyond the
    // tolerance, is the line's too. A grey line has no hue to be stronger in.
    bool deeperHue(int32_t c) const
    {
        if (!mThin || mHueLimit < mTolerance / 2.0 || mHueSquare <= 0)
            return false;
        double k[3];
        chroma(c, k);
        for (int i = 0; i < 3; ++i)
            k[i] -= mPaper[i];
        const double along = (k[0] * mHue[0] + k[1] * mHue[1] + k[2] * mHue[2]) / mHueSquare;
        if (along < 1)
            return false;
        const double limit = (mTolerance / 4.0 + mHueLimit / 10) * along;
        for (int i = 0; i < 3; ++i) {
            if (std::abs(k[i] - along * mHue[i]) > limit)
                return false;
        }
        return true;
    }

    int32_t mColor;
    int mTolerance;
    int32_t mBackground;
    bool mThin;
    bool mEdges = false;
    double mHue[3] = {0, 0, 0};
    double mPaper[3] = {0, 0, 0};
    double mHueSquare = 0;
    double mHueLimit = 0;
};

} // namespace chartrek
