#include "TestSupport.h"

#include "app/Toolbar.h"
#include "calibration/ReferenceCapture.h"
#include "calibration/ScalePanel.h"
#include "app/TwipsGeometry.h"
#include "points/NumberText.h"
#include "points/PointTables.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace chartrek;
using namespace chartrek::test;

namespace {

// The panel with everything it works on. The picture is held; calibrate() sets the
// references X1 at -1500 and X2 at -3000, Y1 at -1000 and Y2 at -2000, and adds a point
// that lies on X2 and Y2.
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
        calibration.setReferencePosition(RefX1, -1500);
        calibration.setReferencePosition(RefX2, -3000);
        calibration.setReferencePosition(RefY1, -1000);
        calibration.setReferencePosition(RefY2, -2000);
        calibration.record().backColor = {ColorSet, ColorSet, ColorSet, ColorSet};
        tables.AddPointToTables({-3000, -2000});
    }

    template <typename T = QWidget>
    T *child(const QString &name) const
    {
        return panel.findChild<T *>(name);
    }
    QString shownX() const { return model.cell(PointTableModel::DataPoints, 1, 0); }
};

} // namespace

class TestScalePanel : public QObject {
    Q_OBJECT
private slots:
    void indicatorsShowTheRecord()
    {
        PanelFixture f;
        auto *pX1 = f.child<QLabel>(QStringLiteral("pX1"));
        QCOMPARE(pX1->palette().color(QPalette::Window), QColor(255, 128, 128));
        QCOMPARE(pX1->palette().color(QPalette::WindowText), QColor(255, 128, 128));

        f.calibration.setReferencePosition(RefX1, -1500);
        f.calibration.record().backColor[RefX1] = ColorSet;
        f.calibration.record().textColor[RefX1] = ColorWaiting;
        f.calibration.record().buttonCaption = QStringLiteral("...");
        f.calibration.notifyChanged();
        QCOMPARE(pX1->text(), QStringLiteral("-1500"));
        QCOMPARE(pX1->palette().color(QPalette::Window), QColor(128, 255, 128));
        QCOMPARE(pX1->palette().color(QPalette::WindowText), QColor(255, 255, 128));
        QCOMPARE(f.child<QPushButton>(QStringLiteral("btnGetPoints"))->text(), QStringLiteral("..."));
    }

    void fieldChange_data()
    {
        QTest::addColumn<bool>("comma");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("typed"); // "paste:" pastes the rest
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("caretAfter");
        QTest::addColumn<QString>("valueAtX2"); // the table's x of the point on X2
        QTest::newRow("comma locale: a typed point becomes a comma, caret after it")
            << true << "" << 0 << "2." << "2," << 2 << "";
        QTest::newRow("comma locale: typed 2.5 reads 2,5 and counts as two and a half")
            << true << "" << 0 << "2.5" << "2,5" << 3 << "2,500";
        QTest::newRow("comma locale: a point typed in the middle") << true << "25" << 1 << "." << "2,5" << 2 << "2,500";
        QTest::newRow("comma locale: pasted 1.2.3 reads 1,2,3") << true << "" << 0 << "paste:1.2.3" << "1,2,3" << 5
                                                                << "";
        QTest::newRow("point locale: typed 2.5 stays 2.5 and counts as two and a half")
            << false << "" << 0 << "2.5" << "2.5" << 3 << "2.500";
        QTest::newRow("point locale: a typed comma stays and is no number")
            << false << "" << 0 << "2,5" << "2,5" << 3 << "0.000";
        QTest::newRow("point locale: letters stay and are no number") << false << "" << 0 << "x" << "x" << 1 << "0.000";
    }
    void fieldChange()
    {
        QFETCH(bool, comma);
        QFETCH(QString, before);
        QFETCH(int, caret);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        QFETCH(int, caretAfter);
        QFETCH(QString, valueAtX2);
        LocaleScope locale(comma ? commaLocale() : pointLocale());
        PanelFixture f;
        f.calibrate();
        auto *sX2 = f.child<QLineEdit>(QStringLiteral("sX2"));
        sX2->setText(before);
        sX2->setCursorPosition(caret);
        if (typed.startsWith(QLatin1String("paste:"))) {
            QGuiApplication::clipboard()->setText(typed.mid(6));
            sX2->paste();
        } else {
            QTest::keyClicks(sX2, typed);
        }
        QCOMPARE(sX2->text(), after);
        QCOMPARE(sX2->cursorPosition(), caretAfter);
        QCOMPARE(f.calibration.record().field[RefX2], after);
        if (!valueAtX2.isEmpty())
            QCOMPARE(f.shownX(), valueAtX2);
    }

    void noRecalculationWithoutCalibration()
    {
        PanelFixture f;
        f.calibrate();
        f.calibration.record().backColor[RefY2] = ColorNotSet;
        const QString before = f.shownX();
        auto *sX2 = f.child<QLineEdit>(QStringLiteral("sX2"));
        sX2->clear();
        QTest::keyClicks(sX2, QStringLiteral("7"));
        QCOMPARE(f.calibration.record().field[RefX2], QStringLiteral("7"));
        QCOMPARE(f.shownX(), before);
    }

    void logBox_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QPoint>("logPlace");    // left, width
        QTest::addColumn<QPoint>("linearPlace"); // left, width
        QTest::addColumn<int>("column");
        QTest::newRow("X axis") << "XLog" << "sX1" << "sX2" << QStringList{"EX1", "EX2"} << QPoint(1875, 500)
                                << QPoint(1600, 750) << 0;
        QTest::newRow("Y axis") << "YLog" << "sY1" << "sY2" << QStringList{"EY1", "EY2"} << QPoint(3990, 475)
                                << QPoint(3700, 735) << 1;
    }
    void logBox()
    {
        QFETCH(QString, box);
        QFETCH(QString, lower);
        QFETCH(QString, upper);
        QFETCH(QStringList, labels);
        QFETCH(QPoint, logPlace);
        QFETCH(QPoint, linearPlace);
        QFETCH(int, column);
        LocaleScope locale(pointLocale());
        PanelFixture f;
        f.panel.show();
        f.calibrate();
        f.child<QLineEdit>(upper)->setText(QStringLiteral("2"));
        auto *check = f.child<QCheckBox>(box);
        for (const QString &label : labels)
            QVERIFY(!f.child(label)->isVisible());

        check->click();
        for (const QString &label : labels)
            QVERIFY(f.child(label)->isVisible());
        for (const QString &field : {lower, upper}) {
            const QRect r = twipsGeometry(f.child(field));
            QCOMPARE(QPoint(r.left(), r.width()), logPlace);
        }
        // The point on the second reference: 10 to the power of 0 + |2 - 0|.
        QCOMPARE(f.model.cell(PointTableModel::DataPoints, 1, column), FormatAxisValue(100, true));
        QCOMPARE(f.child<QLineEdit>(upper)->text(), QStringLiteral("2"));

        check->click();
        for (const QString &label : labels)
            QVERIFY(!f.child(label)->isVisible());
        for (const QString &field : {lower, upper}) {
            const QRect r = twipsGeometry(f.child(field));
            QCOMPARE(QPoint(r.left(), r.width()), linearPlace);
        }
        QCOMPARE(f.model.cell(PointTableModel::DataPoints, 1, column), FormatAxisValue(2, false));
    }

    void chainImages_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("X1/Y1") << "chainX";
        QTest::newRow("X2/Y2") << "chainY";
    }
    void chainImages()
    {
        QFETCH(QString, name);
        PanelFixture f;
        f.panel.show();
        auto *chain = f.child<QLabel>(name);
        const QString &tag = name == QLatin1String("chainX") ? f.calibration.record().chainXTag
                                                             : f.calibration.record().chainYTag;
        const qreal ratio = chain->devicePixelRatioF();
        const QImage chained = programIcon(QStringLiteral("chain")).pixmap(QSize(13, 7), ratio).toImage();
        const QImage unchained = programIcon(QStringLiteral("unchain")).pixmap(QSize(13, 7), ratio).toImage();
        QVERIFY(chained != unchained);
        QCOMPARE(chain->pixmap().deviceIndependentSize(), QSizeF(13, 7));
        QCOMPARE(chain->pixmap().toImage(), chained);

        QTest::mouseClick(chain, Qt::LeftButton);
        QCOMPARE(tag, QStringLiteral("0"));
        QCOMPARE(chain->pixmap().toImage(), unchained);
        QTest::mouseClick(chain, Qt::LeftButton);
        QCOMPARE(tag, QStringLiteral("1"));
        QCOMPARE(chain->pixmap().toImage(), chained);
    }

    void focusSelectsTheWholeText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("byMouse");
        QTest::newRow("lower X by Tab") << "sX1" << false;
        QTest::newRow("upper Y by Tab") << "sY2" << false;
        QTest::newRow("upper X by a click") << "sX2" << true;
        QTest::newRow("lower Y by a click") << "sY1" << true;
    }
    void focusSelectsTheWholeText()
    {
        QFETCH(QString, name);
        QFETCH(bool, byMouse);
        PanelFixture f;
        f.panel.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.panel));
        auto *field = f.child<QLineEdit>(name);
        field->setText(QStringLiteral("12345"));
        if (byMouse)
            QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(3, field->height() / 2));
        else
            field->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(field->selectedText(), QStringLiteral("12345"));
        QCOMPARE(field->selectionStart(), 0);
    }

    void spaceNeverPressesTheStartButton()
    {
        PanelFixture f;
        f.panel.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.panel));
        auto *button = f.child<QPushButton>(QStringLiteral("btnGetPoints"));
        button->setFocus();
        QSignalSpy clicked(button, &QPushButton::clicked);
        QTest::keyClick(button, Qt::Key_Space);
        QCOMPARE(clicked.count(), 0);
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
