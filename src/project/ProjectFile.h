#pragma once

#include "calibration/Calibration.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

namespace chartrek {

// The translation context of the project file's texts (its reasons a file cannot be read).
struct ProjectTexts {
    Q_DECLARE_TR_FUNCTIONS(Projects)
};

// A figure as a project file holds it. The file is a ZIP archive: "mimetype" first and stored
// ("application/x-chartrek-project"), "project.json" (described in help/projects.html) and
// "picture.png", the clean picture with its rotation applied, lossless.
struct ProjectCurve {
    QString name;
    quint32 color = 0; // 0x00BBGGRR
    QList<PicturePoint> points;
    QList<ValuePoint> values; // as computed when saved; on opening they are computed again
};

struct ProjectView {
    enum Mode { Normal, Fit, Zoom } mode = Normal;
    double scale = 1.0;   // picture units per control unit
    QRectF display;       // the display rectangle, in control units (Zoom)
};

struct Project {
    QImage picture;
    QSize pictureSize; // from project.json, also when the picture is not read
    CalibrationState calibration;
    QList<ProjectCurve> curves;
    int current = 0;
    ProjectView view;
    bool hasLines = true;
    bool hasGrid = true;
    int colorTolerance = 40;
};

constexpr int kProjectFormatVersion = 1;

// The archive's bytes, picture included. `png`, when given, is the picture already encoded (the
// recovery copy keeps it from one write to the next).
QByteArray projectArchive(const Project &project, const QByteArray &png = {});
// The picture as the archive holds it: PNG, quickly compressed (it is large and written often).
QByteArray encodePicture(const QImage &picture);
// Writes the archive in one step: an existing file keeps its content on any failure.
bool writeProject(const QString &path, const Project &project, QString *error, const QByteArray &png = {});

// Reads a project; nothing (and the reason in `error`) for a file that is damaged, truncated,
// hostile (oversized entries, names outside the archive, absurd sizes, wrong types) or of a
// newer format. Without `withPicture` the picture is checked by its size only.
std::optional<Project> readProjectBytes(const QByteArray &bytes, QString *error, bool withPicture = true);
std::optional<Project> readProject(const QString &path, QString *error, bool withPicture = true);

// The project's description alone, as JSON text, and back (for the archive's readers).
QByteArray projectJson(const Project &project);

} // namespace chartrek
