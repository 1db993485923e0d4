#pragma once

#include <QString>

namespace chartrek {

// The program's version, set once in the top-level CMakeLists (project VERSION).
struct ProgramVersion {
    int major;
    int minor;
    int revision;
};

inline constexpr ProgramVersion kProgramVersion{CHARTREK_VERSION_MAJOR, CHARTREK_VERSION_MINOR,
                                                CHARTREK_VERSION_PATCH};

// "1.0.2"
inline QString programVersionText(const ProgramVersion &v = kProgramVersion)
{
    return QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.revision);
}

// The program's name and version, "Chartrek 1.0.2": the title of its windows and messages.
inline QString programTitle()
{
    return QStringLiteral("Chartrek ") + programVersionText();
}

} // namespace chartrek
