#pragma once

#include "app/MainMenus.h"
#include "core/Settings.h"
#include "core/SharedState.h"

#include <QObject>

class QComboBox;
class QWidget;

namespace chartrek {

class AutoLineSetup;
class GraphicLoading;

// The user's choices as the settings keep them: put back at start and remembered as they
// change. The window's place and size, the Sort data and Show markers check marks, the
// magnifier's factor, the Autoline set-up's boxes and colour tolerance, and the resolution and
// edges of PDF pages.
class RememberedChoices : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget &window;
        const MainMenuItems &menus;
        QComboBox &mZoomBox;
    };
    struct Services {
        Settings &settings;
        SharedState &state;
        GraphicLoading &loading;
        AutoLineSetup &autoLine;
    };

    RememberedChoices(const Controls &controls, const Services &services, QObject *parent = nullptr);

    // Puts back every choice but the window's, over the start values.
    void restore();
    // Puts back the window's place and size; false when none was kept (a first start). Out of
    // every screen now, the window is moved onto one.
    bool restoreWindow();

public slots:
    // The window closes: its place and size are kept.
    void windowClosing();

private:
    void rememberAutoLine();
    void rememberPdf();

    Controls mC;
    Services mS;
};

} // namespace chartrek
