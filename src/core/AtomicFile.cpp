#include "core/AtomicFile.h"

#include <QSaveFile>

namespace chartrek {

bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error)
{
    QSaveFile file(path);
    // Unbuffered, so that a disk filling up shows as a short write here; a buffered write
    // would report success and leave a truncated file behind after commit().
    const bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(data) == data.size()
        && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

} // namespace chartrek
