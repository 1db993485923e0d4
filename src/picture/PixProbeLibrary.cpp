#include "picture/PixProbeLibrary.h"

#include "core/ProgramFolders.h"

#include <QDir>

namespace chartrek {

namespace {
const QString kModuleName = QStringLiteral("pixprobe");
} // namespace

PixProbeLibrary::PixProbeLibrary() : mFolders(programPartFolders("CHARTREK_PIXPROBE_DIR")) {}

PixProbeLibrary::~PixProbeLibrary() = default;

PixProbeLibrary &PixProbeLibrary::shared()
{
    static PixProbeLibrary library;
    return library;
}

void PixProbeLibrary::setSearchPath(const QStringList &folders)
{
    unload();
    mFolders = folders;
}

void PixProbeLibrary::unload()
{
    mGetAColor = nullptr;
    mGetAPoint = nullptr;
    mGetAPointTolerant = nullptr;
    mGetAPointLine = nullptr;
    if (mLibrary)
        mLibrary->unload();
    mLibrary.reset();
}

bool PixProbeLibrary::ensureLoaded()
{
    if (isLoaded())
        return true;
    QStringList tried;
    for (const QString &folder : std::as_const(mFolders)) {
        auto library = std::make_unique<QLibrary>(QDir(folder).filePath(kModuleName));
        if (!library->load()) {
            tried << library->errorString();
            continue;
        }
        auto getAColor = reinterpret_cast<GetAColorFunction>(library->resolve("GetAColor"));
        auto getAPoint = reinterpret_cast<GetAPointFunction>(library->resolve("GetAPoint"));
        if (!getAColor || !getAPoint) {
            tried << QStringLiteral("%1 lacks GetAColor or GetAPoint").arg(library->fileName());
            library->unload();
            continue;
        }
        mLibrary = std::move(library);
        mGetAColor = getAColor;
        mGetAPoint = getAPoint;
        mGetAPointTolerant = reinterpret_cast<GetAPointTolerantFunction>(mLibrary->resolve("GetAPointTolerant"));
        mGetAPointLine = reinterpret_cast<GetAPointLineFunction>(mLibrary->resolve("GetAPointLine"));
        mError.clear();
        return true;
    }
    mError = tried.isEmpty() ? QStringLiteral("No folder to look for the %1 module in.").arg(kModuleName)
                             : tried.join(QLatin1Char('\n'));
    return false;
}

} // namespace chartrek
