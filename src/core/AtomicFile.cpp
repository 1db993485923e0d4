#include "core/AtomicFile.h"

#include <QSaveFile>

namespace chartrek {

bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error)
{
    QSaveFile file(path);
    // Unbuffered, so that a disk filling up shows as a short write here; a buffered write
    // would report success and leave a truncated file behind after commit(). A short write
    // goes on where it stopped: only the next one fails with the reason (a full disk).
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    for (qint64 done = 0; ok && done < data.size();) {
        const qint64 written = file.write(data.constData() + done, data.size() - done);
        ok = written > 0;
        done += written;
    }
    ok = ok && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

} // namespace chartrek
