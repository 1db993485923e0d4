#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace chartrek {

// The splash window at start and, with its OK button shown, the About box.
class frmSplash : public QDialog {
    Q_OBJECT
public:
    explicit frmSplash(QWidget *parent = nullptr);

    // Start-up: no frame and no OK, centred on the screen, painted before this returns so
    // it is seen while the main window loads. Close it (or delete it) once the main window
    // is shown.
    void showSplash();

    // The modal About box over parent; returns when the user presses OK.
    static void showAbout(QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Named after themselves (objectName) so tests and styles can find them.
    QLabel *lblProductName = nullptr;
    QLabel *lblPlatform = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *lblLicense = nullptr;
    QPushButton *btnOK = nullptr;
};

} // namespace chartrek
