#pragma once

#include "axes/InkImage.h"
#include "axes/TextBoxes.h"

#include <QString>

#include <memory>

namespace tesseract {
class TessBaseAPI;
}

namespace chartrek {

// Reads the text of tick labels with Tesseract, one small label at a time, restricted to the
// characters numbers are written with. A raised part (the exponent of 10³) is read on its own
// and written after "^". Not thread-safe: one reader per thread.
class LabelReader {
public:
    LabelReader();
    ~LabelReader();
    LabelReader(const LabelReader &) = delete;
    LabelReader &operator=(const LabelReader &) = delete;

    bool isReady() const { return bool(mApi); }
    QString errorString() const { return mError; }

    // The text of `box`, drawn turned by `angle` degrees counter-clockwise; empty when nothing
    // could be read. `numeric` limits the characters to those of numbers and their offsets.
    // `careful`: a raised part read with less than a high confidence reads as nothing (an
    // offset's exponent is small, and nothing else tells a misread one).
    QString read(const InkImage &image, const TextBox &box, double angle, bool numeric = true, bool careful = false);

private:
    // What a piece of a label may hold: any text, a number and its offset, or an exponent.
    enum class Charset { Any, Number, Exponent };
    QString readPart(const QImage &line, std::vector<Blob> parts, int height, Charset charset);
    QString recognize(const QImage &line, Charset charset);

    std::unique_ptr<tesseract::TessBaseAPI> mApi;
    QString mError;
    int mConfidence = 0; // of the last text recognised, 0..100
};

} // namespace chartrek
