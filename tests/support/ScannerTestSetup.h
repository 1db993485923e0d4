#pragma once

#include <QByteArray>

namespace chartrek::test {

// Points SANE at the project's own configuration: only the test backend, small scans.
// Must run before the first SANE call of the process.
inline void useTestScanner()
{
    qputenv("SANE_CONFIG_DIR", QByteArray(CHARTREK_TEST_DATA "/sane"));
}

} // namespace chartrek::test
