#pragma once

#include <QList>
#include <QString>

namespace chartrek {

// The help context numbers of the menu items and the pages that explain them.
inline constexpr int kHelpIndexId = 1000;
// Moving around the picture (Zoom in, Zoom out) and View > Check calibration.
inline constexpr int kZoomHelpId = 1040;
inline constexpr int kCheckHelpId = 1041;
// The Edit menu's curve items, and the File menu's project items.
inline constexpr int kCurvesHelpId = 1042;
inline constexpr int kProjectsHelpId = 1043;

// The resource path (":/help/…html") of the topic for a help context number; the index
// for a number without a topic of its own.
QString helpPagePath(int helpContextId);

// The same page as a "qrc:" URL, as the help window loads it.
QString helpPageUrl(int helpContextId);

// Every help context number the menus use, the index included.
QList<int> helpContextIds();

} // namespace chartrek
