#pragma once

#include "core/Messages.h"
#include "core/SharedState.h"
#include "pixprobe/PixProbe.h"

#include <QObject>

#include <functional>

namespace chartrek {

class ImageControl;

// Asks the user for the next line point when the tracer cannot place it: the modal "Get the
// line" dialog, showing the shown picture (markers included) at twice the main view's
// magnification around the point where the line was expected.
class LostLineRecovery : public QObject {
    Q_OBJECT
public:
    struct Controls {
        ImageControl &picture; // the shown picture: what the dialog shows
    };
    struct Services {
        SharedState &state; // mViewScale (halved while the dialog is open), mRecovery*
        Messages &messages;
    };

    LostLineRecovery(const Controls &controls, const Services &services, QObject *parent = nullptr);

    // Shows the dialog centred on `point` (drawing coordinates). A pick must not lie left of
    // state.mRecoveryRefX (drawing x). True with the pick written into `point`; false when the
    // user cancelled, `point` unchanged. What a cancel means for the trace is the caller's.
    bool GetPointFromUser(PixProbePoint &point);

    // Answers in place of the dialog (tests, the benchmark): gets the expected point and
    // writes the pick into it; false means Cancel.
    using Answerer = std::function<bool(PixProbePoint &point)>;
    void setAnswerer(Answerer answerer) { mAnswerer = std::move(answerer); }

private:
    Controls mC;
    Services mS;
    Answerer mAnswerer;
};

} // namespace chartrek
