#include "autoline/frmAutomatic.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace chartrek {

namespace {
struct StepTexts {
    const char *title;
    const char *help;
};
constexpr StepTexts kSteps[] = {
    {QT_TRANSLATE_NOOP("chartrek::frmAutomatic", "Ending point"),
     QT_TRANSLATE_NOOP("chartrek::frmAutomatic",
                       "First you have to determine the last point of the line you wish to read. Click on the line "
                       "where reading should end. Have a look at the color window to get the right point.")},
    {QT_TRANSLATE_NOOP("chartrek::frmAutomatic", "Starting point"),
     QT_TRANSLATE_NOOP("chartrek::frmAutomatic",
                       "Now you have to determine the starting point of the line you wish to read. Click on the line "
                       "where reading should start. Have a look at the color window to get the right point.")},
    {QT_TRANSLATE_NOOP("chartrek::frmAutomatic", "Distance"),
     QT_TRANSLATE_NOOP("chartrek::frmAutomatic",
                       "At last, you have to determine the minimum distance between two points. To do so, click a "
                       "little to the right of the starting point.")},
    {QT_TRANSLATE_NOOP("chartrek::frmAutomatic", "Looking ..."),
     QT_TRANSLATE_NOOP("chartrek::frmAutomatic",
                       "Now I will try to read the line automatically. Press Cancel to stop reading.")},
};
} // namespace

frmAutomatic::frmAutomatic(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmAutomatic"));
    setWindowTitle(tr("Autoline"));
    setModal(false);
    auto *layout = new QVBoxLayout(this);

    txtAktuell = new QLabel(this);
    txtAktuell->setObjectName(QStringLiteral("txtAktuell"));
    QFont bold = txtAktuell->font();
    bold.setBold(true);
    txtAktuell->setFont(bold);
    layout->addWidget(txtAktuell);

    auto *colorRow = new QHBoxLayout;
    auto *Label1 = new QLabel(tr("Color"), this);
    mColorWindow = new QFrame(this);
    mColorWindow->setObjectName(QStringLiteral("mColorWindow"));
    mColorWindow->setFrameShape(QFrame::Box);
    mColorWindow->setFixedSize(48, 24);
    mColorWindow->setAutoFillBackground(true);
    colorRow->addWidget(Label1);
    colorRow->addWidget(mColorWindow);
    colorRow->addStretch();
    layout->addLayout(colorRow);

    btnNeu = new QPushButton(tr("One step &back"), this);
    btnNeu->setObjectName(QStringLiteral("btnNeu"));
    btnNeu->setEnabled(false);
    btnNeu->setAutoDefault(false);
    layout->addWidget(btnNeu);

    txtHilfe = new QLabel(this);
    txtHilfe->setObjectName(QStringLiteral("txtHilfe"));
    txtHilfe->setWordWrap(true);
    txtHilfe->setMinimumHeight(txtHilfe->fontMetrics().lineSpacing() * 5);
    layout->addWidget(txtHilfe);

    auto *Frame1 = new QGroupBox(tr("Line quality"), this);
    auto *frameLayout = new QVBoxLayout(Frame1);
    chkLine = new QCheckBox(tr("has &lines next to it"), Frame1);
    chkLine->setObjectName(QStringLiteral("chkLine"));
    chkGrid = new QCheckBox(tr("has &grid"), Frame1);
    chkGrid->setObjectName(QStringLiteral("chkGrid"));
    frameLayout->addWidget(chkLine);
    frameLayout->addWidget(chkGrid);
    auto *toleranceRow = new QHBoxLayout;
    auto *toleranceLabel = new QLabel(tr("Color &tolerance"), Frame1);
    spnTolerance = new QSpinBox(Frame1);
    spnTolerance->setObjectName(QStringLiteral("spnTolerance"));
    spnTolerance->setRange(0, 255);
    spnTolerance->setToolTip(tr("0: only the exact line color belongs to the line"));
    toleranceLabel->setBuddy(spnTolerance);
    toleranceRow->addWidget(toleranceLabel);
    toleranceRow->addWidget(spnTolerance);
    frameLayout->addLayout(toleranceRow);
    layout->addWidget(Frame1);

    btnCancel = new QPushButton(tr("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    layout->addWidget(btnCancel);

    showStep(0);
    setFixedWidth(sizeHint().width() < 260 ? 260 : sizeHint().width());
}

void frmAutomatic::showStep(int step)
{
    if (step < 0 || step > 3)
        return;
    txtAktuell->setText(QCoreApplication::translate("chartrek::frmAutomatic", kSteps[step].title));
    txtHilfe->setText(QCoreApplication::translate("chartrek::frmAutomatic", kSteps[step].help));
}

void frmAutomatic::showColor(qint32 color)
{
    QPalette palette = mColorWindow->palette();
    palette.setColor(QPalette::Window, QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
    mColorWindow->setPalette(palette);
}

void frmAutomatic::reject()
{
    // Escape would only hide the window and leave the Autoline tool on with no Cancel on the
    // screen; it cancels, as the window's Cancel does.
    emit closeRequested();
}

void frmAutomatic::closeEvent(QCloseEvent *event)
{
    // Closing by the window's button is Cancel; the set-up closes the window itself.
    event->ignore();
    emit closeRequested();
}

} // namespace chartrek
