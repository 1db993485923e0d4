#include "calibration/ScalePanel.h"

#include "core/ProgramIcons.h"
#include "core/TwipsGeometry.h"
#include "calibration/ReferenceCapture.h"
#include "core/NumberText.h"

#include <QCheckBox>
#include <QEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

namespace chartrek {

namespace {

QLabel *makeLabel(QWidget *parent, const char *name, const char *text, QRect twips)
{
    auto *label = new QLabel(QLatin1String(text), parent);
    label->setObjectName(QLatin1String(name));
    setTwipsGeometry(label, twips);
    return label;
}

// The 13 x 7 chain pictures, rendered sharp for the screen's pixel ratio.
QPixmap chainPicture(const char *name, qreal ratio)
{
    return programIcon(QLatin1String(name)).pixmap(QSize(13, 7), ratio);
}

// Where the value fields of an axis sit with and without the exponent labels in front.
struct FieldPlace {
    int left;
    int width;
};
constexpr FieldPlace kLogPlace[2] = {{3990, 475}, {1875, 500}};   // [y axis, x axis]
constexpr FieldPlace kLinearPlace[2] = {{3700, 735}, {1600, 750}};

} // namespace

QColor ScalePanel::indicatorColor(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

ScalePanel::ScalePanel(Calibration &calibration, CalibratedPoints &points, ReferenceCapture &capture, QWidget *parent)
    : QFrame(parent), mCalibration(calibration), mPoints(points), mCapture(capture)
{
    setObjectName(QStringLiteral("Picture1"));
    setFrameShape(QFrame::NoFrame);
    // The panel's rows are 14 pixels high; a compact font keeps its captions inside them.
    QFont compact = font();
    compact.setPixelSize(11);
    setFont(compact);

    btnGetPoints = new QPushButton(tr("get"), this);
    btnGetPoints->setObjectName(QStringLiteral("btnGetPoints"));
    btnGetPoints->setToolTip(tr("get origin"));
    setTwipsGeometry(btnGetPoints, 40, 40, 435, 435);
    btnGetPoints->installEventFilter(this);
    connect(btnGetPoints, &QPushButton::clicked, this, &ScalePanel::btnGetPoints_Click);

    makeLabel(this, "Label3", "X1:", {555, 30, 255, 255});
    makeLabel(this, "Label4", "X2:", {555, 270, 255, 255});
    makeLabel(this, "Label5", "Y1:", {2730, 30, 255, 255});
    makeLabel(this, "Label6", "Y2:", {2730, 270, 255, 255});

    mIndicators[RefX1] = makeLabel(this, "pX1", "0", {885, 30, 615, 210});
    mIndicators[RefX2] = makeLabel(this, "pX2", "0", {885, 255, 615, 210});
    mIndicators[RefY1] = makeLabel(this, "pY1", "0", {3015, 30, 615, 210});
    mIndicators[RefY2] = makeLabel(this, "pY2", "0", {3015, 255, 615, 210});
    for (QLabel *indicator : mIndicators)
        indicator->setAutoFillBackground(true);

    // The exponent labels come first so that the fields lie in front of them.
    mExponents[RefX1] = makeLabel(this, "EX1", "1 E", {1605, 30, 240, 210});
    mExponents[RefX2] = makeLabel(this, "EX2", "1 E", {1605, 255, 345, 210});
    mExponents[RefY1] = makeLabel(this, "EY1", "1 E", {3720, 30, 345, 210});
    mExponents[RefY2] = makeLabel(this, "EY2", "1 E", {3720, 270, 345, 210});

    struct FieldDesign {
        const char *name;
        const char *tip;
        QRect twips;
    };
    const FieldDesign fields[4] = {
        {"sX1", QT_TR_NOOP("enter the lower X-value here"), {1575, 30, 735, 210}},
        {"sX2", QT_TR_NOOP("enter the upper X-value here"), {1575, 255, 735, 210}},
        {"sY1", QT_TR_NOOP("enter the lower Y-value here"), {3720, 30, 735, 210}},
        {"sY2", QT_TR_NOOP("enter the upper Y-value here"), {3720, 255, 735, 210}},
    };
    for (int i = 0; i < 4; ++i) {
        auto *field = new QLineEdit(this);
        field->setObjectName(QLatin1String(fields[i].name));
        field->setToolTip(tr(fields[i].tip));
        setTwipsGeometry(field, fields[i].twips);
        field->installEventFilter(this);
        const Ref ref = Ref(i);
        connect(field, &QLineEdit::textChanged, this, [this, ref] { sX_Change(ref); });
        connect(field, &QLineEdit::returnPressed, this, [this] { ++mEditSession; });
        mFields[i] = field;
    }

    chainPic = chainPicture("chain", devicePixelRatioF());
    unchainPic = chainPicture("unchain", devicePixelRatioF());
    chainX = makeLabel(this, "chainX", "", {2420, 68, 225, 135});
    chainX->setToolTip(tr("chain/unchain (X1,Y1)"));
    chainY = makeLabel(this, "chainY", "", {2420, 293, 225, 135});
    chainY->setToolTip(tr("chain/unchain (X2,Y2)"));
    for (QLabel *chain : {chainX, chainY}) {
        chain->setAlignment(Qt::AlignCenter);
        chain->setCursor(Qt::PointingHandCursor);
        chain->installEventFilter(this);
    }

    XLog = new QCheckBox(QStringLiteral("X:lg"), this);
    XLog->setObjectName(QStringLiteral("XLog"));
    XLog->setToolTip(tr("check for log-scale X"));
    setTwipsGeometry(XLog, 4530, 15, 855, 255);
    connect(XLog, &QCheckBox::clicked, this, &ScalePanel::XLog_Click);
    YLog = new QCheckBox(QStringLiteral("Y:lg"), this);
    YLog->setObjectName(QStringLiteral("YLog"));
    YLog->setToolTip(tr("check for log-scale Y"));
    setTwipsGeometry(YLog, 4530, 225, 855, 255);
    connect(YLog, &QCheckBox::clicked, this, &ScalePanel::YLog_Click);

    // The exponent labels are hidden until an axis is made logarithmic; the fields keep
    // their design places until a log box is first clicked.
    for (QLabel *exponent : mExponents)
        exponent->setVisible(false);
    connect(&mCalibration, &Calibration::changed, this, &ScalePanel::refresh);
    refresh();
}

void ScalePanel::refresh()
{
    const CalibrationRecord &rec = mCalibration.record();
    // The record keeps the English caption, which the capture compares; the button shows it translated.
    btnGetPoints->setText(tr(rec.buttonCaption.toLatin1().constData()));
    for (int i = 0; i < 4; ++i) {
        QLabel *indicator = mIndicators[i];
        indicator->setText(rec.caption[i]);
        QPalette palette = indicator->palette();
        palette.setColor(QPalette::Window, indicatorColor(rec.backColor[i]));
        palette.setColor(QPalette::WindowText, indicatorColor(rec.textColor[i]));
        indicator->setPalette(palette);
        if (mFields[i]->text() != rec.field[i]) {
            const QSignalBlocker quiet(mFields[i]);
            mFields[i]->setText(rec.field[i]);
        }
    }
    if (XLog->isChecked() != rec.xLog) {
        XLog->setChecked(rec.xLog);
        applyLogLayout(true);
    }
    if (YLog->isChecked() != rec.yLog) {
        YLog->setChecked(rec.yLog);
        applyLogLayout(false);
    }
    chainX->setPixmap(mCalibration.xChained() ? chainPic : unchainPic);
    chainY->setPixmap(mCalibration.yChained() ? chainPic : unchainPic);
}

void ScalePanel::btnGetPoints_Click()
{
    mCapture.startOrCancel();
}

void ScalePanel::sX_Change(Ref ref)
{
    QLineEdit *field = mFields[ref];
    QString text = field->text();
    // A typed "." means the decimal separator, whatever the user's locale writes for it.
    const QString separator = QLocale().decimalPoint();
    if (separator != QLatin1String(".") && text.contains(QLatin1Char('.'))) {
        const int caret = field->cursorPosition();
        text.replace(QLatin1Char('.'), separator);
        const QSignalBlocker quiet(field);
        field->setText(text);
        field->setCursorPosition(caret);
    }
    CalibrationState next = mCalibration.snapshot();
    next.field[ref] = text;
    changeCalibration(mCalibration, mPoints, next, tr("change scale"), mEditSession);
}

void ScalePanel::XLog_Click()
{
    logClick(true);
}

void ScalePanel::YLog_Click()
{
    logClick(false);
}

void ScalePanel::logClick(bool xAxis)
{
    CalibrationState next = mCalibration.snapshot();
    (xAxis ? next.xLog : next.yLog) = (xAxis ? XLog : YLog)->isChecked();
    changeCalibration(mCalibration, mPoints, next, tr("change scale"));
    applyLogLayout(xAxis);
}

void ScalePanel::applyLogLayout(bool xAxis)
{
    const bool logarithmic = (xAxis ? XLog : YLog)->isChecked();
    const Ref first = xAxis ? RefX1 : RefY1;
    const Ref second = xAxis ? RefX2 : RefY2;
    const FieldPlace place = (logarithmic ? kLogPlace : kLinearPlace)[xAxis ? 1 : 0];
    for (Ref ref : {first, second}) {
        mExponents[ref]->setVisible(logarithmic);
        const QRect old = twipsGeometry(mFields[ref]);
        setTwipsGeometry(mFields[ref], place.left, old.top(), place.width, old.height());
    }
}

void ScalePanel::chainX_Click()
{
    chainClick(true);
}

void ScalePanel::chainY_Click()
{
    chainClick(false);
}

void ScalePanel::chainClick(bool xPair)
{
    const QString &tag = xPair ? mCalibration.record().chainXTag : mCalibration.record().chainYTag;
    const bool unchained = parseNumber(tag).value_or(0.0) == 0.0;
    mCalibration.setChainTag(xPair, unchained ? QStringLiteral("1") : QStringLiteral("0"));
}

bool ScalePanel::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == btnGetPoints && (type == QEvent::KeyPress || type == QEvent::KeyRelease)) {
        // Space is the skip key of the reference capture; it must never press this button.
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space)
            return true;
    } else if (type == QEvent::MouseButtonPress && (watched == chainX || watched == chainY)) {
        chainClick(watched == chainX);
        return true;
    } else if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        for (QLineEdit *field : mFields) {
            if (watched == field) {
                // An edit of a field, however many keys it takes, is one step of the history.
                ++mEditSession;
                if (type == QEvent::FocusOut)
                    break;
                // Deferred, so that the press that gave the focus does not place the caret
                // after the selection was made.
                QTimer::singleShot(0, field, &QLineEdit::selectAll);
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace chartrek
