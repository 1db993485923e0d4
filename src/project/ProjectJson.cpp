// project.json: the figure without its picture. Every value read is checked for its type and
// range before anything is taken, so that a damaged or hand-made file is refused with the name
// of what is wrong, never half taken.
#include "project/ProjectJson.h"

#include "core/NumberText.h"
#include "picture/ImageOps.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace chartrek {

namespace {

const char *const kRefNames[] = {"X1", "X2", "Y1", "Y2"};
const char *const kViewModes[] = {"normal", "fit", "zoom"};
constexpr qsizetype kMaxCurves = 1000;
constexpr qsizetype kMaxPoints = 10'000'000;
constexpr qsizetype kMaxText = 1000;

QString colorText(quint32 ref)
{
    return QStringLiteral("#%1%2%3")
        .arg(ref & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((ref >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((ref >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

// A typed value: a number where it reads as one, else its text (an empty field stays empty).
QJsonValue fieldValue(const QString &text)
{
    if (text.trimmed().isEmpty())
        return QJsonValue::Null;
    if (const auto number = parseNumber(text))
        return *number;
    return text;
}

QString fieldText(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', QLocale::FloatingPointShortest);
}

// Reads with a path for the message of the first fault; later reads of a failed reader give
// harmless values, so that the caller checks once at the end.
class Reader {
public:
    QString error;

    bool ok() const { return error.isEmpty(); }
    void fail(const QString &path, const QString &what)
    {
        if (error.isEmpty())
            error = path + QLatin1Char(' ') + what;
    }
    QJsonObject object(const QJsonObject &in, const char *key, const QString &path)
    {
        const QJsonValue v = in.value(QLatin1String(key));
        if (!v.isObject())
            fail(path + QLatin1Char('.') + QLatin1String(key), ProjectTexts::tr("is not an object"));
        return v.toObject();
    }
    QJsonArray array(const QJsonValue &v, const QString &path, qsizetype most)
    {
        if (!v.isArray())
            fail(path, ProjectTexts::tr("is not a list"));
        else if (v.toArray().size() > most)
            fail(path, ProjectTexts::tr("holds more than %1 entries").arg(most));
        return v.toArray();
    }
    bool flag(const QJsonObject &in, const char *key, const QString &path)
    {
        const QJsonValue v = in.value(QLatin1String(key));
        if (!v.isBool())
            fail(path + QLatin1Char('.') + QLatin1String(key), ProjectTexts::tr("is not true or false"));
        return v.toBool();
    }
    double number(const QJsonValue &v, const QString &path)
    {
        if (!v.isDouble() || !std::isfinite(v.toDouble()))
            fail(path, ProjectTexts::tr("is not a number"));
        return v.toDouble();
    }
    qint64 integer(const QJsonValue &v, const QString &path, qint64 least, qint64 most)
    {
        const double d = number(v, path);
        if (ok() && (d != std::floor(d) || d < double(least) || d > double(most)))
            fail(path, ProjectTexts::tr("is not a whole number from %1 to %2").arg(least).arg(most));
        return ok() ? qint64(d) : least;
    }
    QString text(const QJsonValue &v, const QString &path)
    {
        if (!v.isString() || v.toString().size() > kMaxText)
            fail(path, ProjectTexts::tr("is not a text of at most %1 characters").arg(kMaxText));
        return v.toString();
    }
};

QString at(const QString &path, qsizetype index)
{
    return path + QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
}

void readCalibration(Reader &r, const QJsonObject &root, CalibrationState &state)
{
    const QJsonObject cal = r.object(root, "calibration", QStringLiteral("project"));
    const QString path = QStringLiteral("calibration");
    state.xLog = r.flag(cal, "x_log", path);
    state.yLog = r.flag(cal, "y_log", path);
    const QJsonObject refs = r.object(cal, "references", path);
    for (int i = 0; i < 4; ++i) {
        const QString refPath = path + QStringLiteral(".references.") + QLatin1String(kRefNames[i]);
        const QJsonValue v = refs.value(QLatin1String(kRefNames[i]));
        if (!v.isObject()) {
            r.fail(refPath, ProjectTexts::tr("is not an object"));
            return;
        }
        const QJsonObject ref = v.toObject();
        const QJsonValue value = ref.value(QStringLiteral("value"));
        if (value.isNull())
            state.field[i].clear();
        else if (value.isString())
            state.field[i] = r.text(value, refPath + QStringLiteral(".value"));
        else
            state.field[i] = fieldText(r.number(value, refPath + QStringLiteral(".value")));
        const double position = r.number(ref.value(QStringLiteral("position")), refPath + QStringLiteral(".position"));
        if (r.ok() && std::abs(position) > double(std::numeric_limits<qint32>::max()))
            r.fail(refPath + QStringLiteral(".position"), ProjectTexts::tr("lies outside every picture"));
        state.caption[i] = generalNumberText(position, QLocale(), 7);
        state.color[i] = r.flag(ref, "set", refPath) ? ColorSet : ColorNotSet;
    }
}

void readCurves(Reader &r, const QJsonObject &root, Project &project)
{
    const QJsonArray curves = r.array(root.value(QStringLiteral("curves")), QStringLiteral("curves"), kMaxCurves);
    if (r.ok() && curves.isEmpty())
        r.fail(QStringLiteral("curves"), ProjectTexts::tr("is empty"));
    qsizetype total = 0;
    for (qsizetype c = 0; c < curves.size() && r.ok(); ++c) {
        const QString path = at(QStringLiteral("curves"), c);
        if (!curves[c].isObject()) {
            r.fail(path, ProjectTexts::tr("is not an object"));
            break;
        }
        const QJsonObject in = curves[c].toObject();
        ProjectCurve curve;
        curve.name = r.text(in.value(QStringLiteral("name")), path + QStringLiteral(".name"));
        const QString color = r.text(in.value(QStringLiteral("color")), path + QStringLiteral(".color"));
        const bool hex = color.size() == 7 && color.startsWith(QLatin1Char('#'))
            && std::all_of(color.cbegin() + 1, color.cend(), [](QChar c) { return isxdigit(c.unicode()) && c.unicode() < 0x80; });
        const uint rgb = hex ? color.mid(1).toUInt(nullptr, 16) : 0;
        if (r.ok() && !hex)
            r.fail(path + QStringLiteral(".color"), ProjectTexts::tr("is not a colour \"#rrggbb\""));
        curve.color = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
        const QJsonArray points = r.array(in.value(QStringLiteral("points")), path + QStringLiteral(".points"), kMaxPoints);
        total += points.size();
        if (total > kMaxPoints)
            r.fail(QStringLiteral("curves"), ProjectTexts::tr("hold more than %1 points").arg(kMaxPoints));
        curve.points.reserve(points.size());
        curve.values.reserve(points.size());
        for (qsizetype p = 0; p < points.size() && r.ok(); ++p) {
            const QString pointPath = at(path + QStringLiteral(".points"), p);
            const QJsonArray point = points[p].toArray();
            if (!points[p].isArray() || point.size() != 4) {
                r.fail(pointPath, ProjectTexts::tr("is not a list of four numbers"));
                break;
            }
            constexpr qint64 lo = std::numeric_limits<qint32>::min(), hi = std::numeric_limits<qint32>::max();
            curve.points.append({qint32(r.integer(point[0], pointPath, lo, hi)), qint32(r.integer(point[1], pointPath, lo, hi))});
            curve.values.append({r.number(point[2], pointPath), r.number(point[3], pointPath)});
        }
        project.curves.append(std::move(curve));
    }
    project.current = int(r.integer(root.value(QStringLiteral("current_curve")), QStringLiteral("current_curve"), 0,
                                    std::max<qsizetype>(project.curves.size() - 1, 0)));
}

void readView(Reader &r, const QJsonObject &root, ProjectView &view)
{
    const QJsonObject in = r.object(root, "view", QStringLiteral("project"));
    const QString mode = r.text(in.value(QStringLiteral("mode")), QStringLiteral("view.mode"));
    const auto known = std::find(std::begin(kViewModes), std::end(kViewModes), mode);
    if (r.ok() && known == std::end(kViewModes))
        r.fail(QStringLiteral("view.mode"), ProjectTexts::tr("is not \"normal\", \"fit\" or \"zoom\""));
    view.mode = ProjectView::Mode(known - std::begin(kViewModes));
    view.scale = r.number(in.value(QStringLiteral("scale")), QStringLiteral("view.scale"));
    if (r.ok() && !(view.scale > 0 && view.scale < 1e6))
        r.fail(QStringLiteral("view.scale"), ProjectTexts::tr("is not a scale"));
    const QJsonArray d = r.array(in.value(QStringLiteral("display")), QStringLiteral("view.display"), 4);
    if (r.ok() && d.size() != 4)
        r.fail(QStringLiteral("view.display"), ProjectTexts::tr("is not a list of four numbers"));
    for (int i = 0; i < 4 && r.ok(); ++i)
        r.number(d[i], QStringLiteral("view.display"));
    if (r.ok())
        view.display = QRectF(d[0].toDouble(), d[1].toDouble(), d[2].toDouble(), d[3].toDouble());
}

} // namespace

QByteArray projectJson(const Project &project)
{
    QJsonObject refs;
    for (int i = 0; i < 4; ++i) {
        refs.insert(QLatin1String(kRefNames[i]),
                    QJsonObject{{QStringLiteral("value"), fieldValue(project.calibration.field[i])},
                                {QStringLiteral("position"), parseNumber(project.calibration.caption[i]).value_or(0)},
                                {QStringLiteral("set"), project.calibration.color[i] != ColorNotSet}});
    }
    QJsonArray curves;
    for (const ProjectCurve &curve : project.curves) {
        QJsonArray points;
        for (qsizetype p = 0; p < curve.points.size(); ++p) {
            const ValuePoint v = p < curve.values.size() ? curve.values[p] : ValuePoint{};
            points.append(QJsonArray{curve.points[p].x, curve.points[p].y, v.x, v.y});
        }
        curves.append(QJsonObject{{QStringLiteral("name"), curve.name},
                                  {QStringLiteral("color"), colorText(curve.color)},
                                  {QStringLiteral("points"), points}});
    }
    const ProjectView &v = project.view;
    const QJsonObject root{
        {QStringLiteral("format_version"), kProjectFormatVersion},
        {QStringLiteral("picture"), QJsonObject{{QStringLiteral("file"), QStringLiteral("picture.png")},
                                                {QStringLiteral("width"), project.pictureSize.width()},
                                                {QStringLiteral("height"), project.pictureSize.height()}}},
        {QStringLiteral("calibration"), QJsonObject{{QStringLiteral("x_log"), project.calibration.xLog},
                                                    {QStringLiteral("y_log"), project.calibration.yLog},
                                                    {QStringLiteral("references"), refs}}},
        {QStringLiteral("curves"), curves},
        {QStringLiteral("current_curve"), project.current},
        {QStringLiteral("view"),
         QJsonObject{{QStringLiteral("mode"), QLatin1String(kViewModes[v.mode])},
                     {QStringLiteral("scale"), v.scale},
                     {QStringLiteral("display"),
                      QJsonArray{v.display.left(), v.display.top(), v.display.width(), v.display.height()}}}},
        {QStringLiteral("autoline"), QJsonObject{{QStringLiteral("has_lines"), project.hasLines},
                                                 {QStringLiteral("has_grid"), project.hasGrid},
                                                 {QStringLiteral("color_tolerance"), project.colorTolerance}}},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::optional<Project> parseProjectJson(const QByteArray &json, QString *error, bool *newer)
{
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject()) {
        *error = ProjectTexts::tr("its description is not readable (%1)").arg(parse.errorString());
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    Reader r;
    const qint64 version = r.integer(root.value(QStringLiteral("format_version")), QStringLiteral("format_version"), 1,
                                     std::numeric_limits<qint32>::max());
    if (r.ok() && version > kProjectFormatVersion) {
        *error = ProjectTexts::tr("it was saved by a newer version of Chartrek (format %1; this version reads format %2)")
                     .arg(version)
                     .arg(kProjectFormatVersion);
        if (newer)
            *newer = true;
        return std::nullopt;
    }
    Project project;
    const QJsonObject picture = r.object(root, "picture", QStringLiteral("project"));
    const int w = int(r.integer(picture.value(QStringLiteral("width")), QStringLiteral("picture.width"), 1, MaxPictureSide));
    const int h = int(r.integer(picture.value(QStringLiteral("height")), QStringLiteral("picture.height"), 1, MaxPictureSide));
    project.pictureSize = QSize(w, h);
    readCalibration(r, root, project.calibration);
    readCurves(r, root, project);
    readView(r, root, project.view);
    const QJsonObject autoline = r.object(root, "autoline", QStringLiteral("project"));
    project.hasLines = r.flag(autoline, "has_lines", QStringLiteral("autoline"));
    project.hasGrid = r.flag(autoline, "has_grid", QStringLiteral("autoline"));
    project.colorTolerance = int(r.integer(autoline.value(QStringLiteral("color_tolerance")),
                                           QStringLiteral("autoline.color_tolerance"), 0, 255));
    if (!r.ok()) {
        *error = r.error;
        return std::nullopt;
    }
    return project;
}

} // namespace chartrek
