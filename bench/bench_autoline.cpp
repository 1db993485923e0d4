// The Autoline tracer on one benchmark chart, driven through the real main window as a user
// would drive it: the picture opened, the axes calibrated with two clicks and four typed
// values, the Autoline command, the three set-up clicks (end, start, distance), and every
// "Get the line" dialog answered with the pixel of the true curve. Prints the traced points
// and how long the trace took.
//
//   bench_autoline CASE.json [--image png|jpg] [--curve N] [--tolerance T] [--out FILE] [--timeout S] [--verbose]
//                  [--exact-refs]
//
// Without --tolerance the colour tolerance is the program's start value.
//
// stdout (or FILE): one "x TAB y" line per traced point, "." for the decimal point.
// stderr, last line: "points=N picks=K trace_ms=T", T the wall time of the third set-up click
// less the time spent answering dialogs.
// Exit status: 0 traced to the end, 1 bad input or set-up, 3 the trace did not end normally.

#include "app/frmMain.h"
#include "autoline/LostLineRecovery.h"
#include "capture/PictureMouse.h"
#include "core/NumberText.h"
#include "core/Twips.h"
#include "picture/ImageControl.h"
#include "picture/PixProbeLibrary.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <vector>

using namespace chartrek;

namespace {

[[noreturn]] void fail(const QString &text)
{
    std::fprintf(stderr, "bench_autoline: %s\n", qPrintable(text));
    std::exit(1);
}

// One axis of the chart: picture px is linear in the value, or in log10 of it.
struct Axis {
    bool log = false;
    double px[2] = {0, 0};    // along this axis: x of the x references, y of the y references
    double typed[2] = {0, 0}; // what a user types: the value, or its exponent on a log axis
    double value[2] = {0, 0};

    double toPx(double v) const
    {
        const double u = log ? std::log10(v) : v;
        return px[0] + (u - typed[0]) / (typed[1] - typed[0]) * (px[1] - px[0]);
    }
};

Axis readAxis(const QJsonObject &axis, int coordinate)
{
    Axis a;
    a.log = axis.value(QStringLiteral("log")).toBool();
    const QJsonArray refs = axis.value(QStringLiteral("ref")).toArray();
    if (refs.size() != 2)
        fail(QStringLiteral("an axis needs two references"));
    for (int k = 0; k < 2; ++k) {
        const QJsonObject ref = refs[k].toObject();
        a.px[k] = ref.value(QStringLiteral("px")).toArray().at(coordinate).toDouble();
        a.value[k] = ref.value(QStringLiteral("value")).toDouble();
        a.typed[k] = a.log ? ref.value(QStringLiteral("log10_value")).toDouble() : a.value[k];
    }
    if (a.typed[0] == a.typed[1])
        fail(QStringLiteral("an axis' references have the same value"));
    return a;
}

struct PixelPos {
    int i = 0;
    int j = 0;
};

PixelPos pixelOf(const QJsonValue &pair)
{
    const QJsonArray a = pair.toArray();
    return {int(std::floor(a.at(0).toDouble())), int(std::floor(a.at(1).toDouble()))};
}

// The true curve as a polyline in picture px (straight there, since px is linear in the axis space).
struct Vertex {
    double x;
    double y;
};

std::vector<Vertex> readTruth(const QString &path, int curve, const Axis &ax, const Axis &ay)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail(QStringLiteral("cannot read %1").arg(path));
    std::vector<Vertex> line;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString text = in.readLine().trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        const QStringList f = text.split(QLatin1Char('\t'));
        bool ok[3] = {false, false, false};
        const int id = f.value(0).toInt(&ok[0]);
        const double x = f.value(1).toDouble(&ok[1]);
        const double y = f.value(2).toDouble(&ok[2]);
        if (f.size() == 3 && ok[0] && ok[1] && ok[2] && id == curve)
            line.push_back({ax.toPx(x), ay.toPx(y)});
    }
    if (line.size() < 2)
        fail(QStringLiteral("%1 holds no curve %2").arg(path).arg(curve));
    return line;
}

// The y (px) of the true curve at column position x (px); where the curve passes x more than
// once, or runs straight up there, the y nearest to `nearY`, as a user picks the curve by the
// spot the dialog shows. Beyond its ends, the nearer end.
double truthY(const std::vector<Vertex> &line, double x, double nearY)
{
    std::optional<double> best;
    auto consider = [&](double y) {
        if (!best || std::abs(y - nearY) < std::abs(*best - nearY))
            best = y;
    };
    for (size_t k = 1; k < line.size(); ++k) {
        const Vertex &a = line[k - 1], &b = line[k];
        if (x < std::min(a.x, b.x) || x > std::max(a.x, b.x))
            continue;
        if (a.x == b.x)
            consider(std::clamp(nearY, std::min(a.y, b.y), std::max(a.y, b.y)));
        else
            consider(a.y + (x - a.x) / (b.x - a.x) * (b.y - a.y));
    }
    if (best)
        return *best;
    auto left = line.front(), right = line.back();
    if (left.x > right.x)
        std::swap(left, right);
    return x < left.x ? left.y : right.y;
}

// Answers every message as a user who reads it and presses OK (Yes to a question), and keeps it.
class RecordingSink : public MessageSink {
public:
    QStringList texts;
    int show(MessageKind kind, const QString &text) override
    {
        texts << text;
        return kind == MessageKind::YesNo || kind == MessageKind::YesNoCancel ? AnswerYes : AnswerOk;
    }
};

// No file dialog is expected; one that comes anyway is cancelled.
class NoDialogs : public FileDialogs {
public:
    QString getOpenFileName(const FileDialogRequest &) override { return {}; }
    QString getSaveFileName(const FileDialogRequest &, QString * = nullptr) override { return {}; }
};

template <typename T>
T *partOf(const frmMain &window, const char *objectName)
{
    T *part = window.findChild<T *>(QLatin1String(objectName));
    if (!part)
        fail(QStringLiteral("the window has no %1").arg(QLatin1String(objectName)));
    return part;
}

// A press of the left button on picture pixel (i, j) in the 1:1 view at display origin 0, 0.
void click(PictureMouse &mouse, PixelPos p)
{
    const float X = float(p.i * kTwipsPerPixel), Y = float(p.j * kTwipsPerPixel);
    mouse.mPicture_MouseDown(1, 0, X, Y);
    mouse.mPicture_MouseUp(1, 0, X, Y);
}

struct Options {
    QString casePath;
    QString image = QStringLiteral("png");
    int curve = 0;
    int tolerance = -1; // the program's start value
    QString out;
    int timeoutSeconds = 300;
    bool verbose = false;
    // The references clicked at their exact positions, to a fifteenth of a pixel, as a user
    // does in a zoomed view; without it, at the top-left corner of their pixels, as at 1:1.
    bool exactRefs = false;
};

Options parseArguments(const QStringList &args)
{
    Options o;
    for (int k = 1; k < args.size(); ++k) {
        const QString &a = args[k];
        const bool hasValue = k + 1 < args.size();
        bool ok = true;
        if (a == QLatin1String("--image") && hasValue)
            o.image = args[++k];
        else if (a == QLatin1String("--curve") && hasValue)
            o.curve = args[++k].toInt(&ok);
        else if (a == QLatin1String("--tolerance") && hasValue)
            o.tolerance = args[++k].toInt(&ok);
        else if (a == QLatin1String("--out") && hasValue)
            o.out = args[++k];
        else if (a == QLatin1String("--timeout") && hasValue)
            o.timeoutSeconds = args[++k].toInt(&ok);
        else if (a == QLatin1String("--verbose"))
            o.verbose = true;
        else if (a == QLatin1String("--exact-refs"))
            o.exactRefs = true;
        else if (o.casePath.isEmpty() && !a.startsWith(QLatin1String("--")))
            o.casePath = a;
        else
            ok = false;
        if (!ok)
            fail(QStringLiteral("usage: bench_autoline CASE.json [--image png|jpg] [--curve N] [--tolerance T] "
                                "[--out FILE] [--timeout S] [--verbose] [--exact-refs]"));
    }
    if (o.casePath.isEmpty())
        fail(QStringLiteral("no case given"));
    return o;
}

// Calibrates as a user does: "get", a click on the origin, a click on the corner (both pairs
// are chained at start), the log boxes, then the four values typed into their fields.
void calibrate(frmMain &window, PictureMouse &mouse, const Axis &ax, const Axis &ay, QPoint origin, QPoint corner)
{
    partOf<QPushButton>(window, "btnGetPoints")->click();
    for (const QPoint p : {origin, corner}) {
        mouse.mPicture_MouseDown(1, 0, float(p.x()), float(p.y()));
        mouse.mPicture_MouseUp(1, 0, float(p.x()), float(p.y()));
    }
    if (window.state().mCalibrating)
        fail(QStringLiteral("the two calibration clicks did not end the reference capture"));
    if (ax.log)
        partOf<QCheckBox>(window, "XLog")->click();
    if (ay.log)
        partOf<QCheckBox>(window, "YLog")->click();
    const QLocale c = QLocale::c();
    partOf<QLineEdit>(window, "sX1")->setText(generalNumberText(ax.typed[0], c));
    partOf<QLineEdit>(window, "sX2")->setText(generalNumberText(ax.typed[1], c));
    partOf<QLineEdit>(window, "sY1")->setText(generalNumberText(ay.typed[0], c));
    partOf<QLineEdit>(window, "sY2")->setText(generalNumberText(ay.typed[1], c));
    if (!window.calibration().IsCalibrated())
        fail(QStringLiteral("the picture is not calibrated"));

    // The clicked pixels must read back as the references' values.
    const auto near = [](double a, double b) { return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(b)); };
    for (int k = 0; k < 2; ++k) {
        const QPoint p = k == 0 ? origin : corner;
        ValuePoint v{std::nan(""), std::nan("")};
        window.calibration().PictureToValue({-p.x(), -p.y()}, v);
        if (!near(v.x, ax.value[k]) || !near(v.y, ay.value[k]))
            fail(QStringLiteral("twips (%1, %2) read %3, %4 instead of %5, %6")
                     .arg(p.x()).arg(p.y()).arg(v.x).arg(v.y).arg(ax.value[k]).arg(ay.value[k]));
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The module is built next to the program, not next to the benchmarks.
    if (qEnvironmentVariableIsEmpty("CHARTREK_PIXPROBE_DIR"))
        qputenv("CHARTREK_PIXPROBE_DIR", CHARTREK_PIXPROBE_BUILD_DIR);
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    // The set-up's start values, not the user's last choices.
    const QTemporaryDir settings;
    qputenv("CHARTREK_CONFIG_DIR", settings.path().toLocal8Bit());
    const Options opt = parseArguments(app.arguments());

    // The case.
    QFile caseFile(opt.casePath);
    if (!caseFile.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1").arg(opt.casePath));
    const QJsonObject chart = QJsonDocument::fromJson(caseFile.readAll()).object();
    const QJsonObject axes = chart.value(QStringLiteral("axes")).toObject();
    const Axis ax = readAxis(axes.value(QStringLiteral("x")).toObject(), 0);
    const Axis ay = readAxis(axes.value(QStringLiteral("y")).toObject(), 1);
    const QJsonArray xRefs = axes.value(QStringLiteral("x")).toObject().value(QStringLiteral("ref")).toArray();
    const QJsonArray yRefs = axes.value(QStringLiteral("y")).toObject().value(QStringLiteral("ref")).toArray();
    // Where the references are clicked, in control twips at 1:1.
    const auto refTwips = [&](const QJsonArray &refs, int k, int axis) {
        const double px = refs[k].toObject().value(QStringLiteral("px")).toArray().at(axis).toDouble();
        return int(opt.exactRefs ? std::lround(px * kTwipsPerPixel) : std::floor(px) * kTwipsPerPixel);
    };
    const QPoint origin(refTwips(xRefs, 0, 0), refTwips(xRefs, 0, 1));
    const QPoint corner(refTwips(xRefs, 1, 0), refTwips(yRefs, 1, 1));

    QJsonObject curve;
    for (const QJsonValue c : chart.value(QStringLiteral("curves")).toArray()) {
        if (c.toObject().value(QStringLiteral("id")).toInt(-1) == opt.curve)
            curve = c.toObject();
    }
    if (curve.isEmpty())
        fail(QStringLiteral("the case has no curve %1").arg(opt.curve));
    const auto curvePixel = [&](const char *name) {
        return pixelOf(curve.value(QLatin1String(name)).toObject().value(QStringLiteral("pixel")));
    };
    const PixelPos end = curvePixel("end"), start = curvePixel("start"), step = curvePixel("step");

    const QFileInfo caseInfo(opt.casePath);
    const QString imageName = chart.value(QStringLiteral("images")).toObject().value(opt.image).toString();
    if (imageName.isEmpty())
        fail(QStringLiteral("the case has no %1 picture").arg(opt.image));
    const QString imagePath = caseInfo.dir().filePath(imageName);
    QString truthName = chart.value(QStringLiteral("truth")).toString();
    if (truthName.isEmpty())
        truthName = caseInfo.completeBaseName() + QStringLiteral(".truth.tsv");
    const QString truthPath = caseInfo.dir().filePath(truthName);
    const std::vector<Vertex> truth = readTruth(truthPath, opt.curve, ax, ay);

    if (!PixProbeLibrary::shared().ensureLoaded())
        fail(QStringLiteral("no pixel-probe module: %1").arg(PixProbeLibrary::shared().errorString()));

    // The window, the picture at 1:1.
    RecordingSink sink;
    NoDialogs dialogs;
    frmMain window(&sink, &dialogs);
    window.resize(1280, 900);
    window.show();
    QApplication::processEvents();
    if (!window.openFile(imagePath))
        fail(QStringLiteral("the program did not open %1: %2").arg(imagePath, sink.texts.join(QLatin1String(" | "))));
    QApplication::processEvents();
    const QRectF shown = partOf<ImageControl>(window, "mPicture")->displayRect();
    if (window.state().mViewScale != 1.0 || shown.left() != 0 || shown.top() != 0)
        fail(QStringLiteral("the view is not 1:1 at 0, 0"));

    PictureMouse &mouse = *partOf<PictureMouse>(window, "pictureMouse");
    calibrate(window, mouse, ax, ay, origin, corner);

    // The dialogs of the trace: the true curve's pixel in the column the tracer asks about
    // (or in the column it must not go left of), counted and timed apart from the trace.
    SharedState &state = window.state();
    int picks = 0;
    qint64 answeringNs = 0;
    partOf<LostLineRecovery>(window, "lostLineRecovery")->setAnswerer([&](PixProbePoint &point) {
        QElapsedTimer answering;
        answering.start();
        ++picks;
        const qint32 x = std::max(point.x, state.mRecoveryRefX);
        const int column = floorDiv(x, kTwipsPerPixel);
        const double expectedRow = -double(point.y) / kTwipsPerPixel;
        const int row = int(std::floor(truthY(truth, column + 0.5, expectedRow)));
        const PixProbePoint pick{std::max(column * kTwipsPerPixel, state.mRecoveryRefX), -row * kTwipsPerPixel};
        if (opt.verbose)
            std::fprintf(stderr, "pick %d: expected (%d, %d) twips, ref x %d -> pixel (%d, %d)\n", picks, point.x,
                         point.y, state.mRecoveryRefX, column, row);
        point = pick;
        answeringNs += answering.nsecsElapsed();
        return true;
    });

    // The Autoline command and its three clicks; the third runs the trace.
    if (opt.tolerance >= 0)
        state.mColorTolerance = opt.tolerance;
    const int tolerance = state.mColorTolerance;
    if (!state.mHasGrid || !state.mHasLines)
        std::fprintf(stderr, "bench_autoline: note: \"has grid\" %d, \"has lines next to it\" %d at start\n",
                     int(state.mHasGrid), int(state.mHasLines));
    QAction *autoline = window.menuItems().mnuAutomatic;
    if (!autoline->isEnabled())
        fail(QStringLiteral("the Autoline command is disabled"));
    autoline->trigger();
    QApplication::processEvents();
    if (state.mToolMode != SharedState::AutoLineTool)
        fail(QStringLiteral("the Autoline command did not start the set-up: %1").arg(sink.texts.join(QLatin1String(" | "))));
    if (state.mColorTolerance != tolerance)
        fail(QStringLiteral("the colour tolerance is %1, not %2").arg(state.mColorTolerance).arg(tolerance));
    const qsizetype before = sink.texts.size();
    click(mouse, end);
    click(mouse, start);
    QElapsedTimer timer;
    timer.start();
    // A trace that goes on too long, or adds more points than a trace moving right can, is
    // stopped with the control window's Cancel, as a user would; its last points are reported.
    QString stopped;
    PointTableModel &model = window.tables().model();
    const auto lastPoints = [&model] {
        QStringList last;
        for (int row = std::max(1, model.rows() - 5); row < model.rows() - 1; ++row)
            last << QStringLiteral("(%1, %2)").arg(model.cell(PointTableModel::Originale, row, 0),
                                                   model.cell(PointTableModel::Originale, row, 1));
        return last.join(QLatin1Char(' '));
    };
    const auto stop = [&](const QString &why) {
        if (!stopped.isEmpty())
            return;
        stopped = why + QStringLiteral("; the last points at picture ") + lastPoints();
        QTimer::singleShot(0, &window, [&window] {
            partOf<QWidget>(window, "frmAutomatic")->findChild<QPushButton *>(QStringLiteral("btnCancel"))->click();
        });
    };
    const int maxPoints = (end.i - start.i + 2) * kTwipsPerPixel;
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, &window, [&] {
        const int points = model.rows() - 2;
        if (opt.verbose && points % 100 == 0)
            std::fprintf(stderr, "%d points, %d picks, %lld ms, the last at picture (%s, %s)\n", points, picks,
                         timer.elapsed(), qPrintable(model.cell(PointTableModel::Originale, points, 0)),
                         qPrintable(model.cell(PointTableModel::Originale, points, 1)));
        if (points > maxPoints)
            stop(QStringLiteral("%1 points, more than the %2 twips from start to end").arg(points).arg(maxPoints));
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &window,
                     [&] { stop(QStringLiteral("still tracing after %1 s").arg(opt.timeoutSeconds)); });
    watchdog.start(opt.timeoutSeconds * 1000);
    mouse.mPicture_MouseDown(1, 0, float(step.i * kTwipsPerPixel), float(step.j * kTwipsPerPixel));
    const qint64 traceNs = timer.nsecsElapsed() - answeringNs;
    mouse.mPicture_MouseUp(1, 0, float(step.i * kTwipsPerPixel), float(step.j * kTwipsPerPixel));

    bool ended = false;
    for (qsizetype k = before; k < sink.texts.size(); ++k) {
        if (sink.texts[k].startsWith(QLatin1String("Line read.")))
            ended = true;
        if (opt.verbose || !sink.texts[k].startsWith(QLatin1String("Line read.")))
            std::fprintf(stderr, "message: %s\n", qPrintable(sink.texts[k]));
    }

    QString text = BuildExportText(window.tables().model(), true);
    text.remove(QLatin1Char('\r'));
    const int points = int(text.count(QLatin1Char('\n')));
    const QByteArray bytes = text.toLatin1();
    if (opt.out.isEmpty()) {
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        std::fflush(stdout);
    } else {
        QFile out(opt.out);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
            fail(QStringLiteral("cannot write %1").arg(opt.out));
    }
    if (!stopped.isEmpty())
        std::fprintf(stderr, "bench_autoline: cancelled: %s\n", qPrintable(stopped));
    if (!ended)
        std::fprintf(stderr, "bench_autoline: the trace did not end with \"Line read.\"\n");
    std::fprintf(stderr, "points=%d picks=%d trace_ms=%.1f\n", points, picks, double(traceNs) / 1e6);
    return ended ? 0 : 3;
}
