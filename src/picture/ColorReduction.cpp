#include "picture/ImageOps.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

namespace chartrek {

namespace {

// Entries 0 to 2 are kept for the colours markers are drawn in.
constexpr std::array<QRgb, 3> kReserved{0x000000u, 0xFF0000u, 0x0000FFu};
constexpr int kFreeEntries = 256 - int(kReserved.size());

int reservedIndex(QRgb rgb)
{
    for (int i = 0; i < int(kReserved.size()); ++i) {
        if (kReserved[i] == rgb)
            return i;
    }
    return -1;
}

QList<QRgb> reservedPalette()
{
    QList<QRgb> palette;
    for (QRgb c : kReserved)
        palette.append(0xFF000000u | c);
    return palette;
}

// A picture of few colours keeps each one exactly, in the order they first appear. Gives a
// null image when there are more than fit.
QImage reduceExactly(const QImage &source)
{
    QImage result(source.size(), QImage::Format_Indexed8);
    if (result.isNull())
        return {};
    QList<QRgb> palette = reservedPalette();
    // Open addressing, 1024 slots for at most 256 colours.
    std::array<quint32, 1024> keys;
    std::array<uchar, 1024> values{};
    keys.fill(0xFFFFFFFFu);
    auto indexOf = [&](QRgb rgb) -> int {
        quint32 slot = (rgb * 2654435761u) >> 22;
        while (keys[slot] != 0xFFFFFFFFu) {
            if (keys[slot] == rgb)
                return values[slot];
            slot = (slot + 1) & 1023u;
        }
        int index = reservedIndex(rgb);
        if (index < 0) {
            if (palette.size() >= 256)
                return -1;
            index = int(palette.size());
            palette.append(0xFF000000u | rgb);
        }
        keys[slot] = rgb;
        values[slot] = uchar(index);
        return index;
    };
    for (int y = 0; y < source.height(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        uchar *out = result.scanLine(y);
        QRgb last = 0xFFFFFFFFu;
        int lastIndex = 0;
        for (int x = 0; x < source.width(); ++x) {
            const QRgb rgb = in[x] & 0xFFFFFFu;
            if (rgb != last) {
                lastIndex = indexOf(rgb);
                if (lastIndex < 0)
                    return {};
                last = rgb;
            }
            out[x] = uchar(lastIndex);
        }
    }
    result.setColorTable(palette);
    return result;
}

// Histogram cells: 5 bits per channel, small enough for the table to stay in the cache.
constexpr int kCellBits = 5;
constexpr int kCells = 1 << (3 * kCellBits);

inline int cellOf(QRgb rgb)
{
    constexpr int drop = 8 - kCellBits;
    return ((qRed(rgb) >> drop) << (2 * kCellBits)) | ((qGreen(rgb) >> drop) << kCellBits) | (qBlue(rgb) >> drop);
}

struct Cell {
    int index;
    quint32 count;
};

struct Box {
    int begin;
    int end; // cells[begin, end)
    quint64 population = 0;
    int longestAxis = 0;
    int longestRange = 0;
};

int channel(int cell, int axis)
{
    return (cell >> (kCellBits * (2 - axis))) & ((1 << kCellBits) - 1);
}

void measure(Box &box, const std::vector<Cell> &cells)
{
    std::array<int, 3> lo{255, 255, 255}, hi{0, 0, 0};
    box.population = 0;
    for (int i = box.begin; i < box.end; ++i) {
        box.population += cells[i].count;
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], channel(cells[i].index, a));
            hi[a] = std::max(hi[a], channel(cells[i].index, a));
        }
    }
    box.longestAxis = 0;
    box.longestRange = -1;
    for (int a = 0; a < 3; ++a) {
        if (hi[a] - lo[a] > box.longestRange) {
            box.longestRange = hi[a] - lo[a];
            box.longestAxis = a;
        }
    }
}

// Median cut over the histogram cells: each colour lands in one box, and each box is one
// palette entry, the mean of the colours in it.
QImage reduceByMedianCut(const QImage &source)
{
    std::vector<quint32> count(kCells, 0);
    std::vector<std::array<quint64, 3>> sum(kCells, {0, 0, 0});
    for (int y = 0; y < source.height(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const QRgb rgb = in[x];
            if (reservedIndex(rgb & 0xFFFFFFu) >= 0)
                continue;
            const int cell = cellOf(rgb);
            ++count[cell];
            sum[cell][0] += qRed(rgb);
            sum[cell][1] += qGreen(rgb);
            sum[cell][2] += qBlue(rgb);
        }
    }
    std::vector<Cell> cells;
    for (int i = 0; i < kCells; ++i) {
        if (count[i])
            cells.push_back({i, count[i]});
    }

    std::vector<Box> boxes;
    if (!cells.empty()) {
        boxes.push_back({0, int(cells.size())});
        measure(boxes.back(), cells);
    }
    while (int(boxes.size()) < kFreeEntries) {
        // The most populous box with the widest spread goes first; ties to the earlier box.
        int pick = -1;
        quint64 best = 0;
        for (int i = 0; i < int(boxes.size()); ++i) {
            const quint64 score = boxes[i].population * quint64(boxes[i].longestRange);
            if (boxes[i].end - boxes[i].begin > 1 && score > best) {
                best = score;
                pick = i;
            }
        }
        if (pick < 0)
            break;
        Box &box = boxes[pick];
        const int axis = box.longestAxis;
        std::sort(cells.begin() + box.begin, cells.begin() + box.end, [axis](const Cell &a, const Cell &b) {
            const int ca = channel(a.index, axis), cb = channel(b.index, axis);
            return ca != cb ? ca < cb : a.index < b.index;
        });
        quint64 running = 0;
        int split = box.begin + 1;
        for (int i = box.begin; i < box.end - 1; ++i) {
            running += cells[i].count;
            split = i + 1;
            if (running * 2 >= box.population)
                break;
        }
        Box upper{split, box.end};
        box.end = split;
        measure(box, cells);
        measure(upper, cells);
        boxes.push_back(upper);
    }

    QList<QRgb> palette = reservedPalette();
    std::vector<uchar> lut(kCells, 0);
    for (const Box &box : boxes) {
        std::array<quint64, 3> total{0, 0, 0};
        for (int i = box.begin; i < box.end; ++i) {
            for (int a = 0; a < 3; ++a)
                total[a] += sum[cells[i].index][a];
            lut[cells[i].index] = uchar(palette.size());
        }
        const quint64 n = std::max<quint64>(box.population, 1);
        palette.append(qRgb(int((total[0] + n / 2) / n), int((total[1] + n / 2) / n), int((total[2] + n / 2) / n)));
    }

    QImage result(source.size(), QImage::Format_Indexed8);
    if (result.isNull())
        return {};
    for (int y = 0; y < source.height(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        uchar *out = result.scanLine(y);
        for (int x = 0; x < source.width(); ++x) {
            const QRgb rgb = in[x] & 0xFFFFFFu;
            const int reserved = reservedIndex(rgb);
            out[x] = reserved >= 0 ? uchar(reserved) : lut[cellOf(rgb)];
        }
    }
    result.setColorTable(palette);
    return result;
}

} // namespace

QImage reduceColors(const QImage &image)
{
    if (image.isNull())
        return image;
    QImage source = image;
    if (source.format() != QImage::Format_RGB32 && source.format() != QImage::Format_ARGB32)
        source = source.convertToFormat(QImage::Format_RGB32);
    if (source.isNull())
        return image;
    QImage exact = reduceExactly(source);
    if (!exact.isNull())
        return exact;
    QImage reduced = reduceByMedianCut(source);
    return reduced.isNull() ? image : reduced;
}

} // namespace chartrek
