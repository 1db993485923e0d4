#pragma once

#include <QByteArray>
#include <QString>

namespace chartrek {

// Replaces the file at `path` with `data` in one step: on any failure (no permission, a full
// disk, a vanished folder) an existing file keeps its old content and no partial file is left.
bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error = nullptr);

} // namespace chartrek
