#pragma once

#include "core/FileDialogs.h"
#include "core/Messages.h"
#include "calibration/Calibration.h"
#include "points/PointTableModel.h"

#include <QObject>

namespace chartrek {

// The two ways the captured points leave the program: the clipboard (the locale's decimal
// separator kept) and a file (always a decimal point), tab-separated text or CSV.
class DataExport : public QObject {
    Q_OBJECT
public:
    DataExport(const PointTableModel &model, const Calibration &calibration, Messages &messages, FileDialogs &dialogs,
               QObject *parent = nullptr)
        : QObject(parent), mModel(model), mCalibration(calibration), mMessages(messages), mDialogs(dialogs)
    {
    }

    static FileDialogRequest saveRequest();
    // Save Data's two forms: tab-separated text (the first) and comma-separated values.
    static QString textFilter();
    static QString csvFilter();
    // Copy Data without points, and Save Data without a calibration.
    static QString noDataText();

public slots:
    // Copy Data (Ctrl+C).
    void mnuEditKopie_Click();
    // Save Data (Ctrl+S).
    void mnuFileSaveData_Click();

private:
    const PointTableModel &mModel;
    const Calibration &mCalibration;
    Messages &mMessages;
    FileDialogs &mDialogs;
};

} // namespace chartrek
