// The description inside a project file, project.json, on its own: the archive's checksums keep
// most mutations of a whole file from reaching it.
#include "project/ProjectJson.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    const std::optional<chartrek::Project> project = chartrek::parseProjectJson(json, &error);
    if (!project) {
        if (error.isEmpty())
            std::abort(); // a refusal says why
        return 0;
    }
    // What the window relies on: a curve to show, and a value for each point.
    if (project->curves.isEmpty() || project->current < 0 || project->current >= project->curves.size())
        std::abort();
    for (const chartrek::ProjectCurve &curve : project->curves) {
        if (curve.points.size() != curve.values.size())
            std::abort();
    }
    return 0;
}
