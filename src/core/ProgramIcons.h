#pragma once

#include <QIcon>
#include <QString>

namespace chartrek {

// A picture of the program's own icon set (toolbar buttons, chain images, the tool cursor),
// by its name: "point", "chain".
QIcon programIcon(const QString &name);

} // namespace chartrek
