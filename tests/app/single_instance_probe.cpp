// single_instance_probe <hand-overs to wait for> [file to hand over]: prints "primary" and
// "received:<path>" per hand-over, or "sent" / "failed" when another instance runs.
#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int expected = args.value(1).toInt();
    const QString file = args.value(2);

    QTextStream out(stdout);
    chartrek::SingleInstance instance;
    if (!instance.tryBecomePrimary()) {
        out << (instance.sendHandOver(file) ? "sent" : "failed") << Qt::endl;
        return 0;
    }
    out << "primary" << Qt::endl;

    int received = 0;
    QObject::connect(&instance, &chartrek::SingleInstance::handOverReceived, &app, [&](const QString &path) {
        out << "received:" << path << Qt::endl;
        if (++received >= expected)
            QCoreApplication::quit();
    });
    QTimer::singleShot(20000, &app, &QCoreApplication::quit);
    return expected > 0 ? QCoreApplication::exec() : 0;
}
