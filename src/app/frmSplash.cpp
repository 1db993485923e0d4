#include "app/frmSplash.h"

#include "core/ProgramVersion.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>
#include <QWindow>

namespace chartrek {

namespace {
// A window system that has not shown the splash by then will show it with the main window.
constexpr qint64 kMapWaitMs = 1000;

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, qreal pointScale, bool bold)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * pointScale);
    font.setBold(bold);
    label->setFont(font);
    return label;
}
} // namespace

frmSplash::frmSplash(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(tr("About Chartrek"));

    lblProductName = makeLabel(this, "lblProductName", QStringLiteral("Chartrek"), 2.4, true);
    lblPlatform = makeLabel(this, "lblPlatform", tr("for Linux"), 1.2, false);
    lblVersion = makeLabel(this, "lblVersion", QStringLiteral("Version"), 1.0, false);
    lblDescription = makeLabel(this, "lblDescription",
                               tr("Turns pictures of diagrams into numbers."), 1.0, false);
    lblLicense = makeLabel(this, "lblLicense",
                           tr("Free software under the GNU General Public License,\n"
                              "version 3 or (at your option) any later version."),
                           0.85, false);

    btnOK = new QPushButton(tr("&OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnOK->setVisible(false);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    // The load step: the version label shows the program's own version.
    lblVersion->setText(tr("Version %1").arg(programVersionText()));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(36, 28, 36, 24);
    layout->setSpacing(8);
    layout->addWidget(lblProductName);
    layout->addWidget(lblPlatform);
    layout->addSpacing(10);
    layout->addWidget(lblVersion);
    layout->addWidget(lblDescription);
    layout->addSpacing(10);
    layout->addWidget(lblLicense);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmSplash::showSplash()
{
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    btnOK->setVisible(false);
    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    // The main window is built next without returning to the event loop, so wait (briefly)
    // until the window system has mapped the splash, and paint it now.
    QElapsedTimer clock;
    clock.start();
    while (windowHandle() && !windowHandle()->isExposed() && clock.elapsed() < kMapWaitMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmSplash::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // Without a window frame the splash needs an edge of its own against the desktop.
    if (windowFlags() & Qt::FramelessWindowHint) {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void frmSplash::showAbout(QWidget *parent)
{
    frmSplash about(parent);
    about.btnOK->setVisible(true);
    about.btnOK->setFocus();
    about.exec();
}

} // namespace chartrek
