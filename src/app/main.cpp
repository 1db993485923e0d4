#include "app/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Chartrek"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.2"));
    chartrek::frmMain window;
    window.show();
    return QApplication::exec();
}
