#pragma once

#include "calibration/Calibration.h"
#include "core/Messages.h"
#include "points/PointTables.h"

#include <QObject>

class QTableView;

namespace chartrek {

class ImageControl;
class PictureMarkers;
class Views;

// Correcting the captured points: one point by a double click on its row of the value table,
// the point under a Shift+left press on the picture, or all of them with Delete data. A
// deletion takes the row out of both tables, and its marker off the picture, and never touches
// the calibration, the tool or the view.
class PointDeletion : public QObject {
    Q_OBJECT
public:
    struct Controls {
        ImageControl &mPicture;
        QTableView &grdDataPoints;
    };
    struct Services {
        PointTables &tables;
        Messages &messages;
        Views &views;
        PictureMarkers &markers;
    };

    PointDeletion(const Controls &controls, const Services &services, QObject *parent = nullptr);

public slots:
    void grdDataPoints_DblClick();
    // A Shift+left press on the picture in the pointer tool; the caller repaints around it.
    void DeletePointAt(const PicturePoint &point);
    // Edit > Delete data and the toolbar's delete button.
    void mnuEditDelete_Click();

private:
    Controls mC;
    Services mS;
};

} // namespace chartrek
