#pragma once

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QSpinBox;

namespace chartrek {

// The Autoline control window: names the click that comes next, shows the probed colour, and
// holds "One step back", the line-quality boxes, the colour tolerance and Cancel. Modeless,
// owned by the main window; what its controls do is the set-up's.
class frmAutomatic : public QDialog {
    Q_OBJECT
public:
    explicit frmAutomatic(QWidget *owner);

    // The step's two texts: 0 ending point, 1 starting point, 2 distance, 3 looking.
    void showStep(int step);
    // Back colour of the colour window, 0x00BBGGRR.
    void showColor(qint32 color);

    QLabel *txtAktuell = nullptr;
    QFrame *mColorWindow = nullptr;
    QPushButton *btnNeu = nullptr;
    QLabel *txtHilfe = nullptr;
    QCheckBox *chkLine = nullptr;
    QCheckBox *chkGrid = nullptr;
    QSpinBox *spnTolerance = nullptr;
    QPushButton *btnCancel = nullptr;

signals:
    // The window's own close button, or Escape: the same as Cancel.
    void closeRequested();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
};

} // namespace chartrek
