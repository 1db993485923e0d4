#pragma once

#include "axes/LabelReader.h"

#include <QImage>
#include <QPointF>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

namespace chartrek {

// A reference of one axis: its position along the axis and across it (on the axis line or
// beside the labels), in picture pixels (pixel i covers [i, i+1)), and the axis value there.
struct AxisReference {
    double along = 0;
    double across = 0;
    double value = 0;
};

// What was found for one axis. `first` has the lower value, `second` the higher; both lie on
// tick marks, as far apart as the ticks that agree allow.
struct FoundAxis {
    bool found = false;
    bool log = false;
    bool sure = false;
    AxisReference first;
    AxisReference second;
    int ticks = 0;   // ticks whose labels agree with the mapping
    QString problem; // why the axis is not sure, for the user
};

struct AxesProposal {
    FoundAxis x;
    FoundAxis y;
    bool cancelled = false;
    bool sure() const { return x.sure && y.sure; }
};

// Finds the axes of the chart in a picture: the rows and columns of number labels, the tick
// marks beside them, the factor printed at an axis end, and for each axis the linear or
// logarithmic mapping that most labels agree with. With `hint`, the plot nearest that point
// (for a figure of several plots). `cancel` is polled between labels.
class AxisFinder {
public:
    explicit AxisFinder(LabelReader &reader) : mReader(reader) {}

    // Receives a line for each candidate row and column, for the benchmark's --verbose.
    void setTrace(std::function<void(const QString &)> trace) { mTrace = std::move(trace); }

    AxesProposal find(const QImage &picture, std::optional<QPointF> hint = std::nullopt,
                      const std::atomic_bool *cancel = nullptr);

private:
    LabelReader &mReader;
    std::function<void(const QString &)> mTrace;
};

} // namespace chartrek
