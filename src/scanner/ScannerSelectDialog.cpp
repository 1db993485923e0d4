#include "scanner/ScannerSelectDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace chartrek {

ScannerSelectDialog::ScannerSelectDialog(QWidget *parent, const QString &preselectedName)
    : QDialog(parent),
      mQuery(new ScanDeviceQuery(this)),
      mPreselected(preselectedName),
      mStatus(new QLabel(tr("Looking for scanners ..."), this)),
      mList(new QListWidget(this)),
      mButtons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(tr("Select Source"));
    setObjectName(QStringLiteral("scannerSelectDialog"));
    mList->setObjectName(QStringLiteral("scannerList"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(mStatus);
    layout->addWidget(mList);
    layout->addWidget(mButtons);

    connect(mButtons, &QDialogButtonBox::accepted, this, &ScannerSelectDialog::accept);
    connect(mButtons, &QDialogButtonBox::rejected, this, &ScannerSelectDialog::reject);
    connect(mList, &QListWidget::currentRowChanged, this, &ScannerSelectDialog::updateOkButton);
    connect(mList, &QListWidget::itemActivated, this, &ScannerSelectDialog::accept);
    connect(mQuery, &ScanDeviceQuery::finished, this, &ScannerSelectDialog::showDevices);
    updateOkButton();
    mQuery->start();
}

ScannerSelectDialog::~ScannerSelectDialog()
{
    // A search still running is left to finish on its own rather than blocking the window.
    if (mQuery && mQuery->isRunning())
        mQuery->abandon();
}

std::optional<ScanDevice> ScannerSelectDialog::selectedDevice() const
{
    if (result() != Accepted)
        return std::nullopt;
    const int row = mList->currentRow();
    if (row < 0 || row >= mDevices.size())
        return std::nullopt;
    return mDevices.at(row);
}

std::optional<ScanDevice> ScannerSelectDialog::selectSource(QWidget *parent, const QString &preselectedName,
                                                            QString *error)
{
    ScannerSelectDialog dialog(parent, preselectedName);
    dialog.exec();
    auto device = dialog.selectedDevice();
    if (!device && error)
        *error = dialog.errorString();
    return device;
}

void ScannerSelectDialog::accept()
{
    if (mList->currentRow() < 0)
        return;
    mError.clear();
    QDialog::accept();
}

void ScannerSelectDialog::reject()
{
    if (mError.isEmpty())
        mError = QStringLiteral("cancelled");
    QDialog::reject();
}

void ScannerSelectDialog::showDevices()
{
    const auto &devices = mQuery->devices();
    if (!devices || devices->isEmpty()) {
        mError = devices ? tr("No scanner was found.") : mQuery->errorString();
        reject();
        return;
    }
    mDevices = *devices;
    int preselectedRow = 0;
    for (const ScanDevice &device : mDevices) {
        if (device.name == mPreselected)
            preselectedRow = mList->count();
        mList->addItem(device.displayName());
    }
    mList->setCurrentRow(preselectedRow);
    mList->setFocus();
    mStatus->setText(tr("Choose the scanner:"));
}

void ScannerSelectDialog::updateOkButton()
{
    mButtons->button(QDialogButtonBox::Ok)->setEnabled(mList->currentRow() >= 0);
}

} // namespace chartrek
