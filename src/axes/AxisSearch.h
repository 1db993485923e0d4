#pragma once

#include "axes/AxisFinder.h"
#include "axes/AxisFit.h"
#include "axes/InkImage.h"
#include "axes/LabelValue.h"
#include "axes/TextBoxes.h"
#include "axes/TickMarks.h"

#include <QHash>

#include <functional>
#include <optional>
#include <vector>

namespace chartrek {

// The pieces of one search for a picture's axes, shared by the files that make it up: the
// lines of labels (AxisLines.cpp), the offset texts (AxisOffsets.cpp), the choice of the axes
// and how sure they are (AxisFinder.cpp).

constexpr int kInkThreshold = 80; // how far from the background a pixel of text stands

double median(std::vector<double> v);

// A text box that may be a tick label.
struct Label {
    TextBox text;
    double charSize = 0;  // the largest character's longer side
    double angle = 0;     // direction of its ink, degrees counter-clockwise as drawn
    double elongation = 1;
};

// The direction of a label's text: the line through its characters' centres (not the shape
// of the ink: one digit is taller than wide). Needs two characters of some weight.
void measureShape(Label &label);

// A row (an x axis) or a column (a y axis) of labels of one size, in order along it.
struct Line {
    bool column = false;
    std::vector<int> members;
    double angle = 0; // of the labels' text

    // evaluated
    std::vector<QString> texts;
    std::vector<std::optional<double>> values;
    int direction = 0; // where the ticks leave the labels: -1 up/left, +1 down/right
    int tickCount = 0;
    bool colourBar = false;
    std::vector<std::optional<TickMark>> ticks;
    std::vector<AxisSample> samples;
    std::vector<int> sampleMember;
    bool measured = false;
    bool powerForms = false;
    AxisChoice choice;
    double spacing = 0;
    double charSize = 0;
    double score = -1;
};

inline double along(const Line &line, const PixelBox &b)
{
    return line.column ? b.centerY() : b.centerX();
}

class AxisSearch {
public:
    AxisSearch(const QImage &picture, LabelReader &reader, const std::atomic_bool *cancel,
           const std::function<void(const QString &)> &trace)
        : mImage(picture), mReader(reader), mCancel(cancel), mTrace(trace)
    {
    }

    AxesProposal run(std::optional<QPointF> hint);

private:
    bool cancelled() const { return mCancel && mCancel->load(); }
    void collectLabels();
    std::vector<Line> lines(bool column) const;
    void splitAtGaps(bool column, std::vector<int> members, std::vector<Line> &out) const;
    void measure(Line &line);
    void evaluate(Line &line);
    void evaluateAll(std::vector<Line> &lines);
    void trace(const Line &line) const;
    bool besideColourRamp(const Line &line) const;
    bool missesHint(const Line &line) const;
    void spanOf(const Line &line, double &from, double &to, double &across) const;
    int hintRank(const std::vector<Line> &lines, const Line &line, double across, bool credible) const;
    bool closeEnough(const Line &line, const Line *other) const;
    void correctSnapping(Line &line) const;
    QString readLabel(int index, double angle, bool numeric, bool careful = false);
    LabelSpot spotOf(const Line &line, int member, int direction) const;
    FoundAxis conclude(const Line &line, bool xAxis, const Line *other);
    std::optional<AxisOffset> offsetFor(const Line &line, bool xAxis, const Line *other, QString &problem);
    bool misreadInPlace(const Line &line, int member) const;
    std::optional<AxisOffset> readOffset(const std::vector<int> &pieces, bool xAxis, bool &doubtful, bool &ownWord);

    InkImage mImage;
    InkImage mTransposed;
    LabelReader &mReader;
    const std::atomic_bool *mCancel;
    const std::function<void(const QString &)> &mTrace;
    std::vector<Label> mLabels;
    std::vector<TextBox> mAllText;
    std::vector<int> mOwner; // per pixel: the label whose box covers it, or -1
    std::vector<bool> mOnAxis; // per label: agrees with the fit of a line of three or more
    QHash<qint64, QString> mReadings;
    bool mStopped = false;
    std::optional<QPointF> mHint;
    int mReads = 0;
};

} // namespace chartrek
