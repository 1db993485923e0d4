// The things a user does most while digitizing by hand, timed on the real main window:
//  (a) moving the pointer over a calibrated picture: the picture mouse's move handling with
//      the status readout and the magnifier's display rectangle, per move;
//  (b) capturing one point into a table that already holds many sorted points;
//  (c) a move with the magnifier repainted, on a large photo-sized picture, at the smallest and
//      the largest factor, in the 1:1 and the fitted view: what the user waits for between two
//      moves (1 ms keeps up with a 1000 Hz mouse);
//  (e) the undo history's memory: 400 edits of a scale field over 246 points, and whole-table
//      steps on 10,000 points, with the history's 64 MB bound and without it;
//  (f) scrolling and zooming that large picture with the wheel, each step with the picture's
//      whole area repainted: what the user waits for between two turns of the wheel (a frame
//      at 60 Hz is 16.7 ms). Two rounds of zoom steps from 100 % up to 1600 %, down to 25 % and
//      back, ten scroll steps at each: the first round meets each size for the first time.
//
//   bench_capture [moves [points]]     (default 100000 moves, 10000 points)

#include "app/frmMain.h"
#include "points/UndoHistory.h"

#include <QAction>
#include "capture/PictureMouse.h"
#include "picture/ImageControl.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <ctime>

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstdio>
#include <numeric>
#include <random>
#include <vector>

using namespace chartrek;

namespace {

constexpr float kTwips = kTwipsPerPixel;

// A message on screen would stop the run; a benchmark only reports it.
class PrintingSink : public MessageSink {
public:
    int show(MessageKind, const QString &text) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return AnswerOk;
    }
};

QImage diagram(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), 1));
    for (int x = 0; x < w; x += 50)
        p.drawLine(x, 0, x, h);
    for (int y = 0; y < h; y += 50)
        p.drawLine(0, y, w, y);
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(100, h - 100, w - 100, 100);
    return image;
}

double percentile(std::vector<double> values, double p)
{
    const size_t k = std::min(values.size() - 1, size_t(p * double(values.size())));
    std::nth_element(values.begin(), values.begin() + long(k), values.end());
    return values[k];
}

// (c): returns the worst 99th percentile, microseconds.
double magnifierMoves(frmMain &window, PictureMouse &mouse, const QString &path)
{
    constexpr int w = 8000, h = 6000, moves = 2000;
    // Photo-like: many colours, so that the picture is reduced by median cut as a scan would be.
    QImage photo(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(photo.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb((x * 7 + y) & 255, (y * 5 + x / 3) & 255, (x ^ y) & 255);
    }
    if (!photo.save(path) || !window.openFile(path))
        return 1e9;
    auto *picture = window.findChild<ImageControl *>(QStringLiteral("mPicture"));
    auto *zoom = window.findChild<ImageControl *>(QStringLiteral("mZoomWindow"));
    auto *box = window.findChild<QComboBox *>(QStringLiteral("mZoomBox"));
    double worst = 0;
    std::printf("(c) one move with the magnifier repainted, %d x %d picture, %d moves:\n", w, h, moves);
    for (QAction *view : {window.menuItems().mnuViewNormal, window.menuItems().mnuViewWindow}) {
        view->trigger();
        QApplication::processEvents();
        const QRectF shown = picture->displayRect();
        for (int index : {0, box->count() - 1}) {
            box->setCurrentIndex(index);
            std::vector<double> perMove(moves);
            for (int i = -200; i < moves; ++i) { // the first 200 warm the caches
                const float X = float(shown.left() + std::fmod((i + 200) * 37.0 * kTwips, shown.width()));
                const float Y = float(shown.top() + std::fmod((i + 200) * 11.0 * kTwips, shown.height()));
                QElapsedTimer timer;
                timer.start();
                mouse.mPicture_MouseMove(0, 0, X, Y);
                QApplication::sendPostedEvents();
                zoom->repaint();
                if (i >= 0)
                    perMove[size_t(i)] = double(timer.nsecsElapsed()) / 1e3;
            }
            const double p99 = percentile(perMove, 0.99);
            worst = std::max(worst, p99);
            std::printf("    %-14s \"%s\": mean %7.1f us   99th percentile %7.1f us\n",
                        qPrintable(view->text().remove(QLatin1Char('&'))), qPrintable(box->currentText()),
                        std::accumulate(perMove.begin(), perMove.end(), 0.0) / moves, p99);
        }
    }
    return worst;
}

// The processor time of this thread, ms: on a shared machine the time a step takes apart from
// the time other processes have the processor.
double threadMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Step {
    double wall, cpu;
};

void printTimes(const char *what, const std::vector<Step> &steps)
{
    std::vector<double> wall, cpu;
    for (const Step &s : steps)
        wall.push_back(s.wall), cpu.push_back(s.cpu);
    std::printf("    %-40s %3zu steps, ms: median %5.2f, 99th percentile %6.2f (processor %5.2f), max %6.2f (%5.2f)\n",
                what, steps.size(), percentile(wall, 0.5), percentile(wall, 0.99), percentile(cpu, 0.99),
                *std::max_element(wall.begin(), wall.end()), *std::max_element(cpu.begin(), cpu.end()));
}

// (f): returns the 99th percentile of every step's processor time, ms.
double scrollAndZoom(frmMain &window)
{
    auto *picture = window.findChild<ImageControl *>(QStringLiteral("mPicture"));
    window.menuItems().mnuViewNormal->trigger();
    QApplication::processEvents();
    std::mt19937 random(11);
    std::uniform_real_distribution<double> anywhere(0.1, 0.9);
    // One notch of the wheel at a place of the viewport, and the repaint it brings.
    const auto turn = [&](QPoint angle, Qt::KeyboardModifiers modifiers) {
        const QRect view = picture->viewport();
        const QPointF at(view.width() * anywhere(random), view.height() * anywhere(random));
        QWheelEvent event(at, picture->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers, Qt::NoScrollPhase,
                          false);
        QElapsedTimer timer;
        timer.start();
        const double cpu = threadMs();
        QApplication::sendEvent(picture, &event);
        picture->repaint();
        return Step{double(timer.nsecsElapsed()) / 1e6, threadMs() - cpu};
    };
    std::vector<Step> scrolls, firstZooms, laterZooms, all;
    std::vector<int> steps(8, 1); // 100 % up to 1600 %, down to 25 %, back to 100 %
    steps.insert(steps.end(), 11, -1);
    steps.insert(steps.end(), 3, 1);
    for (int round = 0; round < 2; ++round) {
        for (const int step : steps) {
            const Step zoom = turn(QPoint(0, 120 * step), Qt::ControlModifier);
            (round == 0 ? firstZooms : laterZooms).push_back(zoom);
            all.push_back(zoom);
            for (int i = 0; i < 10; ++i) {
                const int notch = (i / 2) % 2 == 0 ? -120 : 120; // there and back, down and across
                scrolls.push_back(turn(QPoint(0, notch), i % 2 ? Qt::ShiftModifier : Qt::NoModifier));
                all.push_back(scrolls.back());
            }
            QApplication::processEvents();
        }
    }
    std::printf("(f) scrolling and zooming the %d x %d picture with the wheel, the whole area repainted each step\n"
                "    (the picture area %d x %d pixels):\n",
                picture->image().width(), picture->image().height(), picture->viewport().width(),
                picture->viewport().height());
    printTimes("one scroll step", scrolls);
    printTimes("one zoom step, each size a first time", firstZooms);
    printTimes("one zoom step, each size seen before", laterZooms);
    printTimes("every step", all);
    std::vector<double> cpu;
    for (const Step &s : all)
        cpu.push_back(s.cpu);
    return percentile(cpu, 0.99);
}

// The resident memory of this process, MB.
double residentMB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 / (1 << 20) : 0;
}

// (e): the history's memory, with its bound and (limit 0: none) without it.
void historyMemory(frmMain &window, qint64 limit)
{
    PointTables &tables = window.tables();
    UndoHistory &history = *tables.history();
    history.setMemoryLimit(limit > 0 ? limit : std::numeric_limits<qint64>::max());
    const auto fill = [&](int points) {
        UndoHistory::Step trace(&history, QStringLiteral("Autoline"));
        for (int i = 0; i < points; ++i)
            tables.AddPointToTables({qint32(-(100 + 1800.0 * i / points) * kTwips), -750 * qint32(kTwips)});
    };
    const char *bound = limit > 0 ? "64 MB bound" : "no bound   ";
    tables.startAfresh();
    fill(246);
    double before = residentMB();
    // Every keystroke an edit of its own: a digit, then Enter.
    auto *field = window.findChild<QLineEdit *>(QStringLiteral("sX2"));
    for (int i = 0; i < 400; ++i) {
        field->selectAll();
        const QString digit = QString::number(1 + i % 9);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_1 + i % 9, Qt::NoModifier, digit);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(field, &press);
        QApplication::sendEvent(field, &enter);
    }
    std::printf("    %s, 400 field edits on 246 points: %4d steps, history %6.1f MB, process +%6.1f MB\n", bound,
                history.steps(), double(history.approximateBytes()) / (1 << 20), residentMB() - before);
    window.calibration().setField(RefX2, QStringLiteral("18"));
    before = residentMB();
    for (int i = 0; i < 30; ++i) {
        tables.ResetPointTables(); // Delete data
        fill(10000);
    }
    std::printf("    %s, 30 x (Delete data, 10000 points traced): %4d steps, history %6.1f MB, process +%6.1f MB\n",
                bound, history.steps(), double(history.approximateBytes()) / (1 << 20), residentMB() - before);
    tables.startAfresh();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // the readout check expects "9.000"
    const int moves = argc > 1 ? atoi(argv[1]) : 100000;
    const int points = argc > 2 ? atoi(argv[2]) : 10000;
    constexpr int pictureW = 2000, pictureH = 1500;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("diagram.png"));
    if (!diagram(pictureW, pictureH).save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }

    PrintingSink sink;
    qputenv("CHARTREK_CONFIG_DIR", dir.filePath(QStringLiteral("config")).toLocal8Bit()); // no user's choices
    frmMain window(&sink);
    window.resize(1280, 900);
    window.show();
    QApplication::processEvents();
    if (!window.openFile(path))
        return 1;
    QApplication::processEvents();

    // Calibrated as a user would: origin at picture pixel (100, 1400) for (0, 0), corner at
    // (1900, 100) for (18, 1300); then the corner's values typed.
    PictureMouse &mouse = *window.findChild<PictureMouse *>(QStringLiteral("pictureMouse"));
    window.findChild<QPushButton *>(QStringLiteral("btnGetPoints"))->click();
    mouse.mPicture_MouseDown(1, 0, 100 * kTwips, 1400 * kTwips);
    mouse.mPicture_MouseDown(1, 0, 1900 * kTwips, 100 * kTwips);
    window.calibration().setField(RefX2, QStringLiteral("18"));
    window.calibration().setField(RefY2, QStringLiteral("1300"));
    if (!window.calibration().IsCalibrated()) {
        std::fprintf(stderr, "not calibrated\n");
        return 1;
    }

    QString lastText;
    QObject::connect(&mouse, &PictureMouse::statusText, &window, [&lastText](const QString &text) { lastText = text; });

    // (a) Moves along a path that sweeps the whole picture, each timed alone.
    const QRectF shown = window.findChild<ImageControl *>(QStringLiteral("mPicture"))->displayRect();
    auto moveTo = [&](int i) {
        const float X = float(shown.left() + std::fmod(i * 37.0 * kTwips, shown.width()));
        const float Y = float(shown.top() + std::fmod(i * 11.0 * kTwips, shown.height()));
        mouse.mPicture_MouseMove(0, 0, X, Y);
    };
    for (int i = 0; i < 1000; ++i)
        moveTo(i);
    std::vector<double> perMove(size_t(std::max(moves, 1)));
    for (int i = 0; i < moves; ++i) {
        QElapsedTimer timer;
        timer.start();
        moveTo(i);
        perMove[size_t(i)] = double(timer.nsecsElapsed()) / 1e3;
    }
    const double meanMove = std::accumulate(perMove.begin(), perMove.end(), 0.0) / double(perMove.size());
    std::printf("picture: %d x %d, window 1280 x 900, view 1:1, \"%s\"\n", pictureW, pictureH,
                qPrintable(window.findChild<QComboBox *>(QStringLiteral("mZoomBox"))->currentText()));
    std::printf("(a) one mouse move (readout + magnifier rectangle), %d moves:\n", moves);
    std::printf("    mean %8.2f us   99th percentile %8.2f us   max %8.2f us\n", meanMove,
                percentile(perMove, 0.99), *std::max_element(perMove.begin(), perMove.end()));

    // The readout must be the one for the pointer's place: picture pixel (1000, 750) stands
    // for x = 18 * 900 / 1800 = 9 and y = 1300 * 650 / 1300 = 650.
    mouse.mPicture_MouseMove(0, 0, float(shown.left() + 1000 * kTwips), float(shown.top() + 750 * kTwips));
    std::printf("    readout at picture pixel (1000, 750): \"%s\"\n", qPrintable(lastText));
    if (lastText != QLatin1String(" X: 9.000 - Y: 650.000")) {
        std::fprintf(stderr, "the readout is wrong: \"%s\"\n", qPrintable(lastText));
        return 2;
    }

    // (b) Captures into a sorted table of `points` points. Filled from the largest x down, so
    // that each fill point finds its row at once; then each timed capture lands at a random
    // place and is taken out again untimed, so that every capture meets the same table size.
    PointTables &tables = window.tables();
    window.state().mToolMode = SharedState::PointTool;
    for (int i = points - 1; i >= 0; --i)
        tables.AddPointToTables({qint32(-(100 + 1800.0 * i / points) * kTwips), -750 * qint32(kTwips)});
    if (tables.model().rows() != points + 2) {
        std::fprintf(stderr, "the table holds %d rows\n", tables.model().rows());
        return 1;
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<int> column(100 * 15, 1900 * 15);
    constexpr int captures = 1000;
    double captureTotal = 0;
    double captureMax = 0;
    for (int i = 0; i < captures; ++i) {
        const PicturePoint point{-column(random), -750 * 15};
        QElapsedTimer timer;
        timer.start();
        const int row = tables.AddPointToTables(point);
        const double us = double(timer.nsecsElapsed()) / 1e3;
        captureTotal += us;
        captureMax = std::max(captureMax, us);
        tables.model().removeGridRow(row);
    }
    std::printf("(b) one point captured into %d sorted points (%d captures):\n", points, captures);
    std::printf("    mean %8.1f us   max %8.1f us\n", captureTotal / captures, captureMax);

    // (d) The undo history: a capture at a time into a new table of 10,000 points, each capture
    // one step; then single undos, each with the picture brought back with its markers.
    constexpr int undoPoints = 10000;
    tables.startAfresh();
    for (int i = 0; i < undoPoints; ++i)
        tables.AddPointToTables({qint32(-(100 + 1800.0 * i / undoPoints) * kTwips), -750 * qint32(kTwips)});
    const UndoHistory &history = *tables.history();
    std::printf("(d) %d steps on a table of %d points: about %.1f MB of history\n", history.steps(),
                tables.pointCount(), double(history.approximateBytes()) / (1 << 20));
    constexpr int undos = 20;
    double undoTotal = 0, undoMax = 0;
    for (int i = 0; i < undos; ++i) {
        QElapsedTimer timer;
        timer.start();
        window.menuItems().mnuEditUndo->trigger();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        undoTotal += ms;
        undoMax = std::max(undoMax, ms);
    }
    std::printf("    one undo, markers of %d points redrawn: mean %6.1f ms   max %6.1f ms\n",
                tables.pointCount(), undoTotal / undos, undoMax);

    std::printf("(e) the undo history's memory (the bounded run first: freed memory stays with the process):\n");
    historyMemory(window, UndoHistory::kDefaultMemoryLimit);
    historyMemory(window, 0);

    const double worst = magnifierMoves(window, mouse, dir.filePath(QStringLiteral("photo.png")));
    const double frame = scrollAndZoom(window);
    return meanMove < 1000 && worst <= 1000 && frame <= 16 ? 0 : 2;
}
