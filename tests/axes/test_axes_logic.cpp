#include "TestSupport.h"
#include "axes/AxesCalibration.h"
#include "axes/AxisFinder.h"
#include "axes/AxisFit.h"
#include "axes/LabelValue.h"
#include "axes/TextBoxes.h"
#include "axes/TickMarks.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// The labels of one axis as read, and the values they stand for (NaN: no number).
struct Labels { QStringList texts; QList<double> values; };
// An offset text and the multiplier and addend it stands for (NaN: not an offset).
struct Offset { QString text; double multiplier, addend; };
// Blobs of ink (left, top, right, bottom; four numbers each) and how many go into each text.
struct Grouping { QList<int> boxes; QList<int> sizes; };
// Tick positions and label values, whether the labels are powers of ten, and what the fit
// must give: the scale, how many ticks agree, the position of one value, and whether the ticks
// are too unevenly placed to be sure of.
struct Ticks { QList<double> positions, values; bool powers; bool log; int agreeing; double value, position; bool uneven = false; };
// Tick marks `width` pixels wide (blurred at their sides when wider than one) drawn up from an
// x axis's labels at these columns on a background of level `shade`, each with a shorter minor
// mark `minorGap` pixels right of it (0: none), and running on into a grid line except where
// `hidden` says; a two-pixel dark line a pixel longer `beside` pixels right of each (0: none),
// moved `besideShort` pixels further from the labels (a curve or a frame close by).
struct Marks { QList<int> columns; int minorGap; QList<bool> hidden; int width = 1; int shade = 255; int beside = 0; int besideShort = 0; };
// A found axis and what a user would have typed and clicked for it.
struct Typed { bool log; double along1, value1, along2, value2; QString text1, text2; float position1; };
// A chart, the point the user chose (negative: none), an axis of it, and whether it must be
// found sure, then with these values at its references.
struct Chart { QString file; QPointF hint; bool xAxis; bool sure; double value1, value2; };

bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::abs(a - b) <= 1e-12 * std::max(1.0, std::abs(b));
}

} // namespace

class TestAxesLogic : public QObject {
    Q_OBJECT
private slots:
    void labelsReadAsTheirValues_data()
    {
        const double none = NAN;
        QTest::addColumn<Labels>("row");
        QTest::newRow("plain decimals and a Unicode minus") << Labels{{"\u22120.5", "0.0", "0.5"}, {-0.5, 0, 0.5}};
        QTest::newRow("a decimal comma") << Labels{{"0,10", "0,12", "\u22120,14"}, {0.1, 0.12, -0.14}};
        QTest::newRow("grouped thousands, some labels without a group") << Labels{{"500", "1,000", "1,500"}, {500, 1000, 1500}};
        QTest::newRow("two groups in one label") << Labels{{"100", "10,000", "1,000,000"}, {100, 1e4, 1e6}};
        QTest::newRow("percent signs") << Labels{{"\u221220%", "0%", "20%"}, {-20, 0, 20}};
        QTest::newRow("scientific notation") << Labels{{"1e-06", "2.5E+3", "-7e+06"}, {1e-6, 2500, -7e6}};
        QTest::newRow("powers of ten with raised exponents")
            << Labels{{"10^\u22123", "10^0", "2\u00d710^5"}, {1e-3, 1, 2e5}};
        QTest::newRow("misreads that are no numbers")
            << Labels{{"1.2.3", "^3", "10^", "e-5", "0.0.", "12-"}, {none, none, none, none, none, none}};
        QTest::newRow("a comma with other than three digits after it is no grouping")
            << Labels{{"10,000", "12,50"}, {10, 12.5}};
    }
    void labelsReadAsTheirValues()
    {
        QFETCH(Labels, row);
        const std::vector<QString> texts(row.texts.begin(), row.texts.end());
        const CommaUse comma = commaUseOf(texts);
        for (int i = 0; i < row.texts.size(); ++i) {
            const double got = labelValue(row.texts[i], comma).value_or(NAN);
            QVERIFY2(same(got, row.values[i]), qPrintable(row.texts[i] + " read as " + QString::number(got, 'g', 17)));
        }
    }

    void offsetsReadAsFactorAndAddend_data()
    {
        QTest::addColumn<Offset>("row");
        QTest::newRow("a raised power of ten") << Offset{"\u00d710^\u22125", 1e-5, 0};
        QTest::newRow("an e power") << Offset{"1e6", 1e6, 0};
        QTest::newRow("an addend with a raised power") << Offset{"+6.311 \u00d7 10^4", 1, 63110};
        QTest::newRow("an e addend") << Offset{"\u22123.7e4", 1, -37000};
        QTest::newRow("a factor and an addend") << Offset{"1e\u22125+1.2", 1e-5, 1.2};
        QTest::newRow("a bare number is no offset") << Offset{"6.311", NAN, NAN};
        QTest::newRow("a power without its exponent is no offset") << Offset{"\u00d710^", NAN, NAN};
    }
    void offsetsReadAsFactorAndAddend()
    {
        QFETCH(Offset, row);
        const auto offset = offsetValue(row.text);
        QVERIFY2(same(offset ? offset->multiplier : NAN, row.multiplier), qPrintable(row.text));
        QVERIFY2(same(offset ? offset->addend : NAN, row.addend), qPrintable(row.text));
    }

    void blobsGroupIntoTexts_data()
    {
        QTest::addColumn<Grouping>("row");
        QTest::newRow("an x label turned upright stays apart from the y label at the corner") << Grouping{
            {52, 277, 62, 292, 65, 289, 67, 292, 70, 277, 80, 292, 82, 299, 97, 308, 82, 312, 97, 322, 94, 324, 97, 326, 82, 330, 97, 338}, {3, 4}};
        QTest::newRow("a turned label keeps its minus and stays apart from the axis name below") << Grouping{
            {1192, 724, 1208, 734, 1205, 738, 1210, 741, 1192, 744, 1208, 754, 1192, 758, 1208, 768, 1200, 771, 1202, 785,
             1179, 792, 1183, 811, 1187, 792, 1200, 808, 1202, 796, 1212, 808}, {3, 5}};
        QTest::newRow("the dashes of a slanting curve stay together") << Grouping{{0, 0, 4, 4, 6, 6, 10, 10, 12, 12, 16, 16}, {3}};
    }
    void blobsGroupIntoTexts()
    {
        QFETCH(Grouping, row);
        std::vector<Blob> blobs;
        for (int i = 0; i + 3 < row.boxes.size(); i += 4) {
            const PixelBox box{row.boxes[i], row.boxes[i + 1], row.boxes[i + 2], row.boxes[i + 3]};
            blobs.push_back({box, box.width() * box.height()});
        }
        QList<int> sizes;
        for (const TextBox &text : groupBlobs(blobs))
            sizes.append(int(text.parts.size()));
        std::sort(sizes.begin(), sizes.end());
        QCOMPARE(sizes, row.sizes);
    }

    void tickMarksAreFoundWhereDrawn_data()
    {
        QTest::addColumn<Marks>("row");
        QTest::newRow("a mark whose grid line a legend hides, with the others")
            << Marks{{30, 80, 130, 180}, 0, {false, false, true, false}};
        QTest::newRow("a mark keeps its centre beside a minor mark three pixels on")
            << Marks{{30, 80, 130, 180}, 3, {true, true, true, true}};
        QTest::newRow("a two-pixel mark on grey keeps its centre with a minor mark close before it")
            << Marks{{30, 80, 130, 180}, -5, {true, true, true, true}, 2, 191};
        QTest::newRow("a mark keeps its centre with a line close beside it, the gap between no line")
            << Marks{{30, 80, 130, 180}, 0, {false, false, false, false}, 1, 255, 4};
        QTest::newRow("a mark keeps its centre with a curve touching it further from the labels")
            << Marks{{30, 80, 130, 180}, 0, {true, true, true, true}, 1, 255, 1, 8};
    }
    void tickMarksAreFoundWhereDrawn()
    {
        QFETCH(Marks, row);
        const int labelTop = 52;
        QImage picture(200, 70, QImage::Format_RGB32);
        picture.fill(qRgb(row.shade, row.shade, row.shade));
        QPainter paint(&picture);
        std::vector<LabelSpot> spots;
        for (int i = 0; i < row.columns.size(); ++i) {
            const int x = row.columns[i], top = row.hidden[i] ? labelTop - 9 : 0, w = row.width;
            if (w > 1)
                paint.fillRect(x - 1, top, w + 2, labelTop - 1 - top, QColor::fromRgb(row.shade - 14, row.shade - 14, row.shade - 14));
            paint.fillRect(x, top, w, labelTop - 1 - top, Qt::black);
            if (row.minorGap)
                paint.fillRect(x + row.minorGap, labelTop - 5, w, 4, Qt::black);
            if (row.beside)
                paint.fillRect(x + row.beside, top - row.besideShort, 2, labelTop - top, Qt::black);
            spots.push_back({x + 0.5 * w, labelTop, 10});
        }
        paint.end();
        const auto marks = findTicks(InkImage(picture), spots, -1, 5, [](int, int) { return false; });
        for (int i = 0; i < row.columns.size(); ++i) {
            QVERIFY2(marks[i], qPrintable(QStringLiteral("no mark at %1").arg(row.columns[i])));
            QVERIFY2(std::abs(marks[i]->position - (row.columns[i] + 0.5 * row.width)) < 0.05, qPrintable(QString::number(marks[i]->position)));
        }
    }

    void fitFindsTheScaleAndDropsMisreads_data()
    {
        QTest::addColumn<Ticks>("row");
        QTest::newRow("a linear axis, ticks snapped within half a pixel")
            << Ticks{{100.4, 200, 299.6, 400.2}, {0, 1, 2, 3}, false, false, 4, 1.5, 250.05};
        QTest::newRow("decades on a log axis") << Ticks{{100, 200, 300, 400}, {1, 10, 100, 1000}, false, true, 4, 31.6227766, 250};
        QTest::newRow("one misread label dropped") << Ticks{{100, 200, 300, 400, 500}, {0, 1, 2, 7, 4}, false, false, 4, 3, 400};
        QTest::newRow("a label that lost its minus dropped") << Ticks{{100, 200, 300, 400}, {2, -1, 0, 1}, false, false, 3, -2, 100};
        QTest::newRow("values falling along the axis, as on a y axis") << Ticks{{50, 150, 250}, {30, 20, 10}, false, false, 3, 0, 350};
        QTest::newRow("a narrow range stays linear") << Ticks{{100, 200, 300}, {100, 101, 102}, false, false, 3, 100.5, 150};
        QTest::newRow("an end tick two pixels off, its residual small, is uneven")
            << Ticks{{100, 200, 300, 400, 502.2}, {0, 1, 2, 3, 4}, false, false, 5, 0, 99.56, true};
        QTest::newRow("two decades written plainly are a log axis") << Ticks{{100, 300}, {0.01, 0.1}, false, true, 2, 0.0316227766, 200};
        QTest::newRow("two powers of ten are a log axis") << Ticks{{100, 300}, {1e-3, 1e-2}, true, true, 2, 3.16227766e-3, 200};
    }
    void fitFindsTheScaleAndDropsMisreads()
    {
        QFETCH(Ticks, row);
        std::vector<AxisSample> samples;
        for (int i = 0; i < row.positions.size(); ++i)
            samples.push_back({row.positions[i], row.values[i]});
        const AxisChoice choice = chooseAxisScale(samples, 1.5, row.powers);
        QVERIFY(choice.fit);
        QCOMPARE(choice.fit->log, row.log);
        QCOMPARE(int(choice.fit->inliers.size()), row.agreeing);
        QVERIFY2(std::abs(choice.fit->position(row.value) - row.position) < 0.05,
                 qPrintable(QString::number(choice.fit->position(row.value))));
        QCOMPARE(choice.fit->evenlyPlaced(), !row.uneven);
    }

    void axesAreSetAsAUserWouldType_data()
    {
        QTest::addColumn<Typed>("row");
        QTest::newRow("linear: the values in the user's decimal separator")
            << Typed{false, 211.25, 0.26, 1164.4, 0.36, "0.26", "0.36", -3168.75f};
        QTest::newRow("log: the exponents, whole for decades")
            << Typed{true, 752.5, 0.001, 89.5, 10, "-3", "1", -11287.5f};
        QTest::newRow("log: a value between decades as its exponent")
            << Typed{true, 40.0, 2, 90.0, 20, "0.301029995663981", "1.30102999566398", -600.0f};
    }
    void axesAreSetAsAUserWouldType()
    {
        QFETCH(Typed, row);
        FoundAxis axis;
        axis.found = axis.sure = true;
        axis.log = row.log;
        axis.first = {row.along1, 0, row.value1};
        axis.second = {row.along2, 0, row.value2};
        for (const QLocale &locale : {pointLocale(), commaLocale()}) {
            const AxisSetting s = axisSetting(axis, locale);
            QCOMPARE(s.log, row.log);
            QCOMPARE(s.text[0], inLocale(row.text1, locale));
            QCOMPARE(s.text[1], inLocale(row.text2, locale));
            QCOMPARE(s.position[0], row.position1);
        }
    }

    void chartsGiveTheirAxesOrSayNotSure_data()
    {
        QTest::addColumn<Chart>("row");
        QTest::newRow("a factor with a small raised 3 is read") << Chart{"small-raised-factor.png", {-1, -1}, true, true, -1000, 200};
        QTest::newRow("a legend's number beside the axis end is no addend") << Chart{"legend-at-axis-end.png", {1222.3, 283.6}, false, true, 0, 60};
        QTest::newRow("a legend's marker and number after its words are no addend") << Chart{"legend-number-after-words.png", {-1, -1}, false, false, 0, 0};
        QTest::newRow("a factor read on its own is no doubt for a legend's words nearer the axis end")
            << Chart{"factor-past-legend-words.png", {-1, -1}, false, true, -0.002, 0.006};
        QTest::newRow("a turned last label standing apart at the axis end is no factor") << Chart{"turned-last-label-apart.png", {-1, -1}, true, true, -700, -200};
        QTest::newRow("a number among a legend's words near the axis end is no doubt") << Chart{"legend-words-at-axis-end.png", {-1, -1}, false, true, -2e-6, 6e-6};
        QTest::newRow("the labels of a plot beside another in one row are its x axis") << Chart{"second-plot-in-the-same-row.png", {900.8, 602.6}, true, true, 0, 0.2};
        QTest::newRow("the x labels of the plot above leave no doubt about the factor") << Chart{"x-labels-of-the-plot-above.png", {681.8, 1544.9}, false, true, -3000, 500};
        QTest::newRow("a factor beside a colour bar is read") << Chart{"factor-beside-colour-bar.png", {-1, -1}, true, true, -2e-6, 1e-6};
        QTest::newRow("marks pulled aside by a JPEG's ringing at the axis end leave the axis not sure")
            << Chart{"ticks-beside-jpeg-ringing.jpg", {245.5, 401}, false, false, 0, 0};
        QTest::newRow("the next plot's labels in line with the x labels are another axis")
            << Chart{"next-plot-labels-in-line.png", {900.8, 602.6}, true, true, 0, 0.2};
        QTest::newRow("a colour bar's scale across from the y axis is not sure") << Chart{"colour-bar-beside-log-axis.png", {-1, -1}, false, false, 0, 0};
        QTest::newRow("a middle y axis with the x axis unread is not sure of its factor")
            << Chart{"factor-of-a-middle-axis-at-the-plot-edge.png", {-1, -1}, false, false, 0, 0};
        QTest::newRow("a factor past a last label that was not read is a doubt")
            << Chart{"factor-past-an-unread-last-label.png", {-1, -1}, true, false, 0, 0};
        QTest::newRow("powers of ten read without their base are not sure")
            << Chart{"powers-of-ten-split-from-their-base.png", {-1, -1}, false, false, 0, 0};
    }
    void chartsGiveTheirAxesOrSayNotSure()
    {
        QFETCH(Chart, row);
        LabelReader reader;
        const AxesProposal found = AxisFinder(reader).find(QImage(QStringLiteral(CHARTREK_TEST_DATA "/axes/") + row.file),
                                                           row.hint.x() < 0 ? std::nullopt : std::optional(row.hint));
        const FoundAxis &axis = row.xAxis ? found.x : found.y;
        QCOMPARE(axis.sure, row.sure);
        QVERIFY(!row.sure || (axis.first.value == row.value1 && axis.second.value == row.value2));
    }
};

QTEST_GUILESS_MAIN(TestAxesLogic)
#include "test_axes_logic.moc"
