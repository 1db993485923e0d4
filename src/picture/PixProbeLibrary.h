#pragma once

#include "pixprobe/PixProbe.h"

#include <QLibrary>
#include <QString>
#include <QStringList>

#include <memory>

namespace chartrek {

// The pixel-probe module, loaded by name ("pixprobe") on first use. It is looked for in the
// folders of programPartFolders("CHARTREK_PIXPROBE_DIR"); tests give their own folders. A
// failed load is tried again at the next use.
class PixProbeLibrary {
public:
    PixProbeLibrary();
    ~PixProbeLibrary();

    // The library every probe uses unless given another.
    static PixProbeLibrary &shared();

    // Replaces the folders searched and unloads the module, so the next use loads afresh.
    void setSearchPath(const QStringList &folders);
    QStringList searchPath() const { return mFolders; }

    bool ensureLoaded();
    bool isLoaded() const { return mGetAColor && mGetAPoint; }
    QString errorString() const { return mError; }

    GetAColorFunction getAColor() const { return mGetAColor; }
    GetAPointFunction getAPoint() const { return mGetAPoint; }
    // The tolerant search; nullptr when the module predates it (the exact one is used then).
    GetAPointTolerantFunction getAPointTolerant() const { return mGetAPointTolerant; }
    // The search told the line's paper and width; nullptr when the module predates it.
    GetAPointLineFunction getAPointLine() const { return mGetAPointLine; }

private:
    void unload();

    QStringList mFolders;
    std::unique_ptr<QLibrary> mLibrary;
    GetAColorFunction mGetAColor = nullptr;
    GetAPointFunction mGetAPoint = nullptr;
    GetAPointTolerantFunction mGetAPointTolerant = nullptr;
    GetAPointLineFunction mGetAPointLine = nullptr;
    QString mError;
};

} // namespace chartrek
