#include "app/HelpTopics.h"

#include <array>

namespace chartrek {

namespace {
struct Topic {
    int id;
    const char *page;
};

// One page per help context number of the menu items.
constexpr std::array kTopics{
    Topic{kHelpIndexId, "index.html"},
    Topic{1007, "open.html"},
    Topic{1008, "scanner.html"},
    Topic{1013, "view-normal.html"},
    Topic{1014, "view-fit.html"},
    Topic{1015, "view-repaint.html"},
    Topic{1016, "delete-data.html"},
    Topic{1017, "save-data.html"},
    Topic{1018, "save-graphic.html"},
    Topic{1019, "exit.html"},
    Topic{1020, "copy-data.html"},
    Topic{1021, "paste-graphic.html"},
    Topic{1022, "markers.html"},
    Topic{1023, "sort.html"},
    Topic{1024, "rotate.html"},
    Topic{1029, "autoline.html"},
    Topic{1030, "find-axes.html"},
    Topic{kZoomHelpId, "view-zoom.html"},
    Topic{kCheckHelpId, "check-calibration.html"},
    Topic{kCurvesHelpId, "curves.html"},
    Topic{kProjectsHelpId, "projects.html"},
};

QString pageName(int helpContextId)
{
    for (const Topic &t : kTopics) {
        if (t.id == helpContextId)
            return QString::fromLatin1(t.page);
    }
    return QStringLiteral("index.html");
}
} // namespace

QString helpPagePath(int helpContextId)
{
    return QStringLiteral(":/help/") + pageName(helpContextId);
}

QString helpPageUrl(int helpContextId)
{
    return QStringLiteral("qrc:/help/") + pageName(helpContextId);
}

QList<int> helpContextIds()
{
    QList<int> ids;
    for (const Topic &t : kTopics)
        ids.append(t.id);
    return ids;
}

} // namespace chartrek
