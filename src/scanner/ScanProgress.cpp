#include "scanner/ScanProgress.h"

#include "core/ProgramVersion.h"
#include "scanner/ScannerTexts.h"

#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace chartrek {

namespace {

// Stays open until the scan has really ended: a cancel only asks the job to stop, so the
// window cannot be used for something else while the device is still being closed.
class ScanProgressDialog : public QDialog {
public:
    ScanProgressDialog(ScanJob &job, QWidget *parent)
        : QDialog(parent),
          mJob(job),
          mLabel(new QLabel(ScannerTexts::tr("Scanning ..."), this)),
          mBar(new QProgressBar(this)),
          mButtons(new QDialogButtonBox(QDialogButtonBox::Cancel, this))
    {
        setObjectName(QStringLiteral("scanProgressDialog"));
        setWindowTitle(programTitle());
        setWindowModality(Qt::WindowModal);
        mBar->setRange(0, 100);
        mBar->setValue(0);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(mLabel);
        layout->addWidget(mBar);
        layout->addWidget(mButtons);
        setMinimumWidth(300);
        connect(mButtons, &QDialogButtonBox::rejected, this, &ScanProgressDialog::reject);
        connect(&job, &ScanJob::progress, this, &ScanProgressDialog::showProgress);
        connect(&job, &ScanJob::finished, this, [this] {
            mDone = true;
            accept();
        });
    }

    void reject() override
    {
        if (mDone) {
            QDialog::reject();
            return;
        }
        mJob.cancel();
        mLabel->setText(ScannerTexts::tr("Cancelling ..."));
        mButtons->button(QDialogButtonBox::Cancel)->setEnabled(false);
    }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (mDone)
            return QDialog::closeEvent(event);
        event->ignore();
        reject();
    }

private:
    void showProgress(int percent)
    {
        if (percent < 0) {
            mBar->setRange(0, 0); // size unknown: a busy bar
            return;
        }
        mBar->setRange(0, 100);
        mBar->setValue(percent);
    }

    ScanJob &mJob;
    QLabel *mLabel;
    QProgressBar *mBar;
    QDialogButtonBox *mButtons;
    bool mDone = false;
};

} // namespace

AcquireResult acquireWithProgress(QWidget *parent, const QString &deviceName, const ScanOptions &options)
{
    ScanJob job(deviceName, options);
    ScanProgressDialog dialog(job, parent);
    job.start();
    dialog.exec();
    switch (job.outcome()) {
    case ScanJob::Outcome::Scanned:
        return {job.image(), {}, false};
    case ScanJob::Outcome::Cancelled:
        return {std::nullopt, job.errorString(), true};
    case ScanJob::Outcome::Failed:
        return {std::nullopt, job.errorString(), false};
    case ScanJob::Outcome::TooLarge:
        return {std::nullopt, job.errorString(), false, true};
    case ScanJob::Outcome::NotFinished:
        break;
    }
    // The dialog went away some other way (its window was destroyed); the job's end
    // cancels the scan and closes the device.
    return {std::nullopt, ScannerTexts::tr("The scan was cancelled."), true};
}

} // namespace chartrek
