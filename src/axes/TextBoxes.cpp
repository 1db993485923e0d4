#include "axes/TextBoxes.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace chartrek {

void PixelBox::unite(const PixelBox &o)
{
    x0 = std::min(x0, o.x0);
    y0 = std::min(y0, o.y0);
    x1 = std::max(x1, o.x1);
    y1 = std::max(y1, o.y1);
}

namespace {

class UnionFind {
public:
    int add()
    {
        mParent.push_back(int(mParent.size()));
        return mParent.back();
    }
    int find(int i)
    {
        while (mParent[i] != i)
            i = mParent[i] = mParent[mParent[i]];
        return i;
    }
    void join(int a, int b)
    {
        a = find(a);
        b = find(b);
        if (a != b)
            mParent[std::max(a, b)] = std::min(a, b);
    }
    int size() const { return int(mParent.size()); }

private:
    std::vector<int> mParent;
};

struct Run {
    int x0, x1, y, label;
};

} // namespace

std::vector<Blob> findBlobs(const InkImage &image, int threshold, int maxSize)
{
    UnionFind sets;
    std::vector<Run> runs;
    size_t previousBegin = 0, previousEnd = 0;
    for (int y = 0; y < image.height(); ++y) {
        const size_t begin = runs.size();
        size_t p = previousBegin;
        for (int x = 0; x < image.width();) {
            if (image.ink(x, y) < threshold) {
                ++x;
                continue;
            }
            const int x0 = x;
            while (x < image.width() && image.ink(x, y) >= threshold)
                ++x;
            Run run{x0, x, y, sets.add()};
            // 8-connected: runs of the row above that touch [x0 - 1, x] belong to the same blob.
            while (p < previousEnd && runs[p].x1 < x0)
                ++p;
            for (size_t q = p; q < previousEnd && runs[q].x0 <= x; ++q)
                sets.join(run.label, runs[q].label);
            runs.push_back(run);
        }
        previousBegin = begin;
        previousEnd = runs.size();
    }

    std::vector<int> index(sets.size(), -1);
    std::vector<Blob> all;
    for (const Run &run : runs) {
        const int root = sets.find(run.label);
        if (index[root] < 0) {
            index[root] = int(all.size());
            all.push_back({{run.x0, run.y, run.x1, run.y + 1}, 0});
        }
        Blob &b = all[index[root]];
        b.box.unite({run.x0, run.y, run.x1, run.y + 1});
        b.pixels += run.x1 - run.x0;
    }
    std::vector<Blob> blobs;
    for (const Blob &b : all) {
        if (b.box.width() <= maxSize && b.box.height() <= maxSize)
            blobs.push_back(b);
    }
    return blobs;
}

namespace {

bool isBar(const Blob &b, bool horizontal)
{
    const int along = horizontal ? b.box.width() : b.box.height();
    const int across = horizontal ? b.box.height() : b.box.width();
    return along >= 2.5 * across && b.pixels >= 0.7 * b.box.width() * b.box.height();
}

// A tick mark without a frame to hold it (a plot without spines) stands as close to its label
// as the characters of a word stand to each other, and joins it. It is a bar at the label's
// end, a wider gap away than a minus sign stands from its digits: it goes back on its own.
void detachTickMark(std::vector<TextBox> &boxes, size_t index)
{
    if (boxes[index].parts.size() < 2)
        return;
    // The characters' height as written: a turned label's digits stand on their side.
    int height = 0;
    for (const Blob &b : boxes[index].parts) {
        const int longer = std::max(b.box.width(), b.box.height());
        height = std::max(height, std::min(b.box.width(), b.box.height()) < 0.4 * longer ? 0 : longer);
    }
    if (height == 0)
        return;
    for (size_t k = 0; k < boxes[index].parts.size(); ++k) {
        const Blob bar = boxes[index].parts[k];
        PixelBox rest;
        bool first = true;
        for (size_t j = 0; j < boxes[index].parts.size(); ++j) {
            if (j == k)
                continue;
            if (first)
                rest = boxes[index].parts[j].box;
            else
                rest.unite(boxes[index].parts[j].box);
            first = false;
        }
        const bool right = isBar(bar, true) && bar.box.x0 - rest.x1 >= 0.28 * height;
        const bool left = isBar(bar, true) && rest.x0 - bar.box.x1 >= 0.4 * height;
        const bool above = isBar(bar, false) && rest.y0 - bar.box.y1 >= 0.28 * height;
        const bool below = isBar(bar, false) && bar.box.y0 - rest.y1 >= 0.28 * height;
        if (!(right || left || above || below))
            continue;
        TextBox &t = boxes[index];
        t.parts.erase(t.parts.begin() + long(k));
        t.box = rest;
        boxes.push_back({bar.box, {bar}});
        return;
    }
}

} // namespace

std::vector<TextBox> groupBlobs(const std::vector<Blob> &blobs)
{
    std::vector<int> order(blobs.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return blobs[a].box.x0 < blobs[b].box.x0; });
    int largest = 0;
    std::vector<int> sizes;
    for (const Blob &b : blobs) {
        largest = std::max({largest, b.box.width(), b.box.height()});
        sizes.push_back(std::max(b.box.width(), b.box.height()));
    }
    // Most blobs are characters. One far larger than they are (a piece of a curve, a colour
    // bar) reaches no further than a large character would, or it swallows the text beside it.
    int typical = 0;
    if (!sizes.empty()) {
        std::nth_element(sizes.begin(), sizes.begin() + long(sizes.size() / 2), sizes.end());
        typical = sizes[sizes.size() / 2];
    }
    const int sizeCap = 4 * std::max(typical, 4);

    // Two groupings: by nearness alone, and without joins at a corner. The characters of a
    // line overlap across it (a turned line's too, and a slanted one's boxes overlap both ways):
    // blobs diagonally apart, overlapping neither way, are two texts meeting at a corner (an x
    // label below a y label, a turned label above the axis name or a factor) unless they nearly
    // touch (a raised minus).
    UnionFind near, apart;
    for (size_t i = 0; i < blobs.size(); ++i) {
        near.add();
        apart.add();
    }
    auto size = [&](const Blob &b) { return std::min(std::max(b.box.width(), b.box.height()), sizeCap); };
    for (size_t i = 0; i < order.size(); ++i) {
        const Blob &a = blobs[order[i]];
        const double reachA = 0.45 * size(a) + 0.5;
        for (size_t j = i + 1; j < order.size(); ++j) {
            const Blob &b = blobs[order[j]];
            if (b.box.x0 - a.box.x1 > 0.45 * largest + 0.5)
                break;
            const double reach = std::max(reachA, 0.45 * size(b) + 0.5);
            const int gapX = std::max(a.box.x0, b.box.x0) - std::min(a.box.x1, b.box.x1);
            const int gapY = std::max(a.box.y0, b.box.y0) - std::min(a.box.y1, b.box.y1);
            if (gapX > reach || gapY > reach)
                continue;
            near.join(order[i], order[j]);
            if (gapX < 0 || gapY < 0 || std::hypot(gapX, gapY) <= 0.6 * reach)
                apart.join(order[i], order[j]);
        }
    }
    // A group parted at corners into pieces of several characters is several texts; one that
    // falls apart into single blobs is a dashed curve or a hatching, kept whole (and dropped
    // as too long).
    std::vector<int> pieces(blobs.size(), 0), singles(blobs.size(), 0), members(blobs.size(), 0);
    for (size_t i = 0; i < blobs.size(); ++i)
        ++members[apart.find(int(i))];
    for (size_t i = 0; i < blobs.size(); ++i) {
        if (apart.find(int(i)) != int(i))
            continue;
        ++pieces[near.find(int(i))];
        singles[near.find(int(i))] += members[i] == 1 ? 1 : 0;
    }
    auto groupOf = [&](int i) {
        const int whole = near.find(i);
        return pieces[whole] > 1 && singles[whole] <= 1 ? apart.find(i) : whole;
    };

    std::vector<int> index(blobs.size(), -1);
    std::vector<TextBox> boxes;
    for (size_t i = 0; i < blobs.size(); ++i) {
        const int root = groupOf(int(i));
        if (index[root] < 0) {
            index[root] = int(boxes.size());
            boxes.push_back({blobs[i].box, {}});
        }
        TextBox &t = boxes[index[root]];
        t.box.unite(blobs[i].box);
        t.parts.push_back(blobs[i]);
    }
    const size_t grouped = boxes.size();
    for (size_t i = 0; i < grouped; ++i)
        detachTickMark(boxes, i);
    return boxes;
}

} // namespace chartrek
