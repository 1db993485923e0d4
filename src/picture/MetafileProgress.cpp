#include "picture/MetafileProgress.h"

#include "core/ProgramVersion.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace chartrek {

namespace {

constexpr int kDialogDelayMs = 300;

// Looks like the scan's progress dialog, with a busy bar: the converter tells no progress.
void furnish(QDialog *dialog, const QString &text)
{
    dialog->setObjectName(QStringLiteral("metafileProgressDialog"));
    dialog->setWindowTitle(programTitle());
    dialog->setWindowModality(Qt::WindowModal);
    auto *bar = new QProgressBar(dialog);
    bar->setRange(0, 0);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, dialog);
    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(
        new QLabel(text.isEmpty() ? QCoreApplication::translate("MetafileProgress", "Drawing the metafile ...") : text,
                   dialog));
    layout->addWidget(bar);
    layout->addWidget(buttons);
    dialog->setMinimumWidth(300);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
}

} // namespace

HelperWait waitForMetafileHelper(QWidget *parent, QProcess &helper, int timeoutMs, const QString &text)
{
    QEventLoop loop;
    bool finished = false;
    bool timedOut = false;
    QObject::connect(&helper, &QProcess::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    if (helper.state() == QProcess::NotRunning)
        return HelperWait::Finished;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    deadline.start(timeoutMs);

    // First without input: the window is not yet blocked by a dialog, and a command given now
    // would run in the middle of this load. The input is delivered afterwards.
    QTimer::singleShot(kDialogDelayMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!finished && !timedOut) {
        QDialog dialog(parent);
        furnish(&dialog, text);
        QObject::connect(&dialog, &QDialog::rejected, &loop, &QEventLoop::quit);
        dialog.show();
        loop.exec();
    }
    if (finished)
        return HelperWait::Finished;
    // Anything else ending the wait (Cancel, or the application quitting) abandons the load.
    return timedOut ? HelperWait::TimedOut : HelperWait::Cancelled;
}

} // namespace chartrek
