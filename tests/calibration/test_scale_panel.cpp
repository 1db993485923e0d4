#include "TestSupport.h"

#include "core/ProgramIcons.h"
#include "core/TwipsGeometry.h"
#include "calibration/ReferenceCapture.h"
#include "calibration/ScalePanel.h"
#include "core/NumberText.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// The panel with everything it works on; calibrate() sets the four references and adds a
// point that lies on X2 and Y2.
struct PanelFixture : TablesRig {
    ToolMode toolMode{state};
    ReferenceCapture capture{cal, tables, messages, toolMode, picture};
    ScalePanel panel{cal, tables, capture};

    PanelFixture() { panel.resize(toPixels(5145), toPixels(555)); }
    void calibrate()
    {
        for (auto [ref, position] : {std::pair(RefX1, -1500), {RefX2, -3000}, {RefY1, -1000}, {RefY2, -2000}})
            cal.setReferencePosition(ref, position);
        cal.record().backColor = {ColorSet, ColorSet, ColorSet, ColorSet};
        tables.AddPointToTables({-3000, -2000});
    }
    template <typename T = QWidget>
    T *child(const QString &name) const { return panel.findChild<T *>(name); }
    QString shown(int column) const { return model.cell(PointTableModel::DataPoints, 1, column); }
};

} // namespace

class TestScalePanel : public QObject {
    Q_OBJECT
private slots:
    // A typed "." is the decimal separator in either locale; the caret stays where it was.
    void typedPointIsTheSeparator()
    {
        for (const QLocale &locale : {commaLocale(), pointLocale()}) {
            LocaleScope scope(locale);
            PanelFixture f;
            f.calibrate();
            auto *sX2 = f.child<QLineEdit>(QStringLiteral("sX2"));
            sX2->setText(QStringLiteral("25"));
            sX2->setCursorPosition(1);
            QTest::keyClick(sX2, Qt::Key_Period, {}, 0);
            QCOMPARE(sX2->text(), inLocale(QStringLiteral("2.5"), locale));
            QCOMPARE(sX2->cursorPosition(), 2);
            QCOMPARE(f.cal.record().field[RefX2], sX2->text());
            QCOMPARE(f.shown(0), inLocale(QStringLiteral("2.500"), locale)); // the point on X2
        }
    }

    void logBoxes()
    {
        LocaleScope scope(pointLocale());
        PanelFixture f;
        f.panel.show();
        f.calibrate();
        for (const QString &axis : {QStringLiteral("X"), QStringLiteral("Y")}) {
            f.child<QLineEdit>(QLatin1Char('s') + axis + QLatin1Char('2'))->setText(QStringLiteral("2"));
            auto *check = f.child<QCheckBox>(axis + QStringLiteral("Log"));
            QWidget *exponent = f.child(QLatin1Char('E') + axis + QLatin1Char('2'));
            const int column = axis == QLatin1String("Y");
            check->click();
            QVERIFY(exponent->isVisible());
            // The point on the second reference: 10 to the power of 0 + |2 - 0|.
            QCOMPARE(f.shown(column), FormatAxisValue(100, true));
            check->click();
            QVERIFY(!exponent->isVisible());
            QCOMPARE(f.shown(column), FormatAxisValue(2, false));
        }
    }

    void chainImages()
    {
        PanelFixture f;
        f.panel.show();
        for (auto [name, tag] : {std::pair(QStringLiteral("chainX"), &f.cal.record().chainXTag),
                                 {QStringLiteral("chainY"), &f.cal.record().chainYTag}}) {
            auto *chain = f.child<QLabel>(name);
            const qreal ratio = chain->devicePixelRatioF();
            const QImage chained = programIcon(QStringLiteral("chain")).pixmap(QSize(13, 7), ratio).toImage();
            const QImage unchained = programIcon(QStringLiteral("unchain")).pixmap(QSize(13, 7), ratio).toImage();
            QVERIFY(chained != unchained);
            QCOMPARE(chain->pixmap().toImage(), chained);
            QTest::mouseClick(chain, Qt::LeftButton);
            QCOMPARE(*tag, QStringLiteral("0"));
            QCOMPARE(chain->pixmap().toImage(), unchained);
            QTest::mouseClick(chain, Qt::LeftButton);
            QCOMPARE(*tag, QStringLiteral("1"));
        }
    }

    void spaceNeverPressesTheStartButton()
    {
        PanelFixture f;
        f.panel.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.panel));
        auto *button = f.child<QPushButton>(QStringLiteral("btnGetPoints"));
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space);
        QVERIFY(!f.state.mCalibrating);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(button->text(), QStringLiteral("..."));
        QVERIFY(f.state.mCalibrating);
    }
};

QTEST_MAIN(TestScalePanel)
#include "test_scale_panel.moc"
