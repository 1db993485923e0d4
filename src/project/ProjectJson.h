#pragma once

#include "project/ProjectFile.h"

namespace chartrek {

// project.json read back: the project without its picture, or nothing and the first fault found
// ("curves[1].points[4] is not a list of four numbers").
std::optional<Project> parseProjectJson(const QByteArray &json, QString *error);

} // namespace chartrek
