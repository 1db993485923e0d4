#include "app/SingleInstance.h"
#include "app/TerminationSignals.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "core/ProgramIcons.h"
#include "core/ProgramLanguage.h"
#include "core/ProgramVersion.h"
#include "scanner/ScanDevices.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Chartrek"));
    QApplication::setApplicationVersion(chartrek::programVersionText());
    // The system's language, before the first window or text is made.
    chartrek::installProgramLanguage();
    // The desktop matches the windows to the menu entry (chartrek.desktop) and its icon.
    QApplication::setDesktopFileName(QStringLiteral("chartrek"));
    QApplication::setWindowIcon(chartrek::programIcon(QStringLiteral("chartrek")));
    // A picture named on the command line is opened as File > Open would open it.
    const QStringList arguments = QApplication::arguments();
    const QString fileName = arguments.size() > 1 ? arguments.at(1) : QString();

    // A second start hands over to the running instance and ends without a window.
    chartrek::SingleInstance instance;
    if (!instance.tryBecomePrimary()) {
        if (instance.sendHandOver(fileName))
            return 0;
        // Silence would look as if the running instance had taken the request.
        std::fprintf(stderr, "chartrek: the running instance did not take the hand-over: %s\n",
                     qPrintable(instance.errorString()));
        return 1;
    }

    // SIGTERM and SIGINT end the program as closing does, without the question.
    chartrek::TerminationSignals termination;

    // The splash is seen exactly while the main window loads.
    auto splash = std::make_unique<chartrek::frmSplash>();
    splash->showSplash();
    chartrek::frmMain window;
    window.attachHandOvers(instance);
    // Ended from outside, the window ends as after the close question: its choices are kept.
    QObject::connect(&termination, &chartrek::TerminationSignals::terminationRequested, &window,
                     &chartrek::frmMain::closing);
    window.show();
    splash.reset();
    // A logout or a kill by the session keeps the unsaved work for the next start.
    QObject::connect(&termination, &chartrek::TerminationSignals::terminationRequested, &window,
                     &chartrek::frmMain::keepUnsavedWork, Qt::DirectConnection);
    window.offerRecovery();
    if (!fileName.isEmpty())
        window.openFile(fileName);
    // A signal taken while the file was opened has already left every loop.
    const int exitCode = termination.received() ? termination.exitCode() : QApplication::exec();
    // A scanner search still running in the background ends before the program does.
    chartrek::ScanDeviceQuery::waitForRunningSearches();
    return exitCode;
}
