#pragma once

#include "calibration/Calibration.h"
#include "core/FileDialogs.h"
#include "core/Messages.h"
#include "core/SharedState.h"
#include "core/UnsavedWork.h"
#include "points/PointTables.h"
#include "project/ProjectFile.h"

#include <QObject>

namespace chartrek {

class GraphicLoading;
class ImageControl;
class PictureMarkers;
class Views;

// The figure as a document: its project file, whether it changed since it was saved, and the
// File commands on projects. A figure never saved as a project is asked about as before (its
// points); one saved or opened is asked about with "Save changes?".
class ProjectDocument : public QObject, public UnsavedWork {
    Q_OBJECT
public:
    struct Controls {
        ImageControl &picture;
        ImageControl &clean; // the picture without markers, the magnifier's copy
    };
    struct Services {
        SharedState &state;
        Calibration &calibration;
        PointTables &tables;
        Views &views;
        GraphicLoading &loading;
        PictureMarkers &markers;
        Messages &messages;
        FileDialogs &dialogs;
    };

    ProjectDocument(const Controls &controls, const Services &services, QObject *parent = nullptr);

    // The figure as a project file holds it.
    Project snapshot() const;
    // Shows a project read from a file: picture, calibration, curves, view and Autoline set-up.
    // A value that does not come out as it was saved is reported.
    void show(const Project &project);

    bool modified() const { return mModified; }
    const QString &path() const { return mPath; }
    // The window's title: the program's caption, then the project's name (without a project, the
    // picture's) and an asterisk while there are unsaved changes.
    QString title(const QString &caption, const QString &pictureName = {}) const;

    // Opens a project file; false, with a message and nothing changed, when it cannot be read.
    bool openPath(const QString &path);
    // The same after the question about the present figure; false when the figure stays.
    bool openAsking(const QString &path);
    bool saveTo(const QString &path);
    // Taken as a project without a name and with unsaved changes (a restored recovery copy).
    void takeUnnamed(const Project &project);

    // Before the figure is replaced or the program closes.
    Answer beforeReplacing() override;
    // Whether the window may close: true when nothing is unsaved or the question was answered
    // Save (and the save worked) or Discard. Nothing asked when no project file is involved.
    bool mayClose();

    static QString saveChangesQuestion();
    static FileDialogRequest projectRequest(bool save);

public slots:
    void mnuFileOpenProject_Click();
    void mnuFileSaveProject_Click();
    void mnuFileSaveProjectAs_Click();
    void mnuFileApplyCalibration_Click();
    // Something in the figure changed.
    void markModified();
    // A new picture replaced the figure.
    void pictureReplaced();

signals:
    void titleChanged();
    // The figure has or no longer has unsaved changes; a change while it had is reported too.
    void modifiedChanged(bool modified);
    void saved();

private:
    void setState(const QString &path, bool modified);
    // The project read behind a busy pointer; a file refused is said and gives nothing.
    std::optional<Project> readSaying(const QString &path);
    // Save, Discard or Cancel when a project has unsaved changes: true to go on.
    bool askSaveChanges();

    Controls mC;
    Services mS;
    QString mPath;
    bool mModified = false;
    bool mShowing = false;
};

} // namespace chartrek
