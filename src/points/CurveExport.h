#pragma once

#include "points/Curves.h"

#include <QString>

namespace chartrek {

// Every curve as text, for Copy all curves and Save Data's "All curves": a block per curve, its
// name on the first line, then x TAB y CR LF a point, an empty line between blocks. With
// `pointDecimal` every decimal separator becomes a point, as in the data file.
QString BuildAllCurvesText(const Curves &curves, bool pointDecimal);

// Every curve as comma-separated values in long form: a header line "curve,x,y", then one line
// per point, the curve's name quoted where it must be, a decimal point whatever the locale, LF.
QString BuildAllCurvesCsv(const Curves &curves);

} // namespace chartrek
