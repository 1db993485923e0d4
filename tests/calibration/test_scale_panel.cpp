#include "TestSupport.h"

#include "core/ProgramIcons.h"
#include "core/TwipsGeometry.h"
#include "calibration/ReferenceCapture.h"
#include "calibration/ScalePanel.h"
#include "core/NumberText.h"
#include "points/PointTables.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// The panel with everything it works on; calibrate() sets the four references and adds a
// point that lies on X2 and Y2.
struct PanelFixture {
    SharedState state;
    FakePicture picture;
    Calibration calibration{state, picture};
    PointTableModel model;
    PointTables tables{model, calibration, state};
    RecordingSink sink;
    Messages messages{sink};
    ToolMode toolMode{state};
    ReferenceCapture capture{calibration, tables, messages, toolMode, picture};
    ScalePanel panel{calibration, tables, capture};

    PanelFixture()
    {
        tables.ResetPointTables();
        panel.resize(toPixels(5145), toPixels(555));
    }
    void calibrate()
    {
        for (auto [ref, position] : {std::pair(RefX1, -1500), {RefX2, -3000}, {RefY1, -1000}, {RefY2, -2000}})
            calibration.setReferencePosition(ref, position);
        calibration.record().backColor = {ColorSet, ColorSet, ColorSet, ColorSet};
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
    void fieldChange_data()
    {
        QTest::addColumn<bool>("comma");
        QTest::addColumn<QString>("before"); // "|" marks the caret
        QTest::addColumn<QString>("typed");  // "paste:" pastes the rest
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("valueAtX2"); // the table's x of the point on X2
        QTest::newRow("comma locale: typed 2.5 reads 2,5 and counts as two and a half")
            << true << "|" << "2.5" << "2,5|" << "2,500";
        QTest::newRow("comma locale: a point typed in the middle keeps the caret after it")
            << true << "2|5" << "." << "2,|5" << "2,500";
        QTest::newRow("comma locale: pasted 1.2.3 reads 1,2,3") << true << "|" << "paste:1.2.3" << "1,2,3|" << "";
        QTest::newRow("point locale: typed 2.5 stays 2.5") << false << "|" << "2.5" << "2.5|" << "2.500";
        QTest::newRow("point locale: a typed comma stays and is no number")
            << false << "|" << "2,5" << "2,5|" << "0.000";
    }
    void fieldChange()
    {
        QFETCH(bool, comma);
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        QFETCH(QString, valueAtX2);
        LocaleScope locale(comma ? commaLocale() : pointLocale());
        PanelFixture f;
        f.calibrate();
        auto *sX2 = f.child<QLineEdit>(QStringLiteral("sX2"));
        sX2->setText(QString(before).remove(QLatin1Char('|')));
        sX2->setCursorPosition(int(before.indexOf(QLatin1Char('|'))));
        if (typed.startsWith(QLatin1String("paste:"))) {
            QGuiApplication::clipboard()->setText(typed.mid(6));
            sX2->paste();
        } else {
            QTest::keyClicks(sX2, typed);
        }
        QCOMPARE(sX2->text().insert(sX2->cursorPosition(), QLatin1Char('|')), after);
        QCOMPARE(f.calibration.record().field[RefX2], sX2->text());
        if (!valueAtX2.isEmpty())
            QCOMPARE(f.shown(0), valueAtX2);
    }

    void logBox_data()
    {
        QTest::addColumn<QString>("axis");
        QTest::addColumn<int>("column");
        QTest::newRow("X axis") << "X" << 0;
        QTest::newRow("Y axis") << "Y" << 1;
    }
    void logBox()
    {
        QFETCH(QString, axis);
        QFETCH(int, column);
        LocaleScope locale(pointLocale());
        PanelFixture f;
        f.panel.show();
        f.calibrate();
        f.child<QLineEdit>(QLatin1Char('s') + axis + QLatin1Char('2'))->setText(QStringLiteral("2"));
        auto *check = f.child<QCheckBox>(axis + QStringLiteral("Log"));
        QWidget *exponent = f.child(QLatin1Char('E') + axis + QLatin1Char('2'));
        check->click();
        QVERIFY(exponent->isVisible());
        // The point on the second reference: 10 to the power of 0 + |2 - 0|.
        QCOMPARE(f.shown(column), FormatAxisValue(100, true));
        check->click();
        QVERIFY(!exponent->isVisible());
        QCOMPARE(f.shown(column), FormatAxisValue(2, false));
    }

    void chainImages()
    {
        PanelFixture f;
        f.panel.show();
        for (auto [name, tag] : {std::pair(QStringLiteral("chainX"), &f.calibration.record().chainXTag),
                                 {QStringLiteral("chainY"), &f.calibration.record().chainYTag}}) {
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
            QCOMPARE(chain->pixmap().toImage(), chained);
        }
    }

    void focusSelectsTheWholeText()
    {
        PanelFixture f;
        f.panel.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.panel));
        auto *byTab = f.child<QLineEdit>(QStringLiteral("sX1"));
        auto *byClick = f.child<QLineEdit>(QStringLiteral("sY2"));
        byTab->setText(QStringLiteral("12345"));
        byClick->setText(QStringLiteral("678"));
        byTab->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(byTab->selectedText(), QStringLiteral("12345"));
        QTest::mouseClick(byClick, Qt::LeftButton, {}, QPoint(3, byClick->height() / 2));
        QTRY_COMPARE(byClick->selectedText(), QStringLiteral("678"));
    }

    void spaceNeverPressesTheStartButton()
    {
        PanelFixture f;
        f.panel.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.panel));
        auto *button = f.child<QPushButton>(QStringLiteral("btnGetPoints"));
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space);
        QCOMPARE(button->text(), QStringLiteral("get"));
        QVERIFY(!f.state.mCalibrating);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(button->text(), QStringLiteral("..."));
        QVERIFY(f.state.mCalibrating);
        QCOMPARE(f.child<QLabel>(QStringLiteral("pX1"))->palette().color(QPalette::Window), QColor(255, 255, 128));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(button->text(), QStringLiteral("get"));
        QVERIFY(!f.state.mCalibrating);
    }
};

QTEST_MAIN(TestScalePanel)
#include "test_scale_panel.moc"
