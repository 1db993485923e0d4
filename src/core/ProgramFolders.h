#pragma once

#include <QStringList>

namespace chartrek {

// The folders the program's own module and helper are looked for in, first to last: the one the
// environment variable names (tests, unusual set-ups), the installed program's library folder
// (lib/chartrek beside its bin/), and the program's own folder (the build tree).
QStringList programPartFolders(const char *environmentVariable);

} // namespace chartrek
