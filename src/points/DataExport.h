#pragma once

#include "core/FileDialogs.h"
#include "core/Messages.h"
#include "calibration/Calibration.h"
#include "points/Curves.h"
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
    // Save Data's forms: tab-separated text (the first) and comma-separated values of the current
    // curve, then the same two of every curve.
    static QString textFilter();
    static QString csvFilter();
    static QString allCurvesTextFilter();
    static QString allCurvesCsvFilter();
    // Copy Data without points, and Save Data without a calibration.
    static QString noDataText();
    // The curves Copy all curves writes; without them it does nothing.
    void setCurves(const Curves *curves) { mCurves = curves; }

public slots:
    // Copy Data (Ctrl+C).
    void mnuEditKopie_Click();
    // Save Data (Ctrl+S).
    void mnuFileSaveData_Click();
    // Edit > Copy all curves: a block per curve, headed by its name.
    void mnuEditCopyAllCurves_Click();

private:
    void copyText(const QString &text);

    const PointTableModel &mModel;
    const Calibration &mCalibration;
    Messages &mMessages;
    FileDialogs &mDialogs;
    const Curves *mCurves = nullptr;
};

} // namespace chartrek
