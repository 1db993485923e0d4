#include "capture/frmRotate.h"

#include <QCloseEvent>
#include <QCoreApplication>
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
    auto *b = new QPushButton(QCoreApplication::translate("chartrek::frmRotate", text), parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(QCoreApplication::translate("chartrek::frmRotate", tip));
    b->setAutoDefault(false);
    return b;
}
} // namespace

frmRotate::frmRotate(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmRotate"));
    setWindowTitle(tr("rotate graphic"));
    setModal(false);

    auto *Frame1 = new QGroupBox(tr("rotate"), this);
    auto *angleRow = new QHBoxLayout;
    txtWinkel = new QLineEdit(Frame1);
    txtWinkel->setObjectName(QStringLiteral("txtWinkel"));
    txtWinkel->setToolTip(tr("Enter a number between -360.00 and 360.00"));
    auto *Label1 = new QLabel(tr("&degrees"), Frame1);
    Label1->setBuddy(txtWinkel);
    angleRow->addWidget(txtWinkel);
    angleRow->addWidget(Label1);
    btnGetWinkel = button(Frame1, "btnGetWinkel", QT_TRANSLATE_NOOP("chartrek::frmRotate", "ca&lculate"),
                          QT_TRANSLATE_NOOP("chartrek::frmRotate", "calculate the angle by 2 points on the x-axis"));
    btnDoIt = button(Frame1, "btnDoIt", QT_TRANSLATE_NOOP("chartrek::frmRotate", "do &it"),
                     QT_TRANSLATE_NOOP("chartrek::frmRotate", "show the results"));
    btnBack = button(Frame1, "btnBack", QT_TRANSLATE_NOOP("chartrek::frmRotate", "&back"),
                     QT_TRANSLATE_NOOP("chartrek::frmRotate", "Set the graphic back"));
    auto *frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addLayout(angleRow);
    auto *tryRow = new QHBoxLayout;
    tryRow->addWidget(btnGetWinkel);
    tryRow->addWidget(btnDoIt);
    tryRow->addWidget(btnBack);
    frameLayout->addLayout(tryRow);

    btnOK = button(this, "btnOK", QT_TRANSLATE_NOOP("chartrek::frmRotate", "&OK"),
                   QT_TRANSLATE_NOOP("chartrek::frmRotate", "Close the dialog"));
    Command1 = button(this, "Command1", QT_TRANSLATE_NOOP("chartrek::frmRotate", "&Cancel"),
                      QT_TRANSLATE_NOOP("chartrek::frmRotate", "Reset graphic and close the dialog"));
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
