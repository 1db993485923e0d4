#include "axes/LabelReader.h"

#include "axes/AxesTexts.h"
#include "axes/LabelValue.h"

#include <QPainter>
#include <QTransform>

#include <omp.h>
#include <tesseract/baseapi.h>

#include <algorithm>
#include <cmath>

namespace chartrek {

namespace {

constexpr int kLineHeight = 32; // the height of a digit as Tesseract gets it, in pixels
constexpr int kBorder = 12;

// The box's own ink as dark on white, stretched to full contrast: only the pixels of its
// parts, so that a tick mark or a grid line beside it stays out.
QImage cropOf(const InkImage &image, const TextBox &box)
{
    const int margin = 2;
    const PixelBox &b = box.box;
    QImage crop(b.width() + 2 * margin, b.height() + 2 * margin, QImage::Format_Grayscale8);
    crop.fill(255);
    int strongest = 1;
    for (const Blob &part : box.parts) {
        for (int y = std::max(0, part.box.y0 - 1); y < std::min(image.height(), part.box.y1 + 1); ++y)
            for (int x = std::max(0, part.box.x0 - 1); x < std::min(image.width(), part.box.x1 + 1); ++x)
                strongest = std::max(strongest, image.ink(x, y));
    }
    for (const Blob &part : box.parts) {
        for (int y = std::max(0, part.box.y0 - 1); y < std::min(image.height(), part.box.y1 + 1); ++y) {
            uchar *line = crop.scanLine(y - b.y0 + margin);
            for (int x = std::max(0, part.box.x0 - 1); x < std::min(image.width(), part.box.x1 + 1); ++x) {
                const int v = 255 - std::min(255, image.ink(x, y) * 255 / strongest);
                uchar &out = line[x - b.x0 + margin];
                out = uchar(std::min<int>(out, v));
            }
        }
    }
    return crop;
}

QImage level(const QImage &crop, double angle)
{
    if (std::abs(angle) < 3)
        return crop;
    const QImage turned = crop.convertToFormat(QImage::Format_ARGB32)
                              .transformed(QTransform().rotate(angle), Qt::SmoothTransformation);
    // The corners the turn uncovers are transparent: lay the turned label on white.
    QImage out(turned.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter(&out).drawImage(0, 0, turned);
    return out.convertToFormat(QImage::Format_Grayscale8);
}

// The image of only the given blobs of `line`, scaled so that `height` becomes kLineHeight,
// with a white border.
QImage partImage(const QImage &line, const std::vector<Blob> &parts, int height)
{
    PixelBox box = parts.front().box;
    for (const Blob &p : parts)
        box.unite(p.box);
    QImage part(box.width() + 2, box.height() + 2, QImage::Format_Grayscale8);
    part.fill(255);
    for (const Blob &p : parts) {
        for (int y = std::max(0, p.box.y0 - 1); y < std::min(line.height(), p.box.y1 + 1); ++y) {
            const uchar *src = line.constScanLine(y);
            uchar *dst = part.scanLine(y - box.y0 + 1);
            for (int x = std::max(0, p.box.x0 - 1); x < std::min(line.width(), p.box.x1 + 1); ++x)
                dst[x - box.x0 + 1] = std::min(dst[x - box.x0 + 1], src[x]);
        }
    }
    // Each part at full contrast: the raised part of a small label is drawn fainter. Squaring
    // darkens the half-covered edge pixels, as a bolder pen would.
    int darkest = 255;
    for (int y = 0; y < part.height(); ++y) {
        const uchar *row = part.constScanLine(y);
        darkest = std::min<int>(darkest, *std::min_element(row, row + part.width()));
    }
    if (darkest < 250) {
        for (int y = 0; y < part.height(); ++y) {
            uchar *row = part.scanLine(y);
            for (int x = 0; x < part.width(); ++x) {
                const double v = std::clamp(1.0 - double(255 - row[x]) / (255 - darkest), 0.0, 1.0);
                row[x] = uchar(std::lround(255 * v));
            }
        }
    }
    const double scale = std::clamp(double(kLineHeight) / std::max(1, height), 0.5, 10.0);
    const QImage scaled = part.scaled(std::max(1, int(std::lround(part.width() * scale))),
                                      std::max(1, int(std::lround(part.height() * scale))), Qt::IgnoreAspectRatio,
                                      Qt::SmoothTransformation);
    QImage framed(scaled.width() + 2 * kBorder, scaled.height() + 2 * kBorder, QImage::Format_Grayscale8);
    framed.fill(255);
    for (int y = 0; y < scaled.height(); ++y)
        std::copy_n(scaled.constScanLine(y), scaled.width(), framed.scanLine(y + kBorder) + kBorder);
    return framed;
}

} // namespace

LabelReader::LabelReader()
{
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    api->SetVariable("debug_file", "/dev/null");
    if (api->Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY) != 0) {
        mError = AxesTexts::tr("The text recognition data (Tesseract, English) could not be loaded.");
        return;
    }
    api->SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    api->SetVariable("user_defined_dpi", "300");
    mApi = std::move(api);
}

LabelReader::~LabelReader()
{
    if (mApi)
        mApi->End();
}

QString LabelReader::recognize(const QImage &line, Charset charset)
{
    // Letters that look like digits stay allowed and are read as the digits: with them barred,
    // the recogniser drops a serif "1" before an "e" that it takes for an "l". An exponent is a
    // whole number: offered letters, the recogniser takes a small raised 3 for a B.
    const bool numeric = charset != Charset::Any;
    mApi->SetVariable("tessedit_char_whitelist", charset == Charset::Exponent ? "0123456789-\u2212"
                                                 : numeric                     ? "0123456789.,-+%e\u2212\u00d7xlIOo"
                                                                               : "");
    QString result;
    // A label of one or two characters is often missed as a line, now at one size, now at
    // another: try it as a word and at other sizes before giving up.
    struct Attempt {
        tesseract::PageSegMode mode;
        double scale;
    };
    static const Attempt attempts[] = {{tesseract::PSM_SINGLE_LINE, 1.0}, {tesseract::PSM_SINGLE_WORD, 1.0},
                                       {tesseract::PSM_SINGLE_LINE, 0.7}, {tesseract::PSM_RAW_LINE, 1.0},
                                       {tesseract::PSM_SINGLE_LINE, 1.5}};
    const bool short_ = line.width() <= 3 * line.height();
    for (const Attempt &a : attempts) {
        const QImage image = a.scale == 1.0 ? line
                                            : line.scaled(int(line.width() * a.scale), int(line.height() * a.scale),
                                                          Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                                  .convertToFormat(QImage::Format_Grayscale8);
        mApi->SetPageSegMode(a.mode);
        mApi->SetImage(image.constBits(), image.width(), image.height(), 1, int(image.bytesPerLine()));
        const std::unique_ptr<char[]> text(mApi->GetUTF8Text());
        result = text ? QString::fromUtf8(text.get()).simplified() : QString();
        mConfidence = mApi->MeanTextConf();
        if (!result.isEmpty() || !short_)
            break;
    }
    mApi->SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    return numeric ? lookalikesAsDigits(result) : result;
}

QString LabelReader::readPart(const QImage &line, std::vector<Blob> parts, int height, Charset charset)
{
    std::sort(parts.begin(), parts.end(), [](const Blob &a, const Blob &b) { return a.box.x0 < b.box.x0; });
    // A leading minus is a flat bar at mid-height; alone before a digit the recogniser often
    // drops it, and nothing else looks like it.
    QString sign;
    const Blob &first = parts.front();
    if (parts.size() > 1 && first.box.width() >= 2 * first.box.height() && first.box.height() <= 0.3 * height
        && first.box.x1 <= parts[1].box.x0 + 1) {
        sign = QStringLiteral("-");
        parts.erase(parts.begin());
    }
    const QString text = recognize(partImage(line, parts, height), charset);
    if (text.isEmpty())
        return {};
    if (!sign.isEmpty() && (text.startsWith(QLatin1Char('-')) || text.startsWith(QChar(0x2212))))
        return text;
    return sign + text;
}

QString LabelReader::read(const InkImage &image, const TextBox &box, double angle, bool numeric, bool careful)
{
    if (!mApi || box.parts.empty())
        return {};
    // The recogniser would spread each small label over worker threads that spin while they
    // wait: slower than one thread, and a burden on a busy machine.
    omp_set_num_threads(1);
    omp_set_max_active_levels(0);
    // A turned label is enlarged before it is turned level: turning a small one blurs it.
    QImage crop = cropOf(image, box);
    if (std::abs(angle) >= 3) {
        int size = 0;
        for (const Blob &b : box.parts)
            size = std::max({size, b.box.width(), b.box.height()});
        const double enlarge = std::clamp(48.0 / std::max(1, size), 1.0, 4.0);
        crop = crop.scaled(int(std::lround(crop.width() * enlarge)), int(std::lround(crop.height() * enlarge)),
                           Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                   .convertToFormat(QImage::Format_Grayscale8);
    }
    const QImage line = level(crop, angle);
    const InkImage ink(line);
    std::vector<Blob> blobs = findBlobs(ink, 96, std::max(line.width(), line.height()));
    if (blobs.empty())
        return {};

    // The main line: the band of the tallest characters. A blob that sits in its upper third,
    // right of the first character, is raised: an exponent.
    int tallest = 0;
    for (const Blob &b : blobs)
        tallest = std::max(tallest, b.box.height());
    std::vector<int> tops, bottoms;
    for (const Blob &b : blobs) {
        if (b.box.height() >= 0.7 * tallest) {
            tops.push_back(b.box.y0);
            bottoms.push_back(b.box.y1);
        }
    }
    std::nth_element(tops.begin(), tops.begin() + tops.size() / 2, tops.end());
    std::nth_element(bottoms.begin(), bottoms.begin() + bottoms.size() / 2, bottoms.end());
    const int top = tops[tops.size() / 2];
    const int bottom = bottoms[bottoms.size() / 2];
    const int mainHeight = std::max(1, bottom - top);
    // An upright bar wholly above or below the line is the end of a tick mark, not a character.
    std::erase_if(blobs, [&](const Blob &b) {
        return (b.box.y1 <= top || b.box.y0 >= bottom) && 3 * b.box.width() <= b.box.height()
            && b.pixels >= 0.6 * b.box.width() * b.box.height();
    });
    // An exponent closes the label: it stands right of everything on the line (the upper ring
    // of a percent sign does not).
    auto high = [&](const Blob &b) {
        return b.box.centerY() < top + 0.35 * mainHeight && b.box.height() < 0.85 * mainHeight;
    };
    int mainRight = 0;
    for (const Blob &b : blobs)
        if (!high(b))
            mainRight = std::max(mainRight, b.box.x1);
    std::vector<Blob> main, raised;
    for (const Blob &b : blobs) {
        const bool up = high(b) && b.box.x0 >= mainRight - 0.15 * mainHeight;
        (up ? raised : main).push_back(b);
    }
    if (main.empty())
        return {};
    QString text = readPart(line, main, mainHeight, numeric ? Charset::Number : Charset::Any);
    if (!raised.empty() && !text.isEmpty()) {
        int raisedHeight = 0;
        for (const Blob &b : raised)
            raisedHeight = std::max(raisedHeight, b.box.height());
        const QString exponent = readPart(line, raised, raisedHeight, Charset::Exponent);
        // Read as digits only, exponents read right mostly score 90 and more, a lone raised 3
        // as little as 69; only the faintest readings are refused.
        if (exponent.isEmpty() || (careful && mConfidence < 65))
            return {};
        text += QLatin1Char('^') + exponent;
    }
    return text;
}

} // namespace chartrek
