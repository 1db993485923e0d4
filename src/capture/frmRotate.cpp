#include "capture/frmRotate.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace chartrek {

namespace {
QPushButton *button(QWidget *parent, const char *name, const char *text, const char *tip)
{
    auto *b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(QString::fromUtf8(tip));
    b->setAutoDefault(false);
    return b;
}
} // namespace

frmRotate::frmRotate(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmRotate"));
    setWindowTitle(QStringLiteral("rotate graphic"));
    setModal(false);

    auto *Frame1 = new QGroupBox(QStringLiteral("rotate"), this);
    auto *angleRow = new QHBoxLayout;
    txtWinkel = new QLineEdit(Frame1);
    txtWinkel->setObjectName(QStringLiteral("txtWinkel"));
    txtWinkel->setToolTip(QStringLiteral("Enter a number between -360.00 and 360.00"));
    auto *Label1 = new QLabel(QStringLiteral("degrees"), Frame1);
    Label1->setBuddy(txtWinkel);
    angleRow->addWidget(txtWinkel);
    angleRow->addWidget(Label1);
    btnGetWinkel = button(Frame1, "btnGetWinkel", "calculate", "calculate the angle by 2 points on the x-axis");
    btnDoIt = button(Frame1, "btnDoIt", "do it", "show the results");
    btnBack = button(Frame1, "btnBack", "back", "Set the graphic back");
    auto *frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addLayout(angleRow);
    auto *tryRow = new QHBoxLayout;
    tryRow->addWidget(btnGetWinkel);
    tryRow->addWidget(btnDoIt);
    tryRow->addWidget(btnBack);
    frameLayout->addLayout(tryRow);

    btnOK = button(this, "btnOK", "&OK", "Close the dialog");
    Command1 = button(this, "Command1", "&Cancel", "Reset graphic and close the dialog");
    // Enter in the angle field tries the angle.
    btnDoIt->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    auto *closeRow = new QHBoxLayout;
    closeRow->addStretch();
    closeRow->addWidget(btnOK);
    closeRow->addWidget(Command1);
    layout->addLayout(closeRow);
    // The order a keyboard walks: angle, calculate, do it, back, OK, Cancel.
    setTabOrder(txtWinkel, btnGetWinkel);
    setTabOrder(btnGetWinkel, btnDoIt);
    setTabOrder(btnDoIt, btnBack);
    setTabOrder(btnBack, btnOK);
    setTabOrder(btnOK, Command1);
    txtWinkel->setFocus();
}

void frmRotate::closeEvent(QCloseEvent *event)
{
    // RotateGraphic closes the window itself, after putting the picture back.
    event->ignore();
    emit closeRequested();
}

void frmRotate::reject()
{
    emit closeRequested();
}

} // namespace chartrek
