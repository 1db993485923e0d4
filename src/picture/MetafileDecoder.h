#pragma once

#include "picture/ImageOps.h"

#include <QString>

namespace chartrek {

// How Windows Metafiles are drawn: by a separate converter process (libwmf's wmf2gd), so that
// a hostile or broken file can only take that process down. It runs under limits on memory,
// CPU time and output size, and is stopped after a wall-clock timeout.
struct MetafileSettings {
    QString program = QStringLiteral("wmf2gd");
    int timeoutMs = 20000;
    int cpuSeconds = 15;
    qint64 memoryBytes = qint64(1) << 30;
    qint64 outputBytes = qint64(256) << 20;
};

// The settings every load uses; tests point them at another program.
MetafileSettings &metafileSettings();

// Draws a metafile into a picture, then reads that under the usual size test. The converter
// is waited for with wait; a cancelled wait stops it and gives a Cancelled load.
LoadedPicture decodeMetafile(const QString &fileName, const HelperWaiter &wait = waitBlocking);

} // namespace chartrek
