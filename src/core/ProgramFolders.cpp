#include "core/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>

namespace chartrek {

QStringList programPartFolders(const char *environmentVariable)
{
    QStringList folders;
    const QString fromEnvironment = qEnvironmentVariable(environmentVariable);
    if (!fromEnvironment.isEmpty())
        folders << fromEnvironment;
    if (QCoreApplication::instance()) {
        const QDir programFolder(QCoreApplication::applicationDirPath());
        folders << QDir::cleanPath(programFolder.filePath(QStringLiteral(CHARTREK_PRIVATE_DIR_FROM_BIN)))
                << programFolder.path();
    }
    return folders;
}

} // namespace chartrek
