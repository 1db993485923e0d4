#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace chartrek {

// The "rotate graphic" window: the angle in degrees and the buttons that measure it, try it,
// go back, keep or discard it. Modeless, owned by the main window; what the buttons do is
// RotateGraphic's.
class frmRotate : public QDialog {
    Q_OBJECT
public:
    explicit frmRotate(QWidget *owner);

    QLineEdit *txtWinkel = nullptr;
    QPushButton *btnGetWinkel = nullptr;
    QPushButton *btnDoIt = nullptr;
    QPushButton *btnBack = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *Command1 = nullptr;

signals:
    // The window's close button or Escape: the same as Cancel.
    void closeRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
};

} // namespace chartrek
