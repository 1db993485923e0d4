// The tracer's decisions, on a scripted picture: where it searches, when it asks the user.
#include "autoline/LineTracer.h"

#include <QTest>

#include <functional>

using namespace chartrek;

namespace {

constexpr qint32 C = 0x00FF00;
// The line's edge where it straddles pixels: 60 off the line colour, halfway to the paper.
constexpr qint32 kFaded = 0x3CFF3C;

// The line is where `line` says; the probe module's answer is scripted by `snap`.
struct Host : TraceHost {
    std::function<bool(qint32, qint32)> line = [](qint32, qint32) { return false; };
    std::function<bool(qint32, qint32)> faded;
    std::function<qint32(PixProbePoint &)> snap = [](PixProbePoint &) { return PIXPROBE_FOUND; };
    std::function<bool(PixProbePoint &)> pick = [](PixProbePoint &) { return true; };
    int reads = 0; // after the first snap: what the trace reads, not what it learns of the line
    int snaps = 0;
    QList<PixProbePoint> asked, added;

    qint32 colorAt(qint32 x, qint32 y) override
    {
        return reads += snaps > 0, line(x, y) ? C : faded && faded(x, y) ? kFaded : 0xFFFFFF;
    }
    qint32 linePoint(qint32 x, qint32 y, PixProbePoint &p, const PixProbeLine &) override
    {
        return ++snaps, p = {x, y}, snap(p);
    }
    double pictureHeight() override { return 15000; }
    void addTracedPoint(qint32 x, qint32 y, qint32) override { added.append({x, y}); }
    void repaintPicture() override {}
    void setProgress(int, int, int) override {}
    void processEvents() override {}
    bool getPointFromUser(PixProbePoint &p) override { return asked.append(p), pick(p); }
};

// Where the line lies, the point before the current one (0, 0), whether "has lines next to it"
// is ticked; how often the user is asked, and the point added next; where the line is faded.
using Line = std::function<bool(qint32, qint32)>;
struct HalfCircles { Line line; PixProbePoint p0; bool hasLines; int questions; PixProbePoint next; Line faded = {}; };

} // namespace

bool operator==(const PixProbePoint &a, const PixProbePoint &b) { return a.x == b.x && a.y == b.y; }
char *toString(const PixProbePoint &p) { return QTest::toString(QPoint(p.x, p.y)); }

class TestLineTracer : public QObject {
    Q_OBJECT
private slots:
    void straightLineIsFollowedWithoutSearch()
    {
        SharedState s;
        Host host;
        host.line = [](qint32 x, qint32 y) { return qAbs(y - (-300 - x / 2)) <= 7; };
        PixProbePoint p0{0, -300}, p1{150, -375};
        const TraceResult r = LineTracer(s, host).TraceLine(C, p0, p1, {600, -600});
        QCOMPARE(r.ending, TraceResult::Completed);
        QCOMPARE(r.pointsRead, 3); // "Line read" counts these and the two set-up points: 5
        QCOMPARE(host.reads, 3);   // one prediction a step, each on the line
        QCOMPARE(host.added.last(), (PixProbePoint{600, -600}));
        QVERIFY(host.asked.isEmpty());
    }

    // The half-circles around the current point: what they find and when the user is asked.
    void searchOnTheHalfCircles_data()
    {
        QTest::addColumn<HalfCircles>("row");
        // A vertical line below the current point: only i = 0 meets it, in the current point's
        // pixel column; a row a column, so on to the middle of the next one.
        QTest::newRow("vertical part")
            << HalfCircles{[](qint32 x, qint32 y) { return x == 0 && y < -50; }, {-100, 0}, true, 0, {22, -100}};
        // A steep line met above and below: below is where the trace came from, not a second line.
        QTest::newRow("steep line") << HalfCircles{[](qint32 x, qint32 y) { return qAbs(x - y / 22.0) <= 15 && y < 150; },
                                                   {-100, -2200}, true, 0, {22, 99}};
        // Two lines cross both half-circles.
        const auto two = [](qint32, qint32 y) { return qAbs(qAbs(y) - 50) <= 10; };
        QTest::newRow("two crossings, lines next to it") << HalfCircles{two, {-100, 0}, true, 1, {90, -44}};
        QTest::newRow("two crossings, no lines next to it") << HalfCircles{two, {-100, 0}, false, 0, {90, -44}};
        // A short mark where the half-circles meet, the prediction above it: one crossing.
        QTest::newRow("one crossing at the meeting point") << HalfCircles{
            [](qint32 x, qint32 y) { return qAbs(x - 100) <= 2 && qAbs(y) <= 10; }, {-100, -30}, true, 0, {100, 0}};
        // Nothing anywhere: the search shrinks below two pixels, then the user picks the last
        // prediction, x1 + w / 4.
        QTest::newRow("nothing found") << HalfCircles{[](qint32, qint32) { return false; }, {-100, 0}, false, 1, {25, 0}};
        // A gap in a dashed line, wider than the step: found along the prediction beyond it.
        QTest::newRow("a gap in a dashed line")
            << HalfCircles{[](qint32 x, qint32 y) { return x >= 150 && qAbs(y) <= 5; }, {-100, 0}, true, 0, {150, 0}};
        // A gap of 26 pixels with a line of the same colour 14 pixels below: ahead of the gap
        // lie two lines, and with lines next to it the user picks.
        const auto besideGap = [](qint32 x, qint32 y) { return (qAbs(y) <= 15 && (x <= 0 || x >= 390)) || qAbs(y + 210) <= 15; };
        QTest::newRow("a gap beside a line of its colour") << HalfCircles{besideGap, {-150, 0}, true, 1, {202, -202}};
        // Jagged data turning back at the current point, where only the line's faded edge joins
        // its two arms: one line, no question.
        const auto turn = [](qint32 x, qint32 y) { return qHypot(x, y) <= 75; };
        const auto arms = [turn](qint32 x, qint32 y) {
            return !turn(x, y) && ((x < 0 && qAbs(y) <= 10) || (x > 0 && qAbs(qAbs(y) - x) <= 12));
        };
        QTest::newRow("a sharp turn joined by its faded edge") << HalfCircles{arms, {-100, 0}, true, 0, {70, -71}, turn};
        // The current point in the middle of an open marker, whose outline the half-circles run
        // along on both sides, the line leaving it on the right: one line, no question.
        const auto openMarker = [](qint32 x, qint32 y) {
            return (qAbs(qHypot(x, y) - 100) <= 10 && !(x > 80 && qAbs(y) < 30)) || (x > 100 && qAbs(y) <= 10);
        };
        QTest::newRow("inside an open marker") << HalfCircles{openMarker, {-100, 0}, true, 0, {90, -44}};
    }
    void searchOnTheHalfCircles()
    {
        QFETCH(HalfCircles, row);
        auto [line, p0, hasLines, questions, next, faded] = row;
        SharedState s;
        s.mHasLines = hasLines;
        Host host;
        host.line = line;
        host.faded = faded;
        PixProbePoint p1{0, 0};
        QCOMPARE(LineTracer(s, host).TraceLine(C, p0, p1, {1, 0}).ending, TraceResult::Completed);
        QCOMPARE(host.asked.size(), questions);
        if (questions)
            QCOMPARE(s.mRecoveryRefX, 0);
        QCOMPARE(host.added.last(), next);
    }

    // When the probe module's point is not trusted, and what a pick then goes through.
    void snappedPointsThatAreNotTrusted()
    {
        for (const bool grid : {false, true}) {
            SharedState s;
            s.mHasGrid = grid;
            Host host;
            host.snap = [](PixProbePoint &) { return PIXPROBE_CROSSING; };
            PixProbePoint p{30, -30};
            LineTracer(s, host).SnapToLine(p, p, C);
            QCOMPARE(host.asked.size(), grid ? 1 : 0);
        }
        SharedState s;
        Host host;
        host.snap = [](PixProbePoint &p) { return p.y = -15015, PIXPROBE_NOT_FOUND; };
        PixProbePoint p{30, -30};
        s.mAutoLineCancel = true;
        LineTracer(s, host).SnapToLine(p, p, C);
        QVERIFY(host.asked.isEmpty()); // a cancel is pending: no dialog
        // A search that fails asks once; its pick snaps below the picture and asks again, and
        // that pick is taken as it is.
        s.mAutoLineCancel = false;
        host.snap = [&](PixProbePoint &p) { return p.y = host.asked.size() == 1 ? -15015 : p.y, PIXPROBE_FOUND; };
        host.pick = [](PixProbePoint &p) { return p.y = -45, true; };
        PixProbePoint p0{-100, 0}, p1{0, 0};
        LineTracer(s, host).TraceLine(C, p0, p1, {1, 0});
        QCOMPARE(host.asked.size(), 2);
        QCOMPARE(host.asked[1], (PixProbePoint{25, -45})); // where the line was looked for
        QCOMPARE(host.added.last(), (PixProbePoint{25, -45}));
    }

    void noStepWidthAddsNothing()
    {
        SharedState s;
        Host host;
        host.snap = [](PixProbePoint &p) { return p.x = 7, PIXPROBE_FOUND; }; // both in one column
        PixProbePoint p0{0, 0}, p1{5, 0};
        QCOMPARE(LineTracer(s, host).TraceLine(C, p0, p1, {300, 0}).ending, TraceResult::NoStepWidth);
        QVERIFY(host.added.isEmpty());
    }
};

QTEST_MAIN(TestLineTracer)
#include "test_line_tracer.moc"
