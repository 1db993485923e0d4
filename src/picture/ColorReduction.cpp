#include "picture/ImageOps.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <system_error>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace chartrek {

namespace {

// Entries 0 to 2 are kept for the colours markers are drawn in.
constexpr std::array<QRgb, 3> kReserved{0x000000u, 0xFF0000u, 0x0000FFu};
constexpr int kFreeEntries = 256 - int(kReserved.size());

// Colours here are 0x00RRGGBB.
inline int reservedIndex(QRgb rgb)
{
    return rgb == kReserved[0] ? 0 : rgb == kReserved[1] ? 1 : rgb == kReserved[2] ? 2 : -1;
}

QList<QRgb> reservedPalette()
{
    QList<QRgb> palette;
    for (QRgb c : kReserved)
        palette.append(0xFF000000u | c);
    return palette;
}

// The colour of each index of an 8-bit picture, read as its 32-bit form shows it: alpha
// ignored, an index past the palette black.
std::array<QRgb, 256> indexColours(const QImage &image)
{
    std::array<QRgb, 256> colours{};
    const QList<QRgb> table = image.colorTable();
    for (int i = 0; i < int(std::min<qsizetype>(table.size(), 256)); ++i)
        colours[i] = table[i] & 0xFFFFFFu;
    return colours;
}

// Palette entries for the colours of a picture in the order they first appear, the reserved
// ones at their own places.
class ExactPalette {
public:
    ExactPalette() { mKeys.fill(0xFFFFFFFFu); }

    // -1 when the palette is full.
    int indexOf(QRgb rgb)
    {
        // Open addressing, 1024 slots for at most 256 colours.
        quint32 slot = (rgb * 2654435761u) >> 22;
        while (mKeys[slot] != 0xFFFFFFFFu) {
            if (mKeys[slot] == rgb)
                return mValues[slot];
            slot = (slot + 1) & 1023u;
        }
        int index = reservedIndex(rgb);
        if (index < 0) {
            if (mPalette.size() >= 256)
                return -1;
            index = int(mPalette.size());
            mPalette.append(0xFF000000u | rgb);
        }
        mKeys[slot] = rgb;
        mValues[slot] = uchar(index);
        return index;
    }
    const QList<QRgb> &palette() const { return mPalette; }

private:
    QList<QRgb> mPalette = reservedPalette();
    std::array<quint32, 1024> mKeys;
    std::array<uchar, 1024> mValues{};
};

// A picture of few colours keeps each one exactly. False when there are more than fit.
bool reduceExactly(const QImage &source, QImage &result)
{
    ExactPalette exact;
    const int w = source.width();
    if (source.format() == QImage::Format_Indexed8) {
        const std::array<QRgb, 256> colours = indexColours(source);
        std::array<int, 256> entry;
        entry.fill(-1);
        for (int y = 0; y < source.height(); ++y) {
            const uchar *in = source.constScanLine(y);
            uchar *out = result.scanLine(y);
            for (int x = 0; x < w; ++x) {
                int index = entry[in[x]];
                if (index < 0) {
                    index = exact.indexOf(colours[in[x]]);
                    if (index < 0)
                        return false;
                    entry[in[x]] = index;
                }
                out[x] = uchar(index);
            }
        }
    } else {
        for (int y = 0; y < source.height(); ++y) {
            const QRgb *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
            uchar *out = result.scanLine(y);
            QRgb last = 0xFFFFFFFFu;
            int lastIndex = 0;
            for (int x = 0; x < w; ++x) {
                const QRgb rgb = in[x] & 0xFFFFFFu;
                if (rgb != last) {
                    lastIndex = exact.indexOf(rgb);
                    if (lastIndex < 0)
                        return false;
                    last = rgb;
                }
                out[x] = uchar(lastIndex);
            }
        }
    }
    result.setColorTable(exact.palette());
    return true;
}

// Histogram cells: 5 bits per channel, small enough for the table to stay in the cache.
constexpr int kCellBits = 5;
constexpr int kCells = 1 << (3 * kCellBits);

inline int cellOf(QRgb rgb)
{
    return int(((rgb >> 9) & 0x7C00u) | ((rgb >> 6) & 0x03E0u) | ((rgb >> 3) & 0x001Fu));
}

// How many pixels of each cell, and the sums of their channels.
struct Histogram {
    std::vector<quint32> count = std::vector<quint32>(kCells, 0);
    std::vector<std::array<quint64, 3>> sum = std::vector<std::array<quint64, 3>>(kCells, {0, 0, 0});

    void add(int cell, quint64 n, QRgb rgb)
    {
        count[cell] += quint32(n);
        sum[cell][0] += n * qRed(rgb);
        sum[cell][1] += n * qGreen(rgb);
        sum[cell][2] += n * qBlue(rgb);
    }
    void add(const Histogram &other)
    {
        for (int c = 0; c < kCells; ++c) {
            count[c] += other.count[c];
            for (int a = 0; a < 3; ++a)
                sum[c][a] += other.sum[c][a];
        }
    }
};

// Below this many pixels a second thread costs more than it saves.
constexpr qint64 kSplitPixels = qint64(1) << 20;

// work(part, first row, end row) over the rows of a picture: for a large one the lower half
// (part 1) on a second thread. The halves must not depend on each other, so the result is
// the same however the work was shared.
template <typename Work>
void inHalves(const QImage &image, Work &&work)
{
    const int h = image.height();
    if (qint64(image.width()) * h < kSplitPixels) {
        work(0, 0, h);
        return;
    }
    std::thread second;
    try {
        second = std::thread([&work, h] { work(1, h / 2, h); });
    } catch (const std::system_error &) {
        work(1, h / 2, h);
    }
    work(0, 0, h / 2);
    if (second.joinable())
        second.join();
}

// One cell's pixels and channel sums over part of a picture, in the byte order of 0x01RRGGBB
// in memory, so that a pixel is added as one vector.
struct alignas(16) Partial {
    quint32 b, g, r, count;
};

inline void addPixel(Partial &p, QRgb rgb)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i bytes = _mm_cvtsi32_si128(int(rgb | 0x01000000u));
    const __m128i add = _mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero);
    auto *slot = reinterpret_cast<__m128i *>(&p);
    _mm_store_si128(slot, _mm_add_epi32(_mm_load_si128(slot), add));
#else
    p.b += rgb & 0xFFu;
    p.g += (rgb >> 8) & 0xFFu;
    p.r += rgb >> 16;
    ++p.count;
#endif
}

// Pixels a block of work takes, and how many blocks ahead the memory is asked for: a large
// picture streams from memory no faster than the work on it, so both go on at once.
constexpr int kBlock = 1024;
constexpr int kAhead = 4;

inline void prefetchAhead(const QRgb *block)
{
#if defined(__SSE2__)
    // A prefetch past the end of the picture does no harm: it is only a hint, made of an address
    // that is never used as a pointer.
    const quintptr from = quintptr(block) + kAhead * kBlock * sizeof(QRgb);
    for (quintptr at = from; at < from + kBlock * sizeof(QRgb); at += 64)
        _mm_prefetch(reinterpret_cast<const char *>(at), _MM_HINT_T0);
#else
    Q_UNUSED(block);
#endif
}

// Adds count pixels other than the reserved ones to their cells.
void addBlock(const QRgb *in, int count, Partial *partial)
{
    int x = 0;
#if defined(__SSE2__)
    // Four at a time: their cells and channels taken apart at once, a group with a reserved
    // colour one by one.
    const __m128i rgbMask = _mm_set1_epi32(0xFFFFFF), zero = _mm_setzero_si128(), one = _mm_set1_epi32(0x01000000);
    const __m128i red = _mm_set1_epi32(int(kReserved[1])), blue = _mm_set1_epi32(int(kReserved[2]));
    const __m128i redBits = _mm_set1_epi32(0x7C00), greenBits = _mm_set1_epi32(0x03E0), blueBits = _mm_set1_epi32(0x1F);
    const auto add = [partial](int cell, __m128i channels) {
        auto *slot = reinterpret_cast<__m128i *>(partial + cell);
        _mm_store_si128(slot, _mm_add_epi32(_mm_load_si128(slot), channels));
    };
    for (; x + 4 <= count; x += 4) {
        const __m128i v = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(in + x)), rgbMask);
        const __m128i reserved = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(v, zero), _mm_cmpeq_epi32(v, red)),
                                              _mm_cmpeq_epi32(v, blue));
        if (_mm_movemask_epi8(reserved)) {
            for (int k = x; k < x + 4; ++k) {
                const QRgb rgb = in[k] & 0xFFFFFFu;
                if (reservedIndex(rgb) < 0)
                    addPixel(partial[cellOf(rgb)], rgb);
            }
            continue;
        }
        const __m128i cells = _mm_or_si128(_mm_or_si128(_mm_and_si128(_mm_srli_epi32(v, 9), redBits),
                                                        _mm_and_si128(_mm_srli_epi32(v, 6), greenBits)),
                                           _mm_and_si128(_mm_srli_epi32(v, 3), blueBits));
        const __m128i withCount = _mm_or_si128(v, one);
        const __m128i low = _mm_unpacklo_epi8(withCount, zero), high = _mm_unpackhi_epi8(withCount, zero);
        add(_mm_cvtsi128_si32(cells), _mm_unpacklo_epi16(low, zero));
        add(_mm_extract_epi16(cells, 2), _mm_unpackhi_epi16(low, zero));
        add(_mm_extract_epi16(cells, 4), _mm_unpacklo_epi16(high, zero));
        add(_mm_extract_epi16(cells, 6), _mm_unpackhi_epi16(high, zero));
    }
#endif
    for (; x < count; ++x) {
        const QRgb rgb = in[x] & 0xFFFFFFu;
        if (reservedIndex(rgb) < 0)
            addPixel(partial[cellOf(rgb)], rgb);
    }
}

// Adds the colours of rows [first, end) of a 32-bit picture other than the reserved ones.
// They are counted in `partial` first, in 32 bits (half the table a 64-bit one would take),
// and added up before a channel's sum could pass 2^32.
void addRows(const QImage &source, int first, int end, std::vector<Partial> &partial, Histogram &histogram)
{
    const int w = source.width();
    constexpr qint64 kPartialPixels = (qint64(1) << 32) / 256;
    auto flush = [&] {
        for (int c = 0; c < kCells; ++c) {
            Partial &p = partial[c];
            if (!p.count)
                continue;
            histogram.count[c] += p.count;
            histogram.sum[c][0] += p.r;
            histogram.sum[c][1] += p.g;
            histogram.sum[c][2] += p.b;
            p = Partial{0, 0, 0, 0};
        }
    };
    qint64 room = kPartialPixels;
    for (int y = first; y < end; ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x0 = 0; x0 < w;) {
            const int x1 = int(std::min<qint64>(w, x0 + room));
            for (int x = x0; x < x1; x += kBlock) {
                prefetchAhead(in + x);
                addBlock(in + x, std::min(kBlock, x1 - x), partial.data());
            }
            room -= x1 - x0;
            x0 = x1;
            if (room == 0) {
                flush();
                room = kPartialPixels;
            }
        }
    }
    flush();
}

// The histogram of the colours other than the reserved ones.
Histogram histogramOf(const QImage &source)
{
    if (source.format() == QImage::Format_Indexed8) {
        std::array<std::array<quint64, 256>, 2> perIndex{};
        inHalves(source, [&](int part, int first, int end) {
            for (int y = first; y < end; ++y) {
                const uchar *in = source.constScanLine(y);
                for (int x = 0; x < source.width(); ++x)
                    ++perIndex[part][in[x]];
            }
        });
        Histogram histogram;
        const std::array<QRgb, 256> colours = indexColours(source);
        for (int i = 0; i < 256; ++i) {
            const quint64 n = perIndex[0][i] + perIndex[1][i];
            if (n && reservedIndex(colours[i]) < 0)
                histogram.add(cellOf(colours[i]), n, colours[i]);
        }
        return histogram;
    }
    // Made here, so that running out of memory does not happen on the second thread.
    std::array<Histogram, 2> halves;
    std::array<std::vector<Partial>, 2> partials;
    partials.fill(std::vector<Partial>(kCells, Partial{0, 0, 0, 0}));
    inHalves(source, [&](int part, int first, int end) { addRows(source, first, end, partials[part], halves[part]); });
    halves[0].add(halves[1]);
    return std::move(halves[0]);
}

// Palette entries of 32-bit pixels: the reserved colours their own, the rest their cell's.
void mapBlock(const QRgb *in, uchar *out, int w, const uchar *lut)
{
    int x = 0;
#if defined(__SSE2__)
    // Four cells at a time; a group holding a reserved colour is put right afterwards.
    const __m128i rgbMask = _mm_set1_epi32(0xFFFFFF), zero = _mm_setzero_si128();
    const __m128i red = _mm_set1_epi32(int(kReserved[1])), blue = _mm_set1_epi32(int(kReserved[2]));
    const __m128i redBits = _mm_set1_epi32(0x7C00), greenBits = _mm_set1_epi32(0x03E0), blueBits = _mm_set1_epi32(0x1F);
    for (; x + 4 <= w; x += 4) {
        const __m128i v = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(in + x)), rgbMask);
        const __m128i cells = _mm_or_si128(_mm_or_si128(_mm_and_si128(_mm_srli_epi32(v, 9), redBits),
                                                        _mm_and_si128(_mm_srli_epi32(v, 6), greenBits)),
                                           _mm_and_si128(_mm_srli_epi32(v, 3), blueBits));
        alignas(16) quint32 cell[4];
        _mm_store_si128(reinterpret_cast<__m128i *>(cell), cells);
        for (int k = 0; k < 4; ++k)
            out[x + k] = lut[cell[k]];
        const __m128i reserved = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(v, zero), _mm_cmpeq_epi32(v, red)),
                                              _mm_cmpeq_epi32(v, blue));
        if (_mm_movemask_epi8(reserved)) {
            for (int k = 0; k < 4; ++k) {
                const int index = reservedIndex(in[x + k] & 0xFFFFFFu);
                if (index >= 0)
                    out[x + k] = uchar(index);
            }
        }
    }
#endif
    for (; x < w; ++x) {
        const QRgb rgb = in[x] & 0xFFFFFFu;
        const int reserved = reservedIndex(rgb);
        out[x] = reserved >= 0 ? uchar(reserved) : lut[cellOf(rgb)];
    }
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
void reduceByMedianCut(const QImage &source, QImage &result)
{
    const Histogram histogram = histogramOf(source);
    std::vector<Cell> cells;
    for (int i = 0; i < kCells; ++i) {
        if (histogram.count[i])
            cells.push_back({i, histogram.count[i]});
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
                total[a] += histogram.sum[cells[i].index][a];
            lut[cells[i].index] = uchar(palette.size());
        }
        const quint64 n = std::max<quint64>(box.population, 1);
        palette.append(qRgb(int((total[0] + n / 2) / n), int((total[1] + n / 2) / n), int((total[2] + n / 2) / n)));
    }

    const int w = source.width();
    std::array<uchar, 256> entry{};
    if (source.format() == QImage::Format_Indexed8) {
        const std::array<QRgb, 256> colours = indexColours(source);
        for (int i = 0; i < 256; ++i) {
            const int reserved = reservedIndex(colours[i]);
            entry[i] = reserved >= 0 ? uchar(reserved) : lut[cellOf(colours[i])];
        }
    }
    // Rows are reached through the buffer: scanLine() on two threads would race in QImage.
    uchar *bits = result.bits();
    const qsizetype bytesPerLine = result.bytesPerLine();
    inHalves(source, [&](int, int first, int end) {
        for (int y = first; y < end; ++y) {
            uchar *out = bits + y * bytesPerLine;
            if (source.format() == QImage::Format_Indexed8) {
                const uchar *in = source.constScanLine(y);
                for (int x = 0; x < w; ++x)
                    out[x] = entry[in[x]];
            } else {
                const QRgb *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
                for (int x = 0; x < w; x += kBlock) {
                    prefetchAhead(in + x);
                    mapBlock(in + x, out + x, std::min(kBlock, w - x), lut.data());
                }
            }
        }
    });
    result.setColorTable(palette);
}

} // namespace

QImage reduceColors(const QImage &image)
{
    if (image.isNull())
        return image;
    const QImage source = toHeldFormat(image);
    QImage result = newPicture(image.size(), QImage::Format_Indexed8);
    if (source.isNull() || result.isNull())
        return image;
    if (!reduceExactly(source, result))
        reduceByMedianCut(source, result);
    return result;
}

} // namespace chartrek
