#pragma once

#include <QCoreApplication>

namespace chartrek {

// The scanner's texts for the user, translated in one context: ScannerTexts::tr.
struct ScannerTexts {
    Q_DECLARE_TR_FUNCTIONS(Scanner)
};

} // namespace chartrek
