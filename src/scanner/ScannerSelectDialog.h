#pragma once

#include "scanner/ScanDevices.h"

#include <QDialog>
#include <QPointer>

#include <optional>

class QDialogButtonBox;
class QLabel;
class QListWidget;

namespace chartrek {

// "Select source": lists the scanners the backends offer and lets the person pick one.
// The search runs in the background, so the dialog answers at once; with no scanner
// found it closes by itself as rejected.
class ScannerSelectDialog : public QDialog {
    Q_OBJECT
public:
    // preselectedName: the device chosen last time, selected again when still there.
    explicit ScannerSelectDialog(QWidget *parent = nullptr, const QString &preselectedName = {});
    ~ScannerSelectDialog() override;

    // The chosen device after the dialog was accepted.
    std::optional<ScanDevice> selectedDevice() const;
    // Why the dialog ended without a device: cancelled, none found, or the backends failed.
    QString errorString() const { return mError; }

    // Shows the dialog modally. Returns the chosen device, or nothing with error set
    // when the person cancelled or no scanner could be found.
    static std::optional<ScanDevice> selectSource(QWidget *parent, const QString &preselectedName = {},
                                                  QString *error = nullptr);

    void accept() override;
    void reject() override;

private:
    void showDevices();
    void updateOkButton();

    QPointer<ScanDeviceQuery> mQuery;
    QString mPreselected;
    QList<ScanDevice> mDevices;
    QString mError;
    QLabel *mStatus;
    QListWidget *mList;
    QDialogButtonBox *mButtons;
};

} // namespace chartrek
