#pragma once

#include <QCoreApplication>

namespace chartrek {

// The texts of the axis search for the user, translated in one context: AxesTexts::tr. The
// search runs on a worker thread, where translating is safe.
struct AxesTexts {
    Q_DECLARE_TR_FUNCTIONS(Axes)
};

} // namespace chartrek
