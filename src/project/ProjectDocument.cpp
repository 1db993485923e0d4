#include "project/ProjectDocument.h"

#include "calibration/CalibratedPoints.h"
#include "capture/PictureMarkers.h"
#include "picture/GraphicLoading.h"
#include "picture/ImageControl.h"
#include "picture/Views.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QScopedValueRollback>

#include <cmath>

namespace chartrek {

ProjectDocument::ProjectDocument(const Controls &controls, const Services &services, QObject *parent)
    : QObject(parent), mC(controls), mS(services)
{
    setObjectName(QStringLiteral("projectDocument"));
}

QString ProjectDocument::saveChangesQuestion()
{
    return tr("Save changes?");
}

FileDialogRequest ProjectDocument::projectRequest(bool save)
{
    FileDialogRequest request;
    request.title = save ? tr("Save Project") : tr("Open Project");
    request.filter = tr("Chartrek project (*.chartrek)");
    request.defaultSuffix = QStringLiteral("chartrek");
    request.mustExist = true;
    return request;
}

Project ProjectDocument::snapshot() const
{
    Project p;
    p.picture = mC.clean.image();
    p.pictureSize = p.picture.size();
    p.calibration = mS.calibration.snapshot();
    const Curves &curves = mS.tables.curves();
    for (int i = 0; i < curves.count(); ++i) {
        ProjectCurve curve{curves.name(i), curves.color(i), {}, {}};
        const Curves::Grid &grid = curves.rows(i);
        for (qsizetype row = 1; row + 1 < grid.size(); ++row) {
            const PicturePoint point = pointOfRow(grid[row]);
            ValuePoint value; // (0, 0) where the calibration gives none, as the table has it
            mS.calibration.PictureToValue(point, value);
            curve.points.append(point);
            curve.values.append(value);
        }
        p.curves.append(std::move(curve));
    }
    p.current = curves.current();
    const Views &views = mS.views;
    p.view.mode = views.normalChecked() ? ProjectView::Normal : views.fitChecked() ? ProjectView::Fit : ProjectView::Zoom;
    p.view.scale = mS.state.mViewScale;
    p.view.display = mC.picture.displayRect();
    p.hasLines = mS.state.mHasLines;
    p.hasGrid = mS.state.mHasGrid;
    p.colorTolerance = mS.state.mColorTolerance;
    return p;
}

namespace {
// Packing or unpacking a large picture takes seconds: the pointer says so meanwhile.
auto busyPointer()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    return qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
}

bool sameValue(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}
} // namespace

void ProjectDocument::show(const Project &project)
{
    QScopedValueRollback showing(mShowing, true);
    mS.loading.takeProjectPicture(project.picture);
    mS.calibration.restore(project.calibration);
    QList<Curves::Curve> list;
    qsizetype differing = 0;
    for (qsizetype i = 0; i < project.curves.size(); ++i) {
        const ProjectCurve &curve = project.curves[i];
        list.append({int(i) + 1, Curves::cleanName(curve.name), curve.color, mS.tables.gridOf(curve.points)});
        for (qsizetype p = 0; p < curve.points.size(); ++p) {
            ValuePoint value;
            mS.calibration.PictureToValue(curve.points[p], value);
            const ValuePoint saved = p < curve.values.size() ? curve.values[p] : ValuePoint{};
            if (!sameValue(value.x, saved.x) || !sameValue(value.y, saved.y))
                ++differing;
        }
    }
    mS.tables.curves().reset(std::move(list), project.current);
    if (UndoHistory *history = mS.tables.history())
        history->clear();
    mS.state.mHasLines = project.hasLines;
    mS.state.mHasGrid = project.hasGrid;
    mS.state.mColorTolerance = project.colorTolerance;
    if (project.view.mode == ProjectView::Fit) {
        mS.views.mnuViewWindow_Click();
    } else if (project.view.mode == ProjectView::Zoom) {
        const QRectF &d = project.view.display;
        mC.picture.setRepaintEnabled(false);
        mC.picture.setDisplayRect(float(d.left()), float(d.top()), float(d.width()), float(d.height()));
        mC.picture.setDisplayClipRect(float(d.left()), float(d.top()), float(d.width()), float(d.height()));
        mC.picture.setRepaintEnabled(true);
        mS.state.mViewScale = project.view.scale;
        mS.views.zoomMade();
    }
    mS.markers.redraw();
    mS.calibration.notifyChanged();
    if (differing > 0) {
        // The positions are kept; the values shown are those this calibration gives.
        mS.messages.ShowInfo(tr("Values saved in the project differ from those its calibration gives "
                                "(%1 of them); the values shown are computed again from the points.")
                                 .arg(differing));
    }
}

QString ProjectDocument::title(const QString &caption, const QString &pictureName) const
{
    if (mPath.isEmpty() && !mModified)
        return pictureName.isEmpty() ? caption : caption + QStringLiteral(" - ") + pictureName;
    const QString name = !mPath.isEmpty()          ? QFileInfo(mPath).fileName()
                         : !pictureName.isEmpty() ? pictureName
                                                  : tr("Untitled");
    return caption + QStringLiteral(" - ") + name + (mModified ? QStringLiteral("*") : QString());
}

void ProjectDocument::setState(const QString &path, bool modified)
{
    const bool changed = path != mPath || modified != mModified;
    const bool wasModified = mModified;
    mPath = path;
    mModified = modified;
    // Every change while modified (the recovery copy is due again), and the end of it.
    if (modified || wasModified)
        emit modifiedChanged(mModified);
    if (changed)
        emit titleChanged();
}

void ProjectDocument::markModified()
{
    if (!mShowing)
        setState(mPath, true);
}

void ProjectDocument::pictureReplaced()
{
    if (!mShowing)
        setState({}, false);
}

std::optional<Project> ProjectDocument::readSaying(const QString &path)
{
    QString error;
    std::optional<Project> project;
    {
        const auto busy = busyPointer();
        project = readProject(path, &error);
    }
    if (!project)
        mS.messages.ShowError(error);
    return project;
}

bool ProjectDocument::openPath(const QString &path)
{
    const std::optional<Project> project = readSaying(path);
    if (!project)
        return false;
    show(*project);
    setState(path, false);
    return true;
}

void ProjectDocument::takeUnnamed(const Project &project)
{
    show(project);
    setState({}, true);
}

bool ProjectDocument::saveTo(const QString &path)
{
    QString error;
    bool written = false;
    {
        const auto busy = busyPointer();
        written = writeProject(path, snapshot(), &error);
    }
    if (!written) {
        mS.messages.ShowError(tr("The project could not be saved: %1.").arg(error));
        return false;
    }
    setState(path, false);
    emit saved();
    return true;
}

void ProjectDocument::mnuFileOpenProject_Click()
{
    const QString path = mS.dialogs.getOpenFileName(projectRequest(false));
    if (!path.isEmpty())
        openAsking(path);
}

bool ProjectDocument::openAsking(const QString &path)
{
    // Read before anything is asked or replaced: a file refused changes nothing.
    const std::optional<Project> project = readSaying(path);
    if (!project)
        return false;
    // A figure never saved as a project is asked about as a new picture asks about it.
    const bool mayGo = mPath.isEmpty()
        ? !mS.tables.hasPoints() || mS.messages.AskYesNo(GraphicLoading::replaceQuestion()) == AnswerYes
        : askSaveChanges();
    if (!mayGo)
        return false;
    show(*project);
    setState(path, false);
    return true;
}

void ProjectDocument::mnuFileSaveProject_Click()
{
    if (mPath.isEmpty())
        mnuFileSaveProjectAs_Click();
    else
        saveTo(mPath);
}

void ProjectDocument::mnuFileSaveProjectAs_Click()
{
    if (!mC.clean.hasBitmap()) {
        mS.messages.ShowInfo(tr("There is no picture to save as a project."));
        return;
    }
    FileDialogRequest request = projectRequest(true);
    request.mustExist = false;
    request.fileName = mPath;
    const QString path = mS.dialogs.getSaveFileName(request);
    if (!path.isEmpty())
        saveTo(path);
}

void ProjectDocument::mnuFileApplyCalibration_Click()
{
    const QString path = mS.dialogs.getOpenFileName(projectRequest(false));
    if (path.isEmpty())
        return;
    QString error;
    const std::optional<Project> project = readProject(path, &error, false);
    if (!project) {
        mS.messages.ShowError(error);
        return;
    }
    // One step: an undo takes the borrowed calibration back, values and all.
    changeCalibration(mS.calibration, mS.tables, project->calibration, tr("apply calibration"));
    mS.markers.redraw();
}

bool ProjectDocument::askSaveChanges()
{
    if (!mModified || mPath.isEmpty())
        return true;
    const int answer = mS.messages.AskYesNoCancel(saveChangesQuestion());
    if (answer == AnswerCancel)
        return false;
    if (answer == AnswerYes)
        return saveTo(mPath);
    return true;
}

UnsavedWork::Answer ProjectDocument::beforeReplacing()
{
    if (mPath.isEmpty())
        return Ask;
    return askSaveChanges() ? Replace : Keep;
}

bool ProjectDocument::mayClose()
{
    return askSaveChanges();
}

} // namespace chartrek
