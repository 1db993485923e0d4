#pragma once

#include "project/ProjectFile.h"

namespace chartrek {

// project.json read back: the project without its picture, or nothing and the first fault found
// ("curves[1].points[4] is not a list of four numbers"); `newer`, when given, is set when the
// file is of a newer format than this version reads.
std::optional<Project> parseProjectJson(const QByteArray &json, QString *error, bool *newer = nullptr);

} // namespace chartrek
