#include "core/ProgramIcons.h"

namespace chartrek {

QIcon programIcon(const QString &name)
{
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(name));
}

} // namespace chartrek
